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
    // Bumped whenever a new context is made: texture names and GL state of an older one are gone.
    static uint64_t contextGeneration();
    // True while the calling thread holds the context (between _EGLstart and the frame's end).
    static bool heldHere();
    // Times a thread gave up waiting for another to finish its frame.
    static uint64_t waitsAbandoned();
    // Called with true when the first GL frame after a start is presented and with false when GL
    // stops: the shell switches its view there. Set once at start-up, before any thread draws.
    static void setViewSwitch(void (*switchView)(bool glOnScreen));
};

}  // namespace platform

// Raised by the shell when the output size changes; the GL back end sets its state up again.
extern std::atomic<bool> _sizeChangedResetGLView;

// One thread at a time holds the context, from _EGLstart to the end of its frame (_EGLWaitGL or
// _EGLdiscard): a context is current on one thread only, so a second drawing thread waits for the
// first one's frame instead of drawing into it.

// Takes the context for the calling thread and makes it current on the pbuffer, creating both the
// first time (and the pbuffer again when the output size has changed). Waits while another thread
// holds it; false, with nothing held, when no GL is available or that frame never ends.
bool _EGLstart();
// True when the calling thread holds the context, which is then current here.
bool _EGLWaitNative();
// Reads the colour buffer back (GL rows run bottom up, frames top down), hands it to the host and
// releases the context. Presents nothing, and answers false, unless the caller holds the context.
bool _EGLWaitGL();
// Ends the caller's frame without presenting it and releases the context.
void _EGLdiscard();
// Destroys the context and the pbuffer, after waiting for a frame another thread holds; the next
// _EGLstart makes new ones.
void _EGLstop();
// Replaces the pbuffer by one with a 16-bit depth buffer for 16, 24-bit otherwise.
void _setGLBufferDepth(int depth);
