#include "forms/DateField.h"

#include "forms/ItemOwner.h"
#include "forms/LCDUIColours.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "library/Calendar.h"
#include "library/Date.h"
#include "library/DeviceClock.h"
#include "library/LCDUIStrings.h"
#include "library/TimeZone.h"
#include "runtime/IllegalArgumentException.h"
#include "screens/DisplayableCoreCanvas.h"
#include "screens/OnScreenKeyboard.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Canvas.h"
#include "shell/Command.h"
#include "shell/Display.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

using java::lang::String;
using java::util::Calendar;

namespace {

constexpr int kLinePad = 3;
constexpr int kAnchorTopLeft = Graphics::TOP | Graphics::LEFT;
constexpr int kRelease = 1;

JavaPtr<String> text(const char* s) {
    return jnew<String>(s);
}

JavaPtr<String> twoDigits(int value) {
    JavaPtr<String> digits = String::valueOf(value);
    return value < 10 ? text("0")->concat(digits) : digits;
}

int daysInMonth(int month, int year) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == Calendar::FEBRUARY && leap ? 29 : kDays[month];
}

}  // namespace

DateField::~DateField() = default;

DateField* DateField::TESLinvokeconstructor(const JavaPtr<String>& label, int mode) {
    return TESLinvokeconstructor(label, mode, nullptr);
}

DateField* DateField::TESLinvokeconstructor(const JavaPtr<String>& label, int mode,
                                            const JavaPtr<java::util::TimeZone>& timeZone) {
    Item::TESLinvokeconstructor();
    m_init(label, mode, timeZone);
    return this;
}

void DateField::m_init(const JavaPtr<String>& label, int mode,
                       const JavaPtr<java::util::TimeZone>& timeZone) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_setModeInternal(mode);
    JavaPtr<java::util::TimeZone> zone = timeZone ? timeZone : java::util::TimeZone::getDefault();
    setLabel(label);
    m_timeZone = zone;
    m_view = 0;
    m_font = Font::getFont(Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_SMALL);
    m_calendarFont = m_font;
    m_clockFont = m_font;
    m_hasFocus = false;
    m_painting = false;
    m_highlightedLine = -1;
    setDate(nullptr);
    m_cellWidth = m_calendarFont->stringWidth(text("88")) + 3;
    m_cellHeight = m_calendarFont->getHeight() + 3;
    m_yearWidth = m_calendarFont->stringWidth(text("1888"));
    m_monthNameWidth = 0;
    for (int i = 0; i < 12; ++i) {
        const int width = m_calendarFont->stringWidth(LCDUI_stringsGet(_LCDUI_STRINGS_MONTH_JANUARY + i));
        if (width > m_monthNameWidth) m_monthNameWidth = width;
    }
    m_areasRegistered = false;
    m_baseCode = TouchScreenAreaManager::getUniqueBaseCode(text("DateField"));
    m_codeDate = m_baseCode->concat(text("date"));
    m_codeTime = m_baseCode->concat(text("time"));
    m_codeMonthInc = m_baseCode->concat(text("monthinc"));
    m_codeMonthDec = m_baseCode->concat(text("monthdec"));
    m_codeYearInc = m_baseCode->concat(text("yearinc"));
    m_codeYearDec = m_baseCode->concat(text("yeardec"));
    m_codeTimeFieldInc = m_baseCode->concat(text("timefieldinc"));
    m_codeTimeFieldDec = m_baseCode->concat(text("timefielddec"));
    m_codeTimeFieldNext = m_baseCode->concat(text("timefieldnext"));
    m_codeTimeFieldPrev = m_baseCode->concat(text("timefieldprev"));
    // Prefixed like the other codes, so that one field's clock areas never match another field's.
    m_codeClockField = m_baseCode->concat(text("clockfield"));
    m_codeCalendar = m_baseCode->concat(text("calendar"));
}

void DateField::m_setModeInternal(int mode) {
    if (mode < DATE || mode > DATE_TIME) throw java::lang::IllegalArgumentException();
    m_mode = mode;
    m_updateFormItemStrings();
}

JavaPtr<java::util::Date> DateField::getDate() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_date;
}

int DateField::getInputMode() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_mode;
}

JavaPtr<Calendar> DateField::m_calendarAtValue() {
    // The zone given at construction; the runtime knows GMT only today, so this matches the default.
    JavaPtr<Calendar> calendar =
        Calendar::getInstance(m_timeZone ? m_timeZone : java::util::TimeZone::getDefault());
    // "Now" comes from the device clock, which tests and the headless host can step.
    if (m_date) {
        calendar->setTime(m_date);
    } else {
        calendar->setTimeInMillis(java::lang::DeviceClock::currentTimeMillis());
    }
    return calendar;
}

void DateField::setDate(const JavaPtr<java::util::Date>& date) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_date = date;
    if (date) {
        JavaPtr<Calendar> calendar = m_calendarAtValue();
        JavaPtr<String> space = text(" ");
        m_dateString =
            LCDUI_stringsGet(_LCDUI_STRINGS_WEEK_SUNDAY_ABR - 1 + calendar->get(Calendar::DAY_OF_WEEK))
                ->concat(space)
                ->concat(LCDUI_stringsGet(_LCDUI_STRINGS_MONTH_JANUARY_ABR + calendar->get(Calendar::MONTH)))
                ->concat(space)
                ->concat(twoDigits(calendar->get(Calendar::DAY_OF_MONTH)))
                ->concat(space)
                ->concat(String::valueOf(calendar->get(Calendar::YEAR)));
        const int hour = calendar->get(Calendar::HOUR_OF_DAY);
        m_timeString =
            m_timeToString(hour, calendar->get(Calendar::MINUTE), calendar->get(Calendar::SECOND), hour < 12);
    }
    m_updateFormItemStrings();
}

void DateField::setInputMode(int mode) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_setModeInternal(mode);
}

JavaPtr<String> DateField::m_timeToString(int hour, int minute, int second, bool am) {
    const int shown = hour % 12 == 0 ? 12 : hour % 12;
    JavaPtr<String> colon = text(":");
    return twoDigits(shown)
        ->concat(colon)
        ->concat(twoDigits(minute))
        ->concat(colon)
        ->concat(twoDigits(second))
        ->concat(text(am ? " AM" : " PM"));
}

void DateField::m_updateFormItemStrings() {
    JavaPtr<String> dateText = m_date ? m_dateString : LCDUI_stringsGet(_LCDUI_STRINGS_DATE);
    JavaPtr<String> timeText = m_date ? m_timeString : LCDUI_stringsGet(_LCDUI_STRINGS_TIME);
    m_numLines = m_mode == DATE_TIME ? 2 : 1;
    m_lines = jnew<JArray<JavaPtr<String>>>(m_numLines);
    int next = 0;
    if (m_mode != TIME) m_lines->data[next++] = dateText;
    if (m_mode != DATE) m_lines->data[next++] = timeText;
}

bool DateField::requiresOwnRow() {
    return true;
}

int DateField::getMinContentWidth() {
    return Display::screenWidth;
}

int DateField::getPrefContentWidth(int) {
    return getMinContentWidth();
}

int DateField::getMinContentHeight() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_numLines * (m_font->getHeight() + kLinePad) + kLinePad;
}

int DateField::getPrefContentHeight(int) {
    return getMinContentHeight();
}

void DateField::sizeChanged(int, int) {}

void DateField::keyPressed(int) {}

void DateField::keyRepeated(int) {}

void DateField::paint(const JavaPtr<Graphics>& g, int w, int h) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_painting = true;
    g->setFont(m_font);
    const int fh = m_font->getHeight();
    for (int i = 0; i < m_numLines; ++i) {
        const int y = kLinePad + i * (fh + kLinePad);
        const bool highlighted = i == m_highlightedLine;
        JavaPtr<String> line = m_lines->data[i];
        g->setColor(_LCDUI_COLOR_FOREGROUND);
        int x0 = kLinePad;
        if (!m_date) {
            g->drawString(text("<"), kLinePad, y, kAnchorTopLeft);
            x0 = m_font->stringWidth(text("<")) + kLinePad;
        }
        const int width = m_font->stringWidth(line);
        g->setColor(highlighted ? _LCDUI_COLOR_HIGHLIGHTED_BACKGROUND : _LCDUI_COLOR_BACKGROUND);
        g->fillRect(x0, y, width, fh);
        g->setColor(highlighted ? _LCDUI_COLOR_HIGHLIGHTED_FOREGROUND : _LCDUI_COLOR_FOREGROUND);
        g->drawString(line, x0, y, kAnchorTopLeft);
        if (!m_date) {
            g->setColor(_LCDUI_COLOR_FOREGROUND);
            g->drawString(text(">"), x0 + width, y, kAnchorTopLeft);
        }
        if (!m_areasRegistered) {
            const bool isDateLine = m_mode != TIME && i == 0;
            registerArea(kLinePad, y, m_contentWidth + kLinePad, y + fh + kLinePad,
                         isDateLine ? m_codeDate : m_codeTime);
        }
    }
    if (m_view == 1) {
        m_paintCalendar(g, w, h);
    } else if (m_view == 2) {
        m_paintClock(g, w, h);
    }
    m_areasRegistered = true;
    m_painting = false;
}

bool DateField::traverse(int dir, int, int, const JavaPtr<JArray<int>>& visRect) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_view != 0) {
        if (m_view == 1) {
            m_calendarTraverse(dir);
        } else {
            m_clockTraverse(dir);
        }
        repaint();
        m_hasFocus = true;
        return true;
    }
    const int before = m_highlightedLine;
    // Without a direction, a field that has the focus keeps it on its line: the form traverses the
    // focused item so after every layout, and giving the focus up there would toggle the line.
    if (dir == 0 && m_hasFocus) {
        m_setVisibleLine(visRect);
        repaint();
        return true;
    }
    if (!m_hasFocus) {
        if (dir == 0 || dir == Canvas::RIGHT || dir == Canvas::DOWN) {
            m_highlightedLine = 0;
        } else if (dir == Canvas::UP || dir == Canvas::LEFT) {
            m_highlightedLine = m_numLines - 1;
        }
    } else if (dir == Canvas::DOWN && m_highlightedLine < m_numLines - 1) {
        ++m_highlightedLine;
    } else if (dir == Canvas::UP && m_highlightedLine > 0) {
        --m_highlightedLine;
    }
    m_setVisibleLine(visRect);
    bool keep = true;
    if (m_highlightedLine == before && m_hasFocus) {
        m_hasFocus = false;
        m_highlightedLine = -1;
        keep = false;
    } else {
        m_hasFocus = true;
    }
    repaint();
    return keep;
}

void DateField::m_setVisibleLine(const JavaPtr<JArray<int>>& visRect) {
    const int fh = m_font->getHeight();
    if (visRect && visRect->length >= 4) {
        visRect->data[1] = m_highlightedLine * (fh + kLinePad) + kLinePad;
        visRect->data[3] = fh + kLinePad;
    }
}

void DateField::traverseOut() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_highlightedLine = -1;
    m_hasFocus = false;
    repaint();
}

void DateField::rebuildTouchscreenAreas() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_areasRegistered = false;
}

void DateField::removeFromForm() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_view != 0) {
        m_view = 0;
        // A form being destroyed (only at exit: the overlay's reference keeps a form from being tidied
        // away) takes its canvas and the overlay along; its canvas is not to be laid out any more.
        Displayable* form = m_owner != nullptr ? m_owner->ownerDisplayable() : nullptr;
        if (form != nullptr && form->m_referenceCount.load() > 0) m_setFormOverlay(false);
    }
    m_dropAreas();
    Item::removeFromForm();
}

void DateField::keyReleased(int keyCode) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (getGameAction(keyCode) != Canvas::FIRE || m_view != 0) return;
    if (m_mode == DATE || (m_mode == DATE_TIME && m_highlightedLine == 0)) {
        m_initCalendarView();
    } else {
        m_initClockView();
    }
}

void DateField::touchscreenAreaEvent(const JavaPtr<String>& code, int eventType, int relX, int relY, int, int,
                                     bool inside) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!code) return;
    if (m_view == 1) {
        m_calendarTouch(code, eventType, relX, relY);
        return;
    }
    if (m_view == 2) {
        m_clockTouch(code, eventType, inside);
        return;
    }
    if (eventType != kRelease || !inside) return;
    if (code->equals(m_codeDate)) {
        m_highlightedLine = 0;
        m_initCalendarView();
    } else if (code->equals(m_codeTime)) {
        m_highlightedLine = 1;
        m_initClockView();
    }
}

void DateField::m_dropAreas() {
    unregisterAll();
    m_areasRegistered = false;
}

void DateField::m_initCalendarView() {
    JavaPtr<Calendar> calendar = m_calendarAtValue();
    m_calendarDay = calendar->get(Calendar::DAY_OF_MONTH);
    m_lastCalendarDay = m_calendarDay;
    m_calendarMonth = calendar->get(Calendar::MONTH);
    m_calendarYear = calendar->get(Calendar::YEAR);
    m_calendarHeaderRow = 0;
    m_yearOrMonthChanged(m_calendarMonth, m_calendarYear);
    m_setFormOverlay(true);
    m_view = 1;
    invalidate();
    m_dropAreas();
    OnScreenKeyboard::hide();
}

void DateField::m_initClockView() {
    JavaPtr<Calendar> calendar = m_calendarAtValue();
    m_clockValues = jnew<JArray<int>>(4);
    m_clockValues->data[0] = calendar->get(Calendar::HOUR);
    m_clockValues->data[1] = calendar->get(Calendar::MINUTE);
    m_clockValues->data[2] = calendar->get(Calendar::SECOND);
    m_clockValues->data[3] = calendar->get(Calendar::AM_PM);
    m_clockField = 0;
    m_setFormOverlay(true);
    m_view = 2;
    invalidate();
    m_dropAreas();
    OnScreenKeyboard::hide();
}

void DateField::m_closeCalendarView(bool save) {
    if (save) {
        JavaPtr<Calendar> calendar = m_calendarAtValue();
        // With the focus on the month or year row no day is selected: save the day last selected, and
        // never a day past the end of the month shown, which would roll into the next month.
        const int wanted = m_calendarDay > 0 ? m_calendarDay : m_lastCalendarDay;
        const int lastDay = daysInMonth(m_calendarMonth, m_calendarYear);
        // Day 1 first, so that setting the month never overflows from the old day.
        calendar->set(Calendar::DAY_OF_MONTH, 1);
        calendar->set(Calendar::MONTH, m_calendarMonth);
        calendar->set(Calendar::YEAR, m_calendarYear);
        calendar->set(Calendar::DAY_OF_MONTH, wanted < lastDay ? wanted : lastDay);
        setDate(calendar->getTime());
        if (m_owner != nullptr) notifyStateChanged();
    }
    m_view = 0;
    m_setFormOverlay(false);
}

void DateField::m_closeClockView(bool save) {
    if (save) {
        JavaPtr<Calendar> calendar = m_calendarAtValue();
        calendar->set(Calendar::HOUR_OF_DAY, m_clockValues->data[3] * 12 + m_clockValues->data[0]);
        calendar->set(Calendar::MINUTE, m_clockValues->data[1]);
        calendar->set(Calendar::SECOND, m_clockValues->data[2]);
        setDate(calendar->getTime());
        if (m_owner != nullptr) notifyStateChanged();
    }
    m_view = 0;
    m_setFormOverlay(false);
    invalidate();
}

void DateField::m_setFormOverlay(bool on) {
    // The form canvas shows the view over the form with exactly these two commands; the commands are
    // made afresh at every opening so that a stale one from an earlier view matches nothing.
    // The pair is made even without a form canvas, so that a field outside a shown form can still be
    // saved or cancelled through them.
    if (on) {
        m_cancelCommand = jnew<Command>(LCDUI_stringsGet(_LCDUI_STRINGS_SOFTKEY_CANCEL), Command::CANCEL, 0);
        m_saveCommand = jnew<Command>(LCDUI_stringsGet(_LCDUI_STRINGS_SOFTKEY_SAVE), Command::ITEM, 0);
    }
    JavaPtr<Canvas> formCanvas = getFormCanvas();
    auto* canvas = dynamic_cast<DisplayableCoreCanvas*>(formCanvas.get());
    if (canvas == nullptr) return;
    if (!on) {
        canvas->setFormItemOverlay(nullptr, nullptr);
        return;
    }
    JavaPtr<Displayable::CommandArray> commands = jnew<Displayable::CommandArray>(2);
    commands->data[0] = m_cancelCommand;
    commands->data[1] = m_saveCommand;
    canvas->setFormItemOverlay(JavaPtr<Item>(this), commands);
}

void DateField::command(const JavaPtr<Command>& cmd) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_view != 0 && cmd) {
        if (cmd == m_cancelCommand) {
            if (m_view == 1) {
                m_closeCalendarView(false);
            } else {
                m_closeClockView(false);
            }
        } else if (cmd == m_saveCommand) {
            if (m_view == 1) {
                m_closeCalendarView(true);
            } else {
                m_closeClockView(true);
            }
        }
    }
    // Painting holds the screens' lock, so no paint runs while this does: no wait for one is needed.
    m_dropAreas();
    invalidate();
}

void DateField::m_yearOrMonthChanged(int month, int year) {
    JavaPtr<Calendar> calendar =
        Calendar::getInstance(m_timeZone ? m_timeZone : java::util::TimeZone::getDefault());
    calendar->set(Calendar::DAY_OF_MONTH, 1);
    calendar->set(Calendar::MONTH, month);
    calendar->set(Calendar::YEAR, year);
    m_firstWeekday = calendar->get(Calendar::DAY_OF_WEEK);
    // A selected day past the end of the new month would roll into the month after it on "Save".
    const int lastDay = daysInMonth(month, year);
    if (m_calendarDay > lastDay) m_calendarDay = lastDay;
    repaint();
}

bool DateField::m_stepMonth(int delta) {
    int month = m_calendarMonth + delta;
    int year = m_calendarYear;
    if (month < 0) {
        if (year <= 1970) return false;
        month = 11;
        --year;
    } else if (month > 11) {
        month = 0;
        ++year;
    }
    m_calendarMonth = month;
    m_calendarYear = year;
    return true;
}

void DateField::m_calendarTraverse(int dir) {
    if (m_calendarDay != -1) {
        int day = m_calendarDay;
        if (dir == Canvas::UP) {
            day -= 7;
        } else if (dir == Canvas::DOWN) {
            day += 7;
        } else if (dir == Canvas::LEFT) {
            day -= 1;
        } else if (dir == Canvas::RIGHT) {
            day += 1;
        }
        if (day < 1) {
            m_lastCalendarDay = m_calendarDay;
            m_calendarDay = -1;
            m_calendarHeaderRow = 1;
        } else if (day <= daysInMonth(m_calendarMonth, m_calendarYear)) {
            m_calendarDay = day;
        }
        return;
    }
    const bool yearRow = m_calendarHeaderRow == 0;
    bool changed = false;
    if (dir == Canvas::UP) {
        if (!yearRow) m_calendarHeaderRow = 0;
    } else if (dir == Canvas::DOWN) {
        if (yearRow) {
            m_calendarHeaderRow = 1;
        } else {
            m_calendarDay = 1;
        }
    } else if (dir == Canvas::LEFT) {
        if (yearRow) {
            if (m_calendarYear > 1970) {
                --m_calendarYear;
                changed = true;
            }
        } else {
            changed = m_stepMonth(-1);
        }
    } else if (dir == Canvas::RIGHT) {
        if (yearRow) {
            ++m_calendarYear;
            changed = true;
        } else {
            changed = m_stepMonth(1);
        }
    }
    if (changed) m_yearOrMonthChanged(m_calendarMonth, m_calendarYear);
}

void DateField::m_calendarTouch(const JavaPtr<String>& code, int eventType, int x, int y) {
    if (code->equals(m_codeCalendar)) {
        const int cw = m_cellWidth > 0 ? m_cellWidth : 1;
        const int ch = m_cellHeight > 0 ? m_cellHeight : 1;
        const int day = x / cw + 1 + (y / ch) * 7 - (m_firstWeekday - 1);
        if (day >= 1 && day <= daysInMonth(m_calendarMonth, m_calendarYear)) {
            m_calendarDay = day;
            repaint();
        }
        return;
    }
    if (eventType != 0) return;
    if (code->equals(m_codeMonthDec)) {
        m_stepMonth(-1);
    } else if (code->equals(m_codeMonthInc)) {
        m_stepMonth(1);
    } else if (code->equals(m_codeYearDec)) {
        if (m_calendarYear > 1970) --m_calendarYear;
    } else if (code->equals(m_codeYearInc)) {
        ++m_calendarYear;
    } else {
        return;
    }
    m_yearOrMonthChanged(m_calendarMonth, m_calendarYear);
}

void DateField::m_clockEnsureBounds() {
    if (m_clockField < 0) m_clockField += 4;
    m_clockField %= 4;
    const int limit = CLOCK_FIELD_LIMITS[m_clockField];
    int& value = m_clockValues->data[m_clockField];
    if (value < 0) value += limit;
    value %= limit;
}

void DateField::m_clockTraverse(int dir) {
    if (dir == Canvas::UP) {
        --m_clockValues->data[m_clockField];
    } else if (dir == Canvas::DOWN) {
        ++m_clockValues->data[m_clockField];
    } else if (dir == Canvas::LEFT) {
        --m_clockField;
    } else if (dir == Canvas::RIGHT) {
        ++m_clockField;
    }
    m_clockEnsureBounds();
}

void DateField::m_clockTouch(const JavaPtr<String>& code, int eventType, bool inside) {
    if (eventType == 0) {
        if (code->equals(m_codeTimeFieldDec)) {
            --m_clockValues->data[m_clockField];
        } else if (code->equals(m_codeTimeFieldInc)) {
            ++m_clockValues->data[m_clockField];
        }
    } else if (eventType == kRelease && inside) {
        if (code->equals(m_codeTimeFieldPrev)) {
            --m_clockField;
        } else if (code->equals(m_codeTimeFieldNext)) {
            ++m_clockField;
        } else if (code->startsWith(m_codeClockField) && code->length() == m_codeClockField->length() + 1) {
            // This field's own clock areas only: the prefix holds the field's base code.
            const int field = code->charAt(m_codeClockField->length()) - '0';
            if (field >= 0 && field <= 3) m_clockField = field;
        }
    }
    m_clockEnsureBounds();
    repaint();
}

void DateField::m_viewArea(int* width, int* height, int* titleHeight) {
    *width = Display::screenWidth;
    *height = Display::screenHeight;
    *titleHeight = 0;
    JavaPtr<Displayable> form = getContainingForm();
    if (!form) return;
    *width = form->getWidth();
    *height = form->getHeight();
    JavaPtr<Canvas> canvas = getFormCanvas();
    if (auto* core = dynamic_cast<DisplayableCoreCanvas*>(canvas.get())) {
        JavaPtr<JArray<int>> area = jnew<JArray<int>>(4);
        core->getUnreservedArea(area);
        *titleHeight = area->data[1];
    }
}

void DateField::m_registerOverlayArea(int x1, int y1, int x2, int y2, const JavaPtr<String>& code) {
    TouchScreenAreaManager::registerArea(x1, y1, x2, y2, code, m_touchListener,
                                         TouchScreenAreaManager::ITEM_OVERLAYS);
}

void DateField::m_paintCalendar(const JavaPtr<Graphics>& g, int, int) {
    g->translate(-g->getTranslateX(), -g->getTranslateY());
    g->setClip(0, 0, Display::screenWidth, Display::screenHeight);
    int width = 0;
    int height = 0;
    int titleHeight = 0;
    m_viewArea(&width, &height, &titleHeight);
    g->setFont(m_calendarFont);
    const int fh = m_calendarFont->getHeight();
    const int cw = m_cellWidth;
    const int ch = m_cellHeight;
    const int gw = 7 * cw;
    const int bh = 7 * ch + 6 + 2 * fh;
    const int top = (height - bh) / 2 + titleHeight;
    const int left = (width - gw) / 2;
    const int cx = left + gw / 2;
    g->setColor(_LCDUI_COLOR_BACKGROUND);
    g->fillRect(left - 20, top - 10, gw + 40, bh + 20);
    g->setColor(_LCDUI_COLOR_BORDER);
    g->drawRect(left - 20, top - 10, gw + 40, bh + 20);
    const bool registerNow = !m_areasRegistered;
    for (int r = 0; r < 2; ++r) {
        const int ry = top + r * (fh + 3);
        JavaPtr<String> label = r == 0 ? String::valueOf(m_calendarYear)
                                       : LCDUI_stringsGet(_LCDUI_STRINGS_MONTH_JANUARY + m_calendarMonth);
        const int sw = r == 0 ? m_yearWidth : m_monthNameWidth;
        const bool highlighted = m_calendarDay == -1 && m_calendarHeaderRow == r;
        g->setColor(highlighted ? _LCDUI_COLOR_HIGHLIGHTED_BACKGROUND : _LCDUI_COLOR_BACKGROUND);
        g->fillRect(cx - sw / 2, ry, sw, fh);
        g->setColor(highlighted ? _LCDUI_COLOR_HIGHLIGHTED_FOREGROUND : _LCDUI_COLOR_FOREGROUND);
        g->drawString(label, cx, ry, Graphics::TOP | Graphics::HCENTER);
        const int span = sw + 22;
        const int ay = ry + (fh - 8) / 2;
        g->setColor(_LCDUI_COLOR_FOREGROUND);
        DisplayableCoreCanvas::drawHorizontalArrow(g, true, cx - span / 2, ay, 8, 8, 0, 0);
        DisplayableCoreCanvas::drawHorizontalArrow(g, false, cx + span / 2 - 8, ay, 8, 8, 0, 0);
        if (registerNow) {
            m_registerOverlayArea(cx - span / 2, ay, cx - span / 2 + 8, ry + (fh + 8) / 2,
                                  r == 0 ? m_codeYearDec : m_codeMonthDec);
            m_registerOverlayArea(cx + span / 2 - 8, ay, cx + span / 2, ry + (fh + 8) / 2,
                                  r == 0 ? m_codeYearInc : m_codeMonthInc);
        }
    }
    const int gy = top + 2 * (fh + 3);
    const int days = daysInMonth(m_calendarMonth, m_calendarYear);
    const int centre = Graphics::HCENTER | Graphics::VCENTER;
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 7; ++col) {
            const int x = left + col * cw;
            const int y = gy + row * ch;
            if (row == 0) {
                g->setColor(_LCDUI_COLOR_FOREGROUND);
                g->drawString(LCDUI_stringsGet(_LCDUI_STRINGS_WEEK_SUNDAY + col)->substring(0, 1), x + cw / 2,
                              y + ch / 2, centre);
            } else {
                const int day = (row - 1) * 7 + col + 1 - (m_firstWeekday - 1);
                if (day >= 1 && day <= days) {
                    const bool selected = day == m_calendarDay;
                    if (selected) {
                        g->setColor(_LCDUI_COLOR_HIGHLIGHTED_BACKGROUND);
                        g->fillRect(x, y, cw, ch);
                    }
                    g->setColor(selected ? _LCDUI_COLOR_HIGHLIGHTED_FOREGROUND : _LCDUI_COLOR_FOREGROUND);
                    g->drawString(String::valueOf(day), x + cw / 2, y + ch / 2, centre);
                }
            }
            g->setColor(_LCDUI_COLOR_BORDER);
            g->drawRect(x, y, cw, ch);
        }
    }
    if (registerNow) m_registerOverlayArea(left, gy + ch, left + 7 * cw, gy + 7 * ch, m_codeCalendar);
}

void DateField::m_paintClock(const JavaPtr<Graphics>& g, int, int) {
    g->translate(-g->getTranslateX(), -g->getTranslateY());
    g->setClip(0, 0, Display::screenWidth, Display::screenHeight);
    int width = 0;
    int height = 0;
    int titleHeight = 0;
    m_viewArea(&width, &height, &titleHeight);
    const int fh = m_clockFont->getHeight();
    const int bw = m_clockFont->stringWidth(text("88:88:88 AM")) + 22;
    const int bh = fh + 16;
    const int x0 = (width - bw) / 2;
    const int y0 = (height - bh) / 2;
    g->setColor(_LCDUI_COLOR_BACKGROUND);
    g->fillRect(x0 - 20, y0 - 10, bw + 40, bh + 20);
    g->setColor(_LCDUI_COLOR_BORDER);
    g->drawRect(x0 - 20, y0 - 10, bw + 40, bh + 20);
    g->setFont(m_clockFont);
    g->setColor(_LCDUI_COLOR_FOREGROUND);
    JavaPtr<String> clock = m_timeToString(m_clockValues->data[0], m_clockValues->data[1],
                                           m_clockValues->data[2], m_clockValues->data[3] == 0);
    const int tx = x0 + bw / 2 - m_clockFont->stringWidth(clock) / 2;
    const int ty = y0 + bh / 2 - fh / 2;
    g->drawString(clock, tx, ty, kAnchorTopLeft);
    const int ay = y0 + (bh - 8) / 2;
    DisplayableCoreCanvas::drawHorizontalArrow(g, true, x0, ay, 8, 8, 0, 0);
    DisplayableCoreCanvas::drawHorizontalArrow(g, false, x0 + bw - 8, ay, 8, 8, 0, 0);
    auto fieldX = [&](int field) {
        return tx + m_clockFont->stringWidth(clock->substring(0, CLOCK_FIELD_CHAR_POS[field]));
    };
    auto fieldWidth = [&](int field) {
        const int p = CLOCK_FIELD_CHAR_POS[field];
        return m_clockFont->stringWidth(clock->substring(p, p + 2));
    };
    const int fx = fieldX(m_clockField);
    const int fw = fieldWidth(m_clockField);
    g->setClip(fx, ty, fw, fh);
    g->setColor(_LCDUI_COLOR_HIGHLIGHTED_BACKGROUND);
    g->fillRect(fx, ty, fw, fh);
    g->setColor(_LCDUI_COLOR_HIGHLIGHTED_FOREGROUND);
    g->drawString(clock, tx, ty, kAnchorTopLeft);
    g->setColor(_LCDUI_COLOR_FOREGROUND);
    g->setClip(0, 0, Display::screenWidth, Display::screenHeight);
    DisplayableCoreCanvas::drawVerticalArrow(g, true, fx, ty - 8, fw, 5, 0, 0);
    DisplayableCoreCanvas::drawVerticalArrow(g, false, fx, ty + fh + 3, fw, 5, 0, 0);
    // The focused field moves, so the clock's areas are laid again on every paint.
    m_registerOverlayArea(fx, ty - 8, fx + fw, ty - 3, m_codeTimeFieldDec);
    m_registerOverlayArea(fx, ty + fh + 3, fx + fw, ty + fh + 8, m_codeTimeFieldInc);
    for (int i = 0; i < 4; ++i) {
        const int x = fieldX(i);
        m_registerOverlayArea(x, ty, x + fieldWidth(i), ty + fh,
                              m_codeClockField->concat(String::valueOf(i)));
    }
    m_registerOverlayArea(x0, ay, x0 + 8, y0 + (bh + 8) / 2, m_codeTimeFieldPrev);
    m_registerOverlayArea(x0 + bw - 8, ay, x0 + bw, y0 + (bh + 8) / 2, m_codeTimeFieldNext);
}

}  // namespace javax::microedition::lcdui
