// java.lang.Integer: the 32-bit wrapper and its text forms, all through Long's parser and formatter.
#pragma once

#include <cstdint>

#include "runtime/Object.h"

namespace java::lang {

class String;

class Integer : public Object {
    TESL_CLASS(Integer, "java.lang.Integer", Object)
public:
    static constexpr int32_t MIN_VALUE = INT32_MIN;
    static constexpr int32_t MAX_VALUE = INT32_MAX;

    Integer() noexcept {}
    ~Integer() override = default;

    Integer* TESLinvokeconstructor(int value);

    bool equals(JavaPtr<Object> other) override;
    int32_t hashCode() override { return m_value; }
    JavaPtr<String> toString() override;
    signed char byteValue() const { return static_cast<signed char>(m_value); }
    short shortValue() const { return static_cast<short>(m_value); }
    int intValue() const { return m_value; }
    long long longValue() const { return m_value; }
    float floatValue() const { return static_cast<float>(m_value); }
    double doubleValue() const { return m_value; }

    // Long::parseLong, then NumberFormatException when the (already wrapped) value is outside the
    // 32-bit range.
    static int parseInt(const JavaPtr<String>& text, int radix);
    static int parseInt(const JavaPtr<String>& text) { return parseInt(text, 10); }
    static JavaPtr<Integer> valueOf(const JavaPtr<String>& text, int radix);
    static JavaPtr<Integer> valueOf(const JavaPtr<String>& text) { return valueOf(text, 10); }

    static JavaPtr<String> toString(int value, int radix);
    static JavaPtr<String> toString(int value) { return toString(value, 10); }
    // The 32-bit pattern taken as unsigned, so negative values print as two's complement.
    static JavaPtr<String> toHexString(int value);
    static JavaPtr<String> toOctalString(int value);
    static JavaPtr<String> toBinaryString(int value);

private:
    int32_t m_value = 0;
};

}  // namespace java::lang
