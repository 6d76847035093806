// javax.microedition.lcdui.Canvas: the low-level screen that receives input and draws with the
// display's master Graphics. This is the part the display and the platform entries call; the key
// tables and the repaint pipeline come with the canvas itself.
#pragma once

#include "shell/Displayable.h"

namespace javax::microedition::lcdui {

class Canvas : public Displayable {
    TESL_CLASS(Canvas, "javax.microedition.lcdui.Canvas", Displayable)
public:
    Canvas() noexcept {}
    ~Canvas() override;

    // A canvas is its own corresponding canvas and has no graphics until it is first current.
    Canvas* TESLinvokeconstructor() {
        Displayable::TESLinvokeconstructor();
        setCorrespondingCanvas(this);
        setGraphicsReference(nullptr);
        return this;
    }

    // Input and notifications do nothing here; subclasses override them.
    void hideNotify() override;
    void showNotify() override;
    void sizeChanged(int w, int h) override;
    virtual void keyPressed(int keyCode);
    virtual void keyReleased(int keyCode);
    virtual void keyRepeated(int keyCode);
    virtual void pointerDragged(int x, int y);
    virtual void pointerPressed(int x, int y);
    virtual void pointerReleased(int x, int y);

    // What the display's tick asks of the core canvas of the high-level screens
    // (DisplayableCoreCanvas), which overrides all three: whether it wants a repaint, the repaint that
    // skips itself while one is running or the canvas is not shown, and the replay of the input that
    // arrived during the tick. A plain canvas is never asked.
    virtual bool needsRepaint();
    virtual void repaintScreen();
    virtual void replayBufferedEvents();
};

}  // namespace javax::microedition::lcdui
