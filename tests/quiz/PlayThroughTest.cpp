// The quiz played end to end through the driver on the test clock: a save after a restart writes the
// record it read, a finished test ends on COMPLETE with its cue and a greyed Continue Test, pausing
// drops the cues and resuming loads them again, and a damaged record file gives the full reset.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "media/Player.h"
#include "runtime/LockObject.h"
#include "tests/quiz/FlowFixtures.h"

namespace quiztest {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const JavaPtr<JArray<signed char>>& array) {
    if (!array) return {};
    const auto* p = reinterpret_cast<const uint8_t*>(array->data);
    return Bytes(p, p + array->length);
}

class PlayThrough : public FlowFixture {
protected:
    // Starts the application on a data directory kept across restarts and waits for the main menu.
    void start() {
        resetQuizStatics();
        driver = std::make_unique<testsupport::QuizDriver>(
            testBundleDir(), &FlowMidlet::create, testsupport::QuizDriver::defaultScreen(), data.path());
        ASSERT_TRUE(canvasPtr());
        ASSERT_TRUE(settle(H::GAMESTATE_MAIN_MENU));
    }
    void restart() {
        ASSERT_EQ(driver->finish(), 0);
        driver.reset();
        start();
    }
    // Passes until the screen is state, not loading, no wipe running and, on the game screen, no
    // answer delay or slide pending.
    bool settle(int32_t state, int passes = 2000) {
        for (int i = 0; i < passes; ++i) {
            if (H::thread_failed.load()) return false;
            if ((H::game_state.load() & H::GAMESTATEFLAG_LOADING) != 0) driver->waitForLoading();
            JavaPtr<FlowCanvas> c = canvasPtr();
            if (c && H::game_state.load() == state && !c->fade_active &&
                (state != H::GAMESTATE_GAME_RUNNING ||
                 (c->next_question_delay <= 0 && !c->question_slide_pending)))
                return true;
            driver->runPasses(1);
        }
        return false;
    }
    // The middle of the right answer's button, or of the first wrong one not ghosted.
    void answer(bool right) {
        FlowCanvas& c = canvas();
        int button = -1;
        for (int k = 0; k < 3 && button < 0; ++k) {
            const bool isRight = c.correct_position == k + 1;
            const bool ghosted = c.ghosted && c.ghosted->data[k];
            if (right ? isRight : (!isRight && !ghosted)) button = k;
        }
        ASSERT_GE(button, 0);
        const int w = c.getImageDimension(c.img_answer_button_click, 0, 0, H::IMAGEDIMENSION_WIDTH);
        const int h = c.answer_button_height;
        tapAt(c.getParam(H::PARAM_ANSWER_BUTTONS_LEFT) + w / 2,
              c.getParam(H::PARAM_ANSWER_BUTTONS_TOP) +
                  button * (h + c.getParam(H::PARAM_ANSWER_BUTTONS_SPACING)) + h / 2);
        ASSERT_GT(c.next_question_delay, 0) << "the answer was not taken";
    }
    Bytes savedRecord() { return bytesOf(canvas().HookCanvas::getRecordStoreData(0)); }
    // Every record-store file of the data directory.
    std::vector<std::filesystem::path> storeFiles() {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(data.path()))
            if (entry.path().filename().string().rfind("rs_", 0) == 0) files.push_back(entry.path());
        return files;
    }
    // New Test, a right and a wrong answer, and the menu button, which saves.
    void playAndSave() {
        tapAt(159, 200);
        ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
        answer(true);
        ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
        answer(false);
        ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
        tapAt(280, 435);
        ASSERT_TRUE(settle(H::GAMESTATE_MAIN_MENU));
    }

    testsupport::TemporaryDirectory data;
};

// Continue Test and the menu button after a restart, without an answer: the record read is the record
// written.
TEST_F(PlayThrough, SaveAfterARestartWithoutAnsweringWritesTheSameRecord) {
    start();
    tapAt(159, 200);
    ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
    answer(true);
    ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
    // A level above 0, so that Continue Test has a test to continue.
    canvas().level = 1;
    tapAt(280, 435);
    ASSERT_TRUE(settle(H::GAMESTATE_MAIN_MENU));
    const Bytes first = savedRecord();
    ASSERT_FALSE(first.empty());
    restart();
    EXPECT_EQ(canvas().test_right, 1);
    EXPECT_EQ(canvas().level, 1);
    tapAt(159, 130);
    ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
    tapAt(280, 435);
    ASSERT_TRUE(settle(H::GAMESTATE_MAIN_MENU));
    EXPECT_EQ(savedRecord(), first);
}

TEST_F(PlayThrough, FinishedTestCompletesWithItsCueAndGreysContinue) {
    start();
    tapAt(159, 200);
    ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
    ASSERT_TRUE(H::levelThresholds);
    const int last = H::levelThresholds->length - 1;
    // One right answer short of the last level's threshold.
    canvas().level = last;
    canvas().level_points = H::levelThresholds->data[last];
    canvas().takeCues();
    answer(true);
    ASSERT_TRUE(settle(H::GAMESTATE_COMPLETE));
    EXPECT_TRUE(contains(canvas().takeCues(), H::RESID_GAME_OVER_WIN));
    tapAt(280, 433);
    ASSERT_TRUE(settle(H::GAMESTATE_MAIN_MENU));
    EXPECT_TRUE(canvas().no_test_running);
    driver->runPasses(20);
    ASSERT_TRUE(driver->waitUntilShown());
    // The ghosted button covers Continue Test; away from its label it shows the ghosted picture alone.
    JavaPtr<javax::microedition::lcdui::Image> scratch = javax::microedition::lcdui::Image::createImage(8, 8);
    canvas().HookCanvas::drawImageIDNoTransform(
        scratch->getGraphics(), canvas().img_answer_button_ghosted, 0, 0, 0,
        javax::microedition::lcdui::Graphics::TOP | javax::microedition::lcdui::Graphics::LEFT);
    auto rgb = jnew<JArray<int>>(1);
    scratch->getRGB(rgb, 0, 1, 4, 4, 1, 1);
    const int left = canvas().menu_button_x->data[0], top = canvas().menu_button_y->data[0];
    EXPECT_EQ(driver->pixel(left + 6, top + 6), static_cast<uint32_t>(rgb->data[0]) & 0xFFFFFF);
    // And a tap on it is ignored.
    tapAt(159, 130);
    driver->runPasses(10);
    EXPECT_EQ(H::game_state.load(), H::GAMESTATE_MAIN_MENU);
}

// Pausing stops the cues and lets their sounds go; resuming loads them again on the channels they had,
// and a cue then plays.
TEST_F(PlayThrough, PauseDropsTheCuesAndResumeLoadsThemAgain) {
    start();
    // Read between passes: pause and resume reach the canvas on the host's main thread before they
    // return.
    auto loadedSounds = [&] {
        int n = 0;
        for (int ch = 0; ch < H::PARAM_TS_SOUND_AUDIO_MAX_PIECES; ++ch)
            n += canvas().sound_data->data[ch] ? 1 : 0;
        return n;
    };
    std::vector<int> channels;
    for (int id = H::RESID_SOUND_ALMOST_OUT_OF_TIME; id <= H::RESID_CLICK_ON_BUTTON; ++id)
        channels.push_back(canvas().alreadyLoadedChannel(id));
    EXPECT_EQ(loadedSounds(), H::PARAM_TS_SOUND_AUDIO_MAX_PIECES);
    canvas().playSound(H::RESID_CLICK_ON_BUTTON, 0, 1);
    ASSERT_TRUE(driver->host.pause());
    driver->runPasses(2);
    EXPECT_EQ(loadedSounds(), 0);
    for (int ch = 0; ch < H::PARAM_TS_SOUND_AUDIO_MAX_PIECES; ++ch) {
        JavaPtr<javax::microedition::media::Player> player = canvas().sound_players->data[ch];
        if (player) {
            EXPECT_LT(player->getState(), javax::microedition::media::Player::PREFETCHED) << ch;
        }
    }
    canvas().takeSoundLoads();
    ASSERT_TRUE(driver->host.resume());
    driver->runPasses(2);
    EXPECT_EQ(canvas().takeSoundLoads(), 1);
    std::vector<int> again;
    for (int id = H::RESID_SOUND_ALMOST_OUT_OF_TIME; id <= H::RESID_CLICK_ON_BUTTON; ++id)
        again.push_back(canvas().alreadyLoadedChannel(id));
    EXPECT_EQ(again, channels);
    canvas().playSound(H::RESID_CLICK_ON_BUTTON, 0, 1);
    JavaPtr<javax::microedition::media::Player> click =
        canvas().sound_players->data[canvas().alreadyLoadedChannel(H::RESID_CLICK_ON_BUTTON)];
    ASSERT_TRUE(click);
    EXPECT_GE(click->getState(), javax::microedition::media::Player::PREFETCHED);
    EXPECT_TRUE(settle(H::GAMESTATE_MAIN_MENU));
}

// Whatever the damage to the saved file, the quiz starts afresh on its main menu.
TEST_F(PlayThrough, DamagedRecordFileGivesTheFullReset) {
    struct Damage {
        const char* name;
        void (*apply)(const std::filesystem::path&);
    };
    const Damage damages[] = {
        {"truncated",
         [](const std::filesystem::path& file) {
             std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2);
         }},
        {"bytes flipped",
         [](const std::filesystem::path& file) {
             std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
             const auto size = static_cast<std::streamoff>(std::filesystem::file_size(file));
             for (std::streamoff at = size / 3; at < size; at += 7) {
                 f.seekg(at);
                 const char c = static_cast<char>(f.get() ^ 0x5A);
                 f.seekp(at);
                 f.put(c);
             }
         }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        start();
        playAndSave();
        ASSERT_EQ(driver->finish(), 0);
        driver.reset();
        const std::vector<std::filesystem::path> files = storeFiles();
        ASSERT_FALSE(files.empty());
        for (const auto& file : files) damage.apply(file);
        start();
        EXPECT_FALSE(H::thread_failed.load());
        EXPECT_EQ(canvas().test_right, 0);
        EXPECT_EQ(canvas().level, 0);
        EXPECT_TRUE(canvas().no_test_running);
        EXPECT_EQ(driver->finish(), 0);
        driver.reset();
        for (const auto& entry : std::filesystem::directory_iterator(data.path()))
            std::filesystem::remove_all(entry.path());
    }
}

}  // namespace
}  // namespace quiztest
