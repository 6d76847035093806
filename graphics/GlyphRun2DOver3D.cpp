#include "graphics/GlyphRun2DOver3D.h"

#if _ATTEMPTS_2D_OVER_3D

#include <algorithm>

namespace javax::microedition::lcdui {

void GlyphRun2DOver3D::add(const uint8_t* coverage, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    if (m_pieces.empty()) {
        m_left = x, m_top = y, m_right = x + w, m_bottom = y + h;
    } else {
        m_left = std::min(m_left, x), m_top = std::min(m_top, y);
        m_right = std::max(m_right, x + w), m_bottom = std::max(m_bottom, y + h);
    }
    m_pieces.push_back(
        Piece{x, y, w, h, std::vector<uint8_t>(coverage, coverage + static_cast<size_t>(w) * h)});
}

void GlyphRun2DOver3D::draw(Graphics& g) const {
    if (m_pieces.empty()) return;
    const int width = m_right - m_left, height = m_bottom - m_top;
    std::vector<uint8_t> alpha(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (const Piece& piece : m_pieces) {
        for (int row = 0; row < piece.h; ++row) {
            uint8_t* to =
                alpha.data() + static_cast<size_t>(piece.y - m_top + row) * width + (piece.x - m_left);
            const uint8_t* from = piece.coverage.data() + static_cast<size_t>(row) * piece.w;
            for (int column = 0; column < piece.w; ++column) to[column] = std::max(to[column], from[column]);
        }
    }
    g.myBlitChar2DOver3D(alpha.data(), m_left, m_top, width, height);
}

}  // namespace javax::microedition::lcdui

#endif
