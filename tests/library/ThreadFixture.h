// Fixture of the thread and monitor tests: a fresh thread pool for each test, torn down afterwards, a
// watchdog, and small helpers to start runtime threads and to wait for a state another thread reaches.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <utility>

#include "library/Thread.h"
#include "library/ThreadImp.h"
#include "runtime/LockObject.h"
#include "tests/support/FunctionRunnable.h"
#include "tests/support/Watchdog.h"

namespace threadtest {

using java::lang::Object;
using java::lang::Runnable;
using java::lang::Thread;
using java::lang::ThreadImp;
using testsupport::FunctionRunnable;

inline void resetThreadPool() {
    ThreadImp::forceTerminateOfThreads();
    Thread::tidyUpNormal();
}

class ThreadFixture : public ::testing::Test {
protected:
    void SetUp() override { resetThreadPool(); }
    void TearDown() override { resetThreadPool(); }

    testsupport::Watchdog m_watchdog;
};

inline JavaPtr<Runnable> runnable(std::function<void()> body) {
    return JavaPtr<Runnable>(jnew<FunctionRunnable>(std::move(body)));
}

inline JavaPtr<Thread> startThread(std::function<void()> body) {
    JavaPtr<Thread> thread = jnew<Thread>(runnable(std::move(body)));
    thread->start();
    return thread;
}

// Polls a condition that another thread will make true; the watchdog ends a test that never sees it.
inline void waitUntil(const std::function<bool()>& condition) {
    while (!condition()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The synchronized block of the class sources.
template <class Body>
void synchronizedOn(const JavaPtr<Object>& object, Body&& body) {
    JavaPtr<Object> held(object);
    JavaPtr<LockObject> lock(held->startSync());
    body();
}

inline long long elapsedMillisSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace threadtest
