#include "shell/FrameBufferUpdate.h"

#include <mutex>

#include "platform/host/Host.h"
#include "shell/Canvas.h"
#include "shell/ShellGlobals.h"

// Build switch: frames are drawn in software and shown as images (on in this build).
#ifndef _USES_2D_GRAPHICS
#define _USES_2D_GRAPHICS 1
#endif

void _frameBufferUpdate() {
    if (!_USES_2D_GRAPHICS || !_in2dmode.load()) return;
    _frameBufferUpdates.fetch_add(1);
    // The size is changed only under the paint lock: both sides read here belong to one turn, and the
    // frame copied is the one painted at that size.
    std::lock_guard<javax::microedition::lcdui::PaintLock> painting(
        javax::microedition::lcdui::Canvas::paintMutex);
    const int width = _outputWidth.load();
    const int height = _outputHeight.load();
    const uint32_t* pixels = _frameBufferPixels.load();
    platform::Host* host = platform::currentHost();
    // A size that would reach past the buffer (one set apart from a turn) is dropped, not read.
    const bool fits =
        width > 0 && height > 0 &&
        static_cast<size_t>(width) * static_cast<size_t>(height) <= _frameBufferPixelCount.load();
    if (host == nullptr || pixels == nullptr || !fits) {
        _frameBufferUpdatesDropped.fetch_add(1);
        return;
    }
    host->presentFrame(pixels, width, height, width);
}

void _frameBufferUnchanged() {
    // Whichever path handed the frame over (the image path or the GL flush), the host keeps its copy.
    if (platform::Host* host = platform::currentHost()) host->frameUnchanged();
}
