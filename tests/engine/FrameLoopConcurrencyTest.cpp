// The frame loop on its own thread, with loading threads, while another thread taps and pauses.
#include <gtest/gtest.h>

#include <thread>

#include "tests/engine/CanvasFixtures.h"
#include "tests/support/Eventually.h"

namespace enginetest {
namespace {

using H = HookCanvas;
class FrameLoopConcurrency : public CanvasFixture {
protected:
    // The real clock and a real canvas thread, in state 1.
    void startRealLoop() {
        engine::CanvasClock::setSource(nullptr);
        H::manual_passes.store(false);
        start(1);
    }
};

TEST_F(FrameLoopConcurrency, LoopAndLoadingWhileAnotherThreadTapsAndPauses) {
    startRealLoop();
    ASSERT_TRUE(testsupport::eventually([&] { return canvas->steps.load() >= 2; }));

    std::atomic<bool> stop{false};
    std::thread input([&] {
        for (int i = 0; i < 200 && !stop.load(); ++i) {
            H::internal_pointer_pressed.store(true);
            H::pointer_x.store(i);
            if (i % 20 == 0) canvas->hideNotify();
            if (i % 20 == 10) canvas->showNotify();
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < 5; ++i) {
        canvas->changeGameStateTo(H::GAMESTATEFLAG_LOADING | 2);
        ASSERT_TRUE(H::waitForLoading(120000));
        canvas->changeGameStateTo(1);
    }
    stop.store(true);
    input.join();
    canvas->showNotify();
    const int stepsBefore = canvas->steps.load();
    EXPECT_TRUE(testsupport::eventually([&] { return canvas->steps.load() > stepsBefore; }));
    EXPECT_EQ(canvas->loads.load(), 5);

    JavaPtr<java::lang::Thread> loop = H::mainThread();
    canvas->stopMainThread();
    ASSERT_TRUE(loop);
    loop->join();
    EXPECT_FALSE(H::thread_failed.load());
}

TEST_F(FrameLoopConcurrency, AStoppedLoopEndsEvenWhenTheNextCanvasHasStartedItsOwn) {
    startRealLoop();
    ASSERT_TRUE(testsupport::eventually([&] { return canvas->steps.load() >= 1; }));
    JavaPtr<java::lang::Thread> first = H::mainThread();
    ASSERT_TRUE(first);
    // A restart in one process: the old canvas's loop is stopped and the new one's started at once,
    // while the old loop still waits for its next pass.
    canvas->stopMainThread();
    JavaPtr<CountingCanvas> next = jnew<CountingCanvas>();
    next->startMainThread();
    JavaPtr<java::lang::Thread> second = H::mainThread();
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    // Two loops would fight over the shared pause flag, and neither canvas would step again.
    EXPECT_TRUE(testsupport::eventually([&] { return !first->isAlive(); }));
    next->stopMainThread();
    second->join();
    first->join();
}

}  // namespace
}  // namespace enginetest
