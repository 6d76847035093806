#include "forms/Gauge.h"

#include <gtest/gtest.h>

#include "graphics/Graphics.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Canvas.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/SteppedClock.h"
#include "tests/support/StringText.h"
#include "tests/support/Throws.h"

using formstest::FakeForm;
using formstest::kForeground;
using formstest::kWhite;
using formstest::layOut;
using formstest::PaintTarget;
using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Gauge;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::TouchScreenAreaManager;
using testsupport::jstr;
using testsupport::throws;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::Gauge);

namespace {

class GaugeTest : public formstest::FormsFixture {
protected:
    // A gauge in a form, laid out with its content area of w x h at (3, 3) of the form's content.
    JavaPtr<Gauge> gaugeInForm(bool interactive, int maxValue, int value, int w, int h) {
        JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, interactive, maxValue, value);
        gauge->addToForm(form.get());
        layOut(*gauge, 0, 0, w + 2 * Item::HIGHLIGHT_BOX_PAD_X, h + 2 * Item::HIGHLIGHT_BOX_PAD_Y);
        return gauge;
    }
    // A tap at a point of the gauge's content area.
    static void press(int x, int y) {
        TouchScreenAreaManager::setAreaGroup(TouchScreenAreaManager::FORM_ITEMS);
        TouchScreenAreaManager::pointerPressed(x + 3, y + 3);
    }
    static void release(int x, int y) { TouchScreenAreaManager::pointerReleased(x + 3, y + 3); }

    JavaPtr<FakeForm> form = jnew<FakeForm>(200);
};

TEST_F(GaugeTest, ConstructorAndSettersCheckAndLimit) {
    constexpr int kThrows = -100;
    struct Case {
        const char* name;
        bool interactive;
        int maxValue, initial;
        int expectedMax, expectedValue;  // kThrows: IllegalArgumentException
    };
    const Case cases[] = {
        {"value above the maximum is limited", true, 10, 15, 10, 10},
        {"non-interactive limited too", false, 10, 15, 10, 10},
        {"negative value gives 0", true, 10, -3, 10, 0},
        {"interactive maximum 0", true, 0, 0, kThrows, kThrows},
        {"interactive indefinite", true, Gauge::INDEFINITE, 0, kThrows, kThrows},
        {"non-interactive maximum -2", false, -2, 0, kThrows, kThrows},
        {"indefinite with a state outside 0..3", false, Gauge::INDEFINITE, 4, kThrows, kThrows},
        {"indefinite running", false, Gauge::INDEFINITE, Gauge::CONTINUOUS_RUNNING, Gauge::INDEFINITE,
         Gauge::CONTINUOUS_RUNNING},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<Gauge> gauge;
        const bool threw = throws<java::lang::IllegalArgumentException>(
            [&] { gauge = jnew<Gauge>(jstr("g"), c.interactive, c.maxValue, c.initial); });
        ASSERT_EQ(threw, c.expectedMax == kThrows);
        if (threw) continue;
        EXPECT_EQ(gauge->getMaxValue(), c.expectedMax);
        EXPECT_EQ(gauge->getValue(), c.expectedValue);
        EXPECT_EQ(gauge->isInteractive(), c.interactive);
    }

    JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, false, 10, 7);
    gauge->setValue(-3);
    EXPECT_EQ(gauge->getValue(), 0);
    gauge->setValue(7);
    EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([&] { gauge->setMaxValue(0); }));
    EXPECT_EQ(gauge->getMaxValue(), 10);
    gauge->setMaxValue(5);
    EXPECT_EQ(gauge->getValue(), 5);
    EXPECT_TRUE(throws<java::lang::IllegalArgumentException>(
        [&] { jnew<Gauge>(nullptr, true, 5, 0)->setMaxValue(Gauge::INDEFINITE); }));
}

TEST_F(GaugeTest, SwitchingBetweenBarAndBallResetsTheValueAndRelaysOut) {
    JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, false, 10, 7);
    gauge->addToForm(form.get());
    gauge->setMaxValue(Gauge::INDEFINITE);
    EXPECT_EQ(gauge->getValue(), Gauge::CONTINUOUS_IDLE);
    EXPECT_EQ(form->relayoutRequests, 0);
    EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([&] { gauge->setValue(4); }));
    EXPECT_EQ(gauge->getValue(), Gauge::CONTINUOUS_IDLE);
    gauge->setMaxValue(5);
    EXPECT_EQ(gauge->getValue(), 0);
    EXPECT_EQ(gauge->getMaxValue(), 5);
    EXPECT_EQ(form->relayoutRequests, 1);
}

TEST_F(GaugeTest, LayoutIsLeftExpandOnItsOwnRow) {
    JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, true, 10, 0);
    gauge->setLayout(Item::LAYOUT_RIGHT);
    EXPECT_EQ(gauge->layoutInternal(), 0x801);
    EXPECT_TRUE(gauge->requiresOwnRow());
    EXPECT_EQ(gauge->getPrefContentWidth(-1), 70);
    EXPECT_EQ(gauge->getPrefContentHeight(-1), 8);
}

TEST_F(GaugeTest, BlocksAreFilledInProportionToTheValue) {
    struct Case {
        const char* name;
        int width, maxValue, value;
        int firstBlockX, blocks, filled;
    };
    const Case cases[] = {
        {"wide, many values", 200, 100, 50, 10, 18, 9},
        {"preferred width, three values", 70, 3, 2, 20, 3, 2},
        {"preferred width, ten values", 70, 10, 10, 10, 5, 5},
        // A byte count: the block count times the value leaves the range of an int.
        {"a large maximum, full", 200, 200'000'000, 200'000'000, 10, 18, 18},
        {"a large maximum, three quarters", 200, 200'000'000, 150'000'000, 10, 18, 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, true, c.maxValue, c.value);
        PaintTarget target(c.width, 8);
        gauge->paint(target.graphics, c.width, 8);
        for (int i = 0; i < c.blocks; ++i) {
            SCOPED_TRACE(i);
            const int x = c.firstBlockX + 10 * i;
            if (i == 0) {
                EXPECT_EQ(target.pixel(x - 1, 4), kWhite);
            }
            EXPECT_EQ(target.pixel(x, 0), kForeground);
            EXPECT_EQ(target.pixel(x + 4, 4), i < c.filled ? kForeground : kWhite);
        }
    }
}

TEST_F(GaugeTest, ArrowsShowOnlyWhereTheValueCanMove) {
    struct Case {
        int value;
        bool left, right;
    };
    for (const Case& c : {Case{0, false, true}, Case{2, true, true}, Case{3, true, false}}) {
        SCOPED_TRACE(c.value);
        JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, true, 3, c.value);
        PaintTarget target(70, 8);
        gauge->paint(target.graphics, 70, 8);
        EXPECT_EQ(target.count(kForeground, 10, 0, 9, 8) > 0, c.left);
        EXPECT_EQ(target.count(kForeground, 50, 0, 9, 8) > 0, c.right);
    }
    // A non-interactive gauge has no arrows and paints in the inactive colour.
    JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, false, 3, 1);
    PaintTarget target(70, 8);
    gauge->paint(target.graphics, 70, 8);
    EXPECT_EQ(target.count(kWhite, 10, 0, 9, 8), 72);
    EXPECT_EQ(target.count(kWhite, 50, 0, 9, 8), 72);
    EXPECT_EQ(target.pixel(24, 4), 0xAAAAAA);
}

TEST_F(GaugeTest, KeysMoveTheValueAndKeepTheFocusOnlyForLeftAndRight) {
    JavaPtr<Gauge> gauge = gaugeInForm(true, 3, 0, 70, 8);
    EXPECT_TRUE(gauge->traverse(Canvas::LEFT, 100, 100, nullptr));
    EXPECT_EQ(gauge->getValue(), 0);
    EXPECT_TRUE(form->changedItems.empty());
    EXPECT_TRUE(gauge->traverse(Canvas::RIGHT, 100, 100, nullptr));
    EXPECT_EQ(gauge->getValue(), 1);
    EXPECT_EQ(form->changedItems.size(), 1u);
    EXPECT_EQ(form->repaintRequests, 1);
    for (int dir : {Canvas::UP, Canvas::DOWN}) {
        EXPECT_FALSE(gauge->traverse(dir, 100, 100, nullptr));
        EXPECT_EQ(gauge->getValue(), 1);
    }
    EXPECT_EQ(form->changedItems.size(), 1u);
}

TEST_F(GaugeTest, ArrowsWorkFromZeroAndTheListenerHearsEachChangeOnce) {
    // Maximum 3 at width 70: left arrow at x 10, blocks at 20, 30, 40, right arrow at 50.
    JavaPtr<Gauge> gauge = gaugeInForm(true, 3, 0, 70, 8);
    PaintTarget target(70, 8);
    gauge->paint(target.graphics, 70, 8);
    press(54, 4);
    release(54, 4);
    EXPECT_EQ(gauge->getValue(), 1);
    // The left arrow, hidden at the first paint, answers without a rebuild.
    press(14, 4);
    release(14, 4);
    EXPECT_EQ(gauge->getValue(), 0);
    press(14, 4);
    release(14, 4);
    EXPECT_EQ(gauge->getValue(), 0);
    EXPECT_EQ(form->changedItems, (std::vector<Item*>{gauge.get(), gauge.get()}));

    gauge->setValue(3);
    press(54, 4);
    release(54, 4);
    EXPECT_EQ(gauge->getValue(), 3);
    EXPECT_EQ(form->changedItems.size(), 2u);
}

TEST_F(GaugeTest, BlockTouchesAndDragsReachTheWholeRange) {
    // 18 blocks for 100 values: block k stands for ceil(k * 100 / 18).
    JavaPtr<Gauge> gauge = gaugeInForm(true, 100, 0, 200, 8);
    PaintTarget target(200, 8);
    gauge->paint(target.graphics, 200, 8);
    press(10 + 25, 4);  // third block
    EXPECT_EQ(gauge->getValue(), 17);
    EXPECT_EQ(form->changedItems.size(), 1u);
    TouchScreenAreaManager::pointerDragged(3 + 10 + 175, 7);  // last block
    EXPECT_EQ(gauge->getValue(), 100);
    TouchScreenAreaManager::pointerDragged(3 + 400, 7);  // beyond the blocks
    EXPECT_EQ(gauge->getValue(), 100);
    TouchScreenAreaManager::pointerDragged(3 + 10 + 1, 7);  // first block
    EXPECT_EQ(gauge->getValue(), 6);
    TouchScreenAreaManager::pointerDragged(3 - 30, 7);  // left of the blocks
    EXPECT_EQ(gauge->getValue(), 0);
    release(0, 4);
    EXPECT_EQ(form->changedItems.size(), 4u);

    // A drag that began on an arrow changes nothing beyond the arrow's step.
    press(4, 4);
    EXPECT_EQ(gauge->getValue(), 0);
    TouchScreenAreaManager::pointerDragged(3 + 100, 7);
    EXPECT_EQ(gauge->getValue(), 0);
    release(100, 4);
}

TEST_F(GaugeTest, NonInteractiveAndIndicatorGaugesIgnoreTheUser) {
    JavaPtr<Gauge> gauge = gaugeInForm(false, 3, 1, 70, 8);
    PaintTarget target(70, 8);
    gauge->paint(target.graphics, 70, 8);
    for (int dir : {Canvas::LEFT, Canvas::RIGHT}) EXPECT_FALSE(gauge->traverse(dir, 100, 100, nullptr));
    press(44, 4);
    release(44, 4);
    EXPECT_EQ(gauge->getValue(), 1);
    EXPECT_TRUE(form->changedItems.empty());

    JavaPtr<Gauge> indicator = jnew<Gauge>(nullptr, false, 3, 1);
    indicator->m_isAlertIndicator = true;
    EXPECT_FALSE(indicator->traverse(Canvas::LEFT, 100, 100, nullptr));
    EXPECT_EQ(indicator->getValue(), 1);
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { indicator->setLabel(jstr("x")); }));
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { indicator->setLayout(Item::LAYOUT_RIGHT); }));
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { indicator->setPreferredSize(10, 10); }));
    EXPECT_TRUE(
        throws<java::lang::IllegalStateException>([&] { indicator->setItemCommandListener(nullptr); }));
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { indicator->setDefaultCommand(nullptr); }));
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { indicator->addCommand(nullptr); }));
    EXPECT_EQ(indicator->getLabel(), nullptr);
    EXPECT_EQ(indicator->getLayout(), Item::LAYOUT_DEFAULT);
    indicator->m_isAlertIndicator = false;
    indicator->setLabel(jstr("x"));
    EXPECT_TRUE(indicator->getLabel()->equals(jstr("x")));
}

TEST_F(GaugeTest, RunningBallStepsOnTheClockAcrossTheTrack) {
    testsupport::SteppedClock clock;
    constexpr int kWidth = 110;
    constexpr int kHeight = 20;
    JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, false, Gauge::INDEFINITE, Gauge::CONTINUOUS_RUNNING);
    const int expectedX[20] = {100, 90, 80, 70, 60, 50, 40, 30, 20, 10,
                               0,   10, 20, 30, 40, 50, 60, 70, 80, 90};
    for (int frame = 0; frame < 20; ++frame) {
        if (frame > 0) {
            gauge->tick(0);
            // Not another step until more than 300 ms have passed.
            clock.advance(300);
            gauge->tick(0);
            clock.advance(1);
        }
        if (frame != 0 && frame != 5 && frame != 10 && frame != 15 && frame != 19) continue;
        SCOPED_TRACE(frame);
        PaintTarget actual(kWidth, kHeight);
        gauge->paint(actual.graphics, kWidth, kHeight);
        PaintTarget expected(kWidth, kHeight);
        expected.graphics->setColor(kForeground);
        expected.graphics->drawLine(0, 0, 0, kHeight);
        expected.graphics->drawLine(0, 10, kWidth - 1, 10);
        expected.graphics->drawLine(kWidth - 1, 0, kWidth - 1, kHeight);
        expected.graphics->drawArc(expectedX[frame], 5, 10, 10, 0, 360);
        int differing = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) differing += actual.pixel(x, y) != expected.pixel(x, y) ? 1 : 0;
        }
        EXPECT_EQ(differing, 0);
    }
}

TEST_F(GaugeTest, OnlyARunningOrUpdatingGaugeAnimates) {
    testsupport::SteppedClock clock;
    JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, false, Gauge::INDEFINITE, Gauge::CONTINUOUS_IDLE);
    gauge->addToForm(form.get());
    clock.advance(1000);
    gauge->tick(0);
    EXPECT_EQ(form->repaintRequests, 0);
    gauge->setValue(Gauge::INCREMENTAL_UPDATING);
    EXPECT_EQ(form->repaintRequests, 1);
    gauge->tick(0);
    EXPECT_EQ(form->repaintRequests, 1);
    gauge->setValue(Gauge::CONTINUOUS_RUNNING);
    gauge->tick(0);
    EXPECT_EQ(form->repaintRequests, 2);
}

}  // namespace
