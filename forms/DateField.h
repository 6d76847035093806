// javax.microedition.lcdui.DateField: a date, a time of day or both, shown on the form as one or two
// lines of text. FIRE or a tap on a line opens a full-screen view over the form (a month calendar or a
// clock) that edits a copy of the value; "Save" writes it back as a new Date, "Cancel" drops it.
#pragma once

#include <cstdint>

#include "forms/Item.h"

namespace java::util {
class Calendar;
class Date;
class TimeZone;
}  // namespace java::util

namespace javax::microedition::lcdui {

class DateField : public Item {
    TESL_CLASS(DateField, "javax.microedition.lcdui.DateField", Item)
public:
    static constexpr int DATE = 1;
    static constexpr int TIME = 2;
    static constexpr int DATE_TIME = 3;

    // The clock view's fields: hour, minute, second, AM/PM; each wraps modulo its limit.
    static constexpr int CLOCK_FIELD_LIMITS[4] = {12, 60, 60, 2};
    static constexpr int CLOCK_FIELD_CHAR_POS[4] = {0, 3, 6, 9};

    DateField() noexcept {}
    ~DateField() override;

    DateField* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label, int mode);
    DateField* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label, int mode,
                                     const JavaPtr<java::util::TimeZone>& timeZone);

    bool requiresOwnRow() override;
    void command(const JavaPtr<Command>& cmd) override;
    int getMinContentHeight() override;
    int getMinContentWidth() override;
    int getPrefContentWidth(int height) override;
    int getPrefContentHeight(int width) override;
    using Item::paint;
    void paint(const JavaPtr<Graphics>& g, int w, int h) override;
    void sizeChanged(int w, int h) override;
    void keyPressed(int keyCode) override;
    void keyReleased(int keyCode) override;
    void keyRepeated(int keyCode) override;
    bool traverse(int dir, int viewportWidth, int viewportHeight,
                  const JavaPtr<JArray<int>>& visRect) override;
    void traverseOut() override;
    void rebuildTouchscreenAreas() override;
    // An open view closes unsaved: the form canvas must not keep showing the view of a field it lost.
    void removeFromForm() override;
    void touchscreenAreaEvent(const JavaPtr<java::lang::String>& code, int eventType, int relX, int relY,
                              int dx, int dy, bool inside) override;

    // The Date object itself, not a copy; null when the field has no value.
    virtual JavaPtr<java::util::Date> getDate();
    virtual int getInputMode();
    virtual void setDate(const JavaPtr<java::util::Date>& date);
    virtual void setInputMode(int mode);

    // The 12-hour clock text, "hh:mm:ss AM".
    static JavaPtr<java::lang::String> m_timeToString(int hour, int minute, int second, bool am);

    // The open view (0 none, 1 calendar, 2 clock) and what it edits, read by the views and the tests.
    int view() const { return m_view; }
    int highlightedLine() const { return m_highlightedLine; }
    JavaPtr<JArray<JavaPtr<java::lang::String>>> lines() const { return m_lines; }
    JavaPtr<Command> saveCommand() const { return m_saveCommand; }
    JavaPtr<Command> cancelCommand() const { return m_cancelCommand; }
    // The prefix of this field's touch-area codes.
    JavaPtr<java::lang::String> baseCode() const { return m_baseCode; }
    int firstWeekday() const { return m_firstWeekday; }

    int32_t m_calendarDay = 0;
    int32_t m_calendarMonth = 0;
    int32_t m_calendarYear = 0;
    int32_t m_calendarHeaderRow = 0;
    // The day selected before the focus went up to the header rows; "Save" from there keeps it.
    int32_t m_lastCalendarDay = 1;
    JavaPtr<JArray<int>> m_clockValues;
    int32_t m_clockField = 0;

private:
    void m_init(const JavaPtr<java::lang::String>& label, int mode,
                const JavaPtr<java::util::TimeZone>& timeZone);
    void m_setModeInternal(int mode);
    void m_updateFormItemStrings();
    // The highlighted line, as the rectangle traverse asks the form to keep in view.
    void m_setVisibleLine(const JavaPtr<JArray<int>>& visRect);
    // A calendar in the field's zone, at the value, or at the current time for a null value.
    JavaPtr<java::util::Calendar> m_calendarAtValue();
    void m_initCalendarView();
    void m_initClockView();
    void m_closeCalendarView(bool save);
    void m_closeClockView(bool save);
    void m_setFormOverlay(bool on);
    void m_dropAreas();
    void m_yearOrMonthChanged(int month, int year);
    void m_clockEnsureBounds();
    void m_paintCalendar(const JavaPtr<Graphics>& g, int w, int h);
    void m_paintClock(const JavaPtr<Graphics>& g, int w, int h);
    // The size of the form the views centre on (the screen without a form), and the title's height.
    void m_viewArea(int* width, int* height, int* titleHeight);
    void m_registerOverlayArea(int x1, int y1, int x2, int y2, const JavaPtr<java::lang::String>& code);
    void m_calendarTraverse(int dir);
    void m_clockTraverse(int dir);
    void m_calendarTouch(const JavaPtr<java::lang::String>& code, int eventType, int x, int y);
    void m_clockTouch(const JavaPtr<java::lang::String>& code, int eventType, bool inside);
    // One month back or on, never before January 1970; false when nothing moved.
    bool m_stepMonth(int delta);

    int32_t m_mode = 0;
    JavaPtr<java::util::TimeZone> m_timeZone;
    JavaPtr<java::util::Date> m_date;
    int32_t m_view = 0;
    JavaPtr<java::lang::String> m_dateString;
    JavaPtr<java::lang::String> m_timeString;
    JavaPtr<Font> m_font;
    int32_t m_highlightedLine = -1;
    int32_t m_numLines = 0;
    JavaPtr<JArray<JavaPtr<java::lang::String>>> m_lines;
    JavaPtr<Font> m_calendarFont;
    int32_t m_firstWeekday = 0;
    int32_t m_cellWidth = 0;
    int32_t m_cellHeight = 0;
    int32_t m_monthNameWidth = 0;
    int32_t m_yearWidth = 0;
    JavaPtr<Font> m_clockFont;
    JavaPtr<Command> m_saveCommand;
    JavaPtr<Command> m_cancelCommand;
    bool m_hasFocus = false;
    bool m_painting = false;
    bool m_areasRegistered = false;
    JavaPtr<java::lang::String> m_baseCode;
    JavaPtr<java::lang::String> m_codeDate;
    JavaPtr<java::lang::String> m_codeTime;
    JavaPtr<java::lang::String> m_codeMonthInc;
    JavaPtr<java::lang::String> m_codeMonthDec;
    JavaPtr<java::lang::String> m_codeYearInc;
    JavaPtr<java::lang::String> m_codeYearDec;
    JavaPtr<java::lang::String> m_codeTimeFieldInc;
    JavaPtr<java::lang::String> m_codeTimeFieldDec;
    JavaPtr<java::lang::String> m_codeTimeFieldNext;
    JavaPtr<java::lang::String> m_codeTimeFieldPrev;
    JavaPtr<java::lang::String> m_codeClockField;
    JavaPtr<java::lang::String> m_codeCalendar;
};

}  // namespace javax::microedition::lcdui
