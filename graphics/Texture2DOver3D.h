// javax.microedition.lcdui.Texture2DOver3D: an image's GL texture in the 2D-over-3D back end, with the
// padded pixel copy that is uploaded whenever the image's pixels have changed.
#pragma once

#include <atomic>
#include <cstdint>

#include "runtime/Object.h"

namespace javax::microedition::lcdui {

class Texture2DOver3D : public java::lang::Object {
    TESL_CLASS(Texture2DOver3D, "javax.microedition.lcdui.Texture2DOver3D", java::lang::Object)
public:
    // A texture of the smallest powers of two, at least 2, that hold imageWidth x imageHeight; the
    // pixel copy is zeroed. A size whose copy cannot be had leaves pixels null.
    Texture2DOver3D(int imageWidth, int imageHeight) noexcept;
    ~Texture2DOver3D() override;

    static int powerOfTwoAtLeast(int n);

    int32_t width = 2;
    int32_t height = 2;
    int32_t textureName = -1;
    // Set by whichever thread draws into the image, taken (cleared) by the thread that holds the GL
    // frame before it copies the image's pixels.
    std::atomic<bool> dirty{true};
    // The pixel copy is newer than the GL texture. Only the GL frame's holder touches it.
    bool uploadPending = false;
    // Written by the image's destructor on any thread, read by the sweep on the drawing thread.
    std::atomic<bool> orphaned{false};
    bool deletable = false;
    uint32_t* pixels = nullptr;
};

}  // namespace javax::microedition::lcdui
