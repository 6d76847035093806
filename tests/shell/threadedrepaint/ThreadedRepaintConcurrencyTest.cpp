// The threaded-repaint build: canvases queue for one repaint thread (a queue of one entry), which
// paints them whole; serviceRepaints waits for the queue and the pass; serial calls run on a thread of
// their own, started only when one is queued and none runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "library/Thread.h"
#include "runtime/RuntimeException.h"
#include "tests/shell/CanvasFixtures.h"
#include "tests/support/Eventually.h"
#include "tests/support/FunctionRunnable.h"
#include "tests/support/Signal.h"
#include "tests/support/Watchdog.h"

namespace shelltest {
namespace {

using testsupport::Signal;

using namespace std::chrono_literals;
using testsupport::FunctionRunnable;

static_assert(kThreadedRepaint, "this test is built with the threaded repaint");

class ThreadedRepaintTest : public CanvasFixture {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        installMasterGraphics();
        // Each has had the master Graphics, so each paints; only the last is shown.
        gate = paintingCanvas("gate");
        other = paintingCanvas("other");
        canvas = paintingCanvas("canvas");
        for (const JavaPtr<PaintingCanvas>& c : {gate, other, canvas}) {
            display()->setCurrent(c);
            Display::tickLCDUI(50);
        }
        ASSERT_TRUE(canvas->isShown());
        // The gate's paint holds the repaint thread until the test lets it go.
        gate->insidePaint = [this] {
            gateEntered.raise();
            gateOpen.wait();
        };
        Display::threadedRepaintSetup();
        eventLog().take();
    }
    void TearDown() override {
        gateOpen.raise();
        Display::threadedRepaintTidyUp();
        // The repaint thread and every serial-call thread have ended and been reclaimed.
        EXPECT_TRUE(testsupport::eventually([] {
            java::lang::Thread::iterateThreads();
            return java::lang::Thread::activeCount() == 0;
        }));
        gate = other = canvas = nullptr;
        CanvasFixture::TearDown();
    }

    // Queues the gate and waits until the repaint thread is held inside its paint.
    void holdTheRepaintThread() {
        gate->repaint();
        ASSERT_TRUE(gateEntered.wait());
    }

    Signal gateEntered;
    Signal gateOpen;
    JavaPtr<PaintingCanvas> gate;
    JavaPtr<PaintingCanvas> other;
    JavaPtr<PaintingCanvas> canvas;
};

TEST_F(ThreadedRepaintTest, AQueueOfOneDropsAnotherCanvasAndPaintsEachWhole) {
    testsupport::Watchdog watchdog;
    holdTheRepaintThread();
    // Nothing paints on the asking thread.
    canvas->repaint(1, 1, 2, 2);
    canvas->repaint(3, 2, 1, 1);
    other->repaint();
    EXPECT_EQ(canvas->paints.load(), 0);
    gateOpen.raise();
    canvas->serviceRepaints();
    EXPECT_EQ(canvas->paints.load(), 1);
    EXPECT_EQ(other->paints.load(), 0) << "the queue was full with another canvas";
    const std::string whole = " 0 0 " + std::to_string(kWidth) + " " + std::to_string(kHeight);
    EXPECT_EQ(eventLog().take(), (std::vector<std::string>{"gate.paint" + whole, "canvas.paint" + whole}));
    // With the queue free again, the other canvas gets its turn.
    other->repaint();
    other->serviceRepaints();
    EXPECT_EQ(other->paints.load(), 1);
}

TEST_F(ThreadedRepaintTest, ServiceRepaintsWaitsForTheQueueAndThePass) {
    testsupport::Watchdog watchdog;
    struct Case {
        const char* name;
        bool queueBehind;  // a canvas waits in the queue, or only the held pass runs
    };
    for (const Case c : {Case{"pass running, queue empty", false}, Case{"canvas queued", true}}) {
        SCOPED_TRACE(c.name);
        gateEntered.reset();
        gateOpen.reset();
        canvas->paints.store(0);
        gate->paints.store(0);
        holdTheRepaintThread();
        if (c.queueBehind) canvas->repaint();
        Signal waiting;
        int gatePaintsSeen = -1;
        int canvasPaintsSeen = -1;
        std::thread caller([&] {
            waiting.raise();
            canvas->serviceRepaints();
            gatePaintsSeen = gate->paints.load();
            canvasPaintsSeen = canvas->paints.load();
        });
        ASSERT_TRUE(waiting.wait());
        gateOpen.raise();
        caller.join();
        EXPECT_EQ(gatePaintsSeen, 1);
        EXPECT_EQ(canvasPaintsSeen, c.queueBehind ? 1 : 0);
    }
}

TEST_F(ThreadedRepaintTest, SerialCallsGetAThreadOnlyWhenQueuedAndOneAtATime) {
    testsupport::Watchdog watchdog;
    const int startedBefore = Display::threadedSerialCallThreadsStarted.load();
    for (int i = 0; i < 20; ++i) {
        canvas->repaint();
        canvas->serviceRepaints();
    }
    EXPECT_EQ(canvas->paints.load(), 20);
    EXPECT_EQ(Display::threadedSerialCallThreadsStarted.load(), startedBefore) << "no serial call queued";

    // The first call holds its thread; painted passes meanwhile start no second one, and the call
    // queued meanwhile runs on the same thread once the first returns.
    Signal firstRunning;
    Signal firstMayReturn;
    Signal secondRan;
    std::atomic<std::thread::id> firstThread{};
    std::atomic<std::thread::id> secondThread{};
    std::atomic<std::thread::id> repaintThread{};
    canvas->insidePaint = [&] { repaintThread.store(std::this_thread::get_id()); };
    display()->callSerially(jnew<FunctionRunnable>([&] {
        firstThread.store(std::this_thread::get_id());
        firstRunning.raise();
        firstMayReturn.wait();
    }));
    canvas->repaint();
    ASSERT_TRUE(firstRunning.wait());
    display()->callSerially(jnew<FunctionRunnable>([&] {
        secondThread.store(std::this_thread::get_id());
        secondRan.raise();
    }));
    for (int i = 0; i < 5; ++i) {
        canvas->repaint();
        canvas->serviceRepaints();
    }
    EXPECT_EQ(Display::threadedSerialCallThreadsStarted.load(), startedBefore + 1);
    firstMayReturn.raise();
    ASSERT_TRUE(secondRan.wait());
    EXPECT_EQ(secondThread.load(), firstThread.load());
    EXPECT_NE(firstThread.load(), repaintThread.load());
    EXPECT_NE(firstThread.load(), std::this_thread::get_id());
    EXPECT_EQ(Display::threadedSerialCallThreadsStarted.load(), startedBefore + 1);
}

TEST_F(ThreadedRepaintTest, ASerialCallThatThrowsLeavesLaterOnesAThread) {
    testsupport::Watchdog watchdog;
    display()->callSerially(jnew<FunctionRunnable>([] { throw java::lang::RuntimeException(); }));
    canvas->repaint();
    canvas->serviceRepaints();
    // The throwing call's thread ends; a later painted pass starts another for the next call.
    Signal laterRan;
    display()->callSerially(jnew<FunctionRunnable>([&] { laterRan.raise(); }));
    ASSERT_TRUE(testsupport::eventually([&] {
        canvas->repaint();
        canvas->serviceRepaints();
        return laterRan.wait(10ms);
    }));
}

TEST_F(ThreadedRepaintTest, TidyUpStopsTheRepaintThreadAndDropsTheQueue) {
    testsupport::Watchdog watchdog;
    holdTheRepaintThread();
    canvas->repaint();
    Display::threadedRepaintTidyUp();
    gateOpen.raise();
    // Nothing is queued any more: serviceRepaints does not wait, and the thread ends.
    canvas->serviceRepaints();
    EXPECT_TRUE(testsupport::eventually([] {
        java::lang::Thread::iterateThreads();
        return java::lang::Thread::activeCount() == 0;
    }));
    EXPECT_EQ(canvas->paints.load(), 0);
    canvas->repaint();
    EXPECT_EQ(canvas->paints.load(), 0) << "no queue: the request is dropped";
}

}  // namespace
}  // namespace shelltest
