// Pictures of random colours for the frame benchmarks, the same for every run of a seed.
#pragma once

#include <cstdint>
#include <random>

#include "graphics/Image.h"

namespace benchimages {

// Random colours, opaque, translucent (alpha 1 to 254) or a disc on transparency.
inline JavaPtr<javax::microedition::lcdui::Image> randomImage(int w, int h, unsigned seed, bool binaryDisc,
                                                              bool translucent) {
    std::mt19937 random(seed);
    auto array = jnew<JArray<int>>(w * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t a = 0xFF;
            if (binaryDisc) {
                const int dx = 2 * x - w, dy = 2 * y - h;
                a = dx * dx + dy * dy < w * h ? 0xFF : 0;
            } else if (translucent) {
                a = 1 + random() % 254;
            }
            array->data[y * w + x] = static_cast<int>(a << 24 | (random() & 0xFFFFFF));
        }
    }
    return javax::microedition::lcdui::Image::createRGBImage(array, w, h, true);
}

}  // namespace benchimages
