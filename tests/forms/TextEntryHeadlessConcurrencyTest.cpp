// The drawn keyboard through the headless host: taps in output pixels delivered on the host's main thread,
// which also runs the display's ticks, while the test thread drives.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/host/HeadlessHost.h"
#include "tests/forms/CurrentCanvasEvents.h"
#include "tests/forms/TextEntryFixture.h"

namespace formstest {
namespace {

using TextEntryHeadlessConcurrencyTest = TextEntryFixture;

TEST_F(TextEntryHeadlessConcurrencyTest, HelloTappedInTheHeadlessHostReachesGetString) {
    using namespace std::chrono_literals;
    platform::HostScreen screen;
    screen.widthPoints = kFormScreenWidth;
    screen.heightPoints = kFormScreenHeight;
    platform::HeadlessHost headless(screen);
    CurrentCanvasEvents events;
    std::thread loop([&] { headless.run(events); });
    ASSERT_TRUE(headless.waitUntilRunning(5s));
    // The display's tick on the host's main thread, so that input and ticks take turns as they would.
    const auto tickOnMain = [&] { headless.runOnMain([] { tick(); }, true); };
    const auto tapOnHost = [&](int x, int y) {
        EXPECT_TRUE(headless.tap(x, y));
        tickOnMain();
    };
    tapOnHost(toggleX(), toggleY());
    EXPECT_TRUE(OnScreenKeyboard::isShown());
    for (const char letter : std::string("hello")) {
        JavaPtr<OnScreenKeyboard::KeyArray> keys = OnScreenKeyboard::getKeys();
        ASSERT_TRUE(keys);
        for (int i = 0; i < keys->length; ++i) {
            const JavaPtr<javax::microedition::lcdui::KeyInternal> key = keys->data[i];
            if (testsupport::narrow(key->label) == std::string(1, letter))
                tapOnHost(key->x + key->width / 2, key->y + key->height / 2);
        }
    }
    headless.quit(0);
    loop.join();
    EXPECT_EQ(testsupport::narrow(field->getString()), "hello");
}

}  // namespace
}  // namespace formstest
