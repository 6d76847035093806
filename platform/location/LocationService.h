// The device's location service as the location package reaches it: _startLocationManager and
// _stopLocationManager start and pause it, and the fixes it makes go, on the main thread, to the feed
// that the package registered. On a desktop the service is the script replay (LocationReplay.h).
#pragma once

namespace platform {

// Degrees, metres, a spare value the receiver does not read, and the fix's text or null.
using LocationFeed = void (*)(double latitude, double longitude, double horizontalAccuracy, double altitude,
                              double verticalAccuracy, double spare, const char* description);

class LocationService {
public:
    virtual ~LocationService() = default;
    // Both may be called from any thread, and repeated: a second start or a stop with nothing running
    // does nothing.
    virtual void start() = 0;
    virtual void stop() = 0;
};

// The service in use: the script replay unless a test has installed its own (null puts the replay back).
LocationService& locationService();
void setLocationService(LocationService* service);

// Where fixes go; null drops them.
void setLocationFeed(LocationFeed feed);
LocationFeed locationFeed();

}  // namespace platform

extern "C" void _startLocationManager();
extern "C" void _stopLocationManager();
