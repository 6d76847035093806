// Bounds on decoded images, checked against a file's header before anything is allocated for it.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr int64_t kMaxDecodedSide = 16384;
inline constexpr int64_t kMaxDecodedPixels = int64_t{1} << 26;

inline bool decodedSizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxDecodedSide && height <= kMaxDecodedSide &&
           width * height <= kMaxDecodedPixels;
}

}  // namespace platform
