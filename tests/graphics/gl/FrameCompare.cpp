// Compares the frames the 2D-over-3D build showed with the software build's at the same steps:
//   gl_frame_compare TOLERANCE MAX_SHARE_PERCENT SOFTWARE_DIR GL_DIR NAME[:X,Y,W,H]...
// A rectangle after a name is left out of that frame's comparison: what it shows there depends on
// chance (the order of a question's answers). A pixel differs when one of its colour channels is more than
// TOLERANCE apart (alpha is never shown, so it is not compared); a frame matches when at most
// MAX_SHARE_PERCENT of its pixels differ. One line per frame; exits 1 when any frame is missing, of another
// size, or does not match.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/codecs/PngDecoder.h"

namespace {

struct Frame {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

bool readFrame(const std::string& path, Frame& frame) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    uint32_t* pixels = platform::decodePNG(bytes.data(), bytes.size(), &frame.width, &frame.height);
    if (pixels == nullptr) return false;
    frame.pixels.assign(pixels,
                        pixels + static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height));
    std::free(pixels);
    return true;
}

int worstChannel(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        worst = std::max(worst, d);
    }
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s TOLERANCE MAX_SHARE_PERCENT SOFTWARE_DIR GL_DIR NAME...\n", argv[0]);
        return 64;
    }
    const int tolerance = std::atoi(argv[1]);
    const double maxShare = std::atof(argv[2]);
    const std::string softwareDir = argv[3], glDir = argv[4];
    int failures = 0;
    for (int i = 5; i < argc; ++i) {
        std::string name = argv[i];
        int skipX = 0, skipY = 0, skipW = 0, skipH = 0;
        if (const size_t colon = name.find(':'); colon != std::string::npos) {
            if (std::sscanf(name.c_str() + colon + 1, "%d,%d,%d,%d", &skipX, &skipY, &skipW, &skipH) != 4) {
                std::fprintf(stderr, "%s: the left-out rectangle must read X,Y,W,H\n", argv[i]);
                return 64;
            }
            name.erase(colon);
        }
        Frame software, gl;
        if (!readFrame(softwareDir + "/" + name, software) || !readFrame(glDir + "/" + name, gl)) {
            std::printf("%-28s missing or unreadable\n", name.c_str());
            ++failures;
            continue;
        }
        if (software.width != gl.width || software.height != gl.height) {
            std::printf("%-28s size %dx%d (software) against %dx%d (GL)\n", name.c_str(), software.width,
                        software.height, gl.width, gl.height);
            ++failures;
            continue;
        }
        size_t differing = 0, compared = 0;
        int worst = 0;
        for (int y = 0; y < software.height; ++y) {
            for (int x = 0; x < software.width; ++x) {
                if (x >= skipX && x < skipX + skipW && y >= skipY && y < skipY + skipH) continue;
                const size_t p =
                    static_cast<size_t>(y) * static_cast<size_t>(software.width) + static_cast<size_t>(x);
                const int d = worstChannel(software.pixels[p], gl.pixels[p]);
                worst = std::max(worst, d);
                if (d > tolerance) ++differing;
                ++compared;
            }
        }
        const double share =
            compared == 0 ? 0.0 : 100.0 * static_cast<double>(differing) / static_cast<double>(compared);
        const bool matches = share <= maxShare;
        std::printf("%-28s %s: %zu of %zu pixels beyond %d (%.3f%%, limit %.3f%%), worst channel %d\n",
                    name.c_str(), matches ? "same" : "DIFFERENT", differing, compared, tolerance, share,
                    maxShare, worst);
        if (!matches) ++failures;
    }
    return failures == 0 ? 0 : 1;
}
