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

// The quiz's fixed screen texts (menus, confirmation, statistics, version): the language table "en"
// holds them in this order, and the main font must cover every character of them.
inline const std::vector<std::string>& screenTexts() {
    static const std::vector<std::string> texts = {"Continue Test",
                                                   "New Test",
                                                   "Practice",
                                                   "Scores & Statistics",
                                                   "Yes",
                                                   "No",
                                                   "Your current progress will be lost.",
                                                   "Are you sure that you want to",
                                                   "start a new test?",
                                                   "v1.3",
                                                   "Total correct (Practice)",
                                                   "Total attempted (Practice)",
                                                   "Percentage correct (Practice)",
                                                   "Total correct (Test)",
                                                   "Total attempted (Test)",
                                                   "Percentage correct (Test)",
                                                   "Level",
                                                   "Stars",
                                                   "Level 30/30",
                                                   "0123456789%"};
    return texts;
}

// The quiz's fonts: character table, width table, glyph sheet and palette at consecutive ids.
inline constexpr int kMainFontLowId = 1;
inline constexpr int kNumbersFontLowId = 5;
inline constexpr int kMainFontHighId = 149;
inline constexpr int kNumbersFontHighId = 153;

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
