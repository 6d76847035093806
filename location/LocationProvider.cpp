#include "location/LocationProvider.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "library/DeviceClock.h"
#include "location/LocationException.h"
#include "platform/location/LocationService.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/Throwable.h"

namespace javax::microedition::location {

using java::lang::String;

constinit JavaPtr<Location> LocationProvider::lastKnownLocation;
constinit JavaPtr<Location> LocationProvider::lastUnreportedLocation;
constinit JavaPtr<JArray<JavaPtr<LocationProvider>>> LocationProvider::allLocationProviders;
constinit int32_t LocationProvider::allLocationProvidersSize = 0;
constinit int32_t LocationProvider::locationMechanismUsageCount = 0;
constinit JavaPtr<JArray<JavaPtr<ProximityListener>>> LocationProvider::allProximityListeners;
constinit JavaPtr<JArray<JavaPtr<Coordinates>>> LocationProvider::allProximityListenerCoordinates;
constinit JavaPtr<JArray<float>> LocationProvider::allProximityListenerRadii;

namespace {

// Signalled, with stateMutex, whenever the poll promotes a fix.
std::condition_variable fixPromoted;
// The thread that last ran the poll: a getLocation there could never see a new fix.
std::atomic<std::thread::id> pollThread{};
// Set by the static destroy, under stateMutex: fixes that still arrive are dropped.
bool tornDown = false;

// What the three proximity arrays do not say about a registration, at the same index and replaced with
// them under stateMutex: its serial, in the order registrations were made, and the usage epoch of the
// unit it holds.
struct ProximityRegistration {
    uint64_t serial;
    uint64_t usageEpoch;
};
std::vector<ProximityRegistration> proximityRegistrations;
uint64_t nextProximitySerial = 1;

// Bumped, under usageMutex, when the static destroy resets the usage count: a unit taken before it is
// not given back to the count that started afresh.
uint64_t usageEpoch = 0;

// getLocation looks at the clock at least this often, so that a clock a test steps is seen.
constexpr long long kLongestWaitMs = 50;

constexpr long long kDefaultIntervalMs = 5000;
constexpr long long kDefaultTimeoutMs = 5000;
constexpr long long kDefaultMaxAgeMs = 20000;

template <class E>
JavaPtr<JArray<E>> withAppended(const JavaPtr<JArray<E>>& array, E value) {
    const int32_t count = array ? array->length : 0;
    JavaPtr<JArray<E>> grown = jnew<JArray<E>>(count + 1);
    if (grown->length != count + 1) throw java::lang::IllegalArgumentException();
    for (int32_t i = 0; i < count; ++i) grown->data[i] = array->data[i];
    grown->data[count] = std::move(value);
    return grown;
}

// A listener's failure is its own: it is printed and the poll serves the others.
template <class Call>
void callListener(Call call) {
    try {
        call();
    } catch (java::lang::Throwable& failure) {
        failure.printStackTrace();
    }
}

JavaPtr<String> textOf(const char* description) {
    const size_t length = std::strlen(description);
    JavaPtr<JArray<signed char>> bytes = jnew<JArray<signed char>>(static_cast<int>(length));
    if (length > 0 && bytes->length == static_cast<int32_t>(length))
        std::memcpy(bytes->data, description, length);
    return jnew<String>(bytes, jnew<String>("UTF-8"));
}

}  // namespace

std::mutex& LocationProvider::stateMutex() {
    static std::mutex mutex;
    return mutex;
}

std::mutex& LocationProvider::usageMutex() {
    static std::mutex mutex;
    return mutex;
}

void LocationProvider::LocationProvider_staticInit() {
    {
        std::lock_guard<std::mutex> lock(stateMutex());
        tornDown = false;
    }
    platform::setLocationFeed(&_locationFeedback);
}

void LocationProvider::LocationProvider_staticDestroy() {
    platform::setLocationFeed(nullptr);
    JavaPtr<Location> known;
    JavaPtr<Location> unreported;
    JavaPtr<JArray<JavaPtr<LocationProvider>>> providers;
    JavaPtr<JArray<JavaPtr<ProximityListener>>> listeners;
    JavaPtr<JArray<JavaPtr<Coordinates>>> points;
    JavaPtr<JArray<float>> radii;
    {
        std::lock_guard<std::mutex> lock(stateMutex());
        tornDown = true;
        known = std::move(lastKnownLocation);
        unreported = std::move(lastUnreportedLocation);
        providers = std::move(allLocationProviders);
        allLocationProvidersSize = 0;
        listeners = std::move(allProximityListeners);
        points = std::move(allProximityListenerCoordinates);
        radii = std::move(allProximityListenerRadii);
        proximityRegistrations.clear();
        // Listeners of providers the application still holds give back nothing when they are cleared.
        if (providers) {
            for (int32_t i = 0; i < providers->length; ++i) providers->data[i]->m_listenerUnit.reset();
        }
    }
    {
        // The users are gone with the providers and registrations: the service stops with them, and the
        // count starts again at 0. A user still waiting (a getLocation) belongs to the old count.
        std::lock_guard<std::mutex> lock(usageMutex());
        const bool running = locationMechanismUsageCount > 0;
        locationMechanismUsageCount = 0;
        ++usageEpoch;
        if (running) terminateLocationMechanism();
    }
}

void LocationProvider::initiateLocationMechanism() {
    _startLocationManager();
}

void LocationProvider::terminateLocationMechanism() {
    _stopLocationManager();
}

void LocationProvider::increaseLocationMechanismUsageCount() {
    std::lock_guard<std::mutex> lock(usageMutex());
    if (++locationMechanismUsageCount == 1) initiateLocationMechanism();
}

void LocationProvider::decreaseLocationMechanismUsageCount() {
    std::lock_guard<std::mutex> lock(usageMutex());
    if (--locationMechanismUsageCount == 0) terminateLocationMechanism();
}

uint64_t LocationProvider::takeUsageUnit() {
    std::lock_guard<std::mutex> lock(usageMutex());
    if (++locationMechanismUsageCount == 1) initiateLocationMechanism();
    return usageEpoch;
}

void LocationProvider::giveBackUsageUnit(uint64_t epoch) {
    std::lock_guard<std::mutex> lock(usageMutex());
    if (epoch != usageEpoch) return;
    if (--locationMechanismUsageCount == 0) terminateLocationMechanism();
}

int32_t LocationProvider::locationMechanismUsage() {
    std::lock_guard<std::mutex> lock(usageMutex());
    return locationMechanismUsageCount;
}

JavaPtr<LocationProvider> LocationProvider::getInstance(const JavaPtr<Criteria>& criteria) {
    JavaPtr<Criteria> kept = criteria ? criteria : jnew<Criteria>();
    // Held until the static destroy, which resets the count: never given back one by one.
    takeUsageUnit();
    JavaPtr<LocationProvider> provider = jnew<LocationProvider>();
    JavaPtr<JArray<JavaPtr<LocationProvider>>> replaced;
    std::lock_guard<std::mutex> lock(stateMutex());
    provider->criteria = kept;
    provider->state = AVAILABLE;
    replaced = allLocationProviders;
    allLocationProviders = withAppended(allLocationProviders, provider);
    allLocationProvidersSize = allLocationProviders->length;
    return provider;
}

JavaPtr<Location> LocationProvider::getLastKnownLocation() {
    std::lock_guard<std::mutex> lock(stateMutex());
    return lastKnownLocation;
}

JavaPtr<Location> LocationProvider::createFixLocation(double latitude, double longitude,
                                                      double horizontalAccuracy, double altitude,
                                                      double verticalAccuracy, const char* description) {
    JavaPtr<Location> fix = jnew<Location>();
    fix->m_valid = true;
    fix->m_locationMethod = Location::MTE_SATELLITE;
    fix->m_timestamp = java::lang::DeviceClock::currentTimeMillis();
    fix->m_qualifiedCoordinates = jnew<QualifiedCoordinates>(
        latitude, longitude, static_cast<float>(altitude), static_cast<float>(horizontalAccuracy),
        static_cast<float>(verticalAccuracy));
    if (description != nullptr) fix->m_extraInfo = textOf(description);
    return fix;
}

JavaPtr<Location> LocationProvider::createInvalidLocationPtr() {
    std::lock_guard<std::mutex> lock(stateMutex());
    return createInvalidLocationLocked();
}

JavaPtr<Location> LocationProvider::createInvalidLocationLocked() {
    JavaPtr<Location> invalid = jnew<Location>();
    if (!lastKnownLocation) {
        invalid->m_extraInfo = jnew<String>("We haven't received any Location information yet");
        return invalid;
    }
    const Location& known = *lastKnownLocation;
    invalid->m_addressInfo = known.m_addressInfo;
    invalid->m_course = known.m_course;
    invalid->m_speed = known.m_speed;
    invalid->m_locationMethod = known.m_locationMethod;
    invalid->m_qualifiedCoordinates = known.m_qualifiedCoordinates;
    invalid->m_timestamp = known.m_timestamp;
    invalid->m_extraInfo = jnew<String>("This Location information is out of date");
    return invalid;
}

void LocationProvider::addProximityListener(const JavaPtr<ProximityListener>& listener,
                                            const JavaPtr<Coordinates>& coordinates, float radius) {
    if (!listener || !coordinates) throw java::lang::NullPointerException();
    // A NaN radius passes and is kept; it never fires.
    if (radius <= 0.0f) throw java::lang::IllegalArgumentException();
    JavaPtr<JArray<JavaPtr<ProximityListener>>> oldListeners;
    JavaPtr<JArray<JavaPtr<Coordinates>>> oldPoints;
    JavaPtr<JArray<float>> oldRadii;
    // The unit first, so the registration can carry its epoch.
    const uint64_t epoch = takeUsageUnit();
    try {
        std::lock_guard<std::mutex> lock(stateMutex());
        JavaPtr<JArray<JavaPtr<ProximityListener>>> listeners = withAppended(allProximityListeners, listener);
        JavaPtr<JArray<JavaPtr<Coordinates>>> points =
            withAppended(allProximityListenerCoordinates, coordinates);
        JavaPtr<JArray<float>> radii = withAppended(allProximityListenerRadii, radius);
        proximityRegistrations.push_back({nextProximitySerial++, epoch});
        oldListeners = std::exchange(allProximityListeners, listeners);
        oldPoints = std::exchange(allProximityListenerCoordinates, points);
        oldRadii = std::exchange(allProximityListenerRadii, radii);
    } catch (...) {
        giveBackUsageUnit(epoch);
        throw;
    }
    listener->monitoringStateChanged(true);
}

void LocationProvider::removeProximityListener(const JavaPtr<ProximityListener>& listener) {
    removeProximityListener(listener, nullptr);
}

void LocationProvider::removeProximityListener(const JavaPtr<ProximityListener>& listener,
                                               const JavaPtr<Coordinates>& coordinates) {
    removeProximityRegistrations(listener, coordinates, UINT64_MAX);
}

void LocationProvider::removeProximityRegistrations(const JavaPtr<ProximityListener>& listener,
                                                    const JavaPtr<Coordinates>& coordinates,
                                                    uint64_t serialsBelow) {
    JavaPtr<JArray<JavaPtr<ProximityListener>>> oldListeners;
    JavaPtr<JArray<JavaPtr<Coordinates>>> oldPoints;
    JavaPtr<JArray<float>> oldRadii;
    std::vector<uint64_t> returnedUnits;
    int32_t removed = 0;
    {
        std::lock_guard<std::mutex> lock(stateMutex());
        if (!allProximityListeners) return;
        const int32_t count = allProximityListeners->length;
        auto matches = [&](int32_t i) {
            return allProximityListeners->data[i].counted() == listener.counted() &&
                   (!coordinates ||
                    allProximityListenerCoordinates->data[i].counted() == coordinates.counted()) &&
                   proximityRegistrations[static_cast<size_t>(i)].serial < serialsBelow;
        };
        for (int32_t i = 0; i < count; ++i) removed += matches(i) ? 1 : 0;
        JavaPtr<JArray<JavaPtr<ProximityListener>>> listeners =
            jnew<JArray<JavaPtr<ProximityListener>>>(count - removed);
        JavaPtr<JArray<JavaPtr<Coordinates>>> points = jnew<JArray<JavaPtr<Coordinates>>>(count - removed);
        JavaPtr<JArray<float>> radii = jnew<JArray<float>>(count - removed);
        if (listeners->length != count - removed || points->length != count - removed ||
            radii->length != count - removed)
            throw java::lang::IllegalArgumentException();
        std::vector<ProximityRegistration> kept;
        kept.reserve(static_cast<size_t>(count - removed));
        for (int32_t i = 0, k = 0; i < count; ++i) {
            if (matches(i)) {
                returnedUnits.push_back(proximityRegistrations[static_cast<size_t>(i)].usageEpoch);
                continue;
            }
            listeners->data[k] = allProximityListeners->data[i];
            points->data[k] = allProximityListenerCoordinates->data[i];
            radii->data[k] = allProximityListenerRadii->data[i];
            kept.push_back(proximityRegistrations[static_cast<size_t>(i)]);
            ++k;
        }
        oldListeners = std::exchange(allProximityListeners, listeners);
        oldPoints = std::exchange(allProximityListenerCoordinates, points);
        oldRadii = std::exchange(allProximityListenerRadii, radii);
        proximityRegistrations.swap(kept);
    }
    for (uint64_t epoch : returnedUnits) giveBackUsageUnit(epoch);
}

void LocationProvider::checkListeners() {
    pollThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
    promoteAndFireProximity();
    deliverToListeners();
}

void LocationProvider::promoteAndFireProximity() {
    JavaPtr<Location> promoted;
    // Registrations made from here on, by a proximityEvent or another thread, wait for the next poll:
    // a listener that registers again from its event would otherwise be fired again at once, forever.
    uint64_t pollStart;
    {
        std::lock_guard<std::mutex> lock(stateMutex());
        if (lastUnreportedLocation.counted() == lastKnownLocation.counted()) return;
        lastKnownLocation = lastUnreportedLocation;
        promoted = lastKnownLocation;
        pollStart = nextProximitySerial;
    }
    fixPromoted.notify_all();
    if (!promoted || !promoted->m_qualifiedCoordinates) return;
    JavaPtr<Coordinates> here = promoted->m_qualifiedCoordinates;
    // Each event removes its registration, and the scan starts over on the arrays as they then are.
    for (;;) {
        JavaPtr<JArray<JavaPtr<ProximityListener>>> listeners;
        JavaPtr<JArray<JavaPtr<Coordinates>>> points;
        JavaPtr<JArray<float>> radii;
        std::vector<uint64_t> serials;
        {
            std::lock_guard<std::mutex> lock(stateMutex());
            listeners = allProximityListeners;
            points = allProximityListenerCoordinates;
            radii = allProximityListenerRadii;
            for (const ProximityRegistration& registration : proximityRegistrations)
                serials.push_back(registration.serial);
        }
        if (!listeners || listeners->length == 0) return;
        int32_t hit = -1;
        for (int32_t i = 0; i < listeners->length && hit < 0; ++i) {
            if (serials[static_cast<size_t>(i)] >= pollStart) continue;
            const float distance = points->data[i]->distance(here);
            // NaN on either side never fires.
            if (distance <= radii->data[i]) hit = i;
        }
        if (hit < 0) return;
        JavaPtr<ProximityListener> listener = listeners->data[hit];
        JavaPtr<Coordinates> point = points->data[hit];
        callListener([&] { listener->proximityEvent(point, promoted); });
        removeProximityRegistrations(listener, point, pollStart);
    }
}

void LocationProvider::deliverToListeners() {
    JavaPtr<JArray<JavaPtr<LocationProvider>>> providers;
    long long now = 0;
    {
        std::lock_guard<std::mutex> lock(stateMutex());
        if (!allLocationProviders || allLocationProvidersSize == 0) return;
        providers = allLocationProviders;
        now = java::lang::DeviceClock::currentTimeMillis();
    }
    // The listeners run without any lock, so that one may ask for a provider or change its registration.
    for (int32_t i = 0; i < providers->length; ++i) {
        const JavaPtr<LocationProvider>& provider = providers->data[i];
        JavaPtr<LocationListener> listener;
        JavaPtr<Location> location;
        {
            std::lock_guard<std::mutex> lock(stateMutex());
            LocationProvider& p = *provider;
            if (!p.listener || p.interval == 0) continue;
            // 64-bit products: a large number of seconds must not wrap into a past deadline.
            const long long intervalMs = p.interval == -1 ? kDefaultIntervalMs : p.interval * 1000LL;
            const long long timeoutMs =
                p.timeout == -1 ? kDefaultTimeoutMs : (p.interval == -1 ? -1 : p.timeout * 1000LL);
            const long long maxAgeMs =
                (p.maxAge == -1 || p.interval == -1) ? kDefaultMaxAgeMs : p.maxAge * 1000LL;
            const bool intervalDue = p.lastDeliveryTime + intervalMs <= now;
            if (!p.locationDelivered) {
                if (lastKnownLocation && now <= lastKnownLocation->m_timestamp + maxAgeMs) {
                    location = lastKnownLocation;
                    p.lastDeliveredLocation = lastKnownLocation;
                    p.locationDelivered = true;
                    p.lastDeliveryTime = now;
                } else if (intervalDue) {
                    location = createInvalidLocationLocked();
                    p.lastDeliveryTime = now;
                }
            } else if (intervalDue) {
                if (lastKnownLocation.counted() == p.lastDeliveredLocation.counted()) {
                    if (p.lastDeliveryTime + intervalMs + timeoutMs <= now) {
                        location = createInvalidLocationLocked();
                        p.lastDeliveryTime = now;
                    }
                } else {
                    location = lastKnownLocation;
                    p.lastDeliveredLocation = lastKnownLocation;
                    p.lastDeliveryTime = now;
                }
            }
            if (location) listener = p.listener;
        }
        if (listener) callListener([&] { listener->locationUpdated(provider, location); });
    }
}

JavaPtr<Location> LocationProvider::getLocation(int timeoutSeconds) {
    if (timeoutSeconds == 0 || timeoutSeconds < -1) throw java::lang::IllegalArgumentException();
    // The poll that would promote a fix runs on this thread: waiting would only freeze it.
    if (pollThread.load(std::memory_order_relaxed) == std::this_thread::get_id()) throw LocationException();
    const long long waitMs = timeoutSeconds == -1 ? kDefaultTimeoutMs : timeoutSeconds * 1000LL;
    const long long deadline = java::lang::DeviceClock::currentTimeMillis() + waitMs;
    JavaPtr<Location> known = getLastKnownLocation();
    struct UsageUnit {
        const uint64_t epoch = takeUsageUnit();
        ~UsageUnit() { giveBackUsageUnit(epoch); }
    } unit;
    JavaPtr<Location> result;
    {
        std::unique_lock<std::mutex> lock(stateMutex());
        for (;;) {
            if (lastKnownLocation.counted() != known.counted()) {
                result = lastKnownLocation;
                break;
            }
            const long long now = java::lang::DeviceClock::currentTimeMillis();
            if (now >= deadline) break;
            fixPromoted.wait_for(lock, std::chrono::milliseconds(std::min(deadline - now, kLongestWaitMs)));
        }
    }
    if (!result) throw LocationException();
    return result;
}

int32_t LocationProvider::getState() {
    return state;
}

void LocationProvider::reset() {}

void LocationProvider::setLocationListener(const JavaPtr<LocationListener>& newListener, int newInterval,
                                           int newTimeout, int newMaxAge) {
    // Below -1 every poll would deliver.
    if (newInterval < -1 || newTimeout < -1 || newMaxAge < -1) throw java::lang::IllegalArgumentException();
    // The new unit is taken before the old one is given back, so a replacement never stops the service.
    std::optional<uint64_t> newUnit;
    if (newListener) newUnit = takeUsageUnit();
    std::optional<uint64_t> oldUnit;
    JavaPtr<LocationListener> old;
    JavaPtr<Location> oldDelivered;
    {
        std::lock_guard<std::mutex> lock(stateMutex());
        old = std::exchange(listener, newListener);
        oldUnit = std::exchange(m_listenerUnit, newUnit);
        oldDelivered = std::exchange(lastDeliveredLocation, nullptr);
        interval = newInterval;
        timeout = newTimeout;
        maxAge = newMaxAge;
        locationDelivered = false;
        lastDeliveryTime = -1;
    }
    if (oldUnit) giveBackUsageUnit(*oldUnit);
    if (newListener) newListener->providerStateChanged(JavaPtr<LocationProvider>(this), state);
}

}  // namespace javax::microedition::location

extern "C" void _locationFeedback(double latitude, double longitude, double horizontalAccuracy,
                                  double altitude, double verticalAccuracy, double, const char* description) {
    using namespace javax::microedition::location;
    JavaPtr<Location> fix;
    try {
        fix = LocationProvider::createFixLocation(latitude, longitude, horizontalAccuracy, altitude,
                                                  verticalAccuracy, description);
    } catch (java::lang::Throwable&) {
        // Called from the platform: nothing may be thrown back into it.
        std::fprintf(stderr, "location fix (%g, %g) out of range, dropped\n", latitude, longitude);
        return;
    }
    JavaPtr<Location> replaced;
    std::lock_guard<std::mutex> lock(LocationProvider::stateMutex());
    if (tornDown) return;
    replaced = std::exchange(LocationProvider::lastUnreportedLocation, fix);
}
