#include "runtime/Long.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "runtime/Character.h"
#include "runtime/NumberFormatException.h"
#include "runtime/String.h"

namespace java::lang {

Long* Long::TESLinvokeconstructor(long long value) {
    Object::TESLinvokeconstructor();
    m_value = value;
    return this;
}

bool Long::equals(JavaPtr<Object> other) {
    JavaPtr<Long> number = jcast<Long>(other);
    return number && number->m_value == m_value;
}

JavaPtr<String> Long::toString() {
    return toString(m_value, 10);
}

long long Long::parseLong(const JavaPtr<String>& text, int radix) {
    if (!text) throw NumberFormatException();
    if (radix < 2 || radix > 36) radix = 10;
    const unsigned short* units = text->unitData();
    const int32_t count = text->length();
    // Unsigned, so that long texts wrap instead of overflowing.
    uint64_t value = 0;
    bool negative = false;
    for (int32_t i = 0; i < count; ++i) {
        const unsigned short unit = Character::toUpperCase(units[i]);
        if (i == 0 && unit == '\\') throw NumberFormatException();
        if (i == 0 && unit == '-') {
            negative = true;
            continue;
        }
        int digit = radix;
        if (unit >= '0' && unit <= '9')
            digit = unit - '0';
        else if (unit >= 'A' && unit <= 'Z')
            digit = unit - 'A' + 10;
        if (digit >= radix) break;
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
    }
    if (negative) value = 0 - value;
    return static_cast<long long>(value);
}

namespace {

// "00" to "99": decimal text is written two digits per division by a constant, which the compiler turns
// into a multiplication; a division by a radix known only at run time is many times slower.
constexpr auto kDigitPairs = [] {
    std::array<char16_t, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char16_t>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char16_t>('0' + i % 10);
    }
    return pairs;
}();

int decimalDigitCount(uint64_t magnitude) {
    int count = 1;
    for (;;) {
        if (magnitude < 10) return count;
        if (magnitude < 100) return count + 1;
        if (magnitude < 1000) return count + 2;
        if (magnitude < 10000) return count + 3;
        magnitude /= 10000;
        count += 4;
    }
}

// Writes backwards from end, so the digits need no buffer of their own: the string is made with its
// length known and filled where it lies.
void writeDecimalDigits(uint64_t magnitude, char16_t* end) {
    while (magnitude > UINT32_MAX) {
        const auto pair = static_cast<size_t>(magnitude % 100) * 2;
        magnitude /= 100;
        *--end = kDigitPairs[pair + 1];
        *--end = kDigitPairs[pair];
    }
    // Most numbers fit 32 bits, whose division by a constant is a cheaper multiplication.
    auto small = static_cast<uint32_t>(magnitude);
    while (small >= 100) {
        const auto pair = static_cast<size_t>(small % 100) * 2;
        small /= 100;
        *--end = kDigitPairs[pair + 1];
        *--end = kDigitPairs[pair];
    }
    if (small >= 10) {
        const auto pair = static_cast<size_t>(small) * 2;
        *--end = kDigitPairs[pair + 1];
        *--end = kDigitPairs[pair];
    } else {
        *--end = static_cast<char16_t>('0' + small);
    }
}

JavaPtr<String> decimalText(long long value) {
    const bool negative = value < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const int count = decimalDigitCount(magnitude) + (negative ? 1 : 0);
    return String::writtenInPlace(count, [&](char16_t* text) {
        writeDecimalDigits(magnitude, text + count);
        if (negative) text[0] = u'-';
    });
}

}  // namespace

JavaPtr<String> Long::toString(long long value, int radix) {
    if (radix < 2 || radix > 36 || radix == 10) return decimalText(value);
    const bool negative = value < 0;
    // MIN_VALUE's magnitude, 2^63, only fits unsigned.
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    unsigned short text[65];
    int start = sizeof(text) / sizeof(text[0]);
    do {
        const auto digit = static_cast<unsigned>(magnitude % static_cast<unsigned>(radix));
        text[--start] = static_cast<unsigned short>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        magnitude /= static_cast<unsigned>(radix);
    } while (magnitude != 0);
    if (negative) text[--start] = '-';
    return jnew<String>(text + start, static_cast<int>(sizeof(text) / sizeof(text[0])) - start);
}

}  // namespace java::lang
