// javax.microedition.location.LocationProvider: the one provider of the platform's location feed. Fixes
// arrive through _locationFeedback on the platform's main thread and are parked; the ticker thread's
// poll (checkListeners) promotes them and serves the location and proximity listeners. The platform
// service runs while anybody uses it (the usage count).
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>

#include "location/Coordinates.h"
#include "location/Criteria.h"
#include "location/Location.h"
#include "location/LocationListener.h"
#include "location/ProximityListener.h"
#include "runtime/JArray.h"

// The platform's entry for each new fix: degrees, metres, a spare value that is not read, and the
// platform's text for the fix or null. A fix outside the coordinate ranges is dropped.
extern "C" void _locationFeedback(double latitude, double longitude, double horizontalAccuracy,
                                  double altitude, double verticalAccuracy, double spare,
                                  const char* description);

namespace javax::microedition::location {

class LocationProvider : public java::lang::Object {
    TESL_CLASS(LocationProvider, "javax.microedition.location.LocationProvider", java::lang::Object)
public:
    static constexpr int32_t AVAILABLE = 1;
    static constexpr int32_t TEMPORARILY_UNAVAILABLE = 2;
    static constexpr int32_t OUT_OF_SERVICE = 3;

    LocationProvider() noexcept {}
    ~LocationProvider() override = default;

    LocationProvider* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    // Always a new provider, kept (and served) until tear-down; null criteria become default ones.
    static JavaPtr<LocationProvider> getInstance(const JavaPtr<Criteria>& criteria);
    static JavaPtr<Location> getLastKnownLocation();
    // A one-shot watch: NullPointerException for a null listener or point, IllegalArgumentException for
    // a radius not above 0. Tells the listener monitoringStateChanged(true).
    static void addProximityListener(const JavaPtr<ProximityListener>& listener,
                                     const JavaPtr<Coordinates>& coordinates, float radius);
    static void removeProximityListener(const JavaPtr<ProximityListener>& listener);
    // The listener's registrations at this very point object (all of them for a null point).
    static void removeProximityListener(const JavaPtr<ProximityListener>& listener,
                                        const JavaPtr<Coordinates>& coordinates);

    // The poll, once per pass of the ticker thread: promotes the newest fix, fires proximity watches and
    // delivers to the location listeners. A listener's exception is printed and the poll goes on. A
    // proximity watch registered while the poll runs (from an event, say) is first tried by the next.
    static void checkListeners();

    static JavaPtr<Location> createInvalidLocationPtr();
    static void increaseLocationMechanismUsageCount();
    static void decreaseLocationMechanismUsageCount();
    static void initiateLocationMechanism();
    static void terminateLocationMechanism();

    // Registers the feed with the platform. The destroy withdraws it, stops the platform service, drops
    // every provider, registration and fix, resets the usage count to 0 (units still held then are
    // not given back to it), and makes the feed drop later fixes until the next init.
    static void LocationProvider_staticInit();
    static void LocationProvider_staticDestroy();

    // Waits at most timeout seconds (-1: 5) for a fix newer than the one known at the call.
    // IllegalArgumentException for 0 or below -1; LocationException when none comes, at once when called
    // on the poll's own thread (which could never see one).
    virtual JavaPtr<Location> getLocation(int timeout);
    virtual int32_t getState();
    virtual void reset();
    // interval, timeout and maxAge in seconds, -1 for the default; IllegalArgumentException below -1.
    // A null listener clears the registration.
    virtual void setLocationListener(const JavaPtr<LocationListener>& listener, int interval, int timeout,
                                     int maxAge);

    // The current usage of the platform service, for tests and diagnostics.
    static int32_t locationMechanismUsage();

    static JavaPtr<Location> lastKnownLocation;
    static JavaPtr<Location> lastUnreportedLocation;
    static JavaPtr<JArray<JavaPtr<LocationProvider>>> allLocationProviders;
    static int32_t allLocationProvidersSize;
    static int32_t locationMechanismUsageCount;
    // One registration per index; the three arrays are replaced together, never changed in place, so a
    // reader holding them has a consistent snapshot.
    static JavaPtr<JArray<JavaPtr<ProximityListener>>> allProximityListeners;
    static JavaPtr<JArray<JavaPtr<Coordinates>>> allProximityListenerCoordinates;
    static JavaPtr<JArray<float>> allProximityListenerRadii;

private:
    friend void ::_locationFeedback(double, double, double, double, double, double, const char*);

    // With stateMutex held.
    static JavaPtr<Location> createInvalidLocationLocked();
    // A valid satellite fix stamped now; IllegalArgumentException for coordinates out of range.
    static JavaPtr<Location> createFixLocation(double latitude, double longitude, double horizontalAccuracy,
                                               double altitude, double verticalAccuracy,
                                               const char* description);
    static void promoteAndFireProximity();
    // Removes the listener's registrations at the point (all of them for null) made before the given
    // serial, and gives their units back.
    static void removeProximityRegistrations(const JavaPtr<ProximityListener>& listener,
                                             const JavaPtr<Coordinates>& coordinates, uint64_t serialsBelow);
    // A unit of the usage count, tagged with the count's epoch; giving one back from an epoch the static
    // destroy has ended changes nothing, so the count never goes below 0 across a destroy and init.
    static uint64_t takeUsageUnit();
    static void giveBackUsageUnit(uint64_t epoch);
    static void deliverToListeners();

    // Guards the statics above except the usage count, and every provider's listener fields below; the
    // poll's wait for a new fix uses it with fixPromoted. Never held while a listener runs or an object is
    // released.
    static std::mutex& stateMutex();
    // Guards the usage count and is held while the platform service is started or stopped, so that
    // starts and stops reach the platform in the order of the count's changes.
    static std::mutex& usageMutex();

    JavaPtr<LocationListener> listener;
    int32_t interval = 0;
    int32_t timeout = 0;
    int32_t maxAge = 0;
    long long lastDeliveryTime = 0;
    JavaPtr<Location> lastDeliveredLocation;
    bool locationDelivered = false;
    JavaPtr<Criteria> criteria;
    int32_t state = 0;
    // The epoch of the unit the listener holds; empty while there is no listener. Under stateMutex.
    std::optional<uint64_t> m_listenerUnit;
};

}  // namespace javax::microedition::location
