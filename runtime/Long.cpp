#include "runtime/Long.h"

#include "runtime/String.h"

namespace java::lang {

JavaPtr<String> Long::toString(long long value, int radix) {
    if (radix < 2 || radix > 36) radix = 10;
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    unsigned short digits[65];
    int count = 0;
    do {
        const auto digit = static_cast<unsigned>(magnitude % static_cast<unsigned>(radix));
        digits[count++] = static_cast<unsigned short>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        magnitude /= static_cast<unsigned>(radix);
    } while (magnitude != 0);
    unsigned short text[66];
    int length = 0;
    if (negative) text[length++] = '-';
    while (count > 0) text[length++] = digits[--count];
    return jnew<String>(static_cast<const unsigned short*>(text), length);
}

}  // namespace java::lang
