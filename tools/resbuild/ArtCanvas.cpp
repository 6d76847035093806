#include "tools/resbuild/ArtCanvas.h"

#include <algorithm>
#include <cmath>

namespace resbuild {

namespace {

constexpr int kSamples = 4;

double distanceToSegment(double px, double py, double x0, double y0, double x1, double y1) {
    double dx = x1 - x0, dy = y1 - y0;
    double lengthSquared = dx * dx + dy * dy;
    double t =
        lengthSquared > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / lengthSquared, 0.0, 1.0) : 0.0;
    double cx = x0 + t * dx - px, cy = y0 + t * dy - py;
    return std::sqrt(cx * cx + cy * cy);
}

}  // namespace

uint32_t mixColour(uint32_t from, uint32_t to, int amount, int total) {
    if (total <= 0) return from;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int a = static_cast<int>((from >> shift) & 0xFF), b = static_cast<int>((to >> shift) & 0xFF);
        out |= static_cast<uint32_t>(a + (b - a) * amount / total) << shift;
    }
    return out;
}

ArtCanvas::ArtCanvas(int width, int height, uint32_t fill)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height, fill) {}

void ArtCanvas::fill(uint32_t colour) {
    std::fill(m_pixels.begin(), m_pixels.end(), colour);
}

void ArtCanvas::verticalGradient(int x, int y, int w, int h, uint32_t top, uint32_t bottom) {
    for (int row = std::max(0, y); row < std::min(m_height, y + h); ++row) {
        uint32_t colour = mixColour(top, bottom, row - y, std::max(1, h - 1));
        for (int column = std::max(0, x); column < std::min(m_width, x + w); ++column) {
            m_pixels[static_cast<size_t>(row) * m_width + column] = colour;
        }
    }
}

void ArtCanvas::fillRect(int x, int y, int w, int h, uint32_t colour) {
    for (int row = std::max(0, y); row < std::min(m_height, y + h); ++row) {
        for (int column = std::max(0, x); column < std::min(m_width, x + w); ++column)
            m_pixels[static_cast<size_t>(row) * m_width + column] = colour;
    }
}

void ArtCanvas::blend(int x, int y, uint32_t colour, int coverage) {
    blendAlpha(x, y, colour, static_cast<int>(colour >> 24) * coverage / (kSamples * kSamples));
}

void ArtCanvas::blendPixel(int x, int y, uint32_t colour, int coverage) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    blendAlpha(x, y, colour, static_cast<int>(colour >> 24) * std::clamp(coverage, 0, 255) / 255);
}

void ArtCanvas::blendAlpha(int x, int y, uint32_t colour, int sourceAlpha) {
    uint32_t& target = m_pixels[static_cast<size_t>(y) * m_width + x];
    if (sourceAlpha == 0) return;
    int targetAlpha = static_cast<int>(target >> 24);
    // Porter-Duff "over" in straight (not premultiplied) alpha.
    int outAlpha = sourceAlpha + targetAlpha * (255 - sourceAlpha) / 255;
    uint32_t out = static_cast<uint32_t>(outAlpha) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        int s = static_cast<int>((colour >> shift) & 0xFF), t = static_cast<int>((target >> shift) & 0xFF);
        int value =
            outAlpha == 0 ? 0 : (s * sourceAlpha + t * targetAlpha * (255 - sourceAlpha) / 255) / outAlpha;
        out |= static_cast<uint32_t>(std::clamp(value, 0, 255)) << shift;
    }
    target = out;
}

template <typename Inside>
void ArtCanvas::shade(double left, double top, double right, double bottom, uint32_t colour, Inside inside) {
    int x0 = std::max(0, static_cast<int>(std::floor(left))),
        y0 = std::max(0, static_cast<int>(std::floor(top)));
    int x1 = std::min(m_width, static_cast<int>(std::ceil(right)) + 1);
    int y1 = std::min(m_height, static_cast<int>(std::ceil(bottom)) + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int coverage = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    if (inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++coverage;
                }
            }
            if (coverage > 0) blend(x, y, colour, coverage);
        }
    }
}

void ArtCanvas::roundedBox(double x, double y, double w, double h, double radius, uint32_t colour) {
    radius = std::min({radius, w / 2, h / 2});
    shade(x, y, x + w, y + h, colour, [&](double px, double py) {
        if (px < x || py < y || px > x + w || py > y + h) return false;
        double cx = std::clamp(px, x + radius, x + w - radius),
               cy = std::clamp(py, y + radius, y + h - radius);
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
    });
}

void ArtCanvas::disc(double cx, double cy, double radius, uint32_t colour) {
    shade(cx - radius, cy - radius, cx + radius, cy + radius, colour, [&](double px, double py) {
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
    });
}

void ArtCanvas::ring(double cx, double cy, double radius, double thickness, uint32_t colour) {
    shade(cx - radius, cy - radius, cx + radius, cy + radius, colour, [&](double px, double py) {
        double d = std::sqrt((px - cx) * (px - cx) + (py - cy) * (py - cy));
        return d <= radius && d >= radius - thickness;
    });
}

void ArtCanvas::star(double cx, double cy, double outer, double inner, int points, uint32_t colour) {
    std::vector<std::pair<double, double>> corners;
    for (int i = 0; i < 2 * points; ++i) {
        double angle = M_PI * i / points - M_PI / 2;
        double r = i % 2 == 0 ? outer : inner;
        corners.emplace_back(cx + r * std::cos(angle), cy + r * std::sin(angle));
    }
    shade(cx - outer, cy - outer, cx + outer, cy + outer, colour, [&](double px, double py) {
        // Even-odd crossing test against the star's outline.
        bool in = false;
        for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            auto [xi, yi] = corners[i];
            auto [xj, yj] = corners[j];
            if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    });
}

void ArtCanvas::line(double x0, double y0, double x1, double y1, double thickness, uint32_t colour) {
    double half = thickness / 2;
    shade(std::min(x0, x1) - half, std::min(y0, y1) - half, std::max(x0, x1) + half, std::max(y0, y1) + half,
          colour, [&](double px, double py) { return distanceToSegment(px, py, x0, y0, x1, y1) <= half; });
}

void ArtCanvas::softDisc(double cx, double cy, double radius, uint32_t colour) {
    const int x0 = std::max(0, static_cast<int>(std::floor(cx - radius)));
    const int y0 = std::max(0, static_cast<int>(std::floor(cy - radius)));
    const int x1 = std::min(m_width, static_cast<int>(std::ceil(cx + radius)) + 1);
    const int y1 = std::min(m_height, static_cast<int>(std::ceil(cy + radius)) + 1);
    const int peak = static_cast<int>(colour >> 24);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double u = std::sqrt(dx * dx + dy * dy) / radius;
            if (u >= 1) continue;
            // Flat inside, then a smoothstep to nothing over the outer 40%: no slope at the rim, so no ring.
            const double g = std::min(1.0, (1 - u) / 0.4);
            blendAlpha(x, y, colour, static_cast<int>(std::lround(peak * g * g * (3 - 2 * g))));
        }
    }
}

void ArtCanvas::tick(double cx, double cy, double size, double thickness, uint32_t colour) {
    double s = size / 2;
    // Both strokes in one pass, so the joint is not blended twice.
    shade(cx - s - thickness, cy - s - thickness, cx + s + thickness, cy + s + thickness, colour,
          [&](double px, double py) {
              return distanceToSegment(px, py, cx - s, cy, cx - s / 3, cy + s * 2 / 3) <= thickness / 2 ||
                     distanceToSegment(px, py, cx - s / 3, cy + s * 2 / 3, cx + s, cy - s * 2 / 3) <=
                         thickness / 2;
          });
}

void ArtCanvas::cross(double cx, double cy, double size, double thickness, uint32_t colour) {
    double s = size / 2;
    shade(cx - s - thickness, cy - s - thickness, cx + s + thickness, cy + s + thickness, colour,
          [&](double px, double py) {
              return distanceToSegment(px, py, cx - s, cy - s, cx + s, cy + s) <= thickness / 2 ||
                     distanceToSegment(px, py, cx - s, cy + s, cx + s, cy - s) <= thickness / 2;
          });
}

std::vector<uint32_t> ArtCanvas::opaquePixels() const {
    std::vector<uint32_t> out = m_pixels;
    for (uint32_t& pixel : out) pixel |= 0xFF000000u;
    return out;
}

}  // namespace resbuild
