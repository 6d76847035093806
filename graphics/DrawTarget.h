// Whether a graphics has anywhere to draw. In the 2D-over-3D back end the screen's graphics holds no
// pixels: its primitives go to the GL frame instead, so "no pixels" must not stop them there.
#pragma once

#include "graphics/Graphics.h"

namespace javax::microedition::lcdui {

inline bool hasDrawTarget(const Graphics& g) {
#if _ATTEMPTS_2D_OVER_3D
    if (g.drawsThroughGL()) return true;
#endif
    return g.pixels != nullptr;
}

}  // namespace javax::microedition::lcdui
