// The quiz played end to end through the driver on the test clock: a save after a restart writes the
// record it read, a finished test ends on COMPLETE with its cue and a greyed Continue Test, pausing
// drops the cues and resuming loads them again, a damaged record file gives the full reset and is
// replaced by the next save, and a restart at any point finds the progress as it was, never scoring a
// question twice.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "media/Player.h"
#include "platform/files/FileSystemPaths.h"
#include "rms/RecordStore.h"
#include "runtime/LockObject.h"
#include "tests/quiz/FlowFixtures.h"
#include "tests/support/FileOpenFaults.h"
#include "tests/support/FileOperationFaults.h"
#include "tests/support/StringText.h"

namespace quiztest {
namespace {

using Bytes = std::vector<uint8_t>;
using javax::microedition::rms::RecordStore;

std::string fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ino_t inodeOf(const std::filesystem::path& file) {
    struct stat status {};
    return stat(file.c_str(), &status) == 0 ? status.st_ino : 0;
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

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
    // The text of the question on the game screen.
    std::string questionText() {
        FlowCanvas& c = canvas();
        return c.question && c.question->length > 0 ? testsupport::narrow(c.question->data[0]) : "";
    }
    // New Test, settled on its first question.
    void newTest() {
        tapAt(159, 200);
        ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
    }
    // Continue Test from the main menu; false when the tap was ignored.
    bool continueTest() {
        tapAt(159, 130);
        driver->runPasses(10);
        if (state() == H::GAMESTATE_MAIN_MENU) return false;
        return settle(H::GAMESTATE_GAME_RUNNING);
    }
    // One right answer short of passing the last level, then that answer: the test is finished.
    void finishTest() {
        ASSERT_TRUE(H::levelThresholds);
        const int last = H::levelThresholds->length - 1;
        canvas().level = last;
        canvas().level_points = H::levelThresholds->data[last];
        answer(true);
        ASSERT_TRUE(settle(H::GAMESTATE_COMPLETE));
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

void flipByteAt(const std::filesystem::path& file, std::streamoff at) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekg(at);
    const char c = static_cast<char>(f.get() ^ 0x5A);
    f.seekp(at);
    f.put(c);
}

void overwrite(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Whatever the damage to the saved file, the quiz starts afresh on its main menu; the next save
// replaces what could not be read (saying so once when the store refused the file), and a restart
// finds what was played since.
TEST_F(PlayThrough, DamagedStoreFileGivesTheFullResetAndTheNextSavesSurviveARestart) {
    using Path = std::filesystem::path;
    struct Damage {
        const char* name;
        void (*apply)(const Path&);
        bool refusedByTheStore;  // the file still names the store, but its header check fails
    };
    // The header: magic 0-3, format 4-5, version 6-9, last modified 10-17, next id 18-21, checksum
    // 22-25, then the name.
    const Damage damages[] = {
        {"version flipped", [](const Path& f) { flipByteAt(f, 8); }, true},
        {"last modified flipped", [](const Path& f) { flipByteAt(f, 12); }, true},
        {"last modified low half flipped", [](const Path& f) { flipByteAt(f, 16); }, true},
        {"next record id flipped", [](const Path& f) { flipByteAt(f, 20); }, true},
        {"checksum flipped", [](const Path& f) { flipByteAt(f, 24); }, true},
        {"magic flipped", [](const Path& f) { flipByteAt(f, 1); }, false},
        {"record bytes flipped",
         [](const Path& f) {
             const auto size = static_cast<std::streamoff>(std::filesystem::file_size(f));
             for (std::streamoff at = size / 3; at < size; at += 7) flipByteAt(f, at);
         },
         false},
        {"truncated in the header", [](const Path& f) { std::filesystem::resize_file(f, 20); }, false},
        {"truncated to half",
         [](const Path& f) { std::filesystem::resize_file(f, std::filesystem::file_size(f) / 2); }, false},
        {"garbage", [](const Path& f) { overwrite(f, std::string(300, '\x9C') + "not a store"); }, false},
        {"empty", [](const Path& f) { overwrite(f, ""); }, false},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        start();
        playAndSave();
        ASSERT_EQ(driver->finish(), 0);
        driver.reset();
        const std::vector<Path> files = storeFiles();
        ASSERT_EQ(files.size(), 1u);
        damage.apply(files[0]);
        const std::string damaged = fileBytes(files[0]);

        testing::internal::CaptureStderr();
        start();
        EXPECT_FALSE(H::thread_failed.load());
        EXPECT_EQ(canvas().test_right, 0);
        EXPECT_EQ(canvas().level, 0);
        EXPECT_TRUE(canvas().no_test_running);
        // Two answers, each saved as it is given, and a restart without the menu button.
        newTest();
        answer(true);
        ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
        answer(false);
        ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
        restart();
        const std::string output = testing::internal::GetCapturedStderr();
        EXPECT_EQ(canvas().test_right, 1);
        EXPECT_EQ(canvas().test_wrong, 1);
        EXPECT_FALSE(canvas().no_test_running);
        EXPECT_EQ(occurrences(output, "is damaged"), damage.refusedByTheStore ? 1u : 0u) << output;
        EXPECT_EQ(output.find("not saved"), std::string::npos) << output;
        EXPECT_EQ(output.find("could not be saved"), std::string::npos) << output;
        // A damaged store is kept, under a name that says so and no scan reads.
        const Path aside = Path(files[0]).concat(".damaged");
        if (damage.refusedByTheStore) {
            EXPECT_NE(output.find("it is kept as " + aside.string()), std::string::npos) << output;
            EXPECT_EQ(fileBytes(aside), damaged);
        } else {
            EXPECT_FALSE(std::filesystem::exists(aside));
        }

        EXPECT_EQ(driver->finish(), 0);
        driver.reset();
        for (const auto& entry : std::filesystem::directory_iterator(data.path()))
            std::filesystem::remove_all(entry.path());
    }
}

// A save the disk refuses is reported, and the next one writes everything the failed one held.
TEST_F(PlayThrough, FailedSaveIsReportedAndTheNextSaveMakesUpForIt) {
    start();
    newTest();
    canvas().level = 1;
    testing::internal::CaptureStderr();
    {
        // Only this step's save runs while the faults are in place: no loading thread is at work.
        testsupport::FileOperationFaults faults;
        faults.failEvery(testsupport::FileOperationFaults::Kind::Write, ENOSPC);
        answer(true);
        EXPECT_GT(faults.failures(), 0);
    }
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_EQ(output, "quill: the progress could not be saved in " + data.path().string() +
                          ": No space left on device; the next save tries again\n");
    // The next question is saved when it shows, and the answer with it.
    ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
    restart();
    EXPECT_EQ(canvas().test_right, 1);
    EXPECT_EQ(canvas().level, 1);
}

// A failed save is said once per kind of failure, with the directory and the system's reason, and
// again after a save that worked.
TEST_F(PlayThrough, SaveFailuresAreSaidOncePerKind) {
    using Kind = testsupport::FileOperationFaults::Kind;
    struct Save {
        Kind kind;
        int error;  // 0: the save works
        bool said;
    };
    const Save saves[] = {
        {Kind::Open, EROFS, true},   {Kind::Open, EROFS, false},   {Kind::Write, EROFS, false},
        {Kind::Write, ENOSPC, true}, {Kind::Fsync, ENOSPC, false}, {Kind::Open, 0, false},
        {Kind::Write, ENOSPC, true}, {Kind::Rename, EIO, true},
    };
    start();
    newTest();
    int n = 0;
    for (const Save& save : saves) {
        SCOPED_TRACE("save " + std::to_string(n++));
        testing::internal::CaptureStderr();
        {
            // Nothing but this save works on files meanwhile: the test drives the passes.
            testsupport::FileOperationFaults faults;
            if (save.error != 0) faults.failEvery(save.kind, save.error);
            canvas().saveData();
        }
        const std::string output = testing::internal::GetCapturedStderr();
        const std::string expected = "quill: the progress could not be saved in " + data.path().string() +
                                     ": " + std::strerror(save.error) + "; the next save tries again\n";
        EXPECT_EQ(output, save.said ? expected : "");
    }
}

// Reading the progress fails at start-up without the store being damaged (a file that would not
// open, a registry that could not grow): the file is kept as it is, the session says so once and does
// not save over it, and the next start finds the progress.
TEST_F(PlayThrough, ProgressThatCouldNotBeReadIsKeptUntouched) {
    struct Fault {
        const char* name;
        int scanOpens;  // the opens of rs_1 that fail: 0 the scan's, 1 the header check's
        int lastOpen;
        int error;  // ENOMEM: the registry's allocation fails instead
        const char* reason;
    };
    const Fault faults[] = {
        {"EMFILE on the header check's open", 1, 1, EMFILE, "Too many open files"},
        {"EIO on the header check's open", 1, 1, EIO, "Input/output error"},
        {"EMFILE on both opens", 0, 1, EMFILE, "Too many open files"},
        {"EACCES on the scan's open", 0, 0, EACCES, "Permission denied"},
        {"ENOMEM on the registry", 0, -1, ENOMEM, "Cannot allocate memory"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        start();
        newTest();
        canvas().level = 3;
        answer(true);
        ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
        ASSERT_EQ(driver->finish(), 0);
        driver.reset();
        const std::filesystem::path store = data.path() / "rs_1";
        const std::string before = fileBytes(store);
        const auto inode = inodeOf(store);

        testing::internal::CaptureStderr();
        {
            testsupport::FileOpenFaults opens("rs_1", fault.scanOpens, fault.lastOpen, fault.error);
            if (fault.error == ENOMEM)
                RecordStore::registryAllocator = [](void*, size_t) -> void* { return nullptr; };
            start();
            RecordStore::registryAllocator = std::realloc;
            if (fault.error != ENOMEM) {
                EXPECT_GT(opens.failures(), 0);
            }
        }
        EXPECT_EQ(canvas().level, 0) << "the session starts afresh";
        // Three answers: each would save.
        newTest();
        for (int i = 0; i < 3; ++i) {
            answer(i != 1);
            ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
        }
        EXPECT_EQ(fileBytes(store), before);
        EXPECT_EQ(inodeOf(store), inode);
        restart();
        const std::string output = testing::internal::GetCapturedStderr();
        EXPECT_EQ(
            occurrences(output, "quill: the saved progress in " + data.path().string() +
                                    " could not be read: " + fault.reason +
                                    "; it is kept as it is, and this session's progress is not saved\n"),
            1u)
            << output;
        EXPECT_EQ(occurrences(output, "quill: the progress is not saved: the saved progress in " +
                                          data.path().string() +
                                          " could not be read at start-up and is kept as it is\n"),
                  1u)
            << output;
        EXPECT_EQ(occurrences(output, "quill: "), 2u) << output;
        EXPECT_EQ(canvas().level, 3) << "found again at the next start";
        EXPECT_EQ(canvas().test_right, 1);
        EXPECT_EQ(storeFiles().size(), 1u);
        ASSERT_EQ(driver->finish(), 0);
        driver.reset();
        for (const auto& entry : std::filesystem::directory_iterator(data.path()))
            std::filesystem::remove_all(entry.path());
    }
}

// The answer that earns a promotion is saved with the level it earned: a program paused in the
// answer's pause and killed there (the files as they stand are what a restart finds) keeps it.
TEST_F(PlayThrough, APromotionSurvivesAKillInTheAnswersPause) {
    start();
    newTest();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
        answer(true);
    }
    ASSERT_EQ(canvas().level, 0) << "the promotion shows once the pause ends";
    ASSERT_TRUE(driver->host.pause());
    driver->runPasses(3);
    std::vector<std::pair<std::filesystem::path, std::string>> killedWith;
    for (const auto& file : storeFiles()) killedWith.emplace_back(file, fileBytes(file));
    ASSERT_EQ(driver->finish(), 0);
    driver.reset();
    for (const auto& entry : std::filesystem::directory_iterator(data.path()))
        std::filesystem::remove_all(entry.path());
    for (const auto& [file, bytes] : killedWith) overwrite(file, bytes);

    start();
    EXPECT_EQ(canvas().level, 1);
    EXPECT_EQ(canvas().test_right, 3);
    EXPECT_EQ(canvas().level_points, 0);
    EXPECT_FALSE(canvas().no_test_running);
    // Continue Test goes on at the new level with a new question.
    EXPECT_TRUE(continueTest());
}

// A store written by earlier versions, whose save added the new record and then deleted the old one,
// holds both when the program was killed between the two: the restart reads the newer, and the next
// save leaves one record.
TEST_F(PlayThrough, AKillBetweenTheTwoChangesOfAnOldSaveFindsTheNewerRecord) {
    start();
    newTest();
    canvas().level = 1;  // so that Continue Test has a test to continue
    answer(true);
    ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
    const JavaPtr<JArray<signed char>> older = canvas().HookCanvas::getRecordStoreData(0);
    answer(true);
    ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
    ASSERT_EQ(driver->finish(), 0);
    driver.reset();
    {
        // [older, newer] in file order, as the add leaves it.
        platform::setFileSystemPaths(data.path().c_str(), data.path().c_str());
        JavaPtr<RecordStore> store = RecordStore::openRecordStore(testsupport::jstr("QUILL1"), false);
        JavaPtr<JArray<int>> ids = store->getRecordIDs();
        ASSERT_EQ(ids->length, 1);
        JavaPtr<JArray<signed char>> newer = store->getRecord(ids->data[0]);
        store->addRecord(newer, 0, newer->length);
        store->setRecord(ids->data[0], older, 0, older->length);
        ASSERT_EQ(store->getNumRecords(), 2);
        RecordStore::tidyUp();
    }
    start();
    EXPECT_EQ(canvas().test_right, 2);
    EXPECT_TRUE(continueTest());
    answer(false);
    ASSERT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
    restart();
    EXPECT_EQ(canvas().test_right, 2);
    EXPECT_EQ(canvas().test_wrong, 1);
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(testsupport::jstr("QUILL1"), false);
    EXPECT_EQ(store->getNumRecords(), 1);
    store->closeRecordStore();
}

// A restart wherever the player is finds the test as it was: the level just won, a finished test
// finished, and the question the player would see next, never the one just answered.
TEST_F(PlayThrough, RestartFindsTheTestWhereThePlayerLeftIt) {
    struct Left {
        std::string answered;  // the question answered last, which must not come back
        std::string showing;   // the question on the screen, unanswered, which must come back
    };
    struct Row {
        const char* name;
        std::function<Left()> play;
        int32_t level;
        int32_t testRight;
        bool noTestRunning;
    };
    const Row rows[] = {
        {"after a right answer, before the next question",
         [this] {
             newTest();
             canvas().level = 1;  // so that Continue Test has a test to continue
             const std::string answered = questionText();
             answer(true);
             driver->runPasses(5);
             return Left{answered, ""};
         },
         1, 1, false},
        {"after a right answer, with the next question shown",
         [this] {
             newTest();
             canvas().level = 1;
             const std::string answered = questionText();
             answer(true);
             EXPECT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
             return Left{answered, questionText()};
         },
         1, 1, false},
        {"on the promotion screen",
         [this] {
             newTest();
             std::string answered;
             for (int i = 0; i < 3; ++i) {
                 EXPECT_TRUE(settle(H::GAMESTATE_GAME_RUNNING));
                 answered = questionText();
                 answer(true);
             }
             EXPECT_TRUE(settle(H::GAMESTATE_PROMOTED));
             return Left{answered, ""};
         },
         1, 3, false},
        {"on the completion screen",
         [this] {
             newTest();
             finishTest();
             return Left{};
         },
         30, 1, true},
        {"after leaving the completion screen",
         [this] {
             newTest();
             finishTest();
             tapAt(280, 433);
             EXPECT_TRUE(settle(H::GAMESTATE_MAIN_MENU));
             return Left{};
         },
         30, 1, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        start();
        const Left left = row.play();
        if (HasFatalFailure()) return;
        restart();
        EXPECT_EQ(canvas().level, row.level);
        EXPECT_EQ(canvas().test_right, row.testRight);
        EXPECT_EQ(canvas().no_test_running, row.noTestRunning);
        // Questions are drawn from the clock, which each run starts alike: moved on, a question drawn
        // now is not the one the first run drew at the same pass, while a kept one comes back as it was.
        testsupport::quizManualClock().fetch_add(7919);
        EXPECT_EQ(continueTest(), !row.noTestRunning);
        if (!left.answered.empty()) {
            EXPECT_NE(questionText(), left.answered);
        }
        if (!left.showing.empty()) {
            EXPECT_EQ(questionText(), left.showing);
        }
        EXPECT_EQ(driver->finish(), 0);
        driver.reset();
        for (const auto& entry : std::filesystem::directory_iterator(data.path()))
            std::filesystem::remove_all(entry.path());
    }
}

// A new test after a finished one starts on its own question: nothing slides and no question cue
// rings as the old test's slide would.
TEST_F(PlayThrough, NewTestAfterAFinishedOneStartsWithoutTheOldSlide) {
    start();
    newTest();
    finishTest();
    tapAt(280, 433);
    ASSERT_TRUE(settle(H::GAMESTATE_MAIN_MENU));
    tapAt(159, 200);
    for (int i = 0; i < 400 && (state() != H::GAMESTATE_GAME_RUNNING || H::game_state.load() != state());
         ++i) {
        if ((H::game_state.load() & H::GAMESTATEFLAG_LOADING) != 0) driver->waitForLoading();
        driver->runPasses(1);
    }
    ASSERT_EQ(H::game_state.load(), H::GAMESTATE_GAME_RUNNING);
    EXPECT_FALSE(canvas().question_slide_pending);
    canvas().takeCues();
    driver->runPasses(60);
    for (int32_t cue : canvas().takeCues())
        EXPECT_TRUE(cue < H::RESID_QUESTION1 || cue > H::RESID_QUESTION1 + 3) << "question cue " << cue;
}

}  // namespace
}  // namespace quiztest
