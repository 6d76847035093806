// ENC strings, the language table and string insertion: the canvas's encoded texts, their conversion
// to and from String, and the marker replacement that keeps hyphenation guidelines in step.
#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "engine/EncStringReader.h"
#include "engine/HookCanvas.h"
#include "graphics/PixelLoops.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"

using enctext::bytesOf;
using enctext::EncStringLayout;
using enctext::requireLayout;
using java::lang::String;

namespace {

using Bytes = JArray<signed char>;

void putU16(signed char* p, int value) {
    p[0] = static_cast<signed char>(value >> 8);
    p[1] = static_cast<signed char>(value);
}

// The two hard spaces: the no-break space and the sign the texts use for one.
constexpr unsigned short kNoBreakSpace = 0x00A0;
constexpr unsigned short kNotSign = 0x00AC;

bool isHardSpace(unsigned short c) {
    return c == kNoBreakSpace || c == kNotSign;
}

unsigned short spaceFor(unsigned short c) {
    return isHardSpace(c) ? u' ' : c;
}

#if defined(__x86_64__)

#define QUILL_AVX2 __attribute__((target("avx2")))
#define QUILL_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl")))

// Lanes whose unit is a hard space, as a mask of 32 lanes.
QUILL_AVX512 inline __mmask32 hardLanes512(__m512i v) {
    return _mm512_cmpeq_epi16_mask(v, _mm512_set1_epi16(kNoBreakSpace)) |
           _mm512_cmpeq_epi16_mask(v, _mm512_set1_epi16(kNotSign));
}

QUILL_AVX512 int firstHardSpaceAvx512(const unsigned short* units, int n) {
    for (int i = 0; i < n; i += 32) {
        const __mmask32 active = n - i >= 32 ? ~__mmask32{0} : (__mmask32{1} << (n - i)) - 1;
        const __mmask32 hard = hardLanes512(_mm512_maskz_loadu_epi16(active, units + i)) & active;
        if (hard != 0) return i + __builtin_ctz(hard);
    }
    return n;
}

QUILL_AVX512 void replaceInPlaceAvx512(unsigned short* units, int n) {
    const __m512i space = _mm512_set1_epi16(' ');
    for (int i = 0; i < n; i += 32) {
        const __mmask32 active = n - i >= 32 ? ~__mmask32{0} : (__mmask32{1} << (n - i)) - 1;
        const __m512i v = _mm512_maskz_loadu_epi16(active, units + i);
        const __mmask32 hard = hardLanes512(v) & active;
        if (hard != 0) _mm512_mask_storeu_epi16(units + i, hard, space);
    }
}

QUILL_AVX2 inline __m256i hardLanes256(__m256i v) {
    return _mm256_or_si256(_mm256_cmpeq_epi16(v, _mm256_set1_epi16(kNoBreakSpace)),
                           _mm256_cmpeq_epi16(v, _mm256_set1_epi16(kNotSign)));
}

QUILL_AVX2 int firstHardSpaceAvx2(const unsigned short* units, int n) {
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(units + i));
        // Two mask bits per unit.
        const auto hard = static_cast<uint32_t>(_mm256_movemask_epi8(hardLanes256(v)));
        if (hard != 0) return i + __builtin_ctz(hard) / 2;
    }
    for (; i < n; ++i) {
        if (isHardSpace(units[i])) return i;
    }
    return n;
}

QUILL_AVX2 void replaceInPlaceAvx2(unsigned short* units, int n) {
    const __m256i space = _mm256_set1_epi16(' ');
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(units + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(units + i),
                            _mm256_blendv_epi8(v, space, hardLanes256(v)));
    }
    for (; i < n; ++i) units[i] = spaceFor(units[i]);
}

#endif

#if defined(__SSE2__)

inline __m128i hardLanes128(__m128i v) {
    return _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(kNoBreakSpace)),
                        _mm_cmpeq_epi16(v, _mm_set1_epi16(kNotSign)));
}

int firstHardSpaceSse2(const unsigned short* units, int n) {
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        const auto hard = static_cast<uint32_t>(_mm_movemask_epi8(hardLanes128(v)));
        if (hard != 0) return i + __builtin_ctz(hard) / 2;
    }
    for (; i < n; ++i) {
        if (isHardSpace(units[i])) return i;
    }
    return n;
}

void replaceInPlaceSse2(unsigned short* units, int n) {
    const __m128i space = _mm_set1_epi16(' ');
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        const __m128i hard = hardLanes128(v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(units + i),
                         _mm_or_si128(_mm_andnot_si128(hard, v), _mm_and_si128(hard, space)));
    }
    for (; i < n; ++i) units[i] = spaceFor(units[i]);
}

#endif

// The widest vectors the pixel loops' switch allows (QUILL_PIXEL_LOOPS forces a narrower path, so the
// tests reach each one); every path gives the same units.
int firstHardSpace(const unsigned short* units, int n) {
    using javax::microedition::lcdui::pixels::LoopPath;
    const LoopPath path = javax::microedition::lcdui::pixels::loopPath();
#if defined(__x86_64__)
    if (path == LoopPath::Avx512) return firstHardSpaceAvx512(units, n);
    if (path == LoopPath::Avx2) return firstHardSpaceAvx2(units, n);
#endif
#if defined(__SSE2__)
    if (path == LoopPath::Sse2) return firstHardSpaceSse2(units, n);
#endif
    return static_cast<int>(std::find_if(units, units + n, isHardSpace) - units);
}

void replaceHardSpacesInPlace(unsigned short* units, int n) {
    using javax::microedition::lcdui::pixels::LoopPath;
    const LoopPath path = javax::microedition::lcdui::pixels::loopPath();
#if defined(__x86_64__)
    if (path == LoopPath::Avx512) return replaceInPlaceAvx512(units, n);
    if (path == LoopPath::Avx2) return replaceInPlaceAvx2(units, n);
#endif
#if defined(__SSE2__)
    if (path == LoopPath::Sse2) return replaceInPlaceSse2(units, n);
#endif
    for (int i = 0; i < n; ++i) units[i] = spaceFor(units[i]);
}

}  // namespace

int32_t HookCanvas::numLanguagesIncluded() {
    const auto codes = languages;
    return codes ? codes->length / 2 : 0;
}

JavaPtr<String> HookCanvas::getLanguageIDString(int32_t language) {
    const auto codes = languages;
    // A language beyond the resource map's codes has the empty name, as an unused code has.
    if (!codes || language < 0 || 2 * language + 1 >= codes->length) return jnew<String>("");
    const signed char c0 = codes->data[2 * language];
    const signed char c1 = codes->data[2 * language + 1];
    const int length = c0 == 0 ? 0 : (c1 == 0 ? 1 : 2);
    return jnew<String>(codes, 2 * language, length);
}

void HookCanvas::loadLanguage(int32_t language) {
    enc_strings = nullptr;
    const auto file = loadFileFromJar(getLanguageIDString(language), -1);
    if (!file) return;
    enc_strings = parseLanguageTable(file);
}

JavaPtr<JArray<JavaPtr<JArray<signed char>>>> HookCanvas::parseLanguageTable(const JavaPtr<Bytes>& file) {
    if (!file || file->length < 2) return nullptr;
    const uint8_t* bytes = bytesOf(file);
    const int64_t size = file->length;
    const int count = enctext::readS16(bytes);
    // Every id takes at least one byte: a count the file cannot hold is refused before the table is made.
    if (count < 0 || count > size - 2) return nullptr;
    auto table = jnew<JArray<JavaPtr<Bytes>>>(count);
    int64_t p = 2;
    for (int id = 0; id < count; ++id) {
        if (p >= size) return nullptr;
        if (bytes[p] == 0) {
            ++p;
            continue;
        }
        // Every entry must lie inside the file: a table that does not fit is dropped whole.
        EncStringLayout layout;
        if (!enctext::readEncStringLayout(bytes + p, size - p, layout, true)) return nullptr;
        const int length = static_cast<int>(layout.length);
        auto entry = jnew<Bytes>(length);
        std::copy(file->data + p, file->data + p + length, entry->data);
        table->data[id] = entry;
        p += length;
    }
    return table;
}

JavaPtr<JArray<signed char>> HookCanvas::getENCString(int32_t id) {
    const auto table = enc_strings;
    if (!table || id < 0 || id >= table->length) return nullptr;
    return table->data[id];
}

JavaPtr<String> HookCanvas::getString(int32_t id) {
    const auto enc = getENCString(id);
    if (!enc) return nullptr;
    return getStringFromENCString(enc);
}

JavaPtr<String> HookCanvas::getStringFromENCString(const JavaPtr<Bytes>& enc) {
    const EncStringLayout layout = requireLayout(enc);
    const uint8_t* bytes = bytesOf(enc);
    std::vector<unsigned short> units(static_cast<size_t>(layout.count));
    for (int i = 0; i < layout.count; ++i) units[static_cast<size_t>(i)] = layout.characterAt(bytes, i);
    return jnew<String>(units.data(), layout.count);
}

JavaPtr<JArray<signed char>> HookCanvas::getENCStringFromString(const JavaPtr<String>& s) {
    if (!s) throw java::lang::NullPointerException();
    const int n = s->length();
    // The count field holds 16 bits: a longer text is refused rather than cut to its low bits.
    if (n > enctext::kMaxCount) throw java::lang::IllegalArgumentException();
    auto enc = jnew<Bytes>(2 * n + 3);
    enc->data[0] = 2;
    putU16(enc->data + 1, n);
    for (int i = 0; i < n; ++i) putU16(enc->data + 3 + 2 * i, s->charAt(i));
    return enc;
}

JavaPtr<String> HookCanvas::insertStringIntoString(const JavaPtr<String>& text, const JavaPtr<String>& marker,
                                                   const JavaPtr<String>& insert) {
    if (!text || !marker) throw java::lang::NullPointerException();
    const int i = text->indexOf(marker);
    if (i == -1) return text;
    JavaPtr<String> result = *text->substring(0, i) + insert;
    if (i != text->length() - marker->length()) result = *result + text->substring(i + marker->length());
    return result;
}

JavaPtr<String> HookCanvas::insertString(const JavaPtr<String>& text, const JavaPtr<String>& marker,
                                         const JavaPtr<String>& insert) {
    return insertStringIntoString(text, marker, insert);
}

JavaPtr<String> HookCanvas::replaceHardSpaces(const JavaPtr<String>& s) {
    if (!s) throw java::lang::NullPointerException();
    // Every wrapped line passes through here: one scan up to the first hard space, and for a line that
    // has one a single copy, replaced from that space on while it is still in the cache.
    const int n = s->length();
    const int first = firstHardSpace(s->unitData(), n);
    if (first == n) return s;
    JavaPtr<String> replaced = jnew<String>(s);
    // The copy is this function's own until it returns: no other reference can see it change.
    unsigned short* units = const_cast<unsigned short*>(replaced->unitData());
    replaceHardSpacesInPlace(units + first, n - first);
    return replaced;
}

JavaPtr<String> HookCanvas::insertENCStringIntoString(const JavaPtr<String>& text,
                                                      const JavaPtr<String>& marker,
                                                      const JavaPtr<Bytes>& insert) {
    return insertStringIntoString(text, marker, getStringFromENCString(insert));
}

JavaPtr<JArray<signed char>> HookCanvas::insertStringIntoENCString(const JavaPtr<Bytes>& text,
                                                                   const JavaPtr<String>& marker,
                                                                   const JavaPtr<String>& insert) {
    return insertENCStringIntoENCString(text, marker, getENCStringFromString(insert));
}

JavaPtr<JArray<signed char>> HookCanvas::insertENCStringIntoENCString(const JavaPtr<Bytes>& text,
                                                                      const JavaPtr<String>& marker,
                                                                      const JavaPtr<Bytes>& insert) {
    if (!marker) throw java::lang::NullPointerException();
    const EncStringLayout host = requireLayout(text);
    const EncStringLayout added = requireLayout(insert);
    const uint8_t* hostBytes = bytesOf(text);
    const uint8_t* addedBytes = bytesOf(insert);
    const int nt = host.count;
    const int ni = added.count;
    const int k = marker->length();

    // The last occurrence wins; an empty marker matches at the very end.
    int p = -1;
    for (int i = 0; i <= nt - k; ++i) {
        int j = 0;
        while (j < k && host.characterAt(hostBytes, i + j) == marker->charAt(j)) ++j;
        if (j == k) p = i;
    }
    if (p == -1) return text;

    const int n = nt - k + ni;
    const int guidelines = host.guidelineCount + added.guidelineCount;
    if (n > enctext::kMaxCount || guidelines > enctext::kMaxCount)
        throw java::lang::IllegalArgumentException();
    const int recordSize = enctext::guidelineRecordSize(n);
    int length = 3 + 2 * n;
    if (guidelines != 0) length += 2 + guidelines * recordSize;
    auto result = jnew<Bytes>(length);
    signed char* out = result->data;
    out[0] = static_cast<signed char>(guidelines == 0 ? 2 : 2 | TEXTFLAG_CONTAINS_HYPHENATION_GUIDELINES);
    putU16(out + 1, n);
    int at = 3;
    if (guidelines != 0) {
        putU16(out + 3, guidelines);
        at = 5;
    }
    auto putCharacter = [&](unsigned short c) {
        putU16(out + at, c);
        at += 2;
    };
    for (int i = 0; i < p; ++i) putCharacter(host.characterAt(hostBytes, i));
    for (int i = 0; i < ni; ++i) putCharacter(added.characterAt(addedBytes, i));
    for (int i = p + k; i < nt; ++i) putCharacter(host.characterAt(hostBytes, i));

    if (guidelines == 0) return result;
    auto putGuideline = [&](int32_t guideline, int shift) {
        const int position = (guideline & enctext::kGuidelinePositionMask) + shift;
        if (recordSize == 2) {
            out[at++] = static_cast<signed char>(position);
        } else {
            putU16(out + at, position);
            at += 2;
        }
        out[at++] =
            static_cast<signed char>(static_cast<uint32_t>(guideline) >> enctext::kGuidelineTypeShift);
    };
    for (int g = 0; g < host.guidelineCount; ++g) {
        const int32_t guideline = host.guidelineAt(hostBytes, g);
        if ((guideline & enctext::kGuidelinePositionMask) < p) putGuideline(guideline, 0);
    }
    for (int g = 0; g < added.guidelineCount; ++g) putGuideline(added.guidelineAt(addedBytes, g), p);
    for (int g = 0; g < host.guidelineCount; ++g) {
        const int32_t guideline = host.guidelineAt(hostBytes, g);
        if ((guideline & enctext::kGuidelinePositionMask) >= p) putGuideline(guideline, ni - k);
    }
    return result;
}
