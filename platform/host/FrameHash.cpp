#include "platform/host/FrameHash.h"

#include <cstddef>

namespace platform {

namespace {

constexpr uint64_t kOffsetBasis = 14695981039346656037ull;
constexpr uint64_t kPrime = 1099511628211ull;

uint64_t finish(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}

}  // namespace

uint64_t hashFrameRgb(const uint32_t* pixels, int width, int height, int stride) {
    // Two pixels per multiply in four independent chains: a byte-serial chain made hashing a large
    // frame cost more than drawing it. Each chain step is a bijection of its state, so any single
    // changed pixel changes the result.
    constexpr uint64_t kRgb = 0x00ffffffull;
    constexpr uint64_t kRgbPair = kRgb | kRgb << 32;
    uint64_t lane[4] = {kOffsetBasis, kOffsetBasis ^ 1, kOffsetBasis ^ 2, kOffsetBasis ^ 3};
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
        int x = 0;
        for (; x + 8 <= width; x += 8) {
            for (int k = 0; k < 4; ++k) {
                const uint64_t pair = uint64_t{row[x + 2 * k]} | uint64_t{row[x + 2 * k + 1]} << 32;
                lane[k] = (lane[k] ^ (pair & kRgbPair)) * kPrime;
            }
        }
        for (; x < width; ++x) lane[0] = (lane[0] ^ (row[x] & kRgb)) * kPrime;
    }
    uint64_t hash = kOffsetBasis;
    for (uint64_t l : lane) hash = (hash ^ finish(l)) * kPrime;
    return finish(hash ^ (static_cast<uint64_t>(width) << 32 | static_cast<uint32_t>(height)));
}

}  // namespace platform
