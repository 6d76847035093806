// Every picture of the bundle: its resource ids at both resolutions, its size in the 320 x 480 base
// layout and the drawing that makes it. The high-resolution picture is the same drawing at twice the
// size; the test profile's pictures are flat fills of the same sizes.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/resbuild/ArtCanvas.h"

namespace resbuild {

enum class PictureKind {
    Background,
    MenuButtons,
    ConfirmButtons,
    MenuCorner,
    Panel,
    Button,
    BarButton,
    BackButton,
    Boxes,
    AboutIcon,
    Dot,
    Tick,
    Cross,
    Pips,
    Screen,
    Star,
    Ranking,
    Twinkle,
    GameBar,
};

struct PictureSpec {
    int lowId;
    int highId;
    const char* name;
    int width;  // base layout pixels; twice this at high resolution
    int height;
    PictureKind kind;
    int variant;
};

class ArtCatalogue {
public:
    static const std::vector<PictureSpec>& pictures();
    // The picture at scale 1 (low) or 2 (high); flat gives one colour per kind, for the test profile.
    static ArtCanvas draw(const PictureSpec& spec, int scale, bool flat);
    // The splash picture (320 x 480 times scale) and loading frame i (0-7) of the loading animation.
    static ArtCanvas drawSplash(int scale, bool flat);
    static ArtCanvas drawLoadingFrame(int frame, int scale, bool flat);
};

}  // namespace resbuild
