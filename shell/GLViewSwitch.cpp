#include "shell/GLViewSwitch.h"

#include "graphics/Switch2DOver3D.h"

#if _ATTEMPTS_2D_OVER_3D

#include "platform/gl/EglOutput.h"
#include "shell/FrameBufferUpdate.h"

void eglStart() {
    _in2dmode.store(false);
}

void eglStop() {
    _in2dmode.store(true);
}

void _glViewLaunched(int width, int height) {
    platform::EglOutput::setOutputSize(width, height);
    platform::EglOutput::setViewSwitch([](bool glOnScreen) {
        if (glOnScreen) {
            eglStart();
        } else {
            eglStop();
        }
    });
}

void _glViewSizeChanged(int width, int height) {
    // The size first: a frame that sees the flag must find the new size.
    platform::EglOutput::setOutputSize(width, height);
    _sizeChangedResetGLView.store(true);
}

#endif
