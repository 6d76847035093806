#include "runtime/Double.h"

#include "runtime/NumberFormatException.h"
#include "runtime/String.h"

namespace java::lang {

namespace {

// A sign, up to 309 integer digits, the point and 17 fraction digits.
constexpr int kMaxTextLength = 1 + 309 + 1 + 17;

constexpr double kTwoTo64 = 18446744073709551616.0;

// Writes the decimal digits of a non-negative integral double, exactly, and returns their count.
int writeIntegralDigits(double magnitude, unsigned short* out) {
    char digits[310];
    int count = 0;
    if (magnitude < kTwoTo64) {
        auto n = static_cast<uint64_t>(magnitude);
        do {
            digits[count++] = static_cast<char>('0' + n % 10);
            n /= 10;
        } while (n != 0);
    } else {
        // mantissa * 2^shift, built up in base-10^9 limbs, least significant first.
        const auto bits = std::bit_cast<uint64_t>(magnitude);
        const int shift = static_cast<int>(bits >> 52 & 0x7FF) - 1075;
        uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | uint64_t{1} << 52;
        uint32_t limbs[36];
        int limbCount = 0;
        while (mantissa != 0) {
            limbs[limbCount++] = static_cast<uint32_t>(mantissa % 1000000000u);
            mantissa /= 1000000000u;
        }
        for (int remaining = shift; remaining > 0;) {
            const int step = remaining < 29 ? remaining : 29;
            remaining -= step;
            uint64_t carry = 0;
            for (int i = 0; i < limbCount; ++i) {
                const uint64_t product = (uint64_t{limbs[i]} << step) + carry;
                limbs[i] = static_cast<uint32_t>(product % 1000000000u);
                carry = product / 1000000000u;
            }
            while (carry != 0) {
                limbs[limbCount++] = static_cast<uint32_t>(carry % 1000000000u);
                carry /= 1000000000u;
            }
        }
        for (int i = 0; i < limbCount; ++i) {
            uint32_t limb = limbs[i];
            const bool last = i == limbCount - 1;
            for (int k = 0; k < 9 && (!last || limb != 0); ++k) {
                digits[count++] = static_cast<char>('0' + limb % 10);
                limb /= 10;
            }
        }
    }
    for (int i = 0; i < count; ++i) out[i] = static_cast<unsigned short>(digits[count - 1 - i]);
    return count;
}

// Built from units, not from a C string, so that it carries no literal flag like every computed text.
JavaPtr<String> textOf(const char* text) {
    unsigned short units[16];
    int count = 0;
    while (text[count] != 0) {
        units[count] = static_cast<unsigned short>(text[count]);
        ++count;
    }
    return jnew<String>(units, count);
}

}  // namespace

Double* Double::TESLinvokeconstructor(double value) {
    Object::TESLinvokeconstructor();
    m_value = value;
    return this;
}

bool Double::equals(JavaPtr<Object> other) {
    JavaPtr<Double> number = jcast<Double>(other);
    return number && number->m_value == m_value;
}

JavaPtr<String> Double::toString() {
    return toString(m_value);
}

JavaPtr<String> Double::toString(double value) {
    if (isNaN(value)) return textOf("NaN");
    if (isInfinite(value)) return textOf(value < 0 ? "-Infinity" : "Infinity");
    unsigned short text[kMaxTextLength];
    int length = 0;
    // The integer part, exact at any magnitude; within the int range this is the plain truncation.
    // Every double from 2^52 on is integral.
    const double magnitude = value < 0 ? -value : value;
    const double integral =
        magnitude < 4503599627370496.0 ? static_cast<double>(static_cast<int64_t>(magnitude)) : magnitude;
    // Between -1 and 0 the text starts "-0"; -0.0 is not below 0 and gets no sign.
    if (value < 0) text[length++] = '-';
    length += writeIntegralDigits(integral, text + length);
    text[length++] = '.';
    double fraction = magnitude - integral;
    int digits = 0;
    for (;;) {
        const double scaled = fraction * 10.0;
        const int digit = static_cast<int>(scaled);
        text[length++] = static_cast<unsigned short>('0' + digit);
        ++digits;
        fraction = scaled - digit;
        if (digits == 17 || (fraction >= -1e-7 && fraction <= 1e-7)) break;
    }
    return jnew<String>(text, length);
}

double Double::parseDouble(const JavaPtr<String>& text) {
    if (!text) throw NumberFormatException();
    double value = 0.0;
    double scale = 0.0;
    // Kept apart from the scale, which underflows to 0 after some 320 fraction digits and would
    // otherwise turn the following digits back into integer digits.
    bool pointSeen = false;
    bool negative = false;
    const unsigned short* units = text->unitData();
    const int32_t count = text->length();
    for (int32_t i = 0; i < count; ++i) {
        const unsigned short unit = units[i];
        if (unit == '.') {
            // Every point restarts the fraction weights: "1.5.5" is 2.0.
            scale = 1.0;
            pointSeen = true;
            continue;
        }
        scale = scale * 0.1;
        if (i == 0 && unit == '-') {
            negative = true;
            continue;
        }
        if (unit < '0' || unit > '9') break;
        const int digit = unit - '0';
        if (!pointSeen)
            value = value * 10.0 + digit;
        else
            value = value + scale * digit;
    }
    return negative ? -value : value;
}

JavaPtr<Double> Double::valueOf(const JavaPtr<String>& text) {
    return jnew<Double>(parseDouble(text));
}

}  // namespace java::lang
