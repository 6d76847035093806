#include "screens/Screen.h"

#include "screens/DisplayableCoreCanvas.h"
#include "shell/Display.h"

namespace javax::microedition::lcdui {

Screen::~Screen() = default;

bool Screen::isShown() {
    if (isInterrupted.load()) return false;
    return Display::currentDisplayable().get() == static_cast<Displayable*>(this);
}

void Screen::relayout() {}

void Screen::setNeedsRelayout(bool needed) {
    m_needsRelayout.store(needed);
}

bool Screen::needsRelayout() {
    return m_needsRelayout.load();
}

void Screen::tick(long long elapsedMs) {
    const JavaPtr<Canvas> canvas = getCorrespondingCanvas();
    if (!canvas) return;
    if (auto* core =
            static_cast<DisplayableCoreCanvas*>(canvas->castAsTypeID(DisplayableCoreCanvas::TESLclassTypeID)))
        core->tick(elapsedMs);
}

}  // namespace javax::microedition::lcdui
