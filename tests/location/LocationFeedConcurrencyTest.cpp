// The location feed on the platform's thread, the poll on the ticker's and the application's calls on a
// third, all at once: no fix is torn or lost at the end, and a waiting getLocation is served.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "tests/location/LocationTestSupport.h"
#include "tests/support/Eventually.h"
#include "tests/support/Watchdog.h"

namespace {

using namespace locationtest;

using LocationFeedConcurrencyTest = LocationPackageTest;

TEST_F(LocationFeedConcurrencyTest, FeedPollAndApplicationCallsRunTogether) {
    testsupport::Watchdog watchdog;
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    JavaPtr<RecordingLocationListener> listener = jnew<RecordingLocationListener>();
    provider->setLocationListener(listener, 1, 1, 1);
    constexpr int kFixes = 2000;
    std::atomic<bool> fed{false};

    std::thread platformThread([&] {
        for (int i = 1; i <= kFixes; ++i) feed(i * 0.01, 0.0);
        fed = true;
    });
    std::thread tickerThread([&] {
        while (!fed) {
            poll();
            clock.advance(1000);
        }
        poll();
    });
    // The application registers and withdraws while the others run.
    JavaPtr<RecordingProximityListener> watcher = jnew<RecordingProximityListener>();
    for (int i = 0; i < 200; ++i) {
        LocationProvider::addProximityListener(watcher, jnew<Coordinates>(89.0, 0.0, 0.0f), 10.0f);
        LocationProvider::getInstance(nullptr)->setLocationListener(jnew<RecordingLocationListener>(), 2, -1,
                                                                    -1);
        LocationProvider::removeProximityListener(watcher);
    }
    JavaPtr<Location> waited;
    // The ticker steps the clock much faster than fixes may come: the longest timeout there is (which
    // only 64-bit deadlines hold) keeps the wait from ending before a fix.
    auto waiting = std::async(std::launch::async, [provider] { return provider->getLocation(INT32_MAX); });
    platformThread.join();
    tickerThread.join();
    // The waiter may have taken the last promoted fix as its known one: new fixes keep coming until it
    // is served, as a moving device's would.
    double latest = 45.0;
    feed(latest, 45.0);
    poll();
    while (waiting.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        latest += 0.001;
        feed(latest, 45.0);
        poll();
    }
    waited = waiting.get();
    EXPECT_TRUE(waited->isValid());

    JavaPtr<Location> last = LocationProvider::getLastKnownLocation();
    ASSERT_TRUE(last);
    EXPECT_EQ(last->getQualifiedCoordinates()->getLatitude(), latest);
    const std::vector<Update> updates = listener->received();
    ASSERT_FALSE(updates.empty());
    // Every real delivery is a whole fix, in the order fed.
    double previous = 0.0;
    for (const Update& update : updates) {
        if (!update.location->isValid()) continue;
        const double latitude = update.location->getQualifiedCoordinates()->getLatitude();
        EXPECT_GT(latitude, previous);
        previous = latitude;
    }
    EXPECT_EQ(LocationProvider::allProximityListeners->length, 0);
}

TEST_F(LocationFeedConcurrencyTest, TheApplicationMovesAWatchedPointWhileThePollMeasuresIt) {
    testsupport::Watchdog watchdog;
    JavaPtr<RecordingProximityListener> watcher = jnew<RecordingProximityListener>();
    JavaPtr<Coordinates> point = jnew<Coordinates>(0.0, 0.0, 0.0f);
    // Never reached: the point stays near the equator, the fixes near the pole.
    LocationProvider::addProximityListener(watcher, point, 10.0f);
    std::atomic<bool> done{false};
    std::thread ticker([&] {
        for (int i = 1; i <= 2000; ++i) {
            feed(80.0 + i * 0.001, 0.0);
            poll();
        }
        done = true;
    });
    for (int i = 0; !done; ++i) {
        point->setLatitude((i % 100) * 0.01);
        point->setLongitude((i % 50) * 0.01);
        point->setAltitude(static_cast<float>(i % 7));
    }
    ticker.join();
    EXPECT_TRUE(watcher->events.empty());
    EXPECT_EQ(LocationProvider::allProximityListeners->length, 1);
}

}  // namespace
