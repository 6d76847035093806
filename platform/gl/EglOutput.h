// The GL side of the shell on Mesa: EGL on the surfaceless platform, a pbuffer of the output size and
// an OpenGL ES 1.1 context, so that the 2D-over-3D back end runs without a display. A presented frame
// is read back into a frame buffer and handed to the host like a software frame.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class EglOutput {
public:
    // The size of the pbuffer made by the next _EGLstart (the shell's output size).
    static void setOutputSize(int width, int height);
    // True when a context can be made here; otherwise the reason, in one line.
    static bool probe(std::string& reason);
    // The depth bits of the current pbuffer, 0 without one.
    static int depthBits();
    // True while frames go through the image path (no GL frame presented since the last stop).
    static bool in2dMode();
    // The frame last read back by _EGLWaitGL, top row first (empty before the first).
    static std::vector<uint32_t> lastFrame(int& width, int& height);
    // Frames read back and handed over so far.
    static uint64_t framesPresented();
};

}  // namespace platform

// Raised by the shell when the output size changes; the GL back end sets its state up again.
extern std::atomic<bool> _sizeChangedResetGLView;

// Makes the context current on the pbuffer, creating both the first time; false (with nothing
// current) when no GL is available.
bool _EGLstart();
// Makes the context current again on the drawing thread.
void _EGLWaitNative();
// Reads the colour buffer back (GL rows run bottom up, frames top down) and hands it to the host.
void _EGLWaitGL();
// Releases the context and the pbuffer; the next _EGLstart makes new ones.
void _EGLstop();
// Replaces the pbuffer by one with a 16-bit depth buffer for 16, 24-bit otherwise.
void _setGLBufferDepth(int depth);
