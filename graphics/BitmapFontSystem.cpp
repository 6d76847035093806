#include "graphics/BitmapFontSystem.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "graphics/BitmapFontDecoder.h"
#include "library/InputStream.h"
#include "runtime/Class.h"
#include "runtime/String.h"

namespace javax::microedition::lcdui {

JavaPtr<JArray<int>> BitmapFontSystem::m_bpp;
JavaPtr<JArray<int>> BitmapFontSystem::m_fontHeight;
JavaPtr<JArray<JavaPtr<JArray<int>>>> BitmapFontSystem::m_charWidths;
JavaPtr<JArray<JavaPtr<JArray<int>>>> BitmapFontSystem::m_charYOffset;
JavaPtr<JArray<JavaPtr<JArray<int>>>> BitmapFontSystem::m_charToIndex;
JavaPtr<JArray<JavaPtr<JArray<int>>>> BitmapFontSystem::m_directGlyph;
JavaPtr<JArray<JavaPtr<JArray<unsigned int>>>> BitmapFontSystem::m_packedPixelData;
JavaPtr<JArray<JavaPtr<JArray<unsigned char>>>> BitmapFontSystem::m_charPixels;
bool BitmapFontSystem::m_initialised = false;
std::mutex BitmapFontSystem::m_fontMutex;
std::atomic<bool> BitmapFontSystem::m_loaded{false};
std::atomic<int> BitmapFontSystem::m_loadedHeight[kFontCount];
std::atomic<uint32_t> BitmapFontSystem::m_tablesGeneration{0};

namespace {

template <class E, class Source>
JavaPtr<JArray<E>> arrayOf(const Source& values) {
    JavaPtr<JArray<E>> array = jnewArray<E>(static_cast<int>(values.size()));
    if (!values.empty()) std::memcpy(array->data, values.data(), values.size() * sizeof(E));
    return array;
}

// A per-font array holding the one font's table.
template <class E>
JavaPtr<JArray<JavaPtr<JArray<E>>>> perFont(const JavaPtr<JArray<E>>& table) {
    JavaPtr<JArray<JavaPtr<JArray<E>>>> fonts = jnewArray<JavaPtr<JArray<E>>>(BitmapFontSystem::kFontCount);
    fonts->data[0] = table;
    return fonts;
}

}  // namespace

bool BitmapFontSystem::init() {
    if (m_initialised) return true;
    const std::string name = _INTERNAL_BMP_FONT_RESNAME;
    if (name.empty()) return false;
    JavaPtr<java::io::InputStream> stream = jnew<java::lang::Object>()->getClass()->getResourceAsStream(
        jnew<java::lang::String>(("/" + name).c_str()));
    if (!stream) return false;
    const int size = stream->available();
    if (size <= 0) {
        stream->close();
        return false;
    }
    JavaPtr<JArray<signed char>> bytes;
    try {
        bytes = jnewArray<signed char>(size);
    } catch (const std::bad_alloc&) {
        std::printf("BitmapFontSystem: no memory for the %d bytes of font \"/%s\"\n", size, name.c_str());
        std::fflush(stdout);
        return false;
    }
    // A short read leaves a truncated file, which the decoder rejects.
    const int read = stream->read(bytes);
    stream->close();
    return initFromData(reinterpret_cast<const uint8_t*>(bytes->data),
                        read > 0 ? static_cast<size_t>(read) : 0);
}

int BitmapFontSystem::getFontIndex(int) {
    return 0;
}

bool BitmapFontSystem::initFromData(const uint8_t* data, size_t size) {
    BitmapFontTables tables;
    const char* reason = nullptr;
    bool loaded = BitmapFontDecoder::decode(data, size, &tables, &reason);
    if (!loaded) reason = reason != nullptr ? reason : "unreadable";
    if (loaded) {
        try {
            install(tables);
        } catch (const std::bad_alloc&) {
            // As for a font that cannot be read: start-up goes on without text.
            loaded = false;
            reason = "out of memory";
        }
    }
    if (!loaded) {
        std::lock_guard<std::mutex> lock(m_fontMutex);
        releaseTables();
        m_initialised = false;
        std::printf("BitmapFontSystem: font \"/%s\" rejected: %s\n", _INTERNAL_BMP_FONT_RESNAME, reason);
        std::fflush(stdout);
    }
    return loaded;
}

void BitmapFontSystem::install(const BitmapFontTables& tables) {
    JavaPtr<JArray<int>> bpp = jnewArray<int>(kFontCount);
    JavaPtr<JArray<int>> height = jnewArray<int>(kFontCount);
    auto widths = perFont(arrayOf<int>(tables.charWidths));
    auto offsets = perFont(arrayOf<int>(tables.charYOffset));
    auto characters = perFont(arrayOf<int>(tables.charToIndex));
    auto packed = perFont(arrayOf<unsigned int>(tables.packedPixelData));
    auto scratch = perFont(jnewArray<unsigned char>(kScratchColumns * tables.fontHeight));
    // Filled by the search itself, so both ways give the same glyph for every character.
    JavaPtr<JArray<int>> direct = jnewArray<int>(kDirectGlyphCount);
    for (int c = 0; c < kDirectGlyphCount; ++c)
        direct->data[c] = searchGlyph(*characters->data[0], static_cast<unsigned short>(c));
    auto directs = perFont(direct);
    bpp->data[0] = tables.bpp;
    height->data[0] = tables.fontHeight;

    std::lock_guard<std::mutex> lock(m_fontMutex);
    m_bpp = bpp;
    m_fontHeight = height;
    m_charWidths = widths;
    m_charYOffset = offsets;
    m_charToIndex = characters;
    m_directGlyph = directs;
    m_packedPixelData = packed;
    m_charPixels = scratch;
    m_initialised = true;
    m_loadedHeight[0] = tables.fontHeight;
    m_loaded = true;
    m_tablesGeneration.fetch_add(1, std::memory_order_acq_rel);
}

void BitmapFontSystem::releaseTables() {
    m_loaded = false;
    m_tablesGeneration.fetch_add(1, std::memory_order_acq_rel);
    for (std::atomic<int>& height : m_loadedHeight) height = 0;
    m_charPixels = nullptr;
    m_packedPixelData = nullptr;
    m_charWidths = nullptr;
    m_charYOffset = nullptr;
    m_charToIndex = nullptr;
    m_directGlyph = nullptr;
}

void BitmapFontSystem::BitmapFontSystem_staticDestroy() {
    std::lock_guard<std::mutex> lock(m_fontMutex);
    releaseTables();
}

bool BitmapFontSystem::isLoaded() {
    return m_loaded;
}

int BitmapFontSystem::fontHeight(int fontIndex) {
    return m_loadedHeight[fontIndex];
}

int BitmapFontSystem::findGlyph(int fontIndex, unsigned short c) {
    std::lock_guard<std::mutex> lock(m_fontMutex);
    return findGlyphLocked(fontIndex, c);
}

int BitmapFontSystem::findGlyphLocked(int fontIndex, unsigned short c) {
    if (!isLoaded()) return -1;
    if (c < kDirectGlyphCount) return m_directGlyph->data[fontIndex]->data[c];
    return searchGlyph(*m_charToIndex->data[fontIndex], c);
}

int BitmapFontSystem::searchGlyph(const JArray<int>& table, unsigned short c) {
    int lo = 0;
    int hi = table.length - 1;
    while (lo <= hi) {
        int mid = (lo + hi) >> 1;
        if (c > (table.data[mid] & 0xFFFF))
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    if (lo < table.length && (table.data[lo] & 0xFFFF) == c)
        return static_cast<int>(static_cast<uint32_t>(table.data[lo]) >> 16);
    return -1;
}

void BitmapFontSystem::unpackGlyph(int fontIndex, int glyph, int column, int row, int width, int height,
                                   uint8_t* dest) {
    const int lineHeight = m_fontHeight->data[fontIndex];
    const unsigned int* packed = m_packedPixelData->data[fontIndex]->data;
    if (m_bpp->data[fontIndex] == 8) {
        for (int r = 0; r < height; ++r) {
            const unsigned int* words = packed + (static_cast<size_t>(glyph) * lineHeight + row + r) * 8;
            if constexpr (std::endian::native == std::endian::little) {
                // Byte k of a row's words is column k.
                std::memcpy(dest + r * width, reinterpret_cast<const uint8_t*>(words) + column,
                            static_cast<size_t>(width));
                continue;
            }
            for (int k = 0; k < width; ++k) {
                const int x = column + k;
                dest[r * width + k] = static_cast<uint8_t>(words[x >> 2] >> ((x & 3) * 8));
            }
        }
    } else {
        for (int r = 0; r < height; ++r) {
            const unsigned int bits = packed[static_cast<size_t>(glyph) * lineHeight + row + r] >> column;
            for (int k = 0; k < width; ++k) dest[r * width + k] = (bits >> k) & 1 ? 255 : 0;
        }
    }
}

}  // namespace javax::microedition::lcdui
