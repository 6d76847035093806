// The view switching of the 2D-over-3D configuration: which of the image path and the GL path shows
// the frames, and the GL output following the shell's output size. Built only with that switch on.
#pragma once

#include "graphics/Switch2DOver3D.h"

// The GL path takes the screen (its first frame presented) and gives it back (GL stopped). There are
// no two views to swap on these hosts: both frame paths end in the host's presentFrame, so switching
// is the _in2dmode flag alone, which _frameBufferUpdate reads.
void eglStart();
void eglStop();

// At launch: the GL output is made of the output size, and GL reports its start and stop here.
void _glViewLaunched(int width, int height);
// After the output size has changed: the pbuffer follows it and the GL back end sets its viewport up
// again (_sizeChangedResetGLView) before its next frame.
void _glViewSizeChanged(int width, int height);
