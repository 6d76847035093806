// A screen of black pixels as the shell's frame buffer, for tests that show screens without a host:
// the output size, the buffer, and the display with its master Graphics drawing into it.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/Graphics.h"
#include "shell/Display.h"
#include "shell/FrameBufferUpdate.h"
#include "shell/ShellGlobals.h"

namespace testsupport {

// buffer must outlive the display's use of it. Answers the display.
inline JavaPtr<javax::microedition::lcdui::Display> attachScreenBuffer(std::vector<uint32_t>& buffer,
                                                                       int width, int height) {
    using javax::microedition::lcdui::Display;
    _outputWidth.store(width);
    _outputHeight.store(height);
    buffer.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u);
    _frameBufferPixels.store(buffer.data());
    _frameBufferPixelCount.store(buffer.size());
    JavaPtr<Display> display = Display::getDisplay(nullptr);
    JavaPtr<javax::microedition::lcdui::Graphics> g = jnew<javax::microedition::lcdui::Graphics>();
    g->pixels = buffer.data();
    Display::setMasterGraphics(g);
    return display;
}

}  // namespace testsupport
