#include "platform/FrameHash.h"

#include <cstddef>

namespace platform {

uint64_t hashFrameRgb(const uint32_t* pixels, int width, int height, int stride) {
    constexpr uint64_t kOffsetBasis = 14695981039346656037ull;
    constexpr uint64_t kPrime = 1099511628211ull;
    uint64_t hash = kOffsetBasis;
    for (int y = 0; y < height; ++y) {
        const auto* bytes =
            reinterpret_cast<const uint8_t*>(pixels + static_cast<size_t>(y) * static_cast<size_t>(stride));
        for (int x = 0; x < width; ++x, bytes += 4) {
            hash = (hash ^ bytes[0]) * kPrime;
            hash = (hash ^ bytes[1]) * kPrime;
            hash = (hash ^ bytes[2]) * kPrime;
        }
    }
    return hash;
}

}  // namespace platform
