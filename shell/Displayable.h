// javax.microedition.lcdui.Displayable: the base of everything the display can make current, a Canvas
// or a high-level Screen. The display reaches the high-level screens, which live in the layers above
// the shell, only through the virtual operations declared here; those layers override them.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "runtime/Object.h"

namespace javax::microedition::lcdui {

class Canvas;
class Graphics;
class Ticker;

class Displayable : public java::lang::Object {
    TESL_CLASS(Displayable, "javax.microedition.lcdui.Displayable", java::lang::Object)
public:
    Displayable() noexcept {}
    ~Displayable() override;

    Displayable* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    virtual int getHeight();
    virtual int getWidth();
    virtual JavaPtr<Ticker> getTicker();
    // False while the application is interrupted; otherwise whether this displayable's canvas is the
    // display's current canvas.
    virtual bool isShown();
    virtual void sizeChanged(int w, int h);

    // What the display asks of the screen that becomes current or is current. A Canvas receives its
    // notifications as a canvas; of the high-level screens only an Alert answers showNotify (its
    // timeout starts), and only a Screen is laid out and ticked. Each does nothing here.
    virtual void hideNotify();
    virtual void showNotify();
    virtual void relayout();
    virtual void setNeedsRelayout(bool needed);
    virtual bool needsRelayout();
    virtual void tick(long long ms);
    // The displayable an Alert shows when it is dismissed; no other displayable has one.
    virtual JavaPtr<Displayable> getNextDisplayable();
    virtual void setNextDisplayable(const JavaPtr<Displayable>& next);

    // The canvas that draws this displayable: itself for a Canvas, else the stored one (a screen's
    // form canvas); null when there is none. A displayable holds no counted reference to itself.
    JavaPtr<Canvas> getCorrespondingCanvas();
    void setCorrespondingCanvas(Canvas* canvas);

    // The drawing context of a canvas: the display's master Graphics once the canvas has been current.
    JavaPtr<Graphics> getGraphicsReference();
    void setGraphicsReference(const JavaPtr<Graphics>& g);

    // True while the application is paused or being destroyed.
    static inline std::atomic<bool> isInterrupted{false};

private:
    // Guards the two references below: the display hands a canvas its graphics on the ticker thread
    // while the canvas's own thread reads it.
    std::mutex m_fieldsMutex;
    JavaPtr<Graphics> m_graphics;
    JavaPtr<Canvas> m_correspondingCanvas;
    std::atomic<bool> m_correspondingCanvasIsSelf{false};
};

}  // namespace javax::microedition::lcdui
