// The application delegate tells the window whether a high-level screen is shown, which then takes
// every key whatever the window's key mode.
#include <gtest/gtest.h>

#include "shell/xyzApp.h"
#include "tests/shell/DisplayFixtures.h"
#include "tests/support/RecordingHost.h"

namespace shelltest {
namespace {

class XyzAppKeysTest : public DisplayFixture {};

TEST_F(XyzAppKeysTest, HighLevelScreenShownFollowsTheCurrentCanvas) {
    testsupport::RecordingHost host;
    xyzApp app(host);
    EXPECT_FALSE(app.highLevelScreenShown());
    display()->setCurrent(canvas("plain"));
    EXPECT_FALSE(app.highLevelScreenShown());
    display()->setCurrent(jnew<TestCoreCanvas>("core"));
    Display::fulfilSetCurrentRequest();
    EXPECT_TRUE(app.highLevelScreenShown());
}

}  // namespace
}  // namespace shelltest
