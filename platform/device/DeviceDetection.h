// Which device model, and which family of models, the program runs on, detected from the device
// profile's model and machine names. The result is cached after the first detection.
#pragma once

#include <atomic>

class DeviceDetection {
public:
    // Model codes.
    static constexpr int MODEL_UNKNOWN = 0;
    static constexpr int MODEL_IPHONE_SIMULATOR = 1;
    static constexpr int MODEL_IPOD_TOUCH = 2;
    static constexpr int MODEL_IPOD_TOUCH_2G = 3;
    static constexpr int MODEL_IPOD_TOUCH_3G = 4;
    static constexpr int MODEL_IPOD_TOUCH_4G = 5;
    static constexpr int MODEL_IPOD_TOUCH_5G_OR_LATER = 6;
    static constexpr int MODEL_IPHONE = 7;
    static constexpr int MODEL_IPHONE_3G = 8;
    static constexpr int MODEL_IPHONE_3GS = 9;
    static constexpr int MODEL_IPHONE_4G = 10;
    static constexpr int MODEL_IPHONE_5G_OR_LATER = 11;
    static constexpr int MODEL_IPAD = 12;
    static constexpr int MODEL_IPAD_2G_OR_LATER = 13;

    // Family codes.
    static constexpr int FAMILY_UNKNOWN = 0;
    static constexpr int FAMILY_SIMULATOR = 1;
    static constexpr int FAMILY_IPOD = 2;
    static constexpr int FAMILY_IPHONE = 3;
    static constexpr int FAMILY_IPAD = 4;

    // Detects the device, caches model and family, and returns the model code.
    static int detectDevice();
    // The cached codes, detecting first while they are still 0.
    static int currentModel();
    static int currentModelFamily();
    // The name of the detected model; with hideSimulator the simulator answers "iPhone 3G".
    static const char* returnDeviceName(bool hideSimulator);
    // The name of a model code; "Unknown Device" outside 1 to 13.
    static const char* nameOfModel(int model, bool hideSimulator);

    // Drops the cached codes (the profile has changed).
    static void forgetDetectedDevice();

private:
    // Each is written whole; a reader racing a profile change may pair an old family with a new model.
    static std::atomic<int> _m_currentModel;
    static std::atomic<int> _m_currentModelFamily;
};
