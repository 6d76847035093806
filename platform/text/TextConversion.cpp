#include "platform/text/TextConversion.h"

#include <cstdlib>

namespace {

unsigned char* putCodePoint(unsigned char* out, uint32_t c) {
    if (c < 0x80) {
        *out++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<unsigned char>(0xC0 | (c >> 6));
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<unsigned char>(0xE0 | (c >> 12));
        *out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<unsigned char>(0xF0 | (c >> 18));
        *out++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    return out;
}

bool isHighSurrogate(uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(uint16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

char* _utf8EncodeString(const uint16_t* text, int count) {
    if (text == nullptr || count < 0) count = 0;
    // A pair takes four of its six bytes and every other unit at most three, so the block always suffices.
    auto* result = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(count) * 3 + 1));
    if (result == nullptr) return nullptr;
    unsigned char* out = result;
    for (int i = 0; i < count; ++i) {
        const uint16_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < count && isLowSurrogate(text[i + 1])) {
            const uint32_t c = 0x10000 + ((static_cast<uint32_t>(unit) - 0xD800) << 10) +
                               (static_cast<uint32_t>(text[i + 1]) - 0xDC00);
            out = putCodePoint(out, c);
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            out = putCodePoint(out, 0xFFFD);
        } else {
            out = putCodePoint(out, unit);
        }
    }
    *out = 0;
    return reinterpret_cast<char*>(result);
}
