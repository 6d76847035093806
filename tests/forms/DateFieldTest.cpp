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
#include "tests/support/SteppedClock.h"
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

namespace {

constexpr long long kFeb15of2028 = 1834185600000LL;
constexpr long long kDay = 86400000LL;

class DateFieldViewTest : public DateFieldTest {
protected:
    // A date field in a form with its calendar open on the date.
    JavaPtr<DateField> calendarOn(long long ms) {
        JavaPtr<DateField> field = fieldInForm(DateField::DATE);
        field->setDate(jnew<Date>(ms));
        field->keyReleased(fireKey());
        EXPECT_EQ(field->view(), 1);
        return field;
    }
    static void key(DateField& field, int dir) {
        EXPECT_TRUE(field.traverse(dir, 100, 100, jnew<JArray<int>>(4)));
    }
    static void touch(DateField& field, const char* suffix, int type, int x = 0, int y = 0,
                      bool inside = true) {
        field.touchscreenAreaEvent(field.baseCode()->concat(jstr(suffix)), type, x, y, 0, 0, inside);
    }
};

TEST_F(DateFieldViewTest, CalendarKeysWalkTheGridAndTheHeaderRows) {
    JavaPtr<DateField> field = calendarOn(kFeb15of2028);
    EXPECT_EQ(field->firstWeekday(), 3);  // Tuesday
    key(*field, Canvas::DOWN);
    key(*field, Canvas::DOWN);
    EXPECT_EQ(field->m_calendarDay, 29);
    key(*field, Canvas::RIGHT);  // no 30 February
    EXPECT_EQ(field->m_calendarDay, 29);
    field->m_calendarDay = 3;
    key(*field, Canvas::UP);
    EXPECT_EQ(field->m_calendarDay, -1);
    EXPECT_EQ(field->m_calendarHeaderRow, 1);
    key(*field, Canvas::DOWN);
    EXPECT_EQ(field->m_calendarDay, 1);
    EXPECT_EQ(field->m_calendarMonth, 1);
}

TEST_F(DateFieldViewTest, HeaderRowsStopAt1970AndRollOverTheYear) {
    struct Case {
        const char* name;
        long long ms;
        int row, dir;
        int month, year;
    };
    const Case cases[] = {
        {"year row at 1970, back", 10 * kDay, 0, Canvas::LEFT, 0, 1970},
        {"January 1970, back", 10 * kDay, 1, Canvas::LEFT, 0, 1970},
        {"December 2026, on", kDec9Noon, 1, Canvas::RIGHT, 0, 2027},
        {"January 2026, back", kJan31At10, 1, Canvas::LEFT, 11, 2025},
        {"year row, on", kDec9Noon, 0, Canvas::RIGHT, 11, 2027},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<DateField> field = calendarOn(c.ms);
        field->m_calendarDay = -1;
        field->m_calendarHeaderRow = c.row;
        key(*field, c.dir);
        EXPECT_EQ(field->m_calendarMonth, c.month);
        EXPECT_EQ(field->m_calendarYear, c.year);
        EXPECT_EQ(field->m_calendarDay, -1);
    }
}

TEST_F(DateFieldViewTest, GridTouchesPickTheDayUnderTheFinger) {
    // February 2026 starts on a Sunday, August 2026 on a Saturday.
    JavaPtr<DateField> field = calendarOn(kJan31At10 + 10 * kDay);
    EXPECT_EQ(field->firstWeekday(), 1);
    touch(*field, "calendar", 0, 0, 0);
    EXPECT_EQ(field->m_calendarDay, 1);
    field->m_calendarMonth = 7;
    field->m_calendarDay = 10;
    touch(*field, "monthinc", 0);
    touch(*field, "monthdec", 0);
    EXPECT_EQ(field->firstWeekday(), 7);
    touch(*field, "calendar", 0, 0, 0);
    EXPECT_EQ(field->m_calendarDay, 10);
}

TEST_F(DateFieldViewTest, AMonthChangeKeepsTheDayInsideTheMonth) {
    JavaPtr<DateField> field = calendarOn(kJan31At10);
    touch(*field, "monthinc", 0);
    EXPECT_EQ(field->m_calendarMonth, 1);
    EXPECT_EQ(field->m_calendarDay, 28);
    field->command(field->saveCommand());
    EXPECT_EQ(linesOf(*field), std::vector<std::string>{"Sat Feb 28 2026"});
}

TEST_F(DateFieldViewTest, SaveFromAHeaderRowKeepsTheDayLastSelected) {
    JavaPtr<DateField> field = calendarOn(kJan31At10);
    for (int i = 0; i < 28; ++i) key(*field, Canvas::LEFT);
    ASSERT_EQ(field->m_calendarDay, 3);
    key(*field, Canvas::UP);  // the month row
    ASSERT_EQ(field->m_calendarDay, -1);
    key(*field, Canvas::RIGHT);  // February
    key(*field, Canvas::UP);     // the year row
    key(*field, Canvas::RIGHT);  // 2027
    field->command(field->saveCommand());
    EXPECT_EQ(linesOf(*field), std::vector<std::string>{"Wed Feb 03 2027"});
}

TEST_F(DateFieldViewTest, ViewsOfAFieldWithoutAValueOpenOnTheDeviceClock) {
    testsupport::SteppedClock clock(kDec9At150705);
    JavaPtr<DateField> field = fieldInForm(DateField::DATE_TIME);
    field->keyReleased(fireKey());  // no line highlighted: the clock
    ASSERT_EQ(field->view(), 2);
    EXPECT_EQ((std::vector<int>(field->m_clockValues->data, field->m_clockValues->data + 4)),
              (std::vector<int>{3, 7, 5, 1}));
    field->command(field->saveCommand());
    EXPECT_EQ(field->getDate()->getTime(), kDec9At150705);
    field->setDate(nullptr);
    field->traverse(Canvas::DOWN, 100, 100, jnew<JArray<int>>(4));  // line 0, the date
    field->keyReleased(fireKey());
    ASSERT_EQ(field->view(), 1);
    EXPECT_EQ(field->m_calendarDay, 9);
    EXPECT_EQ(field->m_calendarMonth, 11);
    EXPECT_EQ(field->m_calendarYear, 2026);
}

TEST_F(DateFieldViewTest, ClockFieldsWrapWithoutCarry) {
    JavaPtr<DateField> field = fieldInForm(DateField::TIME);
    field->setDate(jnew<Date>(kDec9Midnight + kDay - 1000));  // 11:59:59 PM
    field->keyReleased(fireKey());
    ASSERT_EQ(field->view(), 2);
    key(*field, Canvas::RIGHT);
    key(*field, Canvas::RIGHT);
    key(*field, Canvas::DOWN);
    EXPECT_EQ(field->m_clockField, 2);
    auto values = [&] {
        return std::vector<int>(field->m_clockValues->data, field->m_clockValues->data + 4);
    };
    EXPECT_EQ(values(), (std::vector<int>{11, 59, 0, 1}));
    key(*field, Canvas::RIGHT);
    key(*field, Canvas::DOWN);
    EXPECT_EQ(values(), (std::vector<int>{11, 59, 0, 0}));
    key(*field, Canvas::RIGHT);  // AM/PM to the hour
    EXPECT_EQ(field->m_clockField, 0);
    key(*field, Canvas::LEFT);
    EXPECT_EQ(field->m_clockField, 3);
    key(*field, Canvas::LEFT);
    key(*field, Canvas::LEFT);
    key(*field, Canvas::LEFT);
    key(*field, Canvas::UP);  // hour 11 shows as 11, 0 as 12: 11 - 1 = 10
    EXPECT_EQ(values(), (std::vector<int>{10, 59, 0, 0}));
    field->command(field->saveCommand());
    EXPECT_EQ(linesOf(*field), std::vector<std::string>{"10:59:00 AM"});
}

TEST_F(DateFieldViewTest, ClockTouchesFocusOnlyThisFieldsAreas) {
    JavaPtr<DateField> field = fieldInForm(DateField::TIME);
    JavaPtr<DateField> other = fieldInForm(DateField::TIME);
    field->keyReleased(fireKey());
    touch(*field, "clockfield2", 1);
    EXPECT_EQ(field->m_clockField, 2);
    touch(*field, "clockfield1", 1, 0, 0, false);  // released outside
    EXPECT_EQ(field->m_clockField, 2);
    field->touchscreenAreaEvent(other->baseCode()->concat(jstr("clockfield0")), 1, 0, 0, 0, 0, true);
    EXPECT_EQ(field->m_clockField, 2);
    touch(*field, "timefieldnext", 1);
    EXPECT_EQ(field->m_clockField, 3);
    const int ampm = field->m_clockValues->data[3];
    touch(*field, "timefieldinc", 0);
    EXPECT_EQ(field->m_clockValues->data[3], 1 - ampm);
    touch(*field, "timefieldprev", 1);
    touch(*field, "timefieldprev", 1);
    touch(*field, "timefieldprev", 1);
    touch(*field, "timefieldprev", 1);
    EXPECT_EQ(field->m_clockField, 3);
}

}  // namespace

namespace {

class DateFieldPaintTest : public DateFieldViewTest {};

TEST_F(DateFieldPaintTest, CalendarCellsAnswerTouchesWhereTheyArePainted) {
    JavaPtr<DateField> field = calendarOn(kFeb15of2028);
    JavaPtr<Font> font = Font::getFont(0, 0, 8);
    const int fh = font->getHeight();
    const int cw = font->stringWidth(jstr("88")) + 3;
    const int ch = fh + 3;
    const int left = (formstest::kScreenWidth - 7 * cw) / 2;
    const int top = (formstest::kScreenHeight - (7 * ch + 6 + 2 * fh)) / 2;
    const int gy = top + 2 * (fh + 3);
    formstest::PaintTarget target;
    field->paint(target.graphics, 200, 20);
    // Day 15 of February 2028 sits in row 3, column 2 (a Tuesday) and is highlighted.
    EXPECT_EQ(target.pixel(left + 2 * cw + 1, gy + 3 * ch + 1), formstest::kHighlightedBackground);
    EXPECT_NE(target.pixel(left + 3 * cw + 1, gy + 3 * ch + 1), formstest::kHighlightedBackground);
    TouchScreenAreaManager::setAreaGroup(TouchScreenAreaManager::ITEM_OVERLAYS);
    struct Case {
        int row, col, day;
    };
    for (const Case& c : {Case{1, 2, 1}, Case{5, 2, 29}, Case{1, 0, 29}, Case{5, 3, 29}, Case{2, 6, 12}}) {
        SCOPED_TRACE(c.day);
        TouchScreenAreaManager::pointerPressed(left + c.col * cw + cw / 2, gy + c.row * ch + ch / 2);
        TouchScreenAreaManager::pointerReleased(left + c.col * cw + cw / 2, gy + c.row * ch + ch / 2);
        EXPECT_EQ(field->m_calendarDay, c.day);
    }
}

TEST_F(DateFieldPaintTest, ATapOnAClockFieldFocusesIt) {
    JavaPtr<DateField> field = fieldInForm(DateField::TIME);
    field->setDate(jnew<Date>(kDec9At150705));
    field->keyReleased(fireKey());
    JavaPtr<Font> font = Font::getFont(0, 0, 8);
    const int fh = font->getHeight();
    const int bw = font->stringWidth(jstr("88:88:88 AM")) + 22;
    const int bh = fh + 16;
    const int tx = (formstest::kScreenWidth - bw) / 2 + bw / 2 - font->stringWidth(jstr("03:07:05 PM")) / 2;
    const int ty = (formstest::kScreenHeight - bh) / 2 + bh / 2 - fh / 2;
    formstest::PaintTarget target;
    field->paint(target.graphics, 200, 20);
    TouchScreenAreaManager::setAreaGroup(TouchScreenAreaManager::ITEM_OVERLAYS);
    const int minuteX = tx + font->stringWidth(jstr("03:")) + 1;
    TouchScreenAreaManager::pointerPressed(minuteX, ty + fh / 2);
    TouchScreenAreaManager::pointerReleased(minuteX, ty + fh / 2);
    EXPECT_EQ(field->m_clockField, 1);
}

}  // namespace
