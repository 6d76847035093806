// Process-wide globals of the shell, written by the platform main thread at launch and on rotation and
// read by the runtime threads.
#pragma once

#include <atomic>

// The size of the output in pixels: the frame buffer, the master Graphics and the display's screen size.
inline std::atomic<int> _outputWidth{0};
inline std::atomic<int> _outputHeight{0};
