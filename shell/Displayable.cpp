#include "shell/Displayable.h"

#include <atomic>
#include <new>

#include "graphics/Graphics.h"
#include "graphics/ScreenSize.h"
#include "runtime/NullPointerException.h"
#include "shell/Canvas.h"
#include "shell/Command.h"
#include "shell/CommandListener.h"
#include "shell/Display.h"
#include "shell/LCDUILock.h"
#include "shell/Ticker.h"

namespace javax::microedition::lcdui {

namespace {

// The core canvas lives in the layer above; it is recognised by its type id.
constexpr int32_t kCoreCanvasTypeId = tesl::classTypeIdOf("javax.microedition.lcdui.DisplayableCoreCanvas");

}  // namespace

Displayable::~Displayable() {
    JavaPtr<Canvas> canvas = std::move(m_correspondingCanvas);
    if (canvas && instanceofObj(canvas.counted(), kCoreCanvasTypeId)) canvas->notifyParentDestroyed();
}

Displayable* Displayable::TESLinvokeconstructor() {
    Object::TESLinvokeconstructor();
    m_commands = jnew<CommandArray>(0);
    return this;
}

void Displayable::addCommand(const JavaPtr<Command>& c) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (addCommand(m_commands, c)) reLayout();
}

// Read on any thread while the main thread turns the screen.
int Displayable::getHeight() {
    return std::atomic_ref<int32_t>(ScreenSize::height).load();
}

int Displayable::getWidth() {
    return std::atomic_ref<int32_t>(ScreenSize::width).load();
}

JavaPtr<Ticker> Displayable::getTicker() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_ticker;
}

JavaPtr<java::lang::String> Displayable::getTitle() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_title;
}

bool Displayable::isShown() {
    if (isInterrupted.load()) return false;
    const JavaPtr<Canvas> canvas = getCorrespondingCanvas();
    return canvas && canvas == Display::currentCanvas();
}

void Displayable::removeCommand(const JavaPtr<Command>& c) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (removeCommand(m_commands, c)) reLayout();
}

void Displayable::setCommandListener(const JavaPtr<CommandListener>& l) {
    LCDUIGuard lock(LCDUILock::mutex());
    // The old listener is the application's: its last reference goes where no lock is held, also when
    // this is called inside a screen's own hold (a Form, a List or an Alert passing it on).
    LCDUILock::dropOutside(std::move(m_commandListener));
    if (l && l.counted() == static_cast<java::lang::Smart*>(this)) {
        m_commandListenerIsSelf.store(true);
    } else {
        m_commandListenerIsSelf.store(false);
        m_commandListener = l;
    }
}

JavaPtr<CommandListener> Displayable::getCommandListener() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_commandListenerIsSelf.load()) {
        auto* self = static_cast<CommandListener*>(castAsTypeID(CommandListener::TESLclassTypeID));
        return JavaPtr<CommandListener>(static_cast<java::lang::Smart*>(this), self);
    }
    return m_commandListener;
}

void Displayable::setTicker(const JavaPtr<Ticker>& t) {
    JavaPtr<Ticker> old;
    LCDUIGuard lock(LCDUILock::mutex());
    old = std::move(m_ticker);
    m_ticker = t;
    reLayout();
}

void Displayable::setTitle(const JavaPtr<java::lang::String>& s) {
    JavaPtr<java::lang::String> old;
    LCDUIGuard lock(LCDUILock::mutex());
    old = std::move(m_title);
    m_title = s;
    reLayout();
}

void Displayable::sizeChanged(int, int) {}

void Displayable::prepareForCommand() {}

void Displayable::hideNotify() {}

void Displayable::showNotify() {}

void Displayable::relayout() {}

void Displayable::setNeedsRelayout(bool) {}

bool Displayable::needsRelayout() {
    return false;
}

void Displayable::tick(long long) {}

JavaPtr<Displayable> Displayable::getNextDisplayable() {
    return nullptr;
}

void Displayable::setNextDisplayable(const JavaPtr<Displayable>&) {}

void Displayable::reLayout() {
    JavaPtr<Canvas> canvas;
    {
        std::lock_guard<std::mutex> lock(m_fieldsMutex);
        canvas = m_correspondingCanvas;
    }
    if (canvas && instanceofObj(canvas.counted(), kCoreCanvasTypeId)) canvas->reLayout();
}

void Displayable::notifyParentDestroyed() {}

JavaPtr<Displayable::CommandArray> Displayable::getCommands() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_commands;
}

JavaPtr<Canvas> Displayable::getCorrespondingCanvas() {
    if (m_correspondingCanvasIsSelf.load()) {
        Canvas* self = static_cast<Canvas*>(this);
        return JavaPtr<Canvas>(static_cast<java::lang::Smart*>(self), self);
    }
    std::lock_guard<std::mutex> lock(m_fieldsMutex);
    return m_correspondingCanvas;
}

void Displayable::setCorrespondingCanvas(Canvas* canvas) {
    JavaPtr<Canvas> old;
    {
        std::lock_guard<std::mutex> lock(m_fieldsMutex);
        old = std::move(m_correspondingCanvas);
        if (canvas != nullptr && static_cast<Displayable*>(canvas) == this) {
            m_correspondingCanvasIsSelf.store(true);
        } else {
            m_correspondingCanvasIsSelf.store(false);
            m_correspondingCanvas = JavaPtr<Canvas>(canvas);
        }
    }
}

JavaPtr<Graphics> Displayable::getGraphicsReference() {
    std::lock_guard<std::mutex> lock(m_fieldsMutex);
    return m_graphics;
}

void Displayable::setGraphicsReference(const JavaPtr<Graphics>& g) {
    JavaPtr<Graphics> old;
    std::lock_guard<std::mutex> lock(m_fieldsMutex);
    old = std::move(m_graphics);
    m_graphics = g;
}

int Displayable::findCommandIndex(const JavaPtr<CommandArray>& array, const JavaPtr<Command>& c,
                                  int* freeSlot) {
    if (freeSlot != nullptr) *freeSlot = -1;
    if (!array) return -1;
    int found = -1;
    for (int32_t i = 0; i < array->length; ++i) {
        const JavaPtr<Command>& element = array->data[i];
        if (element == c) found = i;
        if (!element && freeSlot != nullptr) *freeSlot = i;
    }
    return found;
}

bool Displayable::addCommand(const JavaPtr<CommandArray>& array, const JavaPtr<Command>& c) {
    if (!c) throw java::lang::NullPointerException();
    if (!array) throw java::lang::NullPointerException();
    int freeSlot = -1;
    if (findCommandIndex(array, c, &freeSlot) >= 0) return false;
    if (freeSlot >= 0 && freeSlot < array->length) {
        array->data[freeSlot] = c;
        return true;
    }
    const int32_t before = array->length;
    array->append(c);
    // The array refuses to grow past its largest length; the command must not be reported as added.
    if (array->length != before + 1) throw std::bad_alloc();
    return true;
}

bool Displayable::removeCommand(const JavaPtr<CommandArray>& array, const JavaPtr<Command>& c) {
    if (!array || !c) return false;
    const int index = findCommandIndex(array, c, nullptr);
    if (index < 0 || index >= array->length) return false;
    array->data[index] = nullptr;
    return true;
}

}  // namespace javax::microedition::lcdui
