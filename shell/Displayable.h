// javax.microedition.lcdui.Displayable: the base of everything the display can make current, a Canvas
// or a high-level Screen. It holds what they share (title, ticker, commands, command listener, drawing
// context, corresponding canvas) and the command-array operations form items use on their own arrays.
// The display reaches the high-level screens, which live in the layers above the shell, only through
// the virtual operations declared here; those layers override them.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "runtime/JArray.h"
#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::lcdui {

class Canvas;
class Command;
class CommandListener;
class Graphics;
class Ticker;

class Displayable : public java::lang::Object {
    TESL_CLASS(Displayable, "javax.microedition.lcdui.Displayable", java::lang::Object)
public:
    using CommandArray = JArray<JavaPtr<Command>>;

    Displayable() noexcept {}
    ~Displayable() override;

    Displayable* TESLinvokeconstructor();

    // The mutators take the screens' lock (shell/LCDUILock.h) and re-lay out the chrome under it.
    virtual void addCommand(const JavaPtr<Command>& c);
    virtual int getHeight();
    virtual int getWidth();
    virtual JavaPtr<Ticker> getTicker();
    virtual JavaPtr<java::lang::String> getTitle();
    // False while the application is interrupted; otherwise whether this displayable's canvas is the
    // display's current canvas.
    virtual bool isShown();
    virtual void removeCommand(const JavaPtr<Command>& c);
    virtual void setCommandListener(const JavaPtr<CommandListener>& l);
    virtual void setTicker(const JavaPtr<Ticker>& t);
    virtual void setTitle(const JavaPtr<java::lang::String>& s);
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

    // Forwards a change of title, ticker or commands to the corresponding canvas when that is a core
    // canvas, which overrides this with its own layout of the chrome; nothing for a plain canvas.
    virtual void reLayout();
    // Told by a screen being destroyed to its core canvas, which drops its uncounted back link.
    virtual void notifyParentDestroyed();
    // The core canvas calls this on the current displayable before it delivers any command: an
    // implicit List selects its highlighted element there. Nothing here.
    virtual void prepareForCommand();

    // The live array, free slots included; read it under the screens' lock.
    JavaPtr<CommandArray> getCommands();
    JavaPtr<CommandListener> getCommandListener();

    // The canvas that draws this displayable: itself for a Canvas, else the stored one (a screen's
    // form canvas); null when there is none. A displayable holds no counted reference to itself.
    JavaPtr<Canvas> getCorrespondingCanvas();
    void setCorrespondingCanvas(Canvas* canvas);

    // The drawing context of a canvas: the display's master Graphics once the canvas has been current.
    JavaPtr<Graphics> getGraphicsReference();
    void setGraphicsReference(const JavaPtr<Graphics>& g);

    // Command arrays keep null elements as free slots and compare commands by identity. The index of
    // the last element that is c (-1 when none); *freeSlot gets the last free slot (-1 when none).
    static int findCommandIndex(const JavaPtr<CommandArray>& array, const JavaPtr<Command>& c, int* freeSlot);
    // Puts c in the last free slot, or grows the array object itself by one; false when c is already
    // there. Throws NullPointerException for a null command.
    static bool addCommand(const JavaPtr<CommandArray>& array, const JavaPtr<Command>& c);
    // Frees the last slot holding c; false when c is absent or the array null.
    static bool removeCommand(const JavaPtr<CommandArray>& array, const JavaPtr<Command>& c);

    // True while the application is paused or being destroyed.
    static inline std::atomic<bool> isInterrupted{false};

private:
    // Guards the two references below: the display hands a canvas its graphics on the ticker thread
    // (possibly under its own mutex, so not the screens' lock) while the canvas's own thread reads it.
    std::mutex m_fieldsMutex;
    JavaPtr<Graphics> m_graphics;
    // The screens' lock guards these: application threads change them while the ticker thread lays
    // out and paints the chrome.
    JavaPtr<java::lang::String> m_title;
    JavaPtr<Ticker> m_ticker;
    JavaPtr<CommandArray> m_commands;
    JavaPtr<CommandListener> m_commandListener;
    std::atomic<bool> m_commandListenerIsSelf{false};
    // Under m_fieldsMutex.
    JavaPtr<Canvas> m_correspondingCanvas;
    std::atomic<bool> m_correspondingCanvasIsSelf{false};
};

}  // namespace javax::microedition::lcdui
