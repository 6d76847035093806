// The entries through which the platform main thread reaches the runtime after launch: touches and
// keys go to the current canvas, size changes to the display, pause, resume and destroy to the MIDlet.
#pragma once

#include "shell/TouchRing.h"

#ifndef _THREADED_INPUTS
#define _THREADED_INPUTS 0
#endif
// Touches queued for the ticker thread instead of delivered on the main thread.
inline constexpr bool kThreadedInputs = _THREADED_INPUTS != 0;

// x, y in output pixels.
void _xyzMouseDown(int x, int y);
void _xyzMouseDragged(int x, int y);
void _xyzMouseUp(int x, int y);
void _xyzKeyPressed(int keyCode);
void _xyzKeyReleased(int keyCode);
// The output size (_outputWidth, _outputHeight) changed: the display, the master Graphics and the
// current canvas learn it.
void _xyzSizeChanged();
// Makes width x height the output size: the globals, the display's screen size and the master Graphics
// change together under the paint lock, so no paint or flush sees half of a turn; then the on-screen
// keyboard and the current canvas learn it, out of the lock. On the platform main thread.
void changeOutputSize(int width, int height);
void _xyzPauseApp();
void _xyzResumeApp();
void _xyzDestroy();
