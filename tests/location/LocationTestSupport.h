// Fixtures of the location tests: a clean package per test with a clock stepped by hand and a platform
// service that only counts its starts and stops, and recording listeners.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "location/LocationProvider.h"
#include "platform/location/LocationService.h"
#include "tests/support/SteppedClock.h"
#include "tests/support/StringText.h"

namespace locationtest {

using namespace javax::microedition::location;

// The location tests start the stepped device clock at a time of their own.
class FakeLocationClock : public testsupport::SteppedClock {
public:
    FakeLocationClock() : SteppedClock(1'000'000'000LL) {}
};

class CountingLocationService : public platform::LocationService {
public:
    void start() override { ++starts; }
    void stop() override { ++stops; }
    std::atomic<int> starts{0};
    std::atomic<int> stops{0};
};

// Every test starts with no fix, provider or registration, and the counting service installed.
struct LocationPackageTest : ::testing::Test {
    LocationPackageTest() {
        platform::setLocationService(&service);
        LocationProvider::LocationProvider_staticDestroy();
        LocationProvider::LocationProvider_staticInit();
        service.starts = 0;
        service.stops = 0;
    }
    ~LocationPackageTest() override {
        LocationProvider::LocationProvider_staticDestroy();
        platform::setLocationService(nullptr);
    }
    // A fix as the platform delivers it, then the poll as the ticker runs it.
    static void feed(double latitude, double longitude, const char* description = nullptr) {
        _locationFeedback(latitude, longitude, 5.0, 100.0, 10.0, 0.0, description);
    }
    static void poll() { LocationProvider::checkListeners(); }

    FakeLocationClock clock;
    CountingLocationService service;
};

struct Update {
    java::lang::Smart* provider;
    JavaPtr<Location> location;
};

class RecordingLocationListener : public java::lang::Object, public LocationListener {
    TESL_CLASS(RecordingLocationListener, "locationtest.RecordingLocationListener", java::lang::Object,
               LocationListener)
public:
    void locationUpdated(const JavaPtr<LocationProvider>& provider,
                         const JavaPtr<Location>& location) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            updates.push_back({provider.counted(), location});
        }
        if (onUpdate) onUpdate(provider, location);
    }
    void providerStateChanged(const JavaPtr<LocationProvider>& provider, int32_t newState) override {
        std::lock_guard<std::mutex> lock(mutex);
        states.emplace_back(provider.counted(), newState);
    }
    std::vector<Update> received() {
        std::lock_guard<std::mutex> lock(mutex);
        return updates;
    }
    // The extra info of each update, "<fix>" for a valid one.
    std::vector<std::string> kinds() {
        std::vector<std::string> out;
        for (const Update& update : received())
            out.push_back(update.location->isValid()
                              ? "<fix>"
                              : testsupport::narrow(update.location->getExtraInfo(nullptr)));
        return out;
    }
    std::function<void(const JavaPtr<LocationProvider>&, const JavaPtr<Location>&)> onUpdate;
    std::vector<std::pair<java::lang::Smart*, int32_t>> states;

private:
    std::mutex mutex;
    std::vector<Update> updates;
};

struct ProximityCall {
    java::lang::Smart* coordinates;
    JavaPtr<Location> location;
};

class RecordingProximityListener : public java::lang::Object, public ProximityListener {
    TESL_CLASS(RecordingProximityListener, "locationtest.RecordingProximityListener", java::lang::Object,
               ProximityListener)
public:
    void proximityEvent(const JavaPtr<Coordinates>& coordinates, const JavaPtr<Location>& location) override {
        events.push_back({coordinates.counted(), location});
        if (onEvent) onEvent();
    }
    void monitoringStateChanged(bool active) override { monitoring.push_back(active); }
    std::vector<ProximityCall> events;
    std::vector<bool> monitoring;
    std::function<void()> onEvent;
};

inline const char* const kNoFixYet = "We haven't received any Location information yet";
inline const char* const kOutOfDate = "This Location information is out of date";

}  // namespace locationtest
