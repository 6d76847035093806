// The hand-over of finished frames. The master Graphics draws every frame into the screen buffer; a
// flush hands the host a copy of it, which the host keeps in its frame mailbox and shows on its main
// thread. The flushing thread never waits for the screen.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// The screen buffer the master Graphics draws into: _outputWidth x _outputHeight pixel words (bytes R, G,
// B, A), rows top first with no gap. Start-up allocates it (every word 0xFF000000) and stores it here
// with its size in words before any runtime thread draws; it must outlive every thread that may flush.
inline std::atomic<uint32_t*> _frameBufferPixels{nullptr};
inline std::atomic<size_t> _frameBufferPixelCount{0};
// True while frames go to the software view: always in this build, where no GL view is ever shown.
inline std::atomic<bool> _in2dmode{true};
// Flushes that could not be handed over: no host or no screen buffer yet, or an output size that does
// not fit the buffer.
inline std::atomic<uint64_t> _frameBufferUpdatesDropped{0};

// Flushes so far, by the image path or the GL flush, handed over or dropped: a canvas that skips a repaint
// checks by it that nothing else reached the screen since its own frame.
inline std::atomic<uint64_t> _frameBufferUpdates{0};

// Hands the current frame to the host: _outputWidth x _outputHeight words of the screen buffer, copied
// before it returns, under the paint lock. Does nothing while the GL view is on screen.
void _frameBufferUpdate();
// Tells the host that a frame loop looked again and the frame it handed over last is still what it
// would show: no pixels move. Waiting for a settled screen counts these as repeats of that frame.
void _frameBufferUnchanged();
