// The desktop's location service: the script's lines, and the replay that hands each fix to the feed on
// the host's main thread, paused while the service is stopped.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "location/LocationProvider.h"
#include "platform/LocationReplay.h"
#include "tests/location/QueueHost.h"
#include "tests/support/Eventually.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/Watchdog.h"

namespace {

using namespace javax::microedition::location;
using platform::LocationReplay;
using platform::ScriptedFix;
using testsupport::eventually;

TEST(LocationScriptTest, ReadsFixesAndNamesEveryRefusedLine) {
    const platform::LocationScript script = platform::parseLocationScript(
        "# a walk\n"
        "0 51.5 -0.12 5 20 8 start of the walk\n"
        "\n"
        "   # indented comment\n"
        "1000 51.6 -0.13 5.5 21 9\n"
        "900 51.7 -0.14 5 20 8\n"
        "2000 91 0 5 20 8\n"
        "2000 10 180 5 20 8\n"
        "2000 10 20 5 20\n"
        "2000 10 2O 5 20 8\n"
        "-5 10 20 5 20 8\n"
        "2000 nan 20 5 20 8\n"
        "2500 -33.5 151.25 3 4 5   Sydney  \r\n");
    ASSERT_EQ(script.fixes.size(), 3u);
    EXPECT_EQ(script.fixes[0].timeMs, 0);
    EXPECT_EQ(script.fixes[0].latitude, 51.5);
    EXPECT_EQ(script.fixes[0].longitude, -0.12);
    EXPECT_EQ(script.fixes[0].horizontalAccuracy, 5.0);
    EXPECT_EQ(script.fixes[0].altitude, 20.0);
    EXPECT_EQ(script.fixes[0].verticalAccuracy, 8.0);
    EXPECT_TRUE(script.fixes[0].hasDescription);
    EXPECT_EQ(script.fixes[0].description, "start of the walk");
    EXPECT_FALSE(script.fixes[1].hasDescription);
    EXPECT_EQ(script.fixes[2].description, "Sydney");
    const std::vector<std::string> lines = {"line 6",  "line 7",  "line 8", "line 9",
                                            "line 10", "line 11", "line 12"};
    ASSERT_EQ(script.problems.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(script.problems[i].rfind(lines[i] + ":", 0), 0u) << script.problems[i];
}

// What reached the feed, and on which thread.
struct FeedLog {
    static FeedLog& get() {
        static FeedLog log;
        return log;
    }
    static void record(double latitude, double longitude, double horizontalAccuracy, double altitude,
                       double verticalAccuracy, double spare, const char* description) {
        {
            std::lock_guard<std::mutex> lock(get().mutex);
            get().latitudes.push_back(latitude);
            get().threads.push_back(std::this_thread::get_id());
        }
        _locationFeedback(latitude, longitude, horizontalAccuracy, altitude, verticalAccuracy, spare,
                          description);
    }
    size_t count() {
        std::lock_guard<std::mutex> lock(mutex);
        return latitudes.size();
    }
    std::mutex mutex;
    std::vector<double> latitudes;
    std::vector<std::thread::id> threads;
};

std::atomic<long long> replayNow{0};
long long replayClock() {
    return replayNow.load();
}

struct LocationReplayTest : ::testing::Test {
    LocationReplayTest() {
        LocationProvider::LocationProvider_staticDestroy();
        LocationProvider::LocationProvider_staticInit();
        platform::setLocationFeed(&FeedLog::record);
        FeedLog::get().latitudes.clear();
        FeedLog::get().threads.clear();
        replayNow = 0;
        replay.setClock(&replayClock);
    }
    ~LocationReplayTest() override {
        platform::setLocationFeed(nullptr);
        LocationProvider::LocationProvider_staticDestroy();
    }
    static ScriptedFix fixAt(long long time, double latitude) {
        ScriptedFix fix;
        fix.timeMs = time;
        fix.latitude = latitude;
        return fix;
    }
    testsupport::Watchdog watchdog;
    LocationReplay replay;
};

TEST_F(LocationReplayTest, ScriptedFixesReachTheFeedOnTheMainThreadInOrder) {
    locationtest::QueueHost host;
    replay.setFixes({fixAt(0, 1.0), fixAt(0, 2.0), fixAt(500, 3.0)});
    replay.start();
    ASSERT_TRUE(eventually([] { return FeedLog::get().count() == 2; }));
    replayNow = 500;
    replay.wake();
    ASSERT_TRUE(eventually([] { return FeedLog::get().count() == 3; }));
    {
        std::lock_guard<std::mutex> lock(FeedLog::get().mutex);
        EXPECT_EQ(FeedLog::get().latitudes, (std::vector<double>{1.0, 2.0, 3.0}));
        for (std::thread::id thread : FeedLog::get().threads) EXPECT_EQ(thread, host.mainThread());
    }
    // The feed parked the last one; the poll promotes it.
    LocationProvider::checkListeners();
    EXPECT_EQ(LocationProvider::getLastKnownLocation()->getQualifiedCoordinates()->getLatitude(), 3.0);
}

TEST_F(LocationReplayTest, StopPausesTheScriptAndStartResumesIt) {
    replay.setFixes({fixAt(0, 1.0), fixAt(1000, 2.0)});
    replay.stop();  // nothing running: harmless
    replay.start();
    replay.start();
    ASSERT_TRUE(eventually([] { return FeedLog::get().count() == 1; }));
    replayNow = 600;
    replay.stop();
    replay.stop();
    replayNow = 60'000;
    EXPECT_EQ(replay.scriptTime(), 600) << "script time stands still while stopped";
    replay.start();
    replayNow = 60'399;
    EXPECT_EQ(replay.scriptTime(), 999);
    EXPECT_EQ(replay.delivered(), 1u) << "the second fix is not due before script time 1000";
    replayNow = 60'400;
    replay.wake();
    ASSERT_TRUE(eventually([] { return FeedLog::get().count() == 2; }));
}

TEST_F(LocationReplayTest, WithoutAScriptNoFixArrives) {
    replay.start();
    replay.start();
    replayNow = 100'000;
    replay.wake();
    replay.stop();
    EXPECT_EQ(replay.delivered(), 0u);
    EXPECT_EQ(FeedLog::get().count(), 0u);
}

TEST_F(LocationReplayTest, LoadsAScriptFileAndSkipsItsBadLines) {
    testsupport::TemporaryDirectory directory;
    const auto path = directory.path() / "walk.txt";
    testsupport::writeTextFile(path, "0 10 20 1 2 3\nnot a fix\n0 11 21 1 2 3 second\n");
    ASSERT_TRUE(replay.loadScript(path.string()));
    replay.start();
    ASSERT_TRUE(eventually([] { return FeedLog::get().count() == 2; }));
    std::lock_guard<std::mutex> lock(FeedLog::get().mutex);
    EXPECT_EQ(FeedLog::get().latitudes, (std::vector<double>{10.0, 11.0}));

    std::string error;
    EXPECT_FALSE(replay.loadScript((directory.path() / "missing.txt").string(), &error));
    EXPECT_NE(error.find("missing.txt"), std::string::npos) << error;
}

}  // namespace
