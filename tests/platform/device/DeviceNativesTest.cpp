#include "platform/device/DeviceNatives.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/device/DeviceProfile.h"
#include "tests/support/ScopedDeviceProfile.h"
#include "tests/support/ScopedVariable.h"

using platform::DeviceProfile;
using testsupport::ScopedDeviceProfile;
using testsupport::ScopedVariable;

TEST(DeviceNatives, KindOfDeviceFromTheModelNamePrefix) {
    const struct {
        const char* model;
        bool iPhone;
        bool iPad;
    } cases[] = {
        {"iPhone", true, false},    {"iPhone Simulator", true, false}, {"iPad", false, true},
        {"iPad mini", false, true}, {"iPod touch", false, false},      {"", false, false},
        {"ipad", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        DeviceProfile profile = platform::defaultDeviceProfile();
        profile.modelName = c.model;
        ScopedDeviceProfile device(profile);
        EXPECT_EQ(_isIPhone(), c.iPhone);
        EXPECT_EQ(_isIPad(), c.iPad);
    }
}

TEST(DeviceNatives, RetinaNeedsSystem3Point2AndA640PixelMode) {
    const struct {
        const char* version;
        int width;
        bool retina;
    } cases[] = {
        {"4.0", 640, true},   {"3.2", 640, true},  {"3.1.3", 640, false},
        {"3.19", 640, false}, {"10.3", 640, true}, {"4.0", 320, false},
        {"4.0", 641, false},  {"", 640, false},    {"x", 640, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " at " + std::to_string(c.width));
        DeviceProfile profile = platform::defaultDeviceProfile();
        profile.systemVersion = c.version;
        profile.screenModeWidth = c.width;
        ScopedDeviceProfile device(profile);
        EXPECT_EQ(_isRetinaDisplay(), c.retina);
    }
}

TEST(DeviceNatives, TheDefaultProfileIsAHighResolutionIPhone) {
    ScopedDeviceProfile device(platform::defaultDeviceProfile());
    EXPECT_TRUE(_isIPhone());
    EXPECT_FALSE(_isIPad());
    EXPECT_TRUE(_isRetinaDisplay());
    EXPECT_EQ(platform::deviceProfile().machineName, "iPhone3,1");
}

TEST(DeviceNatives, LocaleFromTheFirstSetVariable) {
    const struct {
        const char* all;
        const char* messages;
        const char* lang;
        const char* locale;
    } cases[] = {
        {nullptr, nullptr, "en_GB.UTF-8", "en_GB"},
        {nullptr, nullptr, "fr_FR", "fr_FR"},
        {nullptr, nullptr, "sr_RS@latin", "sr_RS"},
        {nullptr, nullptr, "de_DE.ISO-8859-1@euro", "de_DE"},
        {nullptr, nullptr, "de", "de"},
        {nullptr, "pt_BR.UTF-8", "en_GB.UTF-8", "pt_BR"},
        {"ja_JP.UTF-8", "pt_BR.UTF-8", "en_GB.UTF-8", "ja_JP"},
        {"", "", "it_IT", "it_IT"},
        {nullptr, nullptr, "C", "en_US"},
        {nullptr, nullptr, "C.UTF-8", "en_US"},
        {nullptr, nullptr, "POSIX", "en_US"},
        {nullptr, nullptr, nullptr, "en_US"},
        {"C", nullptr, "fr_FR", "en_US"},
        // Not an identifier: nothing of it reaches the property.
        {nullptr, nullptr, "en GB", "en_US"},
        {nullptr, nullptr, "../../x", "en_US"},
        {nullptr, nullptr, ".UTF-8", "en_US"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.all ? c.all : "-") + " / " + (c.messages ? c.messages : "-") + " / " +
                     (c.lang ? c.lang : "-"));
        ScopedVariable all("LC_ALL", c.all);
        ScopedVariable messages("LC_MESSAGES", c.messages);
        ScopedVariable lang("LANG", c.lang);
        EXPECT_STREQ(_getLocale(), c.locale);
    }
}
