// The screen size in pixels, which every new Graphics takes as its buffer size. The shell's Display
// sets it at start-up and on rotation; it lives here so that graphics needs nothing from the layer
// above it.
#pragma once

#include <cstdint>

namespace javax::microedition::lcdui {

struct ScreenSize {
    static inline int32_t width = 0;
    static inline int32_t height = 0;
};

}  // namespace javax::microedition::lcdui
