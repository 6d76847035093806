// The names, ids and fixed numbers of the bundle that the builder writes and the check reads back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace resbuild {

inline constexpr int kLevelThresholdsId = 0;
inline constexpr int kLevelCount = 30;
inline constexpr const char* kLanguageCode = "en";
inline constexpr uint64_t kShuffleSeed = 0x51C0FFEEull;
inline constexpr int kLoadingFrames = 8;
inline constexpr int kRuntimeFontHeight = 16;
inline constexpr const char* kRuntimeFontName = "tsbmpfnt";
// Bundle names of "/Default.png" and "/Default@2x.png": a name ending ".png" is stored ending "_png".
inline constexpr const char* kSplashLow = "Default_png";
inline constexpr const char* kSplashHigh = "Default@2x_png";
// The test bank must hold more records than the quiz's no-repeat ring.
inline constexpr int kRepeatRingLength = 435;

inline std::string loadingFrameName(int frame, bool high) {
    return "qv_loading_anim_0" + std::to_string(frame) + (high ? "_HIGH_png" : "_LOW_png");
}

// A screen's transition mask: byte k holds the segments allowed at step k; the last byte allows all.
struct MaskSpec {
    int id;
    int segments;

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out;
        for (int k = 1; k <= segments; ++k) out.push_back(static_cast<uint8_t>((1 << k) - 1));
        return out;
    }
};

// Main menu, about, statistics, confirmation and game screen.
inline const std::vector<MaskSpec>& transitionMasks() {
    static const std::vector<MaskSpec> masks = {{43, 4}, {51, 6}, {59, 6}, {68, 5}, {76, 5}};
    return masks;
}

}  // namespace resbuild
