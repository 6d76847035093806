#include "shell/Canvas.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "library/System.h"
#include "runtime/IllegalStateException.h"
#include "tests/shell/CanvasFixtures.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/FunctionRunnable.h"
#include "tests/support/StringText.h"
#include "tests/support/Watchdog.h"

using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;
using javax::microedition::lcdui::Graphics;
using javax::microedition::midlet::MIDlet;
using shelltest::eventLog;
using shelltest::PaintingCanvas;
using testsupport::FunctionRunnable;
using Log = std::vector<std::string>;

QUILL_REGISTER_CLASSES(shelltest::PaintingCanvas);

namespace {

class CanvasTest : public shelltest::CanvasFixture {
protected:
    // Queues a serial call that logs its name.
    static void queueSerialCall(const std::string& name) {
        display()->callSerially(jnew<FunctionRunnable>([name] { eventLog().add(name); }));
    }
};

TEST_F(CanvasTest, ClassIdAndCasts) {
    EXPECT_EQ(Canvas::TESLclassTypeID, static_cast<int32_t>(0xFD1E4881));
    JavaPtr<PaintingCanvas> canvas = paintingCanvas("c");
    EXPECT_NE(canvas->castAsTypeID(Canvas::TESLclassTypeID), nullptr);
    EXPECT_NE(canvas->castAsTypeID(Displayable::TESLclassTypeID), nullptr);
    EXPECT_EQ(canvas->getCorrespondingCanvas().get(), canvas.get());
    EXPECT_FALSE(canvas->getGraphics());
}

// Where a canvas stands when it repaints decides what happens: paint, flush, serial calls.
TEST_F(CanvasTest, RepaintMatrix) {
    enum class Stage { NeverCurrent, Current, CurrentWhileInterrupted, NoLongerCurrent, AfterQuit };
    struct Case {
        const char* name;
        Stage stage;
        Log log;
        size_t frames;
    };
    const Case cases[] = {
        // No graphics yet: nothing to paint with, but the serial calls still run.
        {"never current", Stage::NeverCurrent, {"serial"}, 0},
        {"current", Stage::Current, {"c.paint 0 0 8 6", "serial"}, 1},
        // Not shown while interrupted: painted, not flushed.
        {"current while interrupted", Stage::CurrentWhileInterrupted, {"c.paint 0 0 8 6", "serial"}, 0},
        // Keeps the master Graphics: draws into the shared buffer, but nothing reaches the screen.
        {"no longer current", Stage::NoLongerCurrent, {"c.paint 0 0 8 6", "serial"}, 0},
        {"after quit", Stage::AfterQuit, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        installMasterGraphics();
        JavaPtr<PaintingCanvas> canvas = paintingCanvas("c");
        if (c.stage != Stage::NeverCurrent) display()->setCurrent(canvas);
        if (c.stage == Stage::NoLongerCurrent) {
            display()->setCurrent(paintingCanvas("other"));
            Display::tickLCDUI(50);
        }
        if (c.stage == Stage::CurrentWhileInterrupted) Displayable::isInterrupted.store(true);
        if (c.stage == Stage::AfterQuit) MIDlet::quitInvoked.store(true);
        queueSerialCall("serial");
        eventLog().take();

        canvas->repaint();
        EXPECT_EQ(eventLog().take(), c.log);
        EXPECT_EQ(host.frameCount(), c.frames);
        EXPECT_EQ(Canvas::midRepaint.load(), 0);
        // After quit the serial call is still waiting.
        EXPECT_EQ(static_cast<bool>(Display::takeSeriallyCall(0)), c.stage == Stage::AfterQuit);
    }
}

TEST_F(CanvasTest, RepaintClipsThePaintAndHandsOverTheWholeFrame) {
    JavaPtr<Graphics> g = installMasterGraphics();
    JavaPtr<PaintingCanvas> canvas = paintingCanvas("c", 0x00FF00);
    display()->setCurrent(canvas);
    eventLog().take();

    canvas->repaint(2, 1, 3, 2);
    EXPECT_EQ(eventLog().take(), Log{"c.paint 2 1 3 2"});
    // The clip stays as the repaint left it.
    EXPECT_EQ(g->getClipX(), 2);
    EXPECT_EQ(g->getClipWidth(), 3);
    const std::vector<shelltest::FrameRecordingHost::Frame> frames = host.frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].source, screenBuffer.data());
    EXPECT_EQ(frames[0].width, kWidth);
    EXPECT_EQ(frames[0].height, kHeight);
    EXPECT_EQ(frames[0].stride, kWidth);
    EXPECT_EQ(screenBuffer[1 * kWidth + 2], Graphics::argbToPixel(0xFF00FF00u));
    EXPECT_EQ(screenBuffer[0], 0xFF000000u) << "outside the clip";
}

TEST_F(CanvasTest, SerialCallsRunOnceInSlotOrderAndARequeueWaitsForTheNextRepaint) {
    installMasterGraphics();
    JavaPtr<PaintingCanvas> canvas = paintingCanvas("c");
    canvas->logPaints = false;
    display()->setCurrent(canvas);
    JavaPtr<FunctionRunnable> again;
    int runs = 0;
    again = jnew<FunctionRunnable>([&] {
        eventLog().add("again" + std::to_string(++runs));
        if (runs == 1) display()->callSerially(again);
    });
    display()->callSerially(again);
    queueSerialCall("second");
    eventLog().take();

    canvas->repaint();
    EXPECT_EQ(eventLog().take(), (Log{"again1", "second"}));
    canvas->repaint();
    EXPECT_EQ(eventLog().take(), Log{"again2"});
    canvas->repaint();
    EXPECT_EQ(eventLog().take(), Log{});
    again = nullptr;
}

TEST_F(CanvasTest, AThrowingSerialCallLeavesTheLaterOnesForTheNextRepaint) {
    installMasterGraphics();
    JavaPtr<PaintingCanvas> canvas = paintingCanvas("c");
    canvas->logPaints = false;
    display()->setCurrent(canvas);
    display()->callSerially(jnew<FunctionRunnable>([] { throw java::lang::IllegalStateException(); }));
    queueSerialCall("later");
    eventLog().take();

    EXPECT_THROW(canvas->repaint(), java::lang::IllegalStateException);
    EXPECT_EQ(eventLog().take(), Log{});
    canvas->repaint();
    EXPECT_EQ(eventLog().take(), Log{"later"});
}

TEST_F(CanvasTest, APaintThatThrowsLeavesNoRepaintCountedAndTheLockFree) {
    testsupport::Watchdog watchdog;
    installMasterGraphics();
    JavaPtr<PaintingCanvas> canvas = paintingCanvas("c");
    canvas->logPaints = false;
    display()->setCurrent(canvas);
    canvas->insidePaint = [] { throw std::runtime_error("paint failed"); };
    EXPECT_THROW(canvas->repaint(), std::runtime_error);
    EXPECT_EQ(Canvas::midRepaint.load(), 0);
    canvas->serviceRepaints();
    // Another thread can paint: the lock went with the throw.
    canvas->insidePaint = nullptr;
    std::thread other([&] { canvas->repaint(); });
    other.join();
    EXPECT_EQ(canvas->paints.load(), 1);
}

TEST_F(CanvasTest, ServiceRepaintsInsideAPaintDoesNotWaitForItself) {
    testsupport::Watchdog watchdog;
    installMasterGraphics();
    JavaPtr<PaintingCanvas> canvas = paintingCanvas("c");
    canvas->logPaints = false;
    display()->setCurrent(canvas);
    canvas->insidePaint = [&] { canvas->serviceRepaints(); };
    canvas->repaint();
    EXPECT_EQ(canvas->paints.load(), 1);
    canvas->serviceRepaints();
}

TEST_F(CanvasTest, FlushWithoutGraphicsPrintsNullAndHandsNothingOver) {
    // Both ways System.out can stand: made at start-up, or not yet.
    const JavaPtr<java::io::PrintStream> savedOut = java::lang::System::out;
    const JavaPtr<java::io::PrintStream> savedErr = java::lang::System::err;
    for (bool withSystemOut : {true, false}) {
        SCOPED_TRACE(withSystemOut);
        if (withSystemOut) {
            System_staticInit();
        } else {
            System_staticDestroy();
        }
        JavaPtr<PaintingCanvas> canvas = paintingCanvas("c");
        testing::internal::CaptureStdout();
        canvas->flushGraphics();
        canvas->flushGraphics(1, 2, 3, 4);
        canvas->repaint();  // no graphics: neither paints nor flushes
        EXPECT_EQ(testing::internal::GetCapturedStdout(), ": NULL\n: NULL\n");
        EXPECT_EQ(host.frameCount(), 0u);
    }
    java::lang::System::out = savedOut;
    java::lang::System::err = savedErr;
}

TEST_F(CanvasTest, FlushOfACanvasNotShownIsSilent) {
    installMasterGraphics();
    JavaPtr<PaintingCanvas> shown = paintingCanvas("shown");
    JavaPtr<PaintingCanvas> earlier = paintingCanvas("earlier");
    display()->setCurrent(earlier);
    display()->setCurrent(shown);
    Display::tickLCDUI(50);
    testing::internal::CaptureStdout();
    earlier->flushGraphics();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(host.frameCount(), 0u);
    shown->flushGraphics();
    EXPECT_EQ(host.frameCount(), 1u);
}

TEST_F(CanvasTest, GameActionsOfKeyCodes) {
    JavaPtr<PaintingCanvas> canvas = paintingCanvas("c");
    struct Case {
        int keyCode;
        int action;
    };
    for (const Case& c : {Case{-1, Canvas::UP}, Case{-2, Canvas::DOWN}, Case{-3, Canvas::LEFT},
                          Case{-4, Canvas::RIGHT}, Case{-5, Canvas::FIRE}, Case{53, 0}, Case{50, 0},
                          Case{-6, 0}, Case{-8, 0}, Case{0, 0}, Case{Canvas::GAME_A, 0}}) {
        SCOPED_TRACE(c.keyCode);
        EXPECT_EQ(canvas->getGameAction(c.keyCode), c.action);
        EXPECT_EQ(Canvas::getGameActionInternal(c.keyCode), c.action);
    }
}

TEST_F(CanvasTest, KeyCodesOfGameActionsAreZeroUntilTheDisplayExists) {
    struct Case {
        int action;
        int code;
    };
    const Case cases[] = {{Canvas::UP, -1},
                          {Canvas::LEFT, -3},
                          {Canvas::RIGHT, -4},
                          {Canvas::DOWN, -2},
                          {Canvas::FIRE, -5},
                          {Canvas::GAME_A, 0},
                          {Canvas::GAME_D, 0},
                          {0, 0},
                          {99, 0}};
    JavaPtr<PaintingCanvas> canvas = paintingCanvas("c");
    for (const Case& c : cases) EXPECT_EQ(canvas->getKeyCode(c.action), 0) << "before, action " << c.action;
    display();
    for (const Case& c : cases)
        EXPECT_EQ(canvas->getKeyCode(c.action), c.code) << "after, action " << c.action;
    // Each code maps back to its action.
    for (const Case& c : cases) {
        if (c.code != 0) {
            EXPECT_EQ(canvas->getGameAction(canvas->getKeyCode(c.action)), c.action);
        }
    }
}

TEST_F(CanvasTest, KeyNamesAndAbilities) {
    JavaPtr<PaintingCanvas> canvas = paintingCanvas("c");
    struct Case {
        int keyCode;
        const char* name;
    };
    for (const Case& c : {Case{35, "#"}, Case{42, "*"}, Case{48, "0"}, Case{53, "5"}, Case{57, "9"},
                          Case{47, ""}, Case{58, ""}, Case{-1, ""}, Case{-5, ""}, Case{0, ""}}) {
        EXPECT_EQ(testsupport::narrow(canvas->getKeyName(c.keyCode)), c.name) << c.keyCode;
    }
    EXPECT_NE(canvas->getKeyName(35).get(), canvas->getKeyName(35).get()) << "a new String each time";
    EXPECT_TRUE(canvas->hasPointerEvents());
    EXPECT_TRUE(canvas->hasPointerMotionEvents());
    EXPECT_FALSE(canvas->hasRepeatEvents());
    EXPECT_TRUE(canvas->isDoubleBuffered());
}

}  // namespace
