#include "platform/device/DeviceDetection.h"

#include <string>

#include "platform/device/DeviceProfile.h"

std::atomic<int> DeviceDetection::_m_currentModel{0};
std::atomic<int> DeviceDetection::_m_currentModelFamily{0};

namespace {

struct Detection {
    int family;
    int model;
};

Detection detect(const std::string& model, const std::string& machine) {
    if (model == "iPhone Simulator")
        return {DeviceDetection::FAMILY_SIMULATOR, DeviceDetection::MODEL_IPHONE_SIMULATOR};
    if (model == "iPod Touch" || model == "iPod touch" || model == "iPod") {
        int code = DeviceDetection::MODEL_IPOD_TOUCH_5G_OR_LATER;
        if (machine == "iPod1,1") code = DeviceDetection::MODEL_IPOD_TOUCH;
        if (machine == "iPod2,1") code = DeviceDetection::MODEL_IPOD_TOUCH_2G;
        if (machine == "iPod3,1") code = DeviceDetection::MODEL_IPOD_TOUCH_3G;
        if (machine == "iPod4,1") code = DeviceDetection::MODEL_IPOD_TOUCH_4G;
        return {DeviceDetection::FAMILY_IPOD, code};
    }
    if (model == "iPhone") {
        int code = DeviceDetection::MODEL_IPHONE_5G_OR_LATER;
        if (machine == "iPhone1,1") {
            code = DeviceDetection::MODEL_IPHONE;
        } else if (machine == "iPhone1,2") {
            code = DeviceDetection::MODEL_IPHONE_3G;
        } else if (machine.starts_with("iPhone2")) {
            code = DeviceDetection::MODEL_IPHONE_3GS;
        } else if (machine.starts_with("iPhone3")) {
            code = DeviceDetection::MODEL_IPHONE_4G;
        }
        return {DeviceDetection::FAMILY_IPHONE, code};
    }
    if (model == "iPad") {
        const int code =
            machine == "iPad1,1" ? DeviceDetection::MODEL_IPAD : DeviceDetection::MODEL_IPAD_2G_OR_LATER;
        return {DeviceDetection::FAMILY_IPAD, code};
    }
    return {DeviceDetection::FAMILY_UNKNOWN, DeviceDetection::MODEL_UNKNOWN};
}

}  // namespace

int DeviceDetection::detectDevice() {
    const platform::DeviceProfile profile = platform::deviceProfile();
    const Detection found = detect(profile.modelName, profile.machineName);
    _m_currentModelFamily.store(found.family, std::memory_order_relaxed);
    _m_currentModel.store(found.model, std::memory_order_release);
    return found.model;
}

int DeviceDetection::currentModel() {
    const int model = _m_currentModel.load(std::memory_order_acquire);
    return model != 0 ? model : detectDevice();
}

int DeviceDetection::currentModelFamily() {
    if (_m_currentModelFamily.load(std::memory_order_acquire) == 0) detectDevice();
    return _m_currentModelFamily.load(std::memory_order_acquire);
}

const char* DeviceDetection::returnDeviceName(bool hideSimulator) {
    return nameOfModel(detectDevice(), hideSimulator);
}

const char* DeviceDetection::nameOfModel(int model, bool hideSimulator) {
    static constexpr const char* names[] = {
        "Unknown Device", "iPhone Simulator",       "iPod Touch", "iPod Touch 2G",   "iPod Touch 3G",
        "iPod Touch 4G",  "iPod Touch 5G or later", "iPhone",     "iPhone 3G",       "iPhone 3GS",
        "iPhone 4G",      "iPhone 5G or later",     "iPad",       "iPad 2G or later"};
    if (model < MODEL_IPHONE_SIMULATOR || model > MODEL_IPAD_2G_OR_LATER) return names[MODEL_UNKNOWN];
    if (model == MODEL_IPHONE_SIMULATOR && hideSimulator) return names[MODEL_IPHONE_3G];
    return names[model];
}

void DeviceDetection::forgetDetectedDevice() {
    _m_currentModel.store(0, std::memory_order_relaxed);
    _m_currentModelFamily.store(0, std::memory_order_relaxed);
}
