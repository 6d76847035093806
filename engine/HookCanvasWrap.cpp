// Word wrap: an ENC string broken into lines that fit a pixel width in a font slot, at spaces, line
// feeds and the string's hyphenation guidelines.
#include <algorithm>
#include <vector>

#include "engine/EncStringReader.h"
#include "engine/HookCanvas.h"

using java::lang::String;

namespace {

constexpr unsigned short kSpace = ' ';
constexpr unsigned short kLineFeed = 10;

bool isHardSpace(unsigned short c) {
    return c == 0x00A0 || c == 0x00AC;
}

}  // namespace

JavaPtr<JArray<JavaPtr<String>>> HookCanvas::splitENCString(const JavaPtr<JArray<signed char>>& enc,
                                                            int32_t font, int32_t width) {
    if (!enc) return nullptr;
    const enctext::EncStringLayout layout = enctext::requireLayout(enc);
    const uint8_t* bytes = enctext::bytesOf(enc);
    const int n = layout.count;

    // The characters with a line feed as end mark, and each width measured once for both passes.
    std::vector<unsigned short> chars(static_cast<size_t>(n) + 1);
    std::vector<int32_t> widths(static_cast<size_t>(n) + 1, 0);
    // Sums are 64-bit: 65535 characters of a font's widest glyph overflow 32 bits.
    int64_t total = 0;
    bool hasLineFeed = false;
    for (int i = 0; i < n; ++i) {
        chars[i] = layout.characterAt(bytes, i);
        widths[i] = getCharWidth(font, chars[i]);
        total += widths[i];
        hasLineFeed = hasLineFeed || chars[i] == kLineFeed;
    }
    chars[n] = kLineFeed;

    auto lineOf = [&](int begin, int end) {
        return jnew<String>(chars.data() + begin, std::max(0, end - begin));
    };
    if (total <= width && !hasLineFeed) {
        auto lines = jnew<JArray<JavaPtr<String>>>(1);
        lines->data[0] = replaceHardSpaces(lineOf(0, n));
        return lines;
    }

    const int guidelineCount = layout.guidelineCount;
    std::vector<int32_t> guidelines(static_cast<size_t>(guidelineCount));
    for (int g = 0; g < guidelineCount; ++g) guidelines[g] = layout.guidelineAt(bytes, g);
    const int32_t positionMask = ~TS_TEXT_GUIDELINE_TYPE_MASK;
    const int32_t sw = getCharWidth(font, kSpace);
    const int32_t hw = getCharWidth(font, '-');
    const JavaPtr<String> hyphen = jnew<String>("-");

    JavaPtr<JArray<JavaPtr<String>>> lines;
    for (int pass = 0; pass < 2; ++pass) {
        int64_t w = 0;
        int64_t f = 0;
        int k = 0;
        int s = 0;
        int L = 0;
        int g = 0;
        for (int i = 0; i <= n; ++i) {
            const unsigned short c = chars[i];
            const bool guidelinePoint = g < guidelineCount && (guidelines[g] & positionMask) == i;
            const int32_t e = guidelinePoint && (guidelines[g] & TS_TEXT_GUIDELINE_TYPE_MASK) == 0 ? hw : 0;
            if (c != kSpace && c != kLineFeed && !guidelinePoint) {
                f += isHardSpace(c) ? sw : widths[i];
                ++k;
                continue;
            }
            if (w + f + e > width) {
                const int b = i - k;
                // An over-wide fragment at the start of a line stays on it: only a line with something
                // before the fragment ends here.
                if (w != 0) {
                    if (pass == 1) {
                        const int end = b > s && chars[b - 1] == kSpace ? b - 1 : b;
                        JavaPtr<String> line = lineOf(s, end);
                        if (guidelineCount != 0 && g != 0 && (guidelines[g - 1] & positionMask) == b &&
                            (guidelines[g - 1] & TS_TEXT_GUIDELINE_TYPE_MASK) == 0)
                            line = *line + hyphen;
                        lines->data[L] = line;
                    }
                    ++L;
                }
                s = b;
                w = 0;
            }
            if (c == kSpace) w += sw;
            const int64_t fragment = f;
            if (guidelinePoint) {
                f = widths[i];
                k = 1;
            } else {
                f = 0;
                k = 0;
            }
            if (c == kLineFeed) {
                if (pass == 1) lines->data[L] = lineOf(s, i);
                ++L;
                s = i + 1;
                w = 0;
            } else {
                w += fragment;
            }
            if (guidelinePoint) ++g;
        }
        if (pass == 0) lines = jnew<JArray<JavaPtr<String>>>(L);
    }
    for (int i = 0; i < lines->length; ++i) lines->data[i] = replaceHardSpaces(lines->data[i]);
    return lines;
}

JavaPtr<JArray<JavaPtr<String>>> HookCanvas::splitString(const JavaPtr<String>& text, int32_t font,
                                                         int32_t width) {
    return splitENCString(getENCStringFromString(text), font, width);
}
