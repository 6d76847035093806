// Puts a device profile in force for the length of a scope, then the one that was in force before.
#pragma once

#include "platform/device/DeviceProfile.h"

namespace testsupport {

class ScopedDeviceProfile {
public:
    explicit ScopedDeviceProfile(const platform::DeviceProfile& profile) {
        platform::setDeviceProfile(profile);
    }
    ~ScopedDeviceProfile() { platform::setDeviceProfile(m_saved); }
    ScopedDeviceProfile(const ScopedDeviceProfile&) = delete;
    ScopedDeviceProfile& operator=(const ScopedDeviceProfile&) = delete;

private:
    platform::DeviceProfile m_saved = platform::deviceProfile();
};

}  // namespace testsupport
