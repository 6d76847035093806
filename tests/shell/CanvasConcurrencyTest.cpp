// Repaints on several threads at once, as the ticker thread paints a screen while the application's
// thread paints its canvas: one painter at a time in the shared master Graphics, a count of the running
// repaints that serviceRepaints waits out, and serial calls that run after the paint has let go.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/shell/CanvasFixtures.h"
#include "tests/support/Eventually.h"
#include "tests/support/FunctionRunnable.h"
#include "tests/support/Signal.h"
#include "tests/support/Watchdog.h"

using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Display;
using shelltest::PaintingCanvas;
using testsupport::FunctionRunnable;

namespace {

using testsupport::Signal;

using namespace std::chrono_literals;

class CanvasConcurrencyTest : public shelltest::CanvasFixture {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        installMasterGraphics();
        shown = paintingCanvas("shown", 0x0000FF);
        // Had the master Graphics when it was current, and keeps it: it paints, but is not shown.
        behind = paintingCanvas("behind", 0xFF0000);
        shown->logPaints = behind->logPaints = false;
        display()->setCurrent(behind);
        display()->setCurrent(shown);
        Display::tickLCDUI(50);
        ASSERT_TRUE(shown->isShown());
        ASSERT_TRUE(behind->getGraphics());
    }
    void TearDown() override {
        shown = nullptr;
        behind = nullptr;
        CanvasFixture::TearDown();
    }

    JavaPtr<PaintingCanvas> shown;
    JavaPtr<PaintingCanvas> behind;
};

TEST_F(CanvasConcurrencyTest, ServiceRepaintsWaitsOutARepaintOnAnotherThread) {
    testsupport::Watchdog watchdog;
    Signal entered;
    Signal release;
    std::atomic<bool> paintDone{false};
    behind->insidePaint = [&] {
        entered.raise();
        EXPECT_TRUE(release.wait());
        paintDone.store(true);
    };
    std::thread painter([&] { behind->repaint(); });
    ASSERT_TRUE(entered.wait());

    std::atomic<bool> serviced{false};
    bool paintDoneWhenServiced = false;
    std::thread servicer([&] {
        shown->serviceRepaints();
        paintDoneWhenServiced = paintDone.load();
        serviced.store(true);
    });
    // A servicer that did not wait would be back by now; one that waits is back only after the release.
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(serviced.load());
    release.raise();
    painter.join();
    servicer.join();
    EXPECT_TRUE(paintDoneWhenServiced);
    EXPECT_EQ(Canvas::midRepaint.load(), 0);
}

// With one flag, the first painter to finish would clear it while the second still paints.
TEST_F(CanvasConcurrencyTest, AFinishedPainterLeavesTheSecondOneCounted) {
    testsupport::Watchdog watchdog;
    Signal firstEntered, firstRelease, secondEntered, secondRelease;
    std::atomic<int> painting{0};
    std::atomic<int> mostAtOnce{0};
    auto enter = [&] {
        const int now = painting.fetch_add(1) + 1;
        if (now > mostAtOnce.load()) mostAtOnce.store(now);
    };
    behind->insidePaint = [&] {
        enter();
        firstEntered.raise();
        EXPECT_TRUE(firstRelease.wait());
        painting.fetch_sub(1);
    };
    shown->insidePaint = [&] {
        enter();
        secondEntered.raise();
        EXPECT_TRUE(secondRelease.wait());
        painting.fetch_sub(1);
    };
    std::thread first([&] { behind->repaint(); });
    ASSERT_TRUE(firstEntered.wait());
    std::thread second([&] { shown->repaint(); });
    // The second repaint has started and waits for the master Graphics.
    EXPECT_TRUE(testsupport::eventually([] { return Canvas::midRepaint.load() == 2; }));
    firstRelease.raise();
    first.join();
    ASSERT_TRUE(secondEntered.wait());
    EXPECT_EQ(Canvas::midRepaint.load(), 1);
    secondRelease.raise();
    second.join();
    EXPECT_EQ(Canvas::midRepaint.load(), 0);
    EXPECT_EQ(mostAtOnce.load(), 1);
    EXPECT_EQ(host.frameCount(), 1u) << "only the shown canvas flushes";
}

// Two painters and a direct flusher: every paint finds the whole buffer its own colour when it ends,
// and every frame handed over is one colour.
TEST_F(CanvasConcurrencyTest, PaintsAndFlushesNeverInterleave) {
    testsupport::Watchdog watchdog;
    constexpr int kRepaints = 200;
    std::atomic<int> torn{0};
    auto checkOwnColour = [&](uint32_t colour) {
        const uint32_t word = shelltest::Graphics::argbToPixel(0xFF000000u | colour);
        for (uint32_t pixel : screenBuffer)
            if (pixel != word) return torn.fetch_add(1);
        return 0;
    };
    shown->insidePaint = [&] { checkOwnColour(0x0000FF); };
    behind->insidePaint = [&] { checkOwnColour(0xFF0000); };
    std::atomic<bool> painting{true};
    std::thread ticker([&] {
        for (int i = 0; i < kRepaints; ++i) behind->repaint();
    });
    std::thread flusher([&] {
        while (painting.load()) shown->flushGraphics();
    });
    for (int i = 0; i < kRepaints; ++i) shown->repaint();
    ticker.join();
    painting.store(false);
    flusher.join();

    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(shown->paints.load(), kRepaints);
    EXPECT_EQ(behind->paints.load(), kRepaints);
    const std::vector<shelltest::FrameRecordingHost::Frame> frames = host.frames();
    EXPECT_GE(frames.size(), static_cast<size_t>(kRepaints));
    for (const auto& frame : frames) EXPECT_TRUE(frame.uniform);
    EXPECT_EQ(Canvas::midRepaint.load(), 0);
}

// A serial call that waits for a repaint on another thread finishes only if the paint has let go of the
// master Graphics before serial calls run.
TEST_F(CanvasConcurrencyTest, SerialCallsRunAfterThePaintLetsGo) {
    testsupport::Watchdog watchdog;
    Signal behindPainted;
    behind->insidePaint = [&] { behindPainted.raise(); };
    std::thread other;
    bool otherPaintedDuringSerialCall = false;
    display()->callSerially(jnew<FunctionRunnable>([&] {
        other = std::thread([&] { behind->repaint(); });
        otherPaintedDuringSerialCall = behindPainted.wait();
    }));
    shown->repaint();
    other.join();
    EXPECT_TRUE(otherPaintedDuringSerialCall);
    EXPECT_EQ(shown->paints.load(), 1);
    EXPECT_EQ(behind->paints.load(), 1);
}

}  // namespace
