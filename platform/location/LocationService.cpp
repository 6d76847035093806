#include "platform/location/LocationService.h"

#include <atomic>

#include "platform/location/LocationReplay.h"

namespace platform {

namespace {

std::atomic<LocationService*> installedService{nullptr};
std::atomic<LocationFeed> installedFeed{nullptr};

}  // namespace

LocationService& locationService() {
    LocationService* service = installedService.load(std::memory_order_acquire);
    return service ? *service : LocationReplay::instance();
}

void setLocationService(LocationService* service) {
    installedService.store(service, std::memory_order_release);
}

void setLocationFeed(LocationFeed feed) {
    installedFeed.store(feed, std::memory_order_release);
}

LocationFeed locationFeed() {
    return installedFeed.load(std::memory_order_acquire);
}

}  // namespace platform

extern "C" void _startLocationManager() {
    platform::locationService().start();
}

extern "C" void _stopLocationManager() {
    platform::locationService().stop();
}
