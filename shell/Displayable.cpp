#include "shell/Displayable.h"

#include "graphics/Graphics.h"
#include "graphics/ScreenSize.h"
#include "shell/Canvas.h"
#include "shell/Display.h"
#include "shell/Ticker.h"

namespace javax::microedition::lcdui {

Displayable::~Displayable() = default;

int Displayable::getHeight() {
    return ScreenSize::height;
}

int Displayable::getWidth() {
    return ScreenSize::width;
}

JavaPtr<Ticker> Displayable::getTicker() {
    return nullptr;
}

bool Displayable::isShown() {
    if (isInterrupted.load()) return false;
    const JavaPtr<Canvas> canvas = getCorrespondingCanvas();
    return canvas && canvas == Display::currentCanvas();
}

void Displayable::sizeChanged(int, int) {}

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

}  // namespace javax::microedition::lcdui
