// javax.microedition.lcdui.Alert: the screen that shows a short message (an image, a progress gauge and
// a text) for a while and then gives way to the screen that follows it. It draws nothing itself: its
// content sits on an inner form that never highlights an item, whose canvas the display shows while the
// alert is current. Title, ticker, commands and listener all live on that form. On every tick an alert
// that may dismiss itself checks how long it has been shown and, once its timeout has passed, triggers
// its first command as if the user had chosen it.
#pragma once

#include <atomic>
#include <cstdint>

#include "screens/Screen.h"

namespace javax::microedition::lcdui {

class AlertType;
class Command;
class CommandListener;
class Form;
class Gauge;
class Image;
class Ticker;

class Alert : public Screen {
    TESL_CLASS(Alert, "javax.microedition.lcdui.Alert", Screen)
public:
    static constexpr int FOREVER = -2;
    static constexpr int DEFAULT_TIMEOUT_MS = 2000;

    // "Dismiss"; between Alert_staticInit and Alert_staticDestroy.
    static inline JavaPtr<Command> DISMISS_COMMAND;

    Alert() noexcept {}
    ~Alert() override;

    Alert* TESLinvokeconstructor(const JavaPtr<java::lang::String>& title);
    Alert* TESLinvokeconstructor(const JavaPtr<java::lang::String>& title,
                                 const JavaPtr<java::lang::String>& alertText,
                                 const JavaPtr<Image>& alertImage, const JavaPtr<AlertType>& alertType);

    // Displayable's operations, on the inner form. NullPointerException for a null command.
    void addCommand(const JavaPtr<Command>& cmd) override;
    JavaPtr<Ticker> getTicker() override;
    JavaPtr<java::lang::String> getTitle() override;
    void removeCommand(const JavaPtr<Command>& cmd) override;
    // Null puts the alert's own listener back.
    void setCommandListener(const JavaPtr<CommandListener>& l) override;
    void setTicker(const JavaPtr<Ticker>& t) override;
    void setTitle(const JavaPtr<java::lang::String>& s) override;
    // The inner form's layout: the display lays out the current screen, which is the alert.
    void relayout() override;
    void setNeedsRelayout(bool needed) override;
    bool needsRelayout() override;
    void tick(long long now) override;
    // The display calls it each time the alert becomes current: the timeout starts again.
    void showNotify() override;
    JavaPtr<Displayable> getNextDisplayable() override;
    void setNextDisplayable(const JavaPtr<Displayable>& next) override;

    virtual int getDefaultTimeout();
    virtual JavaPtr<Image> getImage();
    virtual JavaPtr<Gauge> getIndicator();
    virtual JavaPtr<java::lang::String> getString();
    virtual int getTimeout();
    virtual JavaPtr<AlertType> getType();
    virtual void setImage(const JavaPtr<Image>& img);
    // IllegalArgumentException for a gauge an alert cannot show: see the rules in the source.
    virtual void setIndicator(const JavaPtr<Gauge>& indicator);
    virtual void setString(const JavaPtr<java::lang::String>& str);
    // FOREVER or a positive number of milliseconds; anything else is IllegalArgumentException.
    virtual void setTimeout(int time);
    virtual void setType(const JavaPtr<AlertType>& type);

    // Shows the next displayable.
    void advance();

    // The inner form and whether the alert may still dismiss itself, for the tests and the display.
    JavaPtr<Form> innerForm();
    bool autoDismiss();

private:
    void m_init(const JavaPtr<java::lang::String>& title, const JavaPtr<java::lang::String>& alertText,
                const JavaPtr<Image>& alertImage, const JavaPtr<AlertType>& alertType);
    void m_recreateForm();
    // The first command of the inner form in slot order, and the number of commands it holds.
    JavaPtr<Command> m_firstCommand();
    int m_commandCount();

    // The fields below are guarded by the screens' lock (shell/LCDUILock.h), except the two atomics,
    // which the display's set-current may write from the thread that asked for the switch.
    JavaPtr<Displayable> m_nextDisplayable;
    JavaPtr<java::lang::String> m_text;
    JavaPtr<Image> m_image;
    JavaPtr<AlertType> m_type;
    int32_t m_timeout = DEFAULT_TIMEOUT_MS;
    JavaPtr<Gauge> m_indicator;
    JavaPtr<Form> m_form;
    JavaPtr<CommandListener> m_defaultListener;
    std::atomic<int64_t> m_shownAtMS{-1};
    bool m_autoDismiss = true;
    // The timeout has triggered during the current showing: it triggers once per showing, so that an
    // application listener that keeps the alert up is not called again on every tick.
    std::atomic<bool> m_timeoutTriggered{false};
};

}  // namespace javax::microedition::lcdui

void Alert_staticInit();
void Alert_staticDestroy();
