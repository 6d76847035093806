// javax.microedition.lcdui.Ticker: a line of text that scrolls across a screen. It holds the text and
// counts the time the display ticks into it; the core canvas derives the scroll position from that.
// It lives beside the display, which keeps every ticker in its list.
#pragma once

#include <atomic>
#include <mutex>

#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::lcdui {

class Ticker : public java::lang::Object {
    TESL_CLASS(Ticker, "javax.microedition.lcdui.Ticker", java::lang::Object)
public:
    Ticker() noexcept {}
    ~Ticker() override;

    // Sets the text and registers the new ticker with the display.
    Ticker* TESLinvokeconstructor(const JavaPtr<java::lang::String>& str);

    virtual JavaPtr<java::lang::String> getString();
    // Keeps the text as given and a copy with each line feed made a space, which is the one drawn.
    virtual void setString(const JavaPtr<java::lang::String>& str);

    JavaPtr<java::lang::String> getDrawableString();
    void tick(long long ms) { m_totalTickedTimeMS.fetch_add(ms); }
    long long getTotalTickedTimeMS() const { return m_totalTickedTimeMS.load(); }

private:
    // Guards the pair of strings, set on any thread and read by the painter.
    std::mutex m_stringMutex;
    JavaPtr<java::lang::String> m_string;
    JavaPtr<java::lang::String> m_drawableString;
    std::atomic<long long> m_totalTickedTimeMS{0};
};

}  // namespace javax::microedition::lcdui
