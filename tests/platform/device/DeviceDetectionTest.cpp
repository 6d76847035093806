#include "platform/device/DeviceDetection.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/device/DeviceProfile.h"
#include "tests/support/ScopedDeviceProfile.h"

using platform::DeviceProfile;
using testsupport::ScopedDeviceProfile;

namespace {

DeviceProfile profileOf(const char* model, const char* machine) {
    DeviceProfile profile = platform::defaultDeviceProfile();
    profile.modelName = model;
    profile.machineName = machine;
    return profile;
}

}  // namespace

TEST(DeviceDetection, ModelAndFamilyOfEachKnownDevice) {
    const struct {
        const char* model;
        const char* machine;
        int code;
        int family;
        const char* name;
    } cases[] = {
        {"iPhone Simulator", "x86_64", 1, 1, "iPhone Simulator"},
        {"iPod touch", "iPod1,1", 2, 2, "iPod Touch"},
        {"iPod Touch", "iPod2,1", 3, 2, "iPod Touch 2G"},
        {"iPod touch", "iPod3,1", 4, 2, "iPod Touch 3G"},
        {"iPod", "iPod4,1", 5, 2, "iPod Touch 4G"},
        {"iPod touch", "iPod5,1", 6, 2, "iPod Touch 5G or later"},
        {"iPhone", "iPhone1,1", 7, 3, "iPhone"},
        {"iPhone", "iPhone1,2", 8, 3, "iPhone 3G"},
        {"iPhone", "iPhone2,1", 9, 3, "iPhone 3GS"},
        {"iPhone", "iPhone3,1", 10, 3, "iPhone 4G"},
        {"iPhone", "iPhone3,3", 10, 3, "iPhone 4G"},
        {"iPhone", "iPhone4,1", 11, 3, "iPhone 5G or later"},
        {"iPhone", "iPhone1", 11, 3, "iPhone 5G or later"},
        {"iPad", "iPad1,1", 12, 4, "iPad"},
        {"iPad", "iPad2,1", 13, 4, "iPad 2G or later"},
        // Model names are compared exactly.
        {"IPHONE", "iPhone3,1", 0, 0, "Unknown Device"},
        {"iPhone ", "iPhone3,1", 0, 0, "Unknown Device"},
        {"Linux", "x86_64", 0, 0, "Unknown Device"},
        {"", "", 0, 0, "Unknown Device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " / " + c.machine);
        ScopedDeviceProfile device(profileOf(c.model, c.machine));
        EXPECT_EQ(DeviceDetection::currentModelFamily(), c.family);
        EXPECT_EQ(DeviceDetection::currentModel(), c.code);
        EXPECT_EQ(DeviceDetection::detectDevice(), c.code);
        EXPECT_STREQ(DeviceDetection::returnDeviceName(false), c.name);
    }
}

TEST(DeviceDetection, TheDefaultIsAnIPhone4G) {
    ScopedDeviceProfile device(platform::defaultDeviceProfile());
    EXPECT_EQ(DeviceDetection::currentModel(), DeviceDetection::MODEL_IPHONE_4G);
    EXPECT_EQ(DeviceDetection::currentModelFamily(), DeviceDetection::FAMILY_IPHONE);
}

TEST(DeviceDetection, NamesOfCodesAndTheHiddenSimulator) {
    {
        ScopedDeviceProfile device(profileOf("iPhone Simulator", "arm64"));
        EXPECT_STREQ(DeviceDetection::returnDeviceName(true), "iPhone 3G");
        EXPECT_STREQ(DeviceDetection::returnDeviceName(false), "iPhone Simulator");
    }
    {
        ScopedDeviceProfile device(profileOf("iPad", "iPad1,1"));
        EXPECT_STREQ(DeviceDetection::returnDeviceName(true), "iPad");
    }
    for (int code : {-1, 0, 14, 1000})
        EXPECT_STREQ(DeviceDetection::nameOfModel(code, false), "Unknown Device");
}

TEST(DeviceDetection, TheCacheFollowsAChangeOfProfile) {
    ScopedDeviceProfile first(profileOf("iPad", "iPad1,1"));
    EXPECT_EQ(DeviceDetection::currentModel(), DeviceDetection::MODEL_IPAD);
    platform::setDeviceProfile(profileOf("iPod touch", "iPod3,1"));
    EXPECT_EQ(DeviceDetection::currentModel(), DeviceDetection::MODEL_IPOD_TOUCH_3G);
    EXPECT_EQ(DeviceDetection::currentModelFamily(), DeviceDetection::FAMILY_IPOD);
}
