// Settings of the user-level (green) threading mode. The mode is compiled in but off in this build;
// its tests switch it on around themselves and drive the scheduler step from the test thread.
#pragma once

#include <ucontext.h>

#include <atomic>
#include <cstddef>

// 0: every runtime thread is a POSIX thread; 1: all of them run as user-level threads on the thread
// that calls ThreadImp::iterateThreads. Read at every start, yield and sleep.
extern std::atomic<unsigned char> _USES_USER_THREADING;

// The saved context of a user-level thread: the C library's context record on this processor.
inline constexpr size_t _THREAD_CONTEXT_SIZE = sizeof(ucontext_t);
