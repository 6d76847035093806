// The device the program believes it runs on. Linux has no phone model, so the platform keeps a
// profile in its place: the model and machine names that device detection reads, the system version
// and the width of the screen's current mode. The shell may choose another profile at start-up;
// tests set one directly.
#pragma once

#include <string>

namespace platform {

struct DeviceProfile {
    // As the device reports its model: "iPhone", "iPod touch", "iPad", "iPhone Simulator", ...
    std::string modelName;
    // As uname reports the machine: "iPhone3,1", "iPod4,1", "iPad1,1", ...
    std::string machineName;
    // The operating system version, read as a number ("4.0").
    std::string systemVersion;
    // The width in pixels of the main screen's current mode: 640 on a high-resolution screen.
    int screenModeWidth = 0;
};

// An "iPhone" with machine "iPhone3,1", system 4.0 and a 640-pixel-wide screen.
DeviceProfile defaultDeviceProfile();

// A copy of the profile in force.
DeviceProfile deviceProfile();

// Puts a profile in force; the detected model is detected again at its next reading.
void setDeviceProfile(const DeviceProfile& profile);

}  // namespace platform
