// LocationProvider: the usage count of the platform service, getLocation, the delivery schedule of the
// poll, proximity watches, and the poll's behaviour with listeners that throw or call back in.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "location/LocationException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/NullPointerException.h"
#include "tests/location/LocationTestSupport.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/Eventually.h"
#include "tests/support/Throws.h"
#include "tests/support/Watchdog.h"

namespace {

using namespace locationtest;
using java::lang::IllegalArgumentException;
using java::lang::NullPointerException;
using testsupport::eventually;
using testsupport::narrow;
using testsupport::throws;

QUILL_REGISTER_CLASSES(LocationProvider, LocationListener, ProximityListener);

// About 89 m and 111 m north of a point: inside and outside a 100 m radius.
constexpr double kInside = 0.0008;
constexpr double kOutside = 0.001;

using LocationProviderTest = LocationPackageTest;

JavaPtr<Coordinates> at(double latitude, double longitude) {
    return jnew<Coordinates>(latitude, longitude, 0.0f);
}

TEST_F(LocationProviderTest, ProvidersShareOneStartOfTheService) {
    JavaPtr<LocationProvider> first = LocationProvider::getInstance(nullptr);
    JavaPtr<LocationProvider> second = LocationProvider::getInstance(jnew<Criteria>());
    EXPECT_NE(first.counted(), second.counted());
    EXPECT_EQ(service.starts.load(), 1);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 2);
    EXPECT_EQ(LocationProvider::allLocationProvidersSize, 2);
    EXPECT_EQ(first->getState(), LocationProvider::AVAILABLE);

    JavaPtr<RecordingLocationListener> listener = jnew<RecordingLocationListener>();
    JavaPtr<RecordingLocationListener> other = jnew<RecordingLocationListener>();
    first->setLocationListener(listener, 0, -1, -1);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 3);
    ASSERT_EQ(listener->states.size(), 1u);
    EXPECT_EQ(listener->states[0], std::make_pair(first.counted(), LocationProvider::AVAILABLE));
    // Replacing keeps the count; clearing gives one unit back and tells nobody.
    first->setLocationListener(other, 0, -1, -1);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 3);
    first->setLocationListener(nullptr, 0, -1, -1);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 2);
    EXPECT_EQ(listener->states.size(), 1u);
    EXPECT_EQ(other->states.size(), 1u);
    EXPECT_EQ(service.stops.load(), 0);

    // Tear-down drops the providers and stops the service with them.
    LocationProvider::LocationProvider_staticDestroy();
    EXPECT_EQ(service.stops.load(), 1);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 0);
}

TEST_F(LocationProviderTest, AListenerWithIntervalZeroHearsOnlyTheState) {
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    JavaPtr<RecordingLocationListener> listener = jnew<RecordingLocationListener>();
    provider->setLocationListener(listener, 0, 1, 1);
    feed(10.0, 20.0);
    for (int i = 0; i < 3; ++i) {
        poll();
        clock.advance(10'000);
    }
    EXPECT_TRUE(listener->received().empty());
    EXPECT_EQ(listener->states.size(), 1u);
}

TEST_F(LocationProviderTest, TheFeedParksAFixThatThePollPromotes) {
    clock.advance(123);
    feed(48.5, -3.25, "from the script");
    EXPECT_FALSE(LocationProvider::getLastKnownLocation());
    poll();
    JavaPtr<Location> fix = LocationProvider::getLastKnownLocation();
    ASSERT_TRUE(fix);
    EXPECT_TRUE(fix->isValid());
    EXPECT_EQ(fix->getLocationMethod(), Location::MTE_SATELLITE);
    EXPECT_EQ(fix->getTimestamp(), clock.millis());
    EXPECT_EQ(narrow(fix->getExtraInfo(nullptr)), "from the script");
    JavaPtr<QualifiedCoordinates> where = fix->getQualifiedCoordinates();
    EXPECT_EQ(where->getLatitude(), 48.5);
    EXPECT_EQ(where->getLongitude(), -3.25);
    EXPECT_EQ(where->getHorizontalAccuracy(), 5.0f);
    EXPECT_EQ(where->getAltitude(), 100.0f);
    EXPECT_EQ(where->getVerticalAccuracy(), 10.0f);

    // A fix the coordinates refuse is dropped, not thrown back into the platform.
    feed(91.0, 0.0);
    feed(std::numeric_limits<double>::quiet_NaN(), 0.0);
    poll();
    EXPECT_EQ(LocationProvider::getLastKnownLocation().counted(), fix.counted());

    // After tear-down fixes are dropped until the next start-up.
    LocationProvider::LocationProvider_staticDestroy();
    feed(1.0, 1.0);
    poll();
    EXPECT_FALSE(LocationProvider::getLastKnownLocation());
}

TEST_F(LocationProviderTest, DeliversPlaceholdersTheFixAndThenOutOfDate) {
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    JavaPtr<RecordingLocationListener> listener = jnew<RecordingLocationListener>();
    provider->setLocationListener(listener, 1, 1, 1);
    poll();  // no fix yet: a placeholder at once
    poll();  // nothing new within the interval
    clock.advance(1000);
    poll();  // the next placeholder
    clock.advance(500);
    feed(10.0, 20.0);
    poll();  // the fix, in the poll that promotes it
    clock.advance(1000);
    poll();  // unchanged, but the timeout has not run out
    clock.advance(1000);
    poll();  // interval plus timeout: out of date
    feed(11.0, 21.0);
    clock.advance(1000);
    poll();  // the new fix
    EXPECT_EQ(listener->kinds(),
              (std::vector<std::string>{kNoFixYet, kNoFixYet, "<fix>", kOutOfDate, "<fix>"}));

    const std::vector<Update> updates = listener->received();
    EXPECT_EQ(updates[0].provider, provider.counted());
    EXPECT_EQ(updates[0].location->getTimestamp(), -1);
    EXPECT_FALSE(updates[0].location->getQualifiedCoordinates());
    // The out-of-date placeholder carries the last fix's point and time.
    EXPECT_EQ(updates[3].location->getQualifiedCoordinates().counted(),
              updates[2].location->getQualifiedCoordinates().counted());
    EXPECT_EQ(updates[3].location->getTimestamp(), updates[2].location->getTimestamp());
    EXPECT_EQ(updates[4].location->getQualifiedCoordinates()->getLatitude(), 11.0);
}

TEST_F(LocationProviderTest, AFixOlderThanMaxAgeIsNotAFirstDelivery) {
    feed(10.0, 20.0);
    poll();
    clock.advance(3000);
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    JavaPtr<RecordingLocationListener> listener = jnew<RecordingLocationListener>();
    provider->setLocationListener(listener, 1, 1, 2);
    poll();
    EXPECT_EQ(listener->kinds(), std::vector<std::string>{kOutOfDate});
}

TEST_F(LocationProviderTest, DefaultIntervalWithATimeoutAnswersAnUnchangedFixAtEveryInterval) {
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    JavaPtr<RecordingLocationListener> listener = jnew<RecordingLocationListener>();
    provider->setLocationListener(listener, -1, 3, -1);
    feed(10.0, 20.0);
    poll();
    clock.advance(4999);
    poll();
    clock.advance(1);
    poll();
    clock.advance(5000);
    poll();
    EXPECT_EQ(listener->kinds(), (std::vector<std::string>{"<fix>", kOutOfDate, kOutOfDate}));
}

TEST_F(LocationProviderTest, LongIntervalsDoNotWrapIntoEveryPoll) {
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    JavaPtr<RecordingLocationListener> listener = jnew<RecordingLocationListener>();
    // 3,000,000 s is 3e9 ms: beyond 32 bits.
    provider->setLocationListener(listener, 3'000'000, 3'000'000, 3'000'000);
    feed(10.0, 20.0);
    poll();
    for (int i = 0; i < 3; ++i) {
        feed(10.0 + i, 20.0);
        clock.advance(60'000);
        poll();
    }
    EXPECT_EQ(listener->kinds(), std::vector<std::string>{"<fix>"});
}

TEST_F(LocationProviderTest, RefusesTimesBelowMinusOne) {
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    JavaPtr<RecordingLocationListener> listener = jnew<RecordingLocationListener>();
    const int cases[][3] = {{-2, 1, 1}, {1, -2, 1}, {1, 1, -2}, {INT32_MIN, -1, -1}};
    for (const auto& c : cases) {
        EXPECT_TRUE(throws<IllegalArgumentException>(
            [&] { provider->setLocationListener(listener, c[0], c[1], c[2]); }));
    }
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 1);
    EXPECT_TRUE(listener->states.empty());
}

TEST_F(LocationProviderTest, GetLocationRefusesZeroAndBelowMinusOne) {
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    for (int timeout : {0, -2, INT32_MIN})
        EXPECT_TRUE(throws<IllegalArgumentException>([&] { provider->getLocation(timeout); })) << timeout;
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 1);
}

TEST_F(LocationProviderTest, GetLocationReturnsAFixPromotedDuringTheWait) {
    testsupport::Watchdog watchdog;
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    feed(1.0, 1.0);
    poll();
    JavaPtr<Location> known = LocationProvider::getLastKnownLocation();
    auto waiting = std::async(std::launch::async, [provider] { return provider->getLocation(-1); });
    // The waiter holds a unit of the usage count while it waits.
    ASSERT_TRUE(eventually([] { return LocationProvider::locationMechanismUsage() == 2; }));
    feed(2.0, 2.0);
    poll();
    JavaPtr<Location> result = waiting.get();
    EXPECT_NE(result.counted(), known.counted());
    EXPECT_EQ(result->getQualifiedCoordinates()->getLatitude(), 2.0);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 1);
}

TEST_F(LocationProviderTest, GetLocationEndsAtItsDeadlineWithoutTheKnownFix) {
    testsupport::Watchdog watchdog;
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    feed(1.0, 1.0);
    poll();
    auto waiting = std::async(std::launch::async, [provider] {
        return throws<LocationException>([&] { provider->getLocation(2); });
    });
    ASSERT_TRUE(eventually([] { return LocationProvider::locationMechanismUsage() == 2; }));
    clock.advance(1999);
    // Not over yet: a fresh fix now would still be returned, so the waiter must still be waiting.
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    clock.advance(1);
    EXPECT_TRUE(waiting.get());
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 1);
}

TEST_F(LocationProviderTest, ListenersMayCallBackIntoTheProvider) {
    testsupport::Watchdog watchdog;
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    JavaPtr<RecordingLocationListener> listener = jnew<RecordingLocationListener>();
    bool gotProvider = false;
    bool locationRefused = false;
    listener->onUpdate = [&](const JavaPtr<LocationProvider>& from, const JavaPtr<Location>&) {
        gotProvider = static_cast<bool>(LocationProvider::getInstance(nullptr));
        // On the poll's own thread no new fix can come: refused at once instead of freezing the ticker.
        locationRefused = throws<LocationException>([&] { from->getLocation(5); });
        from->setLocationListener(nullptr, 0, 0, 0);
    };
    provider->setLocationListener(listener, 1, 1, 1);
    poll();
    EXPECT_TRUE(gotProvider);
    EXPECT_TRUE(locationRefused);
    EXPECT_EQ(LocationProvider::allLocationProvidersSize, 2);
    clock.advance(5000);
    poll();
    EXPECT_EQ(listener->received().size(), 1u) << "the listener cleared itself";
}

TEST_F(LocationProviderTest, AThrowingListenerDoesNotStopThePoll) {
    JavaPtr<LocationProvider> first = LocationProvider::getInstance(nullptr);
    JavaPtr<LocationProvider> second = LocationProvider::getInstance(nullptr);
    JavaPtr<RecordingLocationListener> thrower = jnew<RecordingLocationListener>();
    JavaPtr<RecordingLocationListener> listener = jnew<RecordingLocationListener>();
    thrower->onUpdate = [](const JavaPtr<LocationProvider>&, const JavaPtr<Location>&) {
        throw java::lang::IllegalStateException();
    };
    first->setLocationListener(thrower, 1, 1, 1);
    second->setLocationListener(listener, 1, 1, 1);
    JavaPtr<RecordingProximityListener> near = jnew<RecordingProximityListener>();
    near->onEvent = [] { throw java::lang::IllegalStateException(); };
    LocationProvider::addProximityListener(near, at(10.0, 20.0), 100.0f);
    feed(10.0, 20.0);
    EXPECT_NO_THROW(poll());
    EXPECT_EQ(thrower->kinds(), std::vector<std::string>{"<fix>"});
    EXPECT_EQ(listener->kinds(), std::vector<std::string>{"<fix>"});
    EXPECT_EQ(near->events.size(), 1u);
    EXPECT_EQ(LocationProvider::allProximityListeners->length, 0) << "fired, so removed";
}

TEST_F(LocationProviderTest, ProximityWatchesFireOnceEachAndIndependently) {
    JavaPtr<RecordingProximityListener> a = jnew<RecordingProximityListener>();
    JavaPtr<RecordingProximityListener> b = jnew<RecordingProximityListener>();
    JavaPtr<Coordinates> home = at(10.0, 20.0);
    JavaPtr<Coordinates> away = at(30.0, 40.0);
    JavaPtr<Coordinates> homeForB = at(10.0, 20.0);
    LocationProvider::addProximityListener(a, home, 100.0f);
    LocationProvider::addProximityListener(a, away, 100.0f);
    LocationProvider::addProximityListener(b, homeForB, 50.0f);
    EXPECT_EQ(a->monitoring, (std::vector<bool>{true, true}));
    EXPECT_EQ(b->monitoring, std::vector<bool>{true});
    EXPECT_EQ(service.starts.load(), 1);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 3);

    feed(10.0 + kOutside, 20.0);
    poll();
    EXPECT_TRUE(a->events.empty());
    feed(10.0 + kInside, 20.0);
    poll();
    // Inside a's 100 m but outside b's 50 m.
    ASSERT_EQ(a->events.size(), 1u);
    EXPECT_EQ(a->events[0].coordinates, home.counted());
    EXPECT_EQ(a->events[0].location.counted(), LocationProvider::getLastKnownLocation().counted());
    EXPECT_TRUE(b->events.empty());
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 2);

    feed(10.0, 20.0);
    poll();
    EXPECT_EQ(a->events.size(), 1u) << "a's watch at home is gone";
    ASSERT_EQ(b->events.size(), 1u);
    feed(30.0, 40.0);
    poll();
    ASSERT_EQ(a->events.size(), 2u);
    EXPECT_EQ(a->events[1].coordinates, away.counted());
    EXPECT_EQ(LocationProvider::allProximityListeners->length, 0);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 0);
    EXPECT_EQ(service.stops.load(), 1);
}

TEST_F(LocationProviderTest, ARegistrationMadeFromItsOwnEventWaitsForTheNextPoll) {
    testsupport::Watchdog watchdog;
    // The listener watches the same point again, by the point it was given or by a new one.
    for (const bool samePoint : {true, false}) {
        SCOPED_TRACE(samePoint ? "same point" : "new point");
        LocationProvider::LocationProvider_staticDestroy();
        LocationProvider::LocationProvider_staticInit();
        JavaPtr<RecordingProximityListener> again = jnew<RecordingProximityListener>();
        JavaPtr<Coordinates> first = at(10.0, 20.0);
        // Bounded, so that a poll that keeps firing fails here instead of running forever.
        again->onEvent = [&] {
            if (again->events.size() >= 100) return;
            JavaPtr<Coordinates> point = samePoint ? first : at(10.0, 20.0);
            LocationProvider::addProximityListener(again, point, 100.0f);
        };
        LocationProvider::addProximityListener(again, first, 100.0f);
        feed(10.0, 20.0);
        poll();
        EXPECT_EQ(again->events.size(), 1u);
        ASSERT_EQ(LocationProvider::allProximityListeners->length, 1) << "the new registration stays";
        EXPECT_EQ(LocationProvider::locationMechanismUsage(), 1);
        poll();
        EXPECT_EQ(again->events.size(), 1u) << "no new fix, no event";
        feed(10.0, 20.0);
        poll();
        EXPECT_EQ(again->events.size(), 2u);
        EXPECT_EQ(LocationProvider::allProximityListeners->length, 1);
        again->onEvent = nullptr;
        feed(10.0, 20.0);
        poll();
        EXPECT_EQ(again->events.size(), 3u);
        EXPECT_EQ(LocationProvider::allProximityListeners->length, 0);
        EXPECT_EQ(LocationProvider::locationMechanismUsage(), 0);
    }
}

TEST_F(LocationProviderTest, UsersLeftOverFromATearDownDoNotCountAfterTheNextStart) {
    testsupport::Watchdog watchdog;
    JavaPtr<LocationProvider> provider = LocationProvider::getInstance(nullptr);
    provider->setLocationListener(jnew<RecordingLocationListener>(), 1, 1, 1);
    JavaPtr<RecordingProximityListener> watcher = jnew<RecordingProximityListener>();
    LocationProvider::addProximityListener(watcher, at(1.0, 1.0), 10.0f);
    auto waiting = std::async(std::launch::async, [provider] {
        return throws<LocationException>([&] { provider->getLocation(1); });
    });
    ASSERT_TRUE(eventually([] { return LocationProvider::locationMechanismUsage() == 4; }));

    LocationProvider::LocationProvider_staticDestroy();
    LocationProvider::LocationProvider_staticInit();
    EXPECT_EQ(service.stops.load(), 1);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 0);
    // The old users let go only now: the waiter at its deadline, the listener and the watch by hand.
    clock.advance(1000);
    EXPECT_TRUE(waiting.get());
    provider->setLocationListener(nullptr, 0, 0, 0);
    LocationProvider::removeProximityListener(watcher);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 0);

    JavaPtr<LocationProvider> fresh = LocationProvider::getInstance(nullptr);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 1);
    EXPECT_EQ(service.starts.load(), 2) << "the service starts again after the re-init";
    fresh->setLocationListener(jnew<RecordingLocationListener>(), 1, 1, 1);
    fresh->setLocationListener(nullptr, 0, 0, 0);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 1);
    EXPECT_EQ(service.stops.load(), 1);
}

TEST_F(LocationProviderTest, ProximityRegistrationChecksAndRemoval) {
    JavaPtr<RecordingProximityListener> a = jnew<RecordingProximityListener>();
    // Nothing registered yet: removing is harmless.
    LocationProvider::removeProximityListener(a);
    EXPECT_FALSE(LocationProvider::allProximityListeners);
    EXPECT_TRUE(throws<NullPointerException>(
        [&] { LocationProvider::addProximityListener(nullptr, at(0, 0), 1.0f); }));
    EXPECT_TRUE(
        throws<NullPointerException>([&] { LocationProvider::addProximityListener(a, nullptr, 1.0f); }));
    EXPECT_TRUE(
        throws<IllegalArgumentException>([&] { LocationProvider::addProximityListener(a, at(0, 0), 0.0f); }));
    EXPECT_TRUE(throws<IllegalArgumentException>(
        [&] { LocationProvider::addProximityListener(a, at(0, 0), -1.0f); }));
    EXPECT_TRUE(a->monitoring.empty());
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 0);

    // A NaN radius is kept and never fires.
    LocationProvider::addProximityListener(a, at(0, 0), std::numeric_limits<float>::quiet_NaN());
    JavaPtr<Coordinates> kept = at(5, 5);
    LocationProvider::addProximityListener(a, kept, 10.0f);
    LocationProvider::addProximityListener(a, at(6, 6), 10.0f);
    feed(0.0, 0.0);
    poll();
    EXPECT_TRUE(a->events.empty());
    // By identity of the point, then all of the listener's.
    LocationProvider::removeProximityListener(a, at(5, 5));
    EXPECT_EQ(LocationProvider::allProximityListeners->length, 3);
    LocationProvider::removeProximityListener(a, kept);
    EXPECT_EQ(LocationProvider::allProximityListeners->length, 2);
    LocationProvider::removeProximityListener(a);
    EXPECT_EQ(LocationProvider::allProximityListeners->length, 0);
    EXPECT_EQ(LocationProvider::locationMechanismUsage(), 0);
}

}  // namespace
