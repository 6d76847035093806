#include "shell/FrameBufferUpdate.h"

#include "platform/host/Host.h"
#include "shell/ShellGlobals.h"

// Build switch: frames are drawn in software and shown as images (on in this build).
#ifndef _USES_2D_GRAPHICS
#define _USES_2D_GRAPHICS 1
#endif

void _frameBufferUpdate() {
    if (!_USES_2D_GRAPHICS || !_in2dmode.load()) return;
    const int width = _outputWidth.load();
    const int height = _outputHeight.load();
    const uint32_t* pixels = _frameBufferPixels.load();
    platform::Host* host = platform::currentHost();
    // The output size and the buffer are read without a lock against a rotation: a size that would
    // reach past the buffer is dropped, and the next flush carries the whole new size.
    const bool fits =
        width > 0 && height > 0 &&
        static_cast<size_t>(width) * static_cast<size_t>(height) <= _frameBufferPixelCount.load();
    if (host == nullptr || pixels == nullptr || !fits) {
        _frameBufferUpdatesDropped.fetch_add(1);
        return;
    }
    host->presentFrame(pixels, width, height, width);
}
