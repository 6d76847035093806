// JPEG encoding into memory with libjpeg's write side: the resource builder stores its opaque
// photographs-like backgrounds this way.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// The baseline JPEG of width x height pixels 0xAARRGGBB (alpha ignored), rows width apart, at quality
// 1-100; empty when the size is not above 0 or the library fails.
std::vector<uint8_t> encodeJPEG(const uint32_t* argb, int width, int height, int quality);

}  // namespace platform
