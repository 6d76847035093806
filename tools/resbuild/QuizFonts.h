// The quiz's two bitmap fonts at both resolutions, rendered through FreeType into font groups. The four
// glyph sheets use 2, 4, 16 and 256 palette entries, so the bundle holds every index width the image
// loader reads.
#pragma once

#include <cstdint>
#include <string>

#include "tools/FontGroupWriter.h"
#include "tools/ImageResourceWriter.h"

namespace resbuild {

struct QuizFontSpec {
    int lineHeight;
    // Every ISO-8859-1 character the font has, or only those of the numbers' texts.
    bool numbersOnly;
    uint32_t colour;  // 0xRRGGBB
    int paletteColours;
    restools::PixelEncoding encoding;
};

class QuizFonts {
public:
    // Digits and the signs the quiz sets in its numbers font.
    static constexpr const char* kNumberCharacters = "0123456789/%:.-+";

    // Throws BuildError when the font cannot be rendered or written.
    static restools::FontGroupWriter::Resources render(const std::string& fontPath, const QuizFontSpec& spec);
};

}  // namespace resbuild
