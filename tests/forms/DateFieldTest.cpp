#include "forms/DateField.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Font.h"
#include "library/Date.h"
#include "runtime/IllegalArgumentException.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Canvas.h"
#include "shell/Command.h"
#include "shell/KeypressIDs.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"
#include "tests/support/Throws.h"

using formstest::FakeForm;
using formstest::layOut;
using java::util::Date;
using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::DateField;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::TouchScreenAreaManager;
using testsupport::jstr;
using testsupport::narrow;
using testsupport::throws;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::DateField);

namespace {

// 9 December 2026 (a Wednesday), GMT.
constexpr long long kDec9At150705 = 1796828825000LL;
constexpr long long kDec9Midnight = 1796774400000LL;
constexpr long long kDec9Noon = 1796817600000LL;
constexpr long long kJan31At10 = 1769853600000LL;

std::vector<std::string> linesOf(DateField& field) {
    std::vector<std::string> out;
    auto lines = field.lines();
    for (int i = 0; i < lines->length; ++i) out.push_back(narrow(lines->data[i]));
    return out;
}

int fireKey() {
    return expectedKeypressID(5);
}

class DateFieldTest : public formstest::FormsFixture {
protected:
    JavaPtr<DateField> fieldInForm(int mode) {
        JavaPtr<DateField> field = jnew<DateField>(nullptr, mode);
        field->addToForm(form.get());
        return field;
    }
    JavaPtr<FakeForm> form = jnew<FakeForm>(200);
};

TEST_F(DateFieldTest, LinesShowTheValueOrTheBuiltInWords) {
    struct Case {
        const char* name;
        int mode;
        long long ms;  // -1: no date
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"no date, both", DateField::DATE_TIME, -1, {"Date", "Time"}},
        {"no date, time only", DateField::TIME, -1, {"Time"}},
        {"afternoon", DateField::DATE_TIME, kDec9At150705, {"Wed Dec 09 2026", "03:07:05 PM"}},
        {"midnight", DateField::TIME, kDec9Midnight, {"12:00:00 AM"}},
        {"noon", DateField::TIME, kDec9Noon, {"12:00:00 PM"}},
        {"date only", DateField::DATE, kJan31At10, {"Sat Jan 31 2026"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<DateField> field = jnew<DateField>(jstr("when"), c.mode);
        if (c.ms >= 0) field->setDate(jnew<Date>(c.ms));
        EXPECT_EQ(linesOf(*field), c.lines);
        const int fh = Font::getFont(0, 0, 8)->getHeight();
        EXPECT_EQ(field->getMinContentHeight(), static_cast<int>(c.lines.size()) * (fh + 3) + 3);
    }
    EXPECT_EQ(narrow(DateField::m_timeToString(0, 5, 9, true)), "12:05:09 AM");
    EXPECT_EQ(narrow(DateField::m_timeToString(15, 30, 0, false)), "03:30:00 PM");
}

TEST_F(DateFieldTest, BadModesThrowAndKeepTheOldMode) {
    EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([] { jnew<DateField>(nullptr, 0); }));
    JavaPtr<DateField> field = jnew<DateField>(nullptr, DateField::DATE);
    for (int mode : {0, 4, -1}) {
        SCOPED_TRACE(mode);
        EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([&] { field->setInputMode(mode); }));
        EXPECT_EQ(field->getInputMode(), DateField::DATE);
        EXPECT_EQ(linesOf(*field), std::vector<std::string>{"Date"});
    }
    field->setInputMode(DateField::DATE_TIME);
    EXPECT_EQ(linesOf(*field), (std::vector<std::string>{"Date", "Time"}));
}

TEST_F(DateFieldTest, FocusWalksTheLinesThenLeaves) {
    JavaPtr<DateField> field = fieldInForm(DateField::DATE_TIME);
    JavaPtr<JArray<int>> visRect = jnew<JArray<int>>(4);
    const int fh = Font::getFont(0, 0, 8)->getHeight();
    EXPECT_TRUE(field->traverse(Canvas::UP, 100, 100, visRect));
    EXPECT_EQ(field->highlightedLine(), 1);
    EXPECT_EQ(visRect->data[1], fh + 3 + 3);
    EXPECT_EQ(visRect->data[3], fh + 3);
    EXPECT_TRUE(field->traverse(Canvas::UP, 100, 100, visRect));
    EXPECT_EQ(field->highlightedLine(), 0);
    EXPECT_FALSE(field->traverse(Canvas::UP, 100, 100, visRect));
    EXPECT_EQ(field->highlightedLine(), -1);
    EXPECT_TRUE(field->traverse(Canvas::DOWN, 100, 100, visRect));
    EXPECT_EQ(field->highlightedLine(), 0);
    field->traverseOut();
    EXPECT_EQ(field->highlightedLine(), -1);
    EXPECT_GE(form->repaintRequests, 5);
}

TEST_F(DateFieldTest, FireOpensTheViewOfTheHighlightedLine) {
    struct Case {
        const char* name;
        int mode;
        int traverseDir;  // -1: no focus
        int view;
    };
    const Case cases[] = {
        {"date mode", DateField::DATE, -1, 1},
        {"time mode", DateField::TIME, -1, 2},
        {"both, nothing highlighted", DateField::DATE_TIME, -1, 2},
        {"both, date line", DateField::DATE_TIME, Canvas::DOWN, 1},
        {"both, time line", DateField::DATE_TIME, Canvas::UP, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<DateField> field = fieldInForm(c.mode);
        if (c.traverseDir >= 0) field->traverse(c.traverseDir, 100, 100, jnew<JArray<int>>(4));
        field->keyReleased(fireKey());
        EXPECT_EQ(field->view(), c.view);
        // FIRE does nothing more while a view is open.
        field->keyReleased(fireKey());
        EXPECT_EQ(field->view(), c.view);
    }
}

TEST_F(DateFieldTest, ATapOnALineOpensItsView) {
    struct Case {
        const char* name;
        int mode;
        int line;
        int view;
    };
    const int fh = Font::getFont(0, 0, 8)->getHeight();
    for (const Case& c : {Case{"time mode, only line", DateField::TIME, 0, 2},
                          Case{"both, date line", DateField::DATE_TIME, 0, 1},
                          Case{"both, time line", DateField::DATE_TIME, 1, 2}}) {
        SCOPED_TRACE(c.name);
        JavaPtr<DateField> field = fieldInForm(c.mode);
        layOut(*field, 0, 0, 206, field->getMinContentHeight() + 6);
        formstest::PaintTarget target;
        field->paint(target.graphics, 200, field->getMinContentHeight());
        const int y = 3 + 3 + c.line * (fh + 3) + 2;
        TouchScreenAreaManager::setAreaGroup(TouchScreenAreaManager::FORM_ITEMS);
        TouchScreenAreaManager::pointerPressed(20, y);
        EXPECT_EQ(field->view(), 0);
        TouchScreenAreaManager::pointerReleased(20, y);
        EXPECT_EQ(field->view(), c.view);
        EXPECT_EQ(TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::FORM_ITEMS), 0);
    }
}

TEST_F(DateFieldTest, CancelKeepsTheDateAndSaveMakesANewOneOnce) {
    JavaPtr<DateField> field = fieldInForm(DateField::DATE_TIME);
    JavaPtr<Date> original = jnew<Date>(kDec9At150705);
    field->setDate(original);

    field->keyReleased(fireKey());  // the clock
    ASSERT_EQ(field->view(), 2);
    field->m_clockValues->data[0] = 9;
    JavaPtr<javax::microedition::lcdui::Command> firstCancel = field->cancelCommand();
    field->command(firstCancel);
    EXPECT_EQ(field->view(), 0);
    EXPECT_EQ(field->getDate().get(), original.get());
    EXPECT_TRUE(form->changedItems.empty());

    field->keyReleased(fireKey());
    EXPECT_EQ(field->m_clockValues->data[0], 3);  // read afresh: the cancelled edit left no trace
    field->m_clockValues->data[0] = 9;
    field->m_clockValues->data[3] = 0;
    // A command of an earlier opening matches nothing.
    field->command(firstCancel);
    EXPECT_EQ(field->view(), 2);
    field->command(field->saveCommand());
    EXPECT_NE(field->getDate().get(), original.get());
    EXPECT_EQ(field->getDate()->getTime(), kDec9At150705 - 6 * 3600 * 1000LL);
    EXPECT_EQ(linesOf(*field), (std::vector<std::string>{"Wed Dec 09 2026", "09:07:05 AM"}));
    EXPECT_EQ(form->changedItems, std::vector<Item*>{field.get()});
}

TEST_F(DateFieldTest, SavedCalendarDayStaysInTheMonthShown) {
    struct Case {
        const char* name;
        int day, month, year;
        const char* saved;
    };
    const Case cases[] = {
        {"a day picked", 5, 1, 2026, "Thu Feb 05 2026"},
        {"31 January moved to February", 31, 1, 2026, "Sat Feb 28 2026"},
        {"focus on a header row keeps the day", -1, 3, 2026, "Thu Apr 30 2026"},
        {"leap February", 31, 1, 2028, "Tue Feb 29 2028"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<DateField> field = fieldInForm(DateField::DATE);
        field->setDate(jnew<Date>(kJan31At10));
        field->keyReleased(fireKey());
        ASSERT_EQ(field->view(), 1);
        EXPECT_EQ(field->m_calendarDay, 31);
        EXPECT_EQ(field->m_calendarMonth, 0);
        EXPECT_EQ(field->m_calendarYear, 2026);
        field->m_calendarDay = c.day;
        field->m_calendarMonth = c.month;
        field->m_calendarYear = c.year;
        field->command(field->saveCommand());
        EXPECT_EQ(linesOf(*field), std::vector<std::string>{c.saved});
    }
}

}  // namespace
