// A pixel buffer for drawing tests. Guard words before and after the buffer catch writes past either
// end; pictures are compared as ASCII (one character per pixel: '.' the background word, '#' any
// other), and a picture that fails its comparison is written as PNG for a person to look at.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/Graphics.h"

namespace testsupport {

class PixelCanvas {
public:
    static constexpr uint32_t kBackground = 0xFF000000u;  // opaque black
    static constexpr uint32_t kGuardWord = 0x5AFEC0DEu;
    static constexpr size_t kGuardWords = 256;

    PixelCanvas(int width, int height, uint32_t background = kBackground);
    // Fails the running test if a guard word was overwritten.
    ~PixelCanvas();
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }
    uint32_t* pixels() { return m_words.data() + kGuardWords; }
    const uint32_t* pixels() const { return m_words.data() + kGuardWords; }
    uint32_t at(int x, int y) const { return pixels()[static_cast<size_t>(y) * m_width + x]; }
    void clear();

    // A new Graphics over this buffer, its size taken from the display as the shell's is.
    JavaPtr<javax::microedition::lcdui::Graphics> makeGraphics();

    bool guardIntact() const;
    std::string ascii() const;
    // Writes the buffer as PNG under the test output folder and answers the path (empty on failure).
    std::string writePng(const std::string& name) const;

private:
    int m_width;
    int m_height;
    uint32_t m_background;
    std::vector<uint32_t> m_words;
};

// A new Graphics made while the display is width x height, as the graphics takes its size from the
// display; the display's size is put back afterwards.
JavaPtr<javax::microedition::lcdui::Graphics> graphicsForDisplay(int width, int height);

// Passes when the canvas shows exactly the picture (rows top to bottom) and its guard is intact;
// otherwise shows both pictures and writes the canvas as PNG.
::testing::AssertionResult showsPicture(const PixelCanvas& canvas,
                                        std::initializer_list<std::string_view> rows);

}  // namespace testsupport
