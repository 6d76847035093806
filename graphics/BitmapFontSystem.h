// The one bitmap font every text is measured and drawn with: loaded once at start-up from the
// "tsbmpfnt" resource, kept as packed glyph rows with a sorted character table, released at tear-down.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace javax::microedition::lcdui {

struct BitmapFontTables;

class BitmapFontSystem : public java::lang::Object {
    TESL_CLASS(BitmapFontSystem, "javax.microedition.lcdui.BitmapFontSystem", java::lang::Object)
public:
    // Every font byte selects this one font.
    static constexpr int kFontCount = 1;
    // The resource name, without its leading "/".
    static constexpr const char* _INTERNAL_BMP_FONT_RESNAME = "tsbmpfnt";
    // Width measured for a character the font lacks, and the advance drawn for it.
    static constexpr int kMissingCharWidth = 10;
    static constexpr int kMissingCharAdvance = 11;
    static constexpr int kScratchColumns = 32;
    // Characters below this are found through a direct table rather than by searching the sorted one:
    // Latin-1 text is what nearly every string is made of.
    static constexpr int kDirectGlyphCount = 256;

    // Loads the font from the resource once; false (logged) when it is missing or rejected, in which
    // case a later call tries again.
    static bool init();
    static int getFontIndex(int fontByte);
    // Releases the tables. The font counts as initialised afterwards and is not loaded again.
    static void BitmapFontSystem_staticDestroy();

    // Loads the font from the bytes of a font file, replacing any font loaded before; what init()
    // does with the resource. On failure the font is left unloaded and the reason is logged.
    static bool initFromData(const uint8_t* data, size_t size);

    // The font may be replaced (initFromData) while other threads measure and draw: the tables are read
    // under fontMutex(). isLoaded and fontHeight need no lock; they read copies kept beside the tables.
    // True while tables are present to measure and draw with.
    static bool isLoaded();
    // Line height; 0 while nothing is loaded.
    static int fontHeight(int fontIndex);
    // Changes whenever the tables are installed or released, so that widths kept from an earlier font
    // can be told apart.
    static uint32_t tablesGeneration() { return m_tablesGeneration.load(std::memory_order_acquire); }
    // The glyph index of a character, or -1 when the font lacks it (or is not loaded). Takes the lock.
    static int findGlyph(int fontIndex, unsigned short c);
    // The same for a caller that holds fontMutex(), as it must for every call below: a glyph index
    // found in one font means nothing in the tables of the next.
    static int findGlyphLocked(int fontIndex, unsigned short c);
    static int glyphWidth(int fontIndex, int glyph) { return m_charWidths->data[fontIndex]->data[glyph]; }
    static int glyphYOffset(int fontIndex, int glyph) { return m_charYOffset->data[fontIndex]->data[glyph]; }
    // Copies the columns [column, column + width) of rows [row, row + height) of a glyph into dest as
    // coverage bytes, width bytes per row. Columns must lie within 0..31 and rows within the font.
    static void unpackGlyph(int fontIndex, int glyph, int column, int row, int width, int height,
                            uint8_t* dest);
    // The scratch buffer of 32 x font height bytes that drawing unpacks glyphs into.
    static uint8_t* scratchBuffer(int fontIndex) { return m_charPixels->data[fontIndex]->data; }
    static std::mutex& fontMutex() { return m_fontMutex; }

    // Arrays of one element per font index; the tables are arrays in their own right.
    static JavaPtr<JArray<int>> m_bpp;
    static JavaPtr<JArray<int>> m_fontHeight;
    static JavaPtr<JArray<JavaPtr<JArray<int>>>> m_charWidths;
    static JavaPtr<JArray<JavaPtr<JArray<int>>>> m_charYOffset;
    static JavaPtr<JArray<JavaPtr<JArray<int>>>> m_charToIndex;
    // The glyph index (or -1) of each character below kDirectGlyphCount, as the sorted search finds it.
    static JavaPtr<JArray<JavaPtr<JArray<int>>>> m_directGlyph;
    static JavaPtr<JArray<JavaPtr<JArray<unsigned int>>>> m_packedPixelData;
    static JavaPtr<JArray<JavaPtr<JArray<unsigned char>>>> m_charPixels;
    static bool m_initialised;

private:
    // Throws std::bad_alloc, installing nothing, when the tables cannot be had.
    static void install(const BitmapFontTables& tables);
    static void releaseTables();
    static int searchGlyph(const JArray<int>& table, unsigned short c);

    // Guards the tables above, which initFromData replaces and tear-down releases, and m_charPixels,
    // which glyphs are unpacked into and blended from, one string at a time.
    static std::mutex m_fontMutex;
    // What isLoaded and fontHeight answer, written under the lock with the tables.
    static std::atomic<bool> m_loaded;
    static std::atomic<int> m_loadedHeight[kFontCount];
    static std::atomic<uint32_t> m_tablesGeneration;
};

}  // namespace javax::microedition::lcdui
