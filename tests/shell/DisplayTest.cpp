#include "shell/Display.h"

#include <gtest/gtest.h>

#include "tests/support/ClassRegistry.h"

using javax::microedition::lcdui::Display;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::Display);

namespace {

TEST(Display, ClassIdAndCastsFollowTheDottedName) {
    EXPECT_EQ(Display::TESLclassTypeID, static_cast<int32_t>(0xE97BAAB9));
    JavaPtr<Display> display = jnew<Display>();
    EXPECT_EQ(display->castAsTypeID(static_cast<int32_t>(0xE97BAAB9)), static_cast<void*>(display.get()));
    EXPECT_NE(display->castAsTypeID(0x3f697993), nullptr);
    EXPECT_NE(display->castAsTypeID(static_cast<int32_t>(0xe140a4f5)), nullptr);
    EXPECT_EQ(display->castAsTypeID(0x3afc5774), nullptr);  // Graphics
}

}  // namespace
