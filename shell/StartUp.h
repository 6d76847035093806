// The way in and out of the runtime: the launch on the platform main thread builds the display, the
// master Graphics and the statics and starts the two runtime threads; the ticker thread polls the
// libraries for the life of the application and tears everything down when the MIDlet quits.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "shell/FrameBufferUpdate.h"
#include "shell/ProxyMIDlet.h"

// 1 on a high-resolution screen: points are shifted left by it to give output pixels.
inline std::atomic<int> _shiftScale{0};
// The orientation the output is laid out for, 0 to 3.
inline std::atomic<int> _landscapeModeOrientationCache{3};
// The input gate: touches and tilt samples are delivered only while it is set.
inline std::atomic<bool> _sendInputsPlease{false};
// The copy of the screen buffer (_frameBufferPixels, with the frame hand-over), _outputWidth x
// _outputHeight words. Both are allocated at launch and kept until the runtime threads have finished,
// so no thread can draw into freed memory.
inline std::atomic<uint32_t*> _frameBufferPixelsCopy{nullptr};

// The running MIDlet proxy: set by the MIDlet thread, cleared by the ticker thread at the end, read by
// the entries on the main thread; so it is reached through counted copies under a lock.
JavaPtr<ProxyMIDlet> _myMidlet();
void _setMyMidlet(const JavaPtr<ProxyMIDlet>& midlet);

// Destroy requested by the platform. A destroy that comes before the MIDlet thread has made the
// MIDlet would otherwise be lost and the program never quit: whichever of the two comes second
// delivers it, once.
inline std::atomic<bool> _destroyRequested{false};
// Calls destroyApp(false) on the proxy unless it was delivered already.
void _deliverDestroyOnce(const JavaPtr<ProxyMIDlet>& midlet);

// Empty in this build: the place for a build's own start-up code.
void _hookStartUp();
// Allocates both frame buffers, every word 0xFF000000; false (and nothing kept) when memory runs out.
bool allocateFrameBuffers(int width, int height);
// Frees both buffers; the caller makes sure no runtime thread runs any more (runtimeThreadsLeftRunning).
void freeFrameBuffers();
// Builds the runtime side and starts the ticker and MIDlet threads; once, on the platform main thread.
void _xyzLauncher();
void preStartMIDletSetup();
void preStopMIDletTearDown();
void postStopMIDletTearDown();
// The ticker loop and the tear-down after it.
void* startapp_thread(void*);

// What the ticker thread is doing, for the shell's termination and for tests.
enum class TickerPhase { notStarted, running, tearingDown, finished };
TickerPhase tickerPhase();
// Runs once on the ticker thread after the tear-down; the program ends its loop from here.
void setTickerFinishedCallback(void (*callback)());
// How long the ticker sleeps after a pass when nothing rings it (milliseconds): a shown screen's
// tickers, alert timers, key repeat and repaint requests are served at the first pace, a playing sound's
// end is looked for at the second; otherwise it wakes at the third at the latest, for the polls that
// nothing announces (location intervals and time-outs, a new sensor-listener registration).
inline constexpr int kScreenTickMilliseconds = 10;
inline constexpr int kMediaPollMilliseconds = 10;
inline constexpr int kLongestTickerSleepMilliseconds = 100;
// The sleep after a pass, from the screens' and the polls' state now.
std::chrono::milliseconds tickerSleepAfterPass();
// Ticker passes run so far (what woke the ticker, for the benchmarks and tests).
uint64_t tickerPasses();
// The longest tick handed to the LCDUI, so a stall does not jump a ticker far ahead.
inline constexpr long long kLongestTickMilliseconds = 100;
// Milliseconds since the previous pass, capped for the LCDUI tick.
long long cappedTickMilliseconds(long long elapsed);
// Waits until the runtime threads the launch started have ended, so the host and the process's
// globals can go. The ticker thread is waited for once it has finished its tear-down; the MIDlet
// thread only when it has already ended (an application stuck in startApp must not hold up the exit).
void joinRuntimeThreads();
// How long the tear-down waits for the threads that painted to end; shorter than the termination's
// wait, so that a stuck painter is reported by the tear-down itself.
inline constexpr std::chrono::milliseconds kPaintingThreadsWait{2000};
// A runtime thread may still run: the ticker has not finished, or a painting thread outlived the
// tear-down's wait. The screen buffers and the statics are then kept.
bool runtimeThreadsLeftRunning();
// Ends the process at once with status, without the static destructors, when a runtime thread may still
// run and use them; returns otherwise. The program calls it once its host's loop has ended.
void exitNowIfRuntimeThreadsRun(int status);
// Puts the start-up state back for another launch in the same process (tests).
void resetStartUpForTests();
