// Script mode as the program reads and runs it: values refused when the script is read, and waits that
// count from the moment the step begins.
#include "app/ScriptRunner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/QuizScriptSteps.h"
#include "platform/host/HeadlessHost.h"
#include "tests/support/RecordingHostEvents.h"

namespace {

using namespace std::chrono_literals;

// Only catches a hang.
constexpr auto kHangLimit = 240s;

ScriptRunner quizScriptRunner() {
    ScriptRunner runner;
    runner.addApplicationSteps(QuizScriptSteps::steps());
    return runner;
}

TEST(ScriptRunner, BadNumbersAreRefusedWhenReadNamingTheLineAndTheValue) {
    struct Case {
        const char* line;
        const char* value;
    };
    for (const Case& c : {Case{"tap nan 0", "nan"},
                          Case{"tap 3 inf", "inf"},
                          Case{"tap -1 0", "-1"},
                          Case{"down 2.5 0", "2.5"},
                          Case{"drag 0 40000", "40000"},
                          Case{"up 1e10 0", "1e10"},
                          Case{"expect-pixel -5 0 #000000", "-5"},
                          Case{"wait-frames -1", "-1"},
                          Case{"wait-frames 1e300", "1e300"},
                          Case{"wait-stable 0", "0"},
                          Case{"key-press 2147483648", "2147483648"},
                          Case{"key-release 0.5", "0.5"},
                          Case{"tilt nan 0 -1", "nan"},
                          Case{"tilt 0 0 -1e9", "-1e9"},
                          Case{"size 0 480", "0"},
                          Case{"size 320 -inf", "-inf"},
                          Case{"wait-state MAIN_MENU 0", "0"},
                          Case{"wait-state MAIN_MENU 99999999999", "99999999999"},
                          Case{"hold 10 10 -1", "-1"},
                          Case{"hold 40000 10 100", "40000"},
                          Case{"hold 1 1 99999999999", "99999999999"},
                          Case{"expect-region 0 0 40000 1 a.png", "40000"}}) {
        SCOPED_TRACE(c.line);
        ScriptRunner runner = quizScriptRunner();
        std::string error;
        EXPECT_FALSE(
            runner.parse(std::string("# first a good line\nwait-frames 1\n") + c.line + "\n", error));
        EXPECT_EQ(error.rfind("script:3: ", 0), 0u) << error;
        EXPECT_NE(error.find(std::string("'") + c.value + "'"), std::string::npos) << error;
    }
    // The edges themselves are fine; key codes may be negative.
    ScriptRunner runner = quizScriptRunner();
    std::string error;
    EXPECT_TRUE(
        runner.parse("tap 0 32767\nwait-frames 0\nwait-stable 1\nkey-press -5\nkey-release 2147483647\n"
                     "tilt 0.5 -16 16\nsize 8192 1\nhold 0 0 0\nwait-state MAIN_MENU 1\n",
                     error))
        << error;
}

// The host's loop on a thread of its own, ended by the shell's answer to terminate().
class RunningHost {
public:
    explicit RunningHost(int scale = 1)
        : host(screen(scale)), events(host), loop([this] { host.run(events); }) {}
    ~RunningHost() {
        host.terminate();
        loop.join();
    }

    // Hands over a frame unlike the one before and waits until it is shown.
    void showFrame() {
        const std::vector<uint32_t> pixels(4, ++m_shade);
        host.presentFrame(pixels.data(), 2, 2, 2);
        ASSERT_TRUE(host.waitForFrames(m_shade, kHangLimit));
    }

    platform::HeadlessHost host;
    testsupport::RecordingHostEvents events;

private:
    static platform::HostScreen screen(int scale) {
        platform::HostScreen screen;
        screen.widthPoints = 2;
        screen.heightPoints = 2;
        screen.scale = scale;
        return screen;
    }
    uint32_t m_shade = 0;
    std::thread loop;
};

TEST(ScriptRunner, WaitFramesCountsFramesShownAfterTheStepBegins) {
    RunningHost running;
    for (int i = 0; i < 3; ++i) ASSERT_NO_FATAL_FAILURE(running.showFrame());
    ScriptRunner runner;
    std::string error;
    ASSERT_TRUE(runner.parse("wait-frames 2\n", error)) << error;

    // Three frames were shown before, none after: the step gives up (no frame is ever coming, so the
    // short limit decides nothing about speed).
    testing::internal::CaptureStderr();
    EXPECT_EQ(runner.run(running.host, 200ms), ScriptRunner::kTimedOut);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("script:1: timed out waiting for frames"),
              std::string::npos);

    // With frames coming it passes, and not before two of them were shown after it began.
    std::atomic<bool> done{false};
    std::atomic<uint64_t> shownAtEnd{0};
    int result = -1;
    std::thread script([&] {
        result = runner.run(running.host, kHangLimit);
        shownAtEnd = running.host.frameCount();
        done = true;
    });
    uint64_t shownBefore = running.host.frameCount();
    while (!done) ASSERT_NO_FATAL_FAILURE(running.showFrame());
    script.join();
    EXPECT_EQ(result, ScriptRunner::kPassed);
    EXPECT_GE(shownAtEnd.load(), shownBefore + 2);
}

TEST(ScriptRunner, ATouchOffTheScreenOrASizeOfHalfPointsIsTheScriptsFault) {
    RunningHost running(2);
    struct Case {
        const char* script;
        const char* said;
    };
    for (const Case& c :
         {Case{"tap 3 3\ntap 4 0\n", "script:2: (4, 0) lies outside the 4 x 4 screen\n"},
          Case{"drag 0 9\n", "script:1: (0, 9) lies outside the 4 x 4 screen\n"},
          Case{"size 6 5\n", "script:1: 6 x 5 is not a whole number of points at scale 2\n"}}) {
        SCOPED_TRACE(c.script);
        ScriptRunner runner;
        std::string error;
        ASSERT_TRUE(runner.parse(c.script, error)) << error;
        testing::internal::CaptureStderr();
        EXPECT_EQ(runner.run(running.host, kHangLimit), ScriptRunner::kFailed);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.said);
    }
    EXPECT_EQ(running.events.linesStartingWith("down"), std::vector<std::string>{"down 1 1"});
}

// A step waiting when the program ends: ended from outside (SIGTERM), the step says nothing and the
// program's own status stands; ended by itself, the script fails naming the step. No later step runs.
TEST(ScriptRunner, AStepUnderWayEndsWithTheProgram) {
    struct Case {
        bool fromOutside;
        int result;
        const char* said;
    };
    for (const Case& c :
         {Case{true, ScriptRunner::kTerminated, ""},
          Case{false, ScriptRunner::kFailed, "script:1: the program ended during the step\n"}}) {
        SCOPED_TRACE(c.fromOutside ? "from outside" : "by itself");
        RunningHost running;
        ScriptRunner runner;
        std::string error;
        ASSERT_TRUE(runner.parse("wait-frames 1000000\nexpect-pixel 0 0 #000000\n", error)) << error;
        testing::internal::CaptureStderr();
        int result = -2;
        std::thread script([&] { result = runner.run(running.host, kHangLimit); });
        if (c.fromOutside) {
            running.host.terminate();
        } else {
            running.host.quit(0);
        }
        script.join();
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.said);
    }
}

}  // namespace
