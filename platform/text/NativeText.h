// Text measured and drawn with the system font, the configuration alternative to the bitmap font:
// DejaVu Sans on FreeType. The font flags are the MIDP font byte: its size bits choose 14 pixels
// (small), 22 (large) or 18 (medium), its style bits the bold face or else the oblique one.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

struct NativeUIFont;

// Whether the font for the flags is available. When its file cannot be loaded a message goes to
// standard error (once per file) and the text layers use the bitmap font instead.
bool _hasNativeFont(int fontFlags);
// The line height of the font, truncated to whole pixels; 0 without a font.
int _getNativeFontHeight(int fontFlags);
// The advance width of count UTF-16 units, truncated to whole pixels; a surrogate pair is one
// character. 0 without a font or text.
int _getNativeStringWidth(const uint16_t* text, int count, int fontFlags);
// Draws count units with the top left corner of the line at (x, y) in the colour 0x00RRGGBB into a
// buffer of pixel words (bytes R, G, B, A; rows bufferWidth words apart). Glyph coverage is blended
// as bitmap text is; nothing is written outside the clip rectangle or the buffer. A lone surrogate
// draws the font's missing glyph. Returns at once for a null buffer.
void _renderNativeString(const uint16_t* text, int count, uint32_t* pixels, int bufferWidth, int bufferHeight,
                         int x, int y, int colour, int fontFlags, int clipX, int clipY, int clipWidth,
                         int clipHeight);
// The shared font chooser of the three: the font for the flags, created on first use and kept for the
// process, or null when it cannot be loaded. FreeType state is shared and not thread-safe, so the
// chooser takes the text lock into `hold` when it does not hold it yet; the caller keeps it while it
// uses the font.
NativeUIFont* _getNativeUIFont(int fontFlags, std::unique_lock<std::mutex>& hold);

namespace platform {

// The folder the font files are read from ("/usr/share/fonts/truetype/dejavu" unless changed); a
// change forgets every loaded font, so the next use loads from the new folder.
void setNativeFontDirectory(const std::string& directory);
std::string nativeFontDirectory();

}  // namespace platform
