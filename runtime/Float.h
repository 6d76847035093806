// java.lang.Float: the float wrapper; its text goes through Double's formatter and parser.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>

#include "runtime/NumberConversion.h"
#include "runtime/Object.h"

namespace java::lang {

class String;

class Float : public Object {
    TESL_CLASS(Float, "java.lang.Float", Object)
public:
    Float() noexcept {}
    ~Float() override = default;

    Float* TESLinvokeconstructor(float value);
    // Rounded to the nearest float.
    Float* TESLinvokeconstructor(double value);

    // Equal as numbers: a NaN equals nothing, 0.0 equals -0.0.
    bool equals(JavaPtr<Object> other) override;
    int32_t hashCode() override { return floatToIntBits(m_value); }
    JavaPtr<String> toString() override;
    double doubleValue() const { return m_value; }
    float floatValue() const { return m_value; }
    int intValue() const { return tesl::doubleToInt(m_value); }
    short shortValue() const { return static_cast<short>(intValue()); }
    signed char byteValue() const { return static_cast<signed char>(intValue()); }
    long long longValue() const { return tesl::doubleToLong(m_value); }
    bool isNaN() const { return isNaN(m_value); }
    bool isInfinite() const { return isInfinite(m_value); }

    // Double::toString of the value widened: 100.1f gives "100.09999847412109375".
    static JavaPtr<String> toString(float value);
    // Double::parseDouble rounded to the nearest float.
    static float parseFloat(const JavaPtr<String>& text);
    static JavaPtr<Float> valueOf(const JavaPtr<String>& text);
    static int32_t floatToIntBits(float value) { return std::bit_cast<int32_t>(value); }
    static float intBitsToFloat(int32_t bits) { return std::bit_cast<float>(bits); }
    static bool isNaN(float value) { return value != value; }
    static bool isInfinite(float value) {
        return value == std::numeric_limits<float>::infinity() ||
               value == -std::numeric_limits<float>::infinity();
    }

private:
    float m_value = 0.0f;
};

}  // namespace java::lang
