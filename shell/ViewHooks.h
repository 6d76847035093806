// The application canvas's view hooks: each records which hook was asked for in _callback_value and
// then runs the native hook on the host's main thread, returning only after it ran.
#pragma once

#include <atomic>

// The last hook asked for: 0 text overlay start, 1 text overlay stop, 2 view setup, 3 view replace.
inline std::atomic<int> _callback_value{0};

// Runs _objcNativeHook on the main thread and waits for it (inline without a host, or on the main
// thread itself).
extern "C" void _objcThreadHook();
// The native hook, on the main thread: calls the installed view hook, if any.
extern "C" void _objcNativeHook();

namespace iPhone {

void textOverlayStart();
void textOverlayStop();
void viewSetup();
void viewReplace();

// A build that shows a text overlay or replaces the view installs what to do here; it reads
// _callback_value. Null (the default) does nothing.
using NativeViewHook = void (*)();
void setNativeViewHook(NativeViewHook hook);

}  // namespace iPhone
