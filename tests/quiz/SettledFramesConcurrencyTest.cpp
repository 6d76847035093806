// A settled screen costs nothing to show: the quiz on the test clock and the test bundle, its frames
// counted as the host receives them. A step that changes nothing on the main menu paints and hands
// over nothing (the host only hears that the frame stands), while a finger, its twinkles and a wipe
// keep frames coming, and whatever else reached the screen meanwhile is painted over at the next step.
#include <gtest/gtest.h>

#include <algorithm>

#include "shell/FrameBufferUpdate.h"
#include "tests/support/QuizDriver.h"

namespace {

using H = HookCanvas;
constexpr auto kLimit = testsupport::QuizDriver::kHangGuard;

class SettledFrames : public testing::Test {
protected:
    void SetUp() override {
        H::game_state.store(0);
        driver = std::make_unique<testsupport::QuizDriver>(QUILL_TEST_BUNDLE_DIR);
    }
    void TearDown() override { driver.reset(); }

    uint64_t handedOver() { return driver->host.handedOverFrames(); }
    // One pass of the loop; answers whether it handed over a frame, once that frame is on show.
    bool pass() {
        const uint64_t before = handedOver();
        driver->runPasses(1);
        EXPECT_TRUE(driver->waitUntilShown());
        return handedOver() > before;
    }
    // Passes until three in a row hand over nothing (at most limit passes); whether that happened.
    bool settle(int limit = 600) {
        int quiet = 0;
        for (int i = 0; i < limit && quiet < 3; ++i) {
            if (!driver->waitForLoading()) return false;
            quiet = pass() ? 0 : quiet + 1;
        }
        return quiet >= 3;
    }
    uint64_t shownHash() { return driver->host.frameHash(); }

    std::unique_ptr<testsupport::QuizDriver> driver;
};

TEST_F(SettledFrames, ASettledMenuHandsOverNothingYetIsStableAndAFingerIsShownAtOnce) {
    ASSERT_TRUE(settle());
    ASSERT_EQ(H::game_state.load(), H::GAMESTATE_MAIN_MENU);
    const uint64_t frames = handedOver();
    const uint64_t settledHash = shownHash();
    const uint64_t heartbeats = driver->host.presentations();
    for (int i = 0; i < 30; ++i) EXPECT_FALSE(pass()) << "pass " << i;
    EXPECT_EQ(handedOver(), frames);
    // Every pass still told the host that its frame stands, so waits for a stable screen succeed.
    EXPECT_EQ(driver->host.presentations(), heartbeats + 30);
    EXPECT_TRUE(driver->host.waitForStableFrames(30, kLimit));
    EXPECT_EQ(shownHash(), settledHash);

    // A finger on New Test: the pressed button shows at the next step; twinkles are thrown every fourth
    // step, and once they fly frames keep coming.
    ASSERT_TRUE(driver->host.touchDown(160, 190));
    EXPECT_TRUE(pass());
    EXPECT_NE(shownHash(), settledHash);
    for (int i = 0; i < 4 && driver->canvas()->count_particles() == 0; ++i) pass();
    ASSERT_GT(driver->canvas()->count_particles(), 0);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(pass()) << "held pass " << i;

    // Slid off every button and let go: nothing is chosen, and once the last twinkle has fallen away
    // the menu settles on the very picture it showed before.
    ASSERT_TRUE(driver->host.touchDrag(300, 20));
    ASSERT_TRUE(driver->host.touchUp(300, 20));
    EXPECT_TRUE(pass());
    ASSERT_TRUE(settle());
    EXPECT_EQ(H::game_state.load(), H::GAMESTATE_MAIN_MENU);
    EXPECT_EQ(shownHash(), settledHash);
}

TEST_F(SettledFrames, AFrameFromElsewhereIsPaintedOverAndAResumedMenuIsPaintedAgain) {
    ASSERT_TRUE(settle());
    const uint64_t settledHash = shownHash();

    // Something else flushed the shared screen buffer (another canvas, a screen of the shell).
    const size_t words = _frameBufferPixelCount.load();
    std::fill(_frameBufferPixels.load(), _frameBufferPixels.load() + words, 0xFF00FF00u);
    _frameBufferUpdate();
    ASSERT_TRUE(driver->waitUntilShown());
    ASSERT_NE(shownHash(), settledHash);
    EXPECT_TRUE(pass());
    EXPECT_EQ(shownHash(), settledHash);
    EXPECT_FALSE(pass());

    // Paused (the screen may have shown anything meanwhile) and resumed: painted again.
    ASSERT_TRUE(driver->host.pause());
    EXPECT_FALSE(pass());
    EXPECT_FALSE(pass());
    ASSERT_TRUE(driver->host.resume());
    bool painted = false;
    for (int i = 0; i < 3 && !painted; ++i) painted = pass();
    EXPECT_TRUE(painted);
    EXPECT_EQ(shownHash(), settledHash);
}

TEST_F(SettledFrames, AWipeHandsOverAFrameEveryStepUntilTheNewScreenSettles) {
    ASSERT_TRUE(settle());
    // Scores & Statistics.
    ASSERT_TRUE(driver->host.touchDown(160, 330));
    pass();
    ASSERT_TRUE(driver->host.touchUp(160, 330));
    pass();
    ASSERT_TRUE(driver->waitForLoading());
    ASSERT_EQ(H::game_state.load(), H::GAMESTATE_STATS);
    int wipePasses = 0;
    for (int i = 0; i < 600 && driver->canvas()->fade_active; ++i, ++wipePasses)
        EXPECT_TRUE(pass()) << "wipe pass " << i;
    EXPECT_GT(wipePasses, 0);
    ASSERT_TRUE(settle());
    EXPECT_EQ(H::game_state.load(), H::GAMESTATE_STATS);
    EXPECT_FALSE(pass());
}

}  // namespace
