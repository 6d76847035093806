// Reads a built bundle back the way the quiz reads it and reports the first fault: the resource map
// and its packs, every picture's header and size, the transition masks, the level thresholds, the
// question files (with the content's wording rules over the practice banks) and the sound cues.
#pragma once

#include <filesystem>
#include <string>

namespace resbuild {

class BundleCheck {
public:
    // Empty when the bundle passes; otherwise "file: what is wrong" for the first fault found.
    static std::string check(const std::filesystem::path& dir);
};

}  // namespace resbuild
