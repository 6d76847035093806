// A fingerprint of what a frame shows: FNV-1a style chains (64 bits) over the red, green and blue of
// every pixel, rows top to bottom, and the size. Alpha is left out, as the screen ignores it.
#pragma once

#include <cstdint>

namespace platform {

uint64_t hashFrameRgb(const uint32_t* pixels, int width, int height, int stride);

}  // namespace platform
