#include "screens/ScreenStatics.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/BitmapFontSystem.h"
#include "graphics/Font.h"
#include "library/DeviceClock.h"
#include "library/System.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Display.h"
#include "tests/screens/ScreenTestFixture.h"
#include "tests/support/SteppedClock.h"
#include "tests/support/StringText.h"
#include "tests/support/TestFont.h"

using java::lang::DeviceClock;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::TouchScreenAreaManager;
using testsupport::jstr;

namespace {

class ScreenStaticsTest : public screenstest::ScreenFixture {};

TEST_F(ScreenStaticsTest, ResetPutsTheScreenStateBackToItsStart) {
    screenstest::TouchLog log;
    JavaPtr<javax::microedition::lcdui::TouchScreenAreaListener> listener = log.listener();
    TouchScreenAreaManager::registerArea(0, 0, 9, 9, jstr("a"), listener, TouchScreenAreaManager::CHROME);
    TouchScreenAreaManager::getUniqueBaseCode(jstr("DCC"));
    Displayable::isInterrupted.store(true);
    Display::lcdUITickInProgress.store(true);
    DeviceClock::setSource([] { return 5LL; });

    javax::microedition::lcdui::resetScreenStatics();
    EXPECT_EQ(TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::CHROME), 0);
    EXPECT_EQ(testsupport::narrow(TouchScreenAreaManager::getUniqueBaseCode(jstr("DCC"))), "DCC0_");
    EXPECT_FALSE(Displayable::isInterrupted.load());
    EXPECT_FALSE(Display::lcdUITickInProgress.load());
    EXPECT_NE(DeviceClock::currentTimeMillis(), 5);
}

TEST_F(ScreenStaticsTest, TheSteppedClockMovesOnlyWhenStepped) {
    {
        testsupport::SteppedClock clock(1000);
        EXPECT_EQ(DeviceClock::currentTimeMillis(), 1000);
        clock.advance(250);
        EXPECT_EQ(DeviceClock::currentTimeMillis(), 1250);
    }
    // Gone with the object: the system clock is back.
    const long long system = java::lang::System::currentTimeMillis();
    EXPECT_GE(DeviceClock::currentTimeMillis(), system);
}

TEST_F(ScreenStaticsTest, TheTestFontHasFixedAdvances) {
    ASSERT_TRUE(testsupport::loadTestFont());
    JavaPtr<Font> font = Font::getFont(0, 0, 8);
    EXPECT_EQ(font->getHeight(), testsupport::kTestFontHeight);
    for (unsigned short c : {u'A', u'~', u'!', u'\u00e9', u'\u00ff', u' '}) {
        SCOPED_TRACE(static_cast<int>(c));
        EXPECT_EQ(font->charWidth(c), testsupport::kTestFontAdvance);
    }
    EXPECT_EQ(font->stringWidth(jstr("Menu Back")), 9 * testsupport::kTestFontAdvance);
    // Glyphs differ from one another, so frames drawn with the font tell texts apart.
    using javax::microedition::lcdui::BitmapFontSystem;
    auto mask = [](unsigned short code) {
        const int glyph = BitmapFontSystem::findGlyph(0, code);
        std::vector<uint8_t> pixels(static_cast<size_t>(5 * testsupport::kTestFontHeight));
        if (glyph >= 0)
            BitmapFontSystem::unpackGlyph(0, glyph, 0, 0, 5, testsupport::kTestFontHeight, pixels.data());
        return pixels;
    };
    EXPECT_NE(mask('A'), mask('B'));
    EXPECT_NE(mask('A'), std::vector<uint8_t>(5 * testsupport::kTestFontHeight));
}

}  // namespace
