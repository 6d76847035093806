// javax.microedition.lcdui.Screen: the base of the high-level screens (Form, List, Alert). The display
// lays a current screen out again when its relayout flag is set and ticks it on every LCDUI tick; the
// tick reaches the screen's core canvas (key repeat). It lives with the core canvas, which both it and
// the forms stand on.
#pragma once

#include <atomic>

#include "shell/Displayable.h"

namespace javax::microedition::lcdui {

class Screen : public Displayable {
    TESL_CLASS(Screen, "javax.microedition.lcdui.Screen", Displayable)
public:
    Screen() noexcept {}
    ~Screen() override;

    Screen* TESLinvokeconstructor() {
        Displayable::TESLinvokeconstructor();
        return this;
    }

    // False while the application is interrupted; otherwise whether this screen is the display's
    // current displayable (a List or Alert is current itself, though its inner form's canvas shows it).
    bool isShown() override;
    void relayout() override;
    void setNeedsRelayout(bool needed) override;
    bool needsRelayout() override;
    // Hands the elapsed time to the core canvas that shows this screen.
    void tick(long long elapsedMs) override;

private:
    // Set by any thread that changes the screen, cleared by the ticker thread after a relayout.
    std::atomic<bool> m_needsRelayout{false};
};

}  // namespace javax::microedition::lcdui
