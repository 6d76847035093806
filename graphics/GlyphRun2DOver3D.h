// The glyphs of one string on the 2D-over-3D screen, gathered so that the string is drawn as one
// translucent quad of the current colour (one texture) instead of one quad per glyph.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/Graphics.h"

#if _ATTEMPTS_2D_OVER_3D

namespace javax::microedition::lcdui {

class GlyphRun2DOver3D {
public:
    // A glyph's visible coverage, w x h bytes, at absolute (x, y).
    void add(const uint8_t* coverage, int x, int y, int w, int h);
    // Draws what was gathered on g's GL frame in g's colour; where glyphs overlap, the larger
    // coverage wins.
    void draw(Graphics& g) const;

private:
    struct Piece {
        int x, y, w, h;
        std::vector<uint8_t> coverage;
    };
    std::vector<Piece> m_pieces;
    int m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
};

}  // namespace javax::microedition::lcdui

#endif
