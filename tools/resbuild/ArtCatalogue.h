// Every picture of the bundle: its resource ids at both resolutions, its size in the 320 x 480 base
// layout and the drawing that makes it. The high-resolution picture is the same drawing at twice the
// size; the test profile's pictures are flat fills of the same sizes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/resbuild/ArtCanvas.h"
#include "tools/resbuild/ArtLettering.h"

namespace resbuild {

enum class PictureKind {
    // A piece of a screen's backdrop (variant: the screen), cut at (left, top): the pieces of one
    // screen are cut from one drawing, so they meet without a seam.
    Backdrop,
    // A whole 320 x 480 backdrop of a result screen (variant: the screen).
    Screen,
    Panel,
    Button,
    BarButton,
    CornerButton,
    Boxes,
    Dot,
    Tick,
    Cross,
    Count,
    Star,
    Ranking,
    Twinkle,
};

struct PictureSpec {
    int lowId;
    int highId;
    const char* name;
    int width;  // base layout pixels; twice this at high resolution
    int height;
    PictureKind kind;
    int variant;
    // Where the picture lands on its screen, in the base layout (backdrops and opaque pieces).
    int left = 0;
    int top = 0;
    // The screen whose backdrop fills the picture's corners; -1 leaves them transparent.
    int backdrop = -1;
};

class ArtCatalogue {
public:
    static const std::vector<PictureSpec>& pictures();
    // The picture at scale 1 (low) or 2 (high); flat gives one colour per kind, for the test profile.
    // Words in the pictures are set in fontPath (and its bold face beside it). Throws
    // std::runtime_error when the font cannot be read or a picture's words do not fit their place.
    static ArtCanvas draw(const PictureSpec& spec, int scale, bool flat,
                          const std::string& fontPath = ArtLettering::kDefaultFontPath);
    // The splash picture (320 x 480 times scale) and loading frame i (0-7) of the loading animation.
    static ArtCanvas drawSplash(int scale, bool flat);
    static ArtCanvas drawLoadingFrame(int frame, int scale, bool flat);
};

}  // namespace resbuild
