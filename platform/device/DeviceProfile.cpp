#include "platform/device/DeviceProfile.h"

#include <mutex>

#include "platform/device/DeviceDetection.h"

namespace platform {
namespace {

std::mutex profileMutex;  // guards the profile in force

// Made on first use, so that no reading during static initialisation finds it unmade.
DeviceProfile& profileInForce() {
    static DeviceProfile profile = defaultDeviceProfile();
    return profile;
}

}  // namespace

DeviceProfile defaultDeviceProfile() {
    return DeviceProfile{"iPhone", "iPhone3,1", "4.0", 640};
}

DeviceProfile deviceProfile() {
    std::lock_guard<std::mutex> lock(profileMutex);
    return profileInForce();
}

void setDeviceProfile(const DeviceProfile& profile) {
    {
        std::lock_guard<std::mutex> lock(profileMutex);
        profileInForce() = profile;
    }
    DeviceDetection::forgetDetectedDevice();
}

}  // namespace platform
