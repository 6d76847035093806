// java.lang.Integer: the 32-bit wrapper and its text forms.
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

    static JavaPtr<String> toString(int value, int radix);
    static JavaPtr<String> toString(int value) { return toString(value, 10); }
    // The 32-bit pattern, unsigned, in radix 16.
    static JavaPtr<String> toHexString(int value);
};

}  // namespace java::lang
