// Words set into the builder's pictures: a TrueType face, regular or bold, rendered with FreeType
// straight onto an ArtCanvas at any size. The bitmap fonts of the quiz are made elsewhere
// (QuizFonts); this is only for the words that are part of a picture.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/resbuild/ArtCanvas.h"

namespace resbuild {

class ArtLettering {
public:
    static constexpr const char* kDefaultFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

    // The bold face is the file beside the regular one with "-Bold" before ".ttf", or the regular
    // face when there is none. Throws std::runtime_error when the regular face cannot be opened.
    explicit ArtLettering(const std::string& fontPath);
    ~ArtLettering();
    ArtLettering(const ArtLettering&) = delete;
    ArtLettering& operator=(const ArtLettering&) = delete;

    // Sizes are the line height in pixels (ascent plus descent); text is ISO-8859-1.
    int width(const std::string& text, int lineHeight, bool bold);
    // Draws one line with its top at y; x is the left edge, the centre or the right edge.
    enum class Align { Left, Centre, Right };
    void draw(ArtCanvas& canvas, const std::string& text, double x, double y, int lineHeight, bool bold,
              uint32_t colour, Align align = Align::Left);
    // Greedy word wrap at maxWidth pixels; a word wider than a line stands alone on its line.
    std::vector<std::string> wrap(const std::string& text, int lineHeight, bool bold, int maxWidth);

private:
    struct Faces;
    std::unique_ptr<Faces> m_faces;
};

}  // namespace resbuild
