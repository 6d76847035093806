// Conversions from floating point that never reach undefined behaviour: the cast of the class sources
// truncates toward zero, saturates at the limits of the target and gives 0 for NaN (a bare C++ cast of
// NaN gives INT_MIN on x86).
#pragma once

#include <cfloat>
#include <cstdint>
#include <limits>

namespace tesl {

inline int32_t doubleToInt(double value) {
    if (value != value) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

inline int64_t doubleToLong(double value) {
    if (value != value) return 0;
    // 2^63: the first double above the range.
    if (value >= 9223372036854775808.0) return INT64_MAX;
    if (value <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<int64_t>(value);
}

// Rounds to the nearest float; beyond the float range (half an ulp past FLT_MAX) it gives an infinity,
// as the hardware does, without the undefined out-of-range cast.
inline float doubleToFloat(double value) {
    constexpr double kOverflow = static_cast<double>(FLT_MAX) + 0x1p103;
    if (value >= kOverflow) return std::numeric_limits<float>::infinity();
    if (value <= -kOverflow) return -std::numeric_limits<float>::infinity();
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

}  // namespace tesl
