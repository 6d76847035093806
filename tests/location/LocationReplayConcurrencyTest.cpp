// The desktop's location service: the replay thread hands each scripted fix to the feed on the host's
// main thread, paused while the service is stopped.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "location/LocationProvider.h"
#include "platform/location/LocationReplay.h"
#include "tests/support/Eventually.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/Watchdog.h"

namespace {

using namespace javax::microedition::location;
using platform::LocationReplay;
using platform::ScriptedFix;
using testsupport::eventually;

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
    // Outlives the replay, whose thread may be handing it a fix until the replay is gone.
    testsupport::RecordingHost host{testsupport::RecordingHost::MainThread::Own};
    LocationReplay replay;
};

TEST_F(LocationReplayTest, ScriptedFixesReachTheFeedOnTheMainThreadInOrder) {
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
