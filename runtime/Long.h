// java.lang.Long: the 64-bit wrapper, and the runtime's one integer formatter and integer parser.
#pragma once

#include <cstdint>

#include "runtime/Object.h"

namespace java::lang {

class String;

class Long : public Object {
    TESL_CLASS(Long, "java.lang.Long", Object)
public:
    static constexpr long long MIN_VALUE = INT64_MIN;
    static constexpr long long MAX_VALUE = INT64_MAX;

    Long() noexcept {}
    ~Long() override = default;

    Long* TESLinvokeconstructor(long long value);

    bool equals(JavaPtr<Object> other) override;
    // The low word alone: values that differ only in the high word hash alike.
    int32_t hashCode() override { return static_cast<int32_t>(static_cast<uint64_t>(m_value)); }
    JavaPtr<String> toString() override;
    long long longValue() const { return m_value; }
    float floatValue() const { return static_cast<float>(m_value); }
    double doubleValue() const { return static_cast<double>(m_value); }

    // Reads an optional leading '-' and then digits (either letter case) up to the first unit that is
    // not a digit of the radix; the rest is ignored, so "12x" is 12 and "" is 0. There is no overflow
    // test: longer texts wrap modulo 2^64. Throws NumberFormatException for a null text or a text
    // that starts with a backslash. A radix outside 2..36 means 10.
    static long long parseLong(const JavaPtr<String>& text, int radix);
    static long long parseLong(const JavaPtr<String>& text) { return parseLong(text, 10); }

    // Digits most significant first, lower-case letters, a leading '-' for a negative value; a radix
    // outside 2..36 means 10.
    static JavaPtr<String> toString(long long value, int radix);
    static JavaPtr<String> toString(long long value) { return toString(value, 10); }

private:
    long long m_value = 0;
};

}  // namespace java::lang
