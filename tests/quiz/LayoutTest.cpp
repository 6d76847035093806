// The resolution decision over device families and screen sizes, the doubled layout values and the
// picture variants it picks; the device family from the device profile and the view hooks.
#include <gtest/gtest.h>

#include <vector>

#include "platform/device/DeviceProfile.h"
#include "shell/ViewHooks.h"
#include "tests/engine/ServiceCanvas.h"
#include "tests/support/ScopedDeviceProfile.h"

namespace quiztest {
namespace {

using H = HookCanvas;

class Layout : public enginetest::ServiceCanvasFixture {
protected:
    void TearDown() override {
        H::DEVICE_FAMILY = 0;
        ServiceCanvasFixture::TearDown();
    }
};

TEST_F(Layout, FamilyAndScreenDecideTheLayout) {
    struct Case {
        int family, width, height;
        bool high;
    };
    const Case cases[] = {
        {H::DEVICE_IPHONE, 320, 480, false},
        {H::DEVICE_IPHONE, 640, 960, true},
        {H::DEVICE_IPOD_TOUCH, 960, 640, true},
        {H::DEVICE_IPAD, 640, 960, false},
        {H::DEVICE_IPAD, 320, 480, false},
        {7, 640, 960, true},
        {7, 320, 480, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.family << " " << c.width << "x" << c.height);
        H::DEVICE_FAMILY = c.family;
        H::PARAM_TS_BASE_SCREEN_WIDTH = c.width;
        H::PARAM_TS_BASE_SCREEN_HEIGHT = c.height;
        service->decideResolution();
        EXPECT_EQ(service->high_resolution, c.high);
        EXPECT_EQ(toUtf8(service->resolution_suffix), c.high ? "_HIGH" : "_LOW");
        const int k = c.high ? 2 : 1;
        for (int v : {81, 0, -1, -37, 405}) EXPECT_EQ(service->getParam(v), k * v) << v;
        EXPECT_EQ(service->getPos(160), k * 160);
        EXPECT_EQ(service->res_main_font, c.high ? H::RESID_MAIN_FONT_HIGH : H::RESID_MAIN_FONT_LOW);
    }
}

TEST_F(Layout, ImageIdsComeFromTheChosenFamily) {
    H::PARAM_TS_BASE_SCREEN_WIDTH = 640;
    H::PARAM_TS_BASE_SCREEN_HEIGHT = 960;
    service->decideResolution();
    EXPECT_EQ(service->res_main_font, 149);
    EXPECT_EQ(service->res_twinkle0_white, 157);
    EXPECT_EQ(service->res_game_bg_0, H::RESID_GAME_BG_0_HIGH);
    EXPECT_GE(service->res_menu_bg_3, 149);
    EXPECT_EQ(service->res_ranking->length, 30);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(service->res_ranking->data[i], 263 + i);
    EXPECT_EQ(service->res_generic->data[0], H::RESID_GENERIC_0_HIGH);
    EXPECT_EQ(service->res_generic->data[1], H::RESID_GENERIC_0_LEVEL_HIGH);

    H::PARAM_TS_BASE_SCREEN_WIDTH = 320;
    H::PARAM_TS_BASE_SCREEN_HEIGHT = 480;
    service->decideResolution();
    EXPECT_EQ(service->res_main_font, 1);
    EXPECT_EQ(service->res_twinkle0_white, 9);
    EXPECT_LT(service->res_menu_bg_3, 149);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(service->res_ranking->data[i], 120 + i);
    EXPECT_EQ(service->res_generic->data[0], H::RESID_GENERIC_0_LOW);
}

// The family comes from the device the profile names; on a 640 x 960 screen it decides the layout.
TEST_F(Layout, DeviceDetailsTakeTheFamilyFromTheDevice) {
    struct Case {
        const char* model;
        const char* machine;
        int before;
        int after;
    };
    const Case cases[] = {
        {"iPod touch", "iPod4,1", H::DEVICE_IPAD, H::DEVICE_IPOD_TOUCH},
        {"iPhone", "iPhone3,1", H::DEVICE_IPAD, H::DEVICE_IPHONE},
        {"iPad", "iPad1,1", H::DEVICE_IPHONE, H::DEVICE_IPAD},
        // The simulator's family and an unknown device leave the family as it was.
        {"iPhone Simulator", "x86_64", H::DEVICE_IPAD, H::DEVICE_IPAD},
        {"iPhone Simulator", "x86_64", 0, 0},
        {"Toaster", "t1", H::DEVICE_IPHONE, H::DEVICE_IPHONE},
    };
    H::PARAM_TS_BASE_SCREEN_WIDTH = 640;
    H::PARAM_TS_BASE_SCREEN_HEIGHT = 960;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        platform::DeviceProfile profile = platform::defaultDeviceProfile();
        profile.modelName = c.model;
        profile.machineName = c.machine;
        testsupport::ScopedDeviceProfile device(profile);
        H::DEVICE_FAMILY = c.before;
        service->iPhoneGetDeviceDetails();
        EXPECT_EQ(H::DEVICE_FAMILY.load(), c.after);
        service->decideResolution();
        EXPECT_EQ(service->high_resolution, c.after != H::DEVICE_IPAD);
    }
}

std::vector<int>& hookRequests() {
    static std::vector<int> requests;
    return requests;
}

void recordHookRequest() {
    hookRequests().push_back(_callback_value.load());
}

// Each hook posts its request code to the shell; the overlay starts only when asked for, and once.
TEST_F(Layout, ViewHooksPostTheirRequestsAndTheOverlayStartsOnlyWhenAsked) {
    hookRequests().clear();
    iPhone::setNativeViewHook(&recordHookRequest);
    service->iPhoneTextOverlayStart();
    service->iPhoneTextOverlayStop();
    service->iPhoneTransitionSetup();
    service->iPhoneTransition();
    EXPECT_EQ(hookRequests(), (std::vector<int>{0, 1, 2, 3}));

    hookRequests().clear();
    service->overlay_text_shown = false;
    service->overlayText();
    EXPECT_TRUE(hookRequests().empty());
    service->overlay_text_shown = true;
    service->overlayText();
    service->overlayText();
    EXPECT_EQ(hookRequests(), std::vector<int>{0});
    EXPECT_FALSE(service->overlay_text_shown);
    iPhone::setNativeViewHook(nullptr);
}

}  // namespace
}  // namespace quiztest
