#include "screens/TouchScreenAreaManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/screens/ScreenTestFixture.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using javax::microedition::lcdui::TouchScreenArea;
using javax::microedition::lcdui::TouchScreenAreaListener;
using Manager = javax::microedition::lcdui::TouchScreenAreaManager;
using testsupport::jstr;
using testsupport::narrow;
using Log = std::vector<std::string>;

QUILL_REGISTER_CLASSES(TouchScreenArea, TouchScreenAreaListener);

namespace {

class TouchScreenAreaManagerTest : public screenstest::ScreenFixture {
protected:
    screenstest::TouchLog log;
    JavaPtr<TouchScreenAreaListener> listener = log.listener();
};

TEST_F(TouchScreenAreaManagerTest, EdgesAreInsideAndDragsAndReleasesGoToThePressedArea) {
    Manager::registerArea(10, 10, 20, 20, jstr("box"), listener, Manager::CHROME);
    struct Probe {
        int x, y, index;
    };
    for (const Probe& p : {Probe{10, 10, 0}, Probe{20, 20, 0}, Probe{21, 15, -1}, Probe{15, 9, -1}}) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        EXPECT_EQ(Manager::areaIndexForPoint(p.x, p.y), p.index);
    }
    EXPECT_TRUE(Manager::pointerPressed(12, 13));
    EXPECT_TRUE(Manager::pointerDragged(21, 15));
    EXPECT_TRUE(Manager::pointerDragged(20, 20));
    EXPECT_TRUE(Manager::pointerReleased(25, 30));
    EXPECT_EQ(log.take(), (Log{"box pressed 2,3 -1,-1 inside", "box dragged 11,5 9,2 outside",
                               "box dragged 10,10 8,7 inside", "box released 15,20 -1,-1 outside"}));
    // The touch is over: nothing more is routed.
    EXPECT_FALSE(Manager::pointerDragged(15, 15));
    EXPECT_FALSE(Manager::pointerReleased(15, 15));
    EXPECT_FALSE(Manager::pointerPressed(0, 0));
    EXPECT_FALSE(Manager::pointerReleased(15, 15));
    EXPECT_EQ(log.take(), Log{});
}

TEST_F(TouchScreenAreaManagerTest, OverlapGoesToTheCodeOrderedLastWhateverTheOrderOfRegistration) {
    Manager::registerArea(0, 0, 50, 50, jstr("b"), listener, Manager::CHROME);
    Manager::registerArea(0, 0, 50, 50, jstr("a"), listener, Manager::CHROME);
    Manager::registerArea(0, 0, 50, 50, jstr("ab"), listener, Manager::CHROME);
    Manager::registerArea(0, 0, 50, 50, jstr("c"), listener, Manager::FORM_ITEMS);
    EXPECT_EQ(Manager::areaIndexForPoint(5, 5), 2);
    EXPECT_TRUE(Manager::pointerPressed(5, 5));
    EXPECT_TRUE(Manager::pointerReleased(5, 5));
    EXPECT_EQ(log.take(), (Log{"b pressed 5,5 -1,-1 inside", "b released 5,5 -1,-1 inside"}));
}

TEST_F(TouchScreenAreaManagerTest, OnlyTheCurrentGroupIsSeen) {
    Manager::registerArea(0, 0, 9, 9, jstr("item"), listener, Manager::FORM_ITEMS);
    Manager::registerArea(0, 0, 9, 9, jstr("chrome"), listener, Manager::CHROME);
    Manager::registerArea(20, 20, 29, 29, jstr("overlay"), listener, Manager::ITEM_OVERLAYS);
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 1);
    EXPECT_EQ(Manager::numInGroup(Manager::FORM_ITEMS), 1);
    EXPECT_EQ(Manager::numInGroup(Manager::ITEM_OVERLAYS), 1);
    EXPECT_FALSE(Manager::pointerPressed(25, 25));

    Manager::setAreaGroup(Manager::FORM_ITEMS);
    EXPECT_TRUE(Manager::pointerPressed(1, 1));
    // A drag or release routed while another group is current is not delivered and does not end the press.
    Manager::setAreaGroup(Manager::CHROME);
    EXPECT_FALSE(Manager::pointerDragged(2, 2));
    EXPECT_FALSE(Manager::pointerReleased(2, 2));
    Manager::setAreaGroup(Manager::FORM_ITEMS);
    EXPECT_TRUE(Manager::pointerReleased(3, 3));
    EXPECT_EQ(log.take(), (Log{"item pressed 1,1 -1,-1 inside", "item released 3,3 -1,-1 inside"}));
}

TEST_F(TouchScreenAreaManagerTest, RegisteringACodeAgainReplacesItsRectangleAndListenerInPlace) {
    screenstest::TouchLog otherLog;
    JavaPtr<TouchScreenAreaListener> other = otherLog.listener();
    Manager::registerArea(0, 0, 9, 9, jstr("key"), listener, Manager::CHROME);
    EXPECT_TRUE(Manager::pointerPressed(5, 5));
    Manager::registerArea(100, 100, 109, 109, jstr("key"), other, Manager::CHROME);
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 1);
    // The press in progress keeps the area and listener it hit.
    EXPECT_TRUE(Manager::pointerReleased(6, 6));
    EXPECT_EQ(log.take(), (Log{"key pressed 5,5 -1,-1 inside", "key released 6,6 -1,-1 inside"}));
    EXPECT_EQ(Manager::areaIndexForPoint(5, 5), -1);
    EXPECT_TRUE(Manager::pointerPressed(101, 102));
    EXPECT_EQ(otherLog.take(), (Log{"key pressed 1,2 -1,-1 inside"}));

    Manager::registerArea(0, 0, 9, 9, nullptr, listener, Manager::CHROME);
    Manager::registerArea(0, 0, 9, 9, jstr("none"), nullptr, Manager::CHROME);
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 1);
}

TEST_F(TouchScreenAreaManagerTest, APressWhoseAreaGoesRoutesNothingMore) {
    screenstest::TouchLog otherLog;
    JavaPtr<TouchScreenAreaListener> other = otherLog.listener();
    Manager::registerArea(0, 0, 9, 9, jstr("mine1"), listener, Manager::CHROME);
    Manager::registerArea(10, 0, 19, 9, jstr("mine2"), listener, Manager::CHROME);
    Manager::registerArea(20, 0, 29, 9, jstr("theirs"), other, Manager::CHROME);

    EXPECT_TRUE(Manager::pointerPressed(1, 1));
    Manager::unregisterAllAreas(listener);
    EXPECT_FALSE(Manager::pointerDragged(2, 2));
    EXPECT_FALSE(Manager::pointerReleased(2, 2));
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 1);

    EXPECT_TRUE(Manager::pointerPressed(21, 1));
    Manager::unregisterArea(jstr("theirs"));
    EXPECT_FALSE(Manager::pointerReleased(21, 1));
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 0);
    EXPECT_EQ(log.take(), (Log{"mine1 pressed 1,1 -1,-1 inside"}));
    EXPECT_EQ(otherLog.take(), (Log{"theirs pressed 1,1 -1,-1 inside"}));

    // Removing what is not there changes nothing.
    Manager::unregisterArea(nullptr);
    Manager::unregisterArea(jstr("absent"));
    Manager::unregisterAllAreas(listener);
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 0);
}

TEST_F(TouchScreenAreaManagerTest, AListenerMayUnregisterItselfOrDestroyTheRegistryWhileItRuns) {
    struct Owner {
        JavaPtr<TouchScreenAreaListener> listener;
        std::vector<std::string> heard;
        bool destroyOnRelease = false;
    };
    Owner owner;
    owner.listener = jnew<TouchScreenAreaListener>(
        [](void* context, const JavaPtr<java::lang::String>& code, int type, int, int, int, int, bool) {
            Owner* self = static_cast<Owner*>(context);
            self->heard.push_back(narrow(code) + std::to_string(type));
            if (type == TouchScreenAreaListener::PRESSED) {
                // The only reference to the listener goes while it runs.
                Manager::unregisterAllAreas(self->listener);
                Manager::registerArea(0, 0, 9, 9, jstr("again"), self->listener, Manager::CHROME);
                self->listener = nullptr;
            } else if (self->destroyOnRelease) {
                Manager::destroy();
            }
        },
        &owner);
    Manager::registerArea(0, 0, 9, 9, jstr("first"), owner.listener, Manager::CHROME);
    EXPECT_TRUE(Manager::pointerPressed(1, 1));
    // The press lost its code and its listener while the listener ran: nothing more is routed.
    EXPECT_FALSE(Manager::pointerDragged(2, 2));
    EXPECT_FALSE(Manager::pointerReleased(2, 2));
    owner.destroyOnRelease = true;
    EXPECT_TRUE(Manager::pointerPressed(1, 1));
    EXPECT_TRUE(Manager::pointerReleased(1, 1));
    EXPECT_EQ(owner.heard, (Log{"first0", "again0", "again1"}));
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 0);
}

TEST_F(TouchScreenAreaManagerTest, BaseCodesAreFreshAndSkipRegisteredFamilies) {
    EXPECT_EQ(narrow(Manager::getUniqueBaseCode(jstr("DCC"))), "DCC0_");
    EXPECT_EQ(narrow(Manager::getUniqueBaseCode(jstr("DCC"))), "DCC1_");
    Manager::registerArea(0, 0, 1, 1, jstr("Gauge2_left"), listener, Manager::FORM_ITEMS);
    EXPECT_EQ(narrow(Manager::getUniqueBaseCode(jstr("Gauge"))), "Gauge3_");
    // The counter is shared by every prefix and moves on after each call.
    EXPECT_EQ(narrow(Manager::getUniqueBaseCode(jstr("DCC"))), "DCC4_");
}

TEST_F(TouchScreenAreaManagerTest, DestroyEmptiesTheRegistryAndRestartsTheCounter) {
    Manager::registerArea(0, 0, 9, 9, jstr("a"), listener, Manager::CHROME);
    Manager::setAreaGroup(Manager::FORM_ITEMS);
    EXPECT_EQ(narrow(Manager::getUniqueBaseCode(jstr("X"))), "X0_");
    Manager::destroy();
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 0);
    Manager::registerArea(0, 0, 9, 9, jstr("a"), listener, Manager::CHROME);
    // A fresh registry starts in group 0 with its counter at 0.
    EXPECT_EQ(Manager::areaIndexForPoint(1, 1), 0);
    EXPECT_EQ(narrow(Manager::getUniqueBaseCode(jstr("X"))), "X0_");
}

}  // namespace
