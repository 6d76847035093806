// Puts the whole bundle together in memory: the resource map with its pack and loose files, the
// question files, the start-up pictures and the runtime's font, every file by its bundle name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/resbuild/ArtLettering.h"
#include "tools/resbuild/QuizContent.h"

namespace resbuild {

class BuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class BundleProfile {
    // Every question, the drawn art.
    Full,
    // The tests' bundle: the same ids and picture sizes, flat-colour art, thresholds of 2, each
    // category with one or two subsections of three questions and a test bank just above 435.
    Test,
};

struct BundleOptions {
    std::filesystem::path contentDir;
    BundleProfile profile = BundleProfile::Full;
    std::string fontPath = ArtLettering::kDefaultFontPath;
};

using BundleFiles = std::map<std::string, std::vector<uint8_t>>;

class BundleBuilder {
public:
    // Line heights of the quiz's two fonts at low resolution; twice these at high resolution.
    // 15 keeps the longest fixed line, the confirmation's first, inside the 238 between its side pieces.
    static constexpr int kMainFontHeight = 15;
    static constexpr int kNumbersFontHeight = 24;
    // The fonts' colours (0xRRGGBB): dark text for the light panels and buttons, white numbers for
    // the dark title panels and the score.
    static constexpr uint32_t kMainTextColour = 0x1A2444;
    static constexpr uint32_t kNumbersColour = 0xFFFFFF;
    static constexpr int kResourceCount = 313;
    static constexpr int kTestBankRecords = 436;

    // Throws ContentError or BuildError.
    static BundleFiles build(const BundleOptions& options);
    // The questions as the profile keeps them.
    static QuizContent selectContent(const QuizContent& content, BundleProfile profile);
    // Writes every file into dir (made when missing) and removes no other file; throws BuildError.
    static void writeFiles(const BundleFiles& files, const std::filesystem::path& dir);
};

}  // namespace resbuild
