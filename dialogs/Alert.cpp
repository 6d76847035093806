#include "dialogs/Alert.h"

#include "dialogs/AlertForm.h"
#include "dialogs/AlertType.h"
#include "dialogs/DefaultAlertListener.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/Gauge.h"
#include "forms/ImageItem.h"
#include "forms/StringItem.h"
#include "graphics/Image.h"
#include "library/DeviceClock.h"
#include "library/LCDUIStrings.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "shell/Command.h"
#include "shell/CommandListener.h"
#include "shell/Display.h"
#include "shell/LCDUILock.h"
#include "shell/Ticker.h"

namespace javax::microedition::lcdui {

using java::lang::String;

Alert::~Alert() {
    // The canvas is the inner form's: the alert's own teardown must not cut the form off from it. The
    // indicator is handed back to the application free to be used elsewhere.
    setCorrespondingCanvas(nullptr);
    if (m_form) {
        LCDUIGuard lock(LCDUILock::mutex());
        if (m_indicator) m_indicator->m_isAlertIndicator = false;
        m_form->deleteAll();
        m_form->setOwnerScreen(nullptr);
    }
}

Alert* Alert::TESLinvokeconstructor(const JavaPtr<String>& title) {
    return TESLinvokeconstructor(title, nullptr, nullptr, nullptr);
}

Alert* Alert::TESLinvokeconstructor(const JavaPtr<String>& title, const JavaPtr<String>& alertText,
                                    const JavaPtr<Image>& alertImage, const JavaPtr<AlertType>& alertType) {
    Screen::TESLinvokeconstructor();
    m_init(title, alertText, alertImage, alertType);
    return this;
}

void Alert::m_init(const JavaPtr<String>& title, const JavaPtr<String>& alertText,
                   const JavaPtr<Image>& alertImage, const JavaPtr<AlertType>& alertType) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_form = jnew<AlertForm>(title);
    m_form->setOwnerScreen(this);
    m_form->setNeverHighlightItems(true);
    m_form->addCommand(DISMISS_COMMAND);
    m_defaultListener = jnew<DefaultAlertListener>();
    m_form->setCommandListener(m_defaultListener);
    setCorrespondingCanvas(m_form->getCorrespondingCanvas().get());
    setString(alertText);
    setImage(alertImage);
    setType(alertType);
    // Last, so that content given to the constructor never makes the alert modal.
    m_timeout = DEFAULT_TIMEOUT_MS;
    m_indicator = nullptr;
    m_shownAtMS.store(-1);
    m_autoDismiss = true;
}

JavaPtr<Form> Alert::innerForm() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_form;
}

bool Alert::autoDismiss() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_autoDismiss;
}

int Alert::m_commandCount() {
    JavaPtr<Displayable::CommandArray> commands = m_form->getCommands();
    int count = 0;
    for (int32_t i = 0; i < commands->length; ++i) count += commands->data[i] ? 1 : 0;
    return count;
}

JavaPtr<Command> Alert::m_firstCommand() {
    JavaPtr<Displayable::CommandArray> commands = m_form->getCommands();
    for (int32_t i = 0; i < commands->length; ++i)
        if (commands->data[i]) return commands->data[i];
    return nullptr;
}

void Alert::addCommand(const JavaPtr<Command>& cmd) {
    if (!cmd) throw java::lang::NullPointerException();
    LCDUIGuard lock(LCDUILock::mutex());
    if (cmd == DISMISS_COMMAND) return;
    m_form->addCommand(cmd);
    // The application's first command takes the dismiss command's place; a second makes the alert modal.
    if (Displayable::findCommandIndex(m_form->getCommands(), DISMISS_COMMAND, nullptr) >= 0)
        m_form->removeCommand(DISMISS_COMMAND);
    if (m_commandCount() > 1) m_autoDismiss = false;
}

void Alert::removeCommand(const JavaPtr<Command>& cmd) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (cmd == DISMISS_COMMAND) return;
    m_form->removeCommand(cmd);
    if (m_commandCount() == 0) m_form->addCommand(DISMISS_COMMAND);
}

void Alert::setCommandListener(const JavaPtr<CommandListener>& l) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_form->setCommandListener(l ? l : m_defaultListener);
}

JavaPtr<Ticker> Alert::getTicker() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_form->getTicker();
}

JavaPtr<String> Alert::getTitle() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_form->getTitle();
}

void Alert::setTicker(const JavaPtr<Ticker>& t) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_form->setTicker(t);
}

void Alert::setTitle(const JavaPtr<String>& s) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_form->setTitle(s);
}

void Alert::relayout() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_form->relayout();
}

void Alert::setNeedsRelayout(bool needed) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_form->setNeedsRelayout(needed);
}

bool Alert::needsRelayout() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_form->needsRelayout();
}

void Alert::showNotify() {
    m_shownAtMS.store(java::lang::DeviceClock::currentTimeMillis());
    m_timeoutTriggered.store(false);
}

JavaPtr<Displayable> Alert::getNextDisplayable() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_nextDisplayable;
}

void Alert::setNextDisplayable(const JavaPtr<Displayable>& next) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_nextDisplayable = next;
}

void Alert::advance() {
    JavaPtr<Displayable> next = getNextDisplayable();
    Display::getDisplay(nullptr)->setCurrent(next);
}

void Alert::tick(long long now) {
    LCDUIGuard lock(LCDUILock::mutex());
    JavaPtr<FormCanvas> canvas = m_form->getFormCanvas();
    if (!canvas) return;
    const int64_t shownAt = m_shownAtMS.load();
    if (shownAt != -1 && canvas->isShown() && m_autoDismiss && !m_timeoutTriggered.load() &&
        java::lang::DeviceClock::currentTimeMillis() - shownAt > static_cast<int64_t>(m_timeout)) {
        // Once per showing: the default listener has the display switch away at its next tick, and an
        // application listener that keeps the alert up decides for itself what comes next.
        m_timeoutTriggered.store(true);
        canvas->triggerCommand(m_firstCommand());
    }
    canvas->tick(now);
}

int Alert::getDefaultTimeout() {
    return DEFAULT_TIMEOUT_MS;
}

int Alert::getTimeout() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_timeout;
}

JavaPtr<Image> Alert::getImage() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_image;
}

JavaPtr<Gauge> Alert::getIndicator() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_indicator;
}

JavaPtr<String> Alert::getString() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_text;
}

JavaPtr<AlertType> Alert::getType() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_type;
}

void Alert::setImage(const JavaPtr<Image>& img) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_image = img;
    m_recreateForm();
}

void Alert::setString(const JavaPtr<String>& str) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_text = str;
    m_recreateForm();
}

void Alert::setType(const JavaPtr<AlertType>& type) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_type = type;
}

void Alert::setTimeout(int time) {
    if (time != FOREVER && time <= 0) throw java::lang::IllegalArgumentException();
    LCDUIGuard lock(LCDUILock::mutex());
    m_timeout = time;
    // A positive timeout never makes a modal alert dismiss itself again.
    if (time == FOREVER) m_autoDismiss = false;
}

void Alert::setIndicator(const JavaPtr<Gauge>& indicator) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (indicator) {
        // An indicator only shows progress: the user cannot reach it, and it lays itself out.
        const ItemOwner* owner = indicator->owner();
        bool hasCommand = false;
        JavaPtr<Item::CommandArray> commands = indicator->getCommands();
        for (int32_t i = 0; commands && i < commands->length; ++i)
            hasCommand = hasCommand || commands->data[i];
        if (indicator->isInteractive() ||
            (owner != nullptr && owner != static_cast<ItemOwner*>(m_form.get())) || hasCommand ||
            indicator->getItemCommandListener() || indicator->getLabel() || indicator->isWidthLocked() ||
            indicator->getLayout() != Item::LAYOUT_DEFAULT)
            throw java::lang::IllegalArgumentException();
    }
    if (m_indicator) m_indicator->m_isAlertIndicator = false;
    m_indicator = indicator;
    if (m_indicator) m_indicator->m_isAlertIndicator = true;
    m_recreateForm();
}

void Alert::m_recreateForm() {
    m_form->deleteAll();
    if (m_image)
        m_form->append(JavaPtr<Item>(jnew<ImageItem>(nullptr, m_image, Item::LAYOUT_CENTER, nullptr)));
    if (m_indicator) m_form->append(JavaPtr<Item>(m_indicator));
    if (m_text) {
        JavaPtr<StringItem> text = jnew<StringItem>(nullptr, m_text);
        text->setLayout(Item::LAYOUT_NEWLINE_BEFORE);
        m_form->append(JavaPtr<Item>(text));
    }
    JavaPtr<FormCanvas> canvas = m_form->getFormCanvas();
    if (!canvas) return;
    canvas->relayoutFormItems();
    // Content that needs scrolling cannot be read in a timeout: such an alert waits for the user, for good.
    if (canvas->verticalScrollbarVisible()) m_autoDismiss = false;
}

}  // namespace javax::microedition::lcdui

void Alert_staticInit() {
    using javax::microedition::lcdui::Alert;
    using javax::microedition::lcdui::Command;
    Alert::DISMISS_COMMAND =
        jnew<Command>(LCDUI_stringsGet(_LCDUI_STRINGS_SOFTKEY_DISMISS), Command::ITEM, 1);
}

void Alert_staticDestroy() {
    javax::microedition::lcdui::Alert::DISMISS_COMMAND = nullptr;
}
