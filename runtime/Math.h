// java.lang.Math: the runtime's own trigonometry and square root (short series and an iteration whose
// exact, rounded steps decide every value the geometry computes), floor, ceil and the small helpers.
#pragma once

#include <bit>
#include <cstdint>

#include "runtime/Object.h"

namespace java::lang {

class Math : public Object {
    TESL_CLASS(Math, "java.lang.Math", Object)
public:
    static constexpr double E = 2.718281828459045;
    static constexpr double PI = 3.141592653589793;

    Math() noexcept {}
    ~Math() override = default;

    // MIN_VALUE stays negative.
    static int abs(int a) { return a < 0 ? static_cast<int>(0u - static_cast<uint32_t>(a)) : a; }
    static long long abs(long long a) {
        return a < 0 ? static_cast<long long>(0ull - static_cast<uint64_t>(a)) : a;
    }
    // The sign bit cleared: -0.0 gives 0.0, a NaN stays a NaN.
    static float abs(float a) { return std::bit_cast<float>(std::bit_cast<uint32_t>(a) & 0x7FFFFFFFu); }
    static double abs(double a) {
        return std::bit_cast<double>(std::bit_cast<uint64_t>(a) & 0x7FFFFFFFFFFFFFFFull);
    }
    static int max(int a, int b) { return a > b ? a : b; }
    static long long max(long long a, long long b) { return a > b ? a : b; }
    static int min(int a, int b) { return a < b ? a : b; }
    static long long min(long long a, long long b) { return a < b ? a : b; }
    // Equal values give b, so max(0.0, -0.0) is -0.0; a NaN as a gives b, a NaN as b gives NaN.
    static float max(float a, float b) { return a > b ? a : b; }
    static double max(double a, double b) { return a > b ? a : b; }
    static float min(float a, float b) { return a < b ? a : b; }
    static double min(double a, double b) { return a < b ? a : b; }

    // Taylor series after reduction by whole periods of 2PI; within about 3.6e-6 of the true values.
    // Non-finite arguments give NaN.
    static double sin(double x);
    static double cos(double x);
    static double tan(double x);
    // Heron's iteration to its fixed point: sqrt(2.0) is 1.414213562373095, one bit below the
    // correctly rounded root. Negative arguments and NaN give NaN; +Infinity gives itself.
    static double sqrt(double x);
    static double floor(double x);
    static double ceil(double x) { return -floor(-x); }
    static double toDegrees(double x) { return (x * 180.0) / PI; }
    static double toRadians(double x) { return (x * PI) / 180.0; }
};

}  // namespace java::lang
