// The picture a host shows from launch until the first frame: a PNG file of the bundle, read whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct LaunchImage {
    // width x height pixel words (bytes R, G, B, A), no gap between rows.
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    // The file actually read.
    std::string path;
};

// Reads the picture at path; a path whose last name has no extension is tried with "@2x.png" (the
// high-resolution picture) and then ".png" added, as the bundle names its pictures. Nothing when no
// candidate is a regular file holding a decodable PNG within the image limits.
std::optional<LaunchImage> loadLaunchImage(const std::string& path);

}  // namespace platform
