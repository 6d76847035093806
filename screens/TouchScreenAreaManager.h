// The process-wide registry of touch areas: named rectangles in three groups, hit-tested on a press;
// the drag and release of that touch go to the area the press hit, in coordinates relative to it.
// Every operation takes the screens' lock (shell/LCDUILock.h); listeners are called under it.
#pragma once

#include <cstdint>

#include "runtime/JArray.h"
#include "runtime/String.h"
#include "screens/TouchScreenArea.h"
#include "screens/TouchScreenAreaListener.h"

namespace javax::microedition::lcdui {

class TouchScreenAreaManager {
public:
    enum AreaGroup { CHROME = 0, FORM_ITEMS = 1, ITEM_OVERLAYS = 2 };

    static void registerArea(int x1, int y1, int x2, int y2, const JavaPtr<java::lang::String>& code,
                             const JavaPtr<TouchScreenAreaListener>& listener, AreaGroup group);
    static void unregisterArea(const JavaPtr<java::lang::String>& code);
    // Removes every area whose listener is that very object.
    static void unregisterAllAreas(const JavaPtr<TouchScreenAreaListener>& listener);
    // prefix + a number + "_", free of any registered code and never handed out before.
    static JavaPtr<java::lang::String> getUniqueBaseCode(const JavaPtr<java::lang::String>& prefix);
    static void setAreaGroup(AreaGroup group);
    static int numInGroup(AreaGroup group);
    static int areaIndexForPoint(int x, int y);
    // Each true when it delivered the event to a listener.
    static bool pointerPressed(int x, int y);
    static bool pointerDragged(int x, int y);
    static bool pointerReleased(int x, int y);
    // Drops the registry; a later call starts an empty one.
    static void destroy();

    TouchScreenAreaManager(const TouchScreenAreaManager&) = delete;
    TouchScreenAreaManager& operator=(const TouchScreenAreaManager&) = delete;

private:
    using AreaArray = JArray<JavaPtr<TouchScreenArea>>;
    using ListenerArray = JArray<JavaPtr<TouchScreenAreaListener>>;
    using CodeArray = JArray<JavaPtr<java::lang::String>>;

    TouchScreenAreaManager();
    ~TouchScreenAreaManager();

    static TouchScreenAreaManager& m_getInstance();

    int m_getNearestIndex(const JavaPtr<java::lang::String>& code) const;
    void m_insertAtIndex(int index, const JavaPtr<TouchScreenArea>& area,
                         const JavaPtr<TouchScreenAreaListener>& listener,
                         const JavaPtr<java::lang::String>& code);
    // Keeps the entries i for which keep(i) holds.
    template <class Keep>
    void m_removeEntries(Keep keep);
    void m_areaChangeMade();
    int m_hitTest(int x, int y) const;
    void m_clearPress();

    // Parallel arrays, ordered by the codes' compareTo, codes distinct; all m_numAreas long.
    JavaPtr<AreaArray> m_areas;
    JavaPtr<ListenerArray> m_listeners;
    JavaPtr<CodeArray> m_codes;
    int32_t m_numAreas = 0;
    int64_t m_nextUniqueNumber = 0;
    AreaGroup m_currentGroup = CHROME;
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    bool m_areaPressed = false;
    // Our own references: they keep the pressed entry alive after it is unregistered.
    JavaPtr<java::lang::String> m_pressedCode;
    JavaPtr<TouchScreenArea> m_pressedArea;
    JavaPtr<TouchScreenAreaListener> m_pressedListener;

    // Created on first use and deleted by destroy, both under the screens' lock.
    static inline TouchScreenAreaManager* m_instance = nullptr;
};

}  // namespace javax::microedition::lcdui
