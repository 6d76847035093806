// java.lang.Double: the double wrapper, the runtime's own decimal formatter and parser for
// floating-point text, and the bit conversions the data streams use.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>

#include "runtime/NumberConversion.h"
#include "runtime/Object.h"

namespace java::lang {

class String;

class Double : public Object {
    TESL_CLASS(Double, "java.lang.Double", Object)
public:
    Double() noexcept {}
    ~Double() override = default;

    Double* TESLinvokeconstructor(double value);

    // Equal as numbers: a NaN equals nothing, 0.0 equals -0.0.
    bool equals(JavaPtr<Object> other) override;
    // The high word of the bit pattern.
    int32_t hashCode() override { return static_cast<int32_t>(doubleToLongBits(m_value) >> 32); }
    JavaPtr<String> toString() override;
    double doubleValue() const { return m_value; }
    float floatValue() const { return tesl::doubleToFloat(m_value); }
    int intValue() const { return tesl::doubleToInt(m_value); }
    short shortValue() const { return static_cast<short>(intValue()); }
    signed char byteValue() const { return static_cast<signed char>(intValue()); }
    long long longValue() const { return tesl::doubleToLong(m_value); }
    bool isNaN() const { return isNaN(m_value); }
    bool isInfinite() const { return isInfinite(m_value); }

    // An optional '-', the integer part, a point and one to 17 fraction digits written by repeated
    // multiplication by ten, stopping once the remainder is within 1e-7: 100.0 gives "100.0", 1.0/3
    // gives "0.33333333333333330". The digits drift from the exact expansion, and every text of the
    // system depends on exactly this drift. NaN and the infinities give "NaN", "Infinity" and
    // "-Infinity".
    static JavaPtr<String> toString(double value);
    // An optional leading '-', digits and points; no exponent, '+', white space or spelled-out values.
    // Reading stops at the first other unit. Fraction weights are repeated products by 0.1, so "0.3"
    // gives 0.30000000000000004. Throws NumberFormatException for a null text.
    static double parseDouble(const JavaPtr<String>& text);
    static JavaPtr<Double> valueOf(const JavaPtr<String>& text);
    static int64_t doubleToLongBits(double value) { return std::bit_cast<int64_t>(value); }
    static double longBitsToDouble(int64_t bits) { return std::bit_cast<double>(bits); }
    static bool isNaN(double value) { return value != value; }
    static bool isInfinite(double value) {
        return value == std::numeric_limits<double>::infinity() ||
               value == -std::numeric_limits<double>::infinity();
    }

private:
    double m_value = 0.0;
};

}  // namespace java::lang
