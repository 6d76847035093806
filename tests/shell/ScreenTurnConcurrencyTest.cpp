// Screen turns while another thread repaints, as the main thread turns the screen under the
// application's canvas thread: no paint sees half of a turn (a guard zone right after the screen buffer
// stays untouched, and ThreadSanitizer sees no race), and every frame handed over has one of the two
// whole sizes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>

#include "shell/EntryFunctions.h"
#include "tests/shell/CanvasFixtures.h"
#include "tests/support/Watchdog.h"

using javax::microedition::lcdui::Display;
using shelltest::PaintingCanvas;

namespace {

class ScreenTurnConcurrencyTest : public shelltest::CanvasFixture {
protected:
    // Portrait; a turn swaps the sides, so the buffer holds either.
    static constexpr int kShort = 24;
    static constexpr int kLong = 32;
    static constexpr size_t kWords = kShort * kLong;
    // A whole screen, as far as a fill at long x long could reach past the buffer.
    static constexpr size_t kGuardWords = kWords;
    static constexpr uint32_t kGuard = 0x5A5A5A5Au;

    void SetUp() override {
        CanvasFixture::SetUp();
        _outputWidth.store(kShort);
        _outputHeight.store(kLong);
        screenBuffer.assign(kWords + kGuardWords, kGuard);
        std::fill(screenBuffer.begin(), screenBuffer.begin() + kWords, 0xFF000000u);
        _frameBufferPixels.store(screenBuffer.data());
        _frameBufferPixelCount.store(kWords);
        installMasterGraphics();
        canvas = paintingCanvas("turned", 0x00FF00);
        canvas->logPaints = false;
        display()->setCurrent(canvas);
        ASSERT_TRUE(canvas->isShown());
    }
    void TearDown() override {
        canvas = nullptr;
        CanvasFixture::TearDown();
    }

    bool guardIntact() const {
        return std::all_of(screenBuffer.begin() + kWords, screenBuffer.end(),
                           [](uint32_t word) { return word == kGuard; });
    }

    JavaPtr<PaintingCanvas> canvas;
};

TEST_F(ScreenTurnConcurrencyTest, RepaintsDuringTurnsStayInsideTheBufferAndHandOverWholeSizes) {
    testsupport::Watchdog watchdog;
    constexpr int kTurns = 400;
    constexpr int kRepaints = 400;
    std::atomic<bool> turning{true};
    std::atomic<int> repaints{0};
    // The application's thread: a full repaint of the canvas at whatever size it reads, as a frame loop does.
    std::thread painter([&] {
        while (turning.load()) {
            canvas->repaint();
            repaints.fetch_add(1);
        }
    });
    // Turns go on until both sides have done their share, so the two overlap; an even count leaves
    // the screen upright.
    for (int i = 0; i < kTurns || repaints.load() < kRepaints || i % 2 != 0; ++i) {
        if (i % 2 == 0)
            changeOutputSize(kLong, kShort);
        else
            changeOutputSize(kShort, kLong);
    }
    turning.store(false);
    painter.join();
    canvas->repaint();

    EXPECT_TRUE(guardIntact()) << "a paint wrote past the screen buffer";
    EXPECT_EQ(_frameBufferUpdatesDropped.load(), 0u) << "a flush read half of a turn";
    const auto frames = host.frames();
    ASSERT_GE(frames.size(), 1u);
    for (const auto& frame : frames) {
        const std::pair<int, int> size{frame.width, frame.height};
        EXPECT_TRUE(size == std::make_pair(kShort, kLong) || size == std::make_pair(kLong, kShort))
            << frame.width << " x " << frame.height;
        EXPECT_EQ(frame.stride, frame.width);
    }
    // After an even number of turns the screen is upright again, the display and the master Graphics too.
    EXPECT_EQ(Display::screenWidth, kShort);
    EXPECT_EQ(Display::screenHeight, kLong);
    EXPECT_EQ(Display::getMasterGraphics()->width, kShort);
    EXPECT_EQ(Display::getMasterGraphics()->height, kLong);
    EXPECT_EQ(frames.back().width, kShort);
}

}  // namespace
