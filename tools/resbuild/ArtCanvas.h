// A pixel buffer and the few shapes the builder draws its pictures with: flat fills, vertical
// gradients, rounded boxes, discs, rings, stars, ticks and crosses. Pixels are 0xAARRGGBB; shapes
// are blended over what is there, with their edges softened by four-by-four supersampling.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace resbuild {

class ArtCanvas {
public:
    ArtCanvas(int width, int height, uint32_t fill = 0);

    int width() const { return m_width; }
    int height() const { return m_height; }
    uint32_t pixel(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }
    const std::vector<uint32_t>& pixels() const { return m_pixels; }

    void fill(uint32_t colour);
    // Replaces the pixels of a rectangle (clipped to the canvas) with one colour.
    void fillRect(int x, int y, int w, int h, uint32_t colour);
    void verticalGradient(int x, int y, int w, int h, uint32_t top, uint32_t bottom);
    void roundedBox(double x, double y, double w, double h, double radius, uint32_t colour);
    void disc(double cx, double cy, double radius, uint32_t colour);
    void ring(double cx, double cy, double radius, double thickness, uint32_t colour);
    void star(double cx, double cy, double outer, double inner, int points, uint32_t colour);
    void tick(double cx, double cy, double size, double thickness, uint32_t colour);
    void cross(double cx, double cy, double size, double thickness, uint32_t colour);
    // A thick segment with round ends.
    void line(double x0, double y0, double x1, double y1, double thickness, uint32_t colour);
    // A disc of the colour's alpha whose rim fades smoothly to nothing: no hard edge, so two pictures
    // cut from one backdrop meet without a visible line.
    void softDisc(double cx, double cy, double radius, uint32_t colour);
    // Blends colour over one pixel with a coverage of 0 (nothing) to 255 (the colour's own alpha).
    void blendPixel(int x, int y, uint32_t colour, int coverage);

    // The pixels with every alpha forced to 255 (for files that must be opaque).
    std::vector<uint32_t> opaquePixels() const;

private:
    // Blends colour into the pixels whose supersampled coverage the predicate gives, inside the box.
    template <typename Inside>
    void shade(double left, double top, double right, double bottom, uint32_t colour, Inside inside);
    void blend(int x, int y, uint32_t colour, int coverage);
    void blendAlpha(int x, int y, uint32_t colour, int sourceAlpha);

    int m_width;
    int m_height;
    std::vector<uint32_t> m_pixels;
};

// Colour helpers.
constexpr uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}
uint32_t mixColour(uint32_t from, uint32_t to, int amount, int total);

}  // namespace resbuild
