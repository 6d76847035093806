// java.lang.Long: the runtime's one integer formatter (and, with the numbers, its parser).
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

    // Digits most significant first, lower-case letters, a leading '-' for a negative value; a radix
    // outside 2..36 means 10.
    static JavaPtr<String> toString(long long value, int radix);
    static JavaPtr<String> toString(long long value) { return toString(value, 10); }
};

}  // namespace java::lang
