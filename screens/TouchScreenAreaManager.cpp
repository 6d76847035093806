#include "screens/TouchScreenAreaManager.h"

#include <string>

#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

using java::lang::String;

TouchScreenAreaManager::TouchScreenAreaManager()
    : m_areas(jnew<AreaArray>(0)), m_listeners(jnew<ListenerArray>(0)), m_codes(jnew<CodeArray>(0)) {}

TouchScreenAreaManager::~TouchScreenAreaManager() = default;

TouchScreenAreaManager& TouchScreenAreaManager::m_getInstance() {
    if (m_instance == nullptr) m_instance = new TouchScreenAreaManager();
    return *m_instance;
}

void TouchScreenAreaManager::registerArea(int x1, int y1, int x2, int y2, const JavaPtr<String>& code,
                                          const JavaPtr<TouchScreenAreaListener>& listener, AreaGroup group) {
    if (!code || !listener) return;
    JavaPtr<TouchScreenArea> area = jnew<TouchScreenArea>(x1, y1, x2, y2, static_cast<int>(group));
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager& self = m_getInstance();
    for (int32_t i = 0; i < self.m_numAreas; ++i) {
        if (self.m_codes->data[i]->equals(code)) {
            // Replaced in place; a press in progress keeps its own references.
            self.m_areas->data[i] = area;
            self.m_listeners->data[i] = listener;
            return;
        }
    }
    self.m_insertAtIndex(self.m_getNearestIndex(code), area, listener, code);
}

void TouchScreenAreaManager::unregisterArea(const JavaPtr<String>& code) {
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager& self = m_getInstance();
    if (!code) return;
    self.m_removeEntries([&](int32_t i) { return !self.m_codes->data[i]->equals(code); });
}

void TouchScreenAreaManager::unregisterAllAreas(const JavaPtr<TouchScreenAreaListener>& listener) {
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager& self = m_getInstance();
    if (self.m_numAreas == 0) return;
    self.m_removeEntries([&](int32_t i) { return !(self.m_listeners->data[i] == listener); });
}

JavaPtr<String> TouchScreenAreaManager::getUniqueBaseCode(const JavaPtr<String>& prefix) {
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager& self = m_getInstance();
    const JavaPtr<String> start = prefix ? prefix : jnew<String>("null");
    for (;;) {
        const std::string number = std::to_string(self.m_nextUniqueNumber) + "_";
        JavaPtr<String> candidate = start->concat(jnew<String>(number.c_str()));
        const int i = self.m_getNearestIndex(candidate);
        if (i >= self.m_numAreas || self.m_codes->data[i]->indexOf(candidate) == -1) {
            ++self.m_nextUniqueNumber;
            return candidate;
        }
        ++self.m_nextUniqueNumber;
    }
}

void TouchScreenAreaManager::setAreaGroup(AreaGroup group) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_getInstance().m_currentGroup = group;
}

int TouchScreenAreaManager::numInGroup(AreaGroup group) {
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager& self = m_getInstance();
    int count = 0;
    for (int32_t i = 0; i < self.m_numAreas; ++i)
        if (self.m_areas->data[i]->m_group == group) ++count;
    return count;
}

int TouchScreenAreaManager::areaIndexForPoint(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_getInstance().m_hitTest(x, y);
}

bool TouchScreenAreaManager::pointerPressed(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager& self = m_getInstance();
    const int hit = self.m_hitTest(x, y);
    self.m_pressX = x;
    self.m_pressY = y;
    if (hit >= 0 && hit < self.m_numAreas) {
        self.m_pressedCode = self.m_codes->data[hit];
        self.m_pressedArea = self.m_areas->data[hit];
        self.m_pressedListener = self.m_listeners->data[hit];
        self.m_areaPressed = true;
    } else {
        self.m_pressedCode = nullptr;
        self.m_pressedArea = nullptr;
        self.m_pressedListener = nullptr;
    }
    if (!self.m_pressedListener || !self.m_pressedArea || self.m_pressedArea->m_group != self.m_currentGroup)
        return false;
    // Local references: the listener may unregister its areas or destroy the registry.
    const JavaPtr<TouchScreenAreaListener> listener = self.m_pressedListener;
    const JavaPtr<TouchScreenArea> area = self.m_pressedArea;
    const JavaPtr<String> code = self.m_pressedCode;
    listener->dispatchEvent(code, TouchScreenAreaListener::PRESSED, x - area->m_x1, y - area->m_y1, -1, -1,
                            true);
    return true;
}

bool TouchScreenAreaManager::pointerDragged(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager& self = m_getInstance();
    if (!self.m_areaPressed || !self.m_pressedListener || !self.m_pressedCode || !self.m_pressedArea ||
        self.m_pressedArea->m_group != self.m_currentGroup)
        return false;
    const JavaPtr<TouchScreenAreaListener> listener = self.m_pressedListener;
    const JavaPtr<TouchScreenArea> area = self.m_pressedArea;
    const JavaPtr<String> code = self.m_pressedCode;
    listener->dispatchEvent(code, TouchScreenAreaListener::DRAGGED, x - area->m_x1, y - area->m_y1,
                            x - self.m_pressX, y - self.m_pressY, area->contains(x, y));
    return true;
}

bool TouchScreenAreaManager::pointerReleased(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager& self = m_getInstance();
    if (!self.m_pressedListener || !self.m_pressedCode || !self.m_pressedArea ||
        self.m_pressedArea->m_group != self.m_currentGroup)
        return false;
    const JavaPtr<TouchScreenAreaListener> listener = self.m_pressedListener;
    const JavaPtr<TouchScreenArea> area = self.m_pressedArea;
    const JavaPtr<String> code = self.m_pressedCode;
    // The press ends before the listener runs, which may destroy the registry.
    self.m_clearPress();
    listener->dispatchEvent(code, TouchScreenAreaListener::RELEASED, x - area->m_x1, y - area->m_y1, -1, -1,
                            area->contains(x, y));
    return true;
}

void TouchScreenAreaManager::destroy() {
    TouchScreenAreaManager* old = nullptr;
    {
        LCDUIGuard lock(LCDUILock::mutex());
        old = m_instance;
        m_instance = nullptr;
        // Deleted under the lock too: the last references it drops are those of the areas, listeners
        // and codes, whose owners may still be reading them.
        delete old;
    }
}

int TouchScreenAreaManager::m_getNearestIndex(const JavaPtr<String>& code) const {
    for (int32_t i = 0; i < m_numAreas; ++i)
        if (code->compareTo(m_codes->data[i]) < 0) return i;
    return m_numAreas;
}

void TouchScreenAreaManager::m_insertAtIndex(int index, const JavaPtr<TouchScreenArea>& area,
                                             const JavaPtr<TouchScreenAreaListener>& listener,
                                             const JavaPtr<String>& code) {
    if (index < 0 || index > m_numAreas) index = m_numAreas;
    const int32_t count = m_numAreas + 1;
    JavaPtr<AreaArray> areas = jnew<AreaArray>(count);
    JavaPtr<ListenerArray> listeners = jnew<ListenerArray>(count);
    JavaPtr<CodeArray> codes = jnew<CodeArray>(count);
    for (int32_t from = 0, to = 0; to < count; ++to) {
        if (to == index) {
            areas->data[to] = area;
            listeners->data[to] = listener;
            codes->data[to] = code;
            continue;
        }
        areas->data[to] = m_areas->data[from];
        listeners->data[to] = m_listeners->data[from];
        codes->data[to] = m_codes->data[from];
        ++from;
    }
    m_areas = std::move(areas);
    m_listeners = std::move(listeners);
    m_codes = std::move(codes);
    m_numAreas = count;
    m_areaChangeMade();
}

template <class Keep>
void TouchScreenAreaManager::m_removeEntries(Keep keep) {
    int32_t kept = 0;
    for (int32_t i = 0; i < m_numAreas; ++i)
        if (keep(i)) ++kept;
    if (kept != m_numAreas) {
        JavaPtr<AreaArray> areas = jnew<AreaArray>(kept);
        JavaPtr<ListenerArray> listeners = jnew<ListenerArray>(kept);
        JavaPtr<CodeArray> codes = jnew<CodeArray>(kept);
        for (int32_t i = 0, to = 0; i < m_numAreas && to < kept; ++i) {
            if (!keep(i)) continue;
            areas->data[to] = m_areas->data[i];
            listeners->data[to] = m_listeners->data[i];
            codes->data[to] = m_codes->data[i];
            ++to;
        }
        m_areas = std::move(areas);
        m_listeners = std::move(listeners);
        m_codes = std::move(codes);
        m_numAreas = kept;
    }
    m_areaChangeMade();
}

void TouchScreenAreaManager::m_areaChangeMade() {
    if (!m_areaPressed) return;
    bool codeFound = false;
    bool listenerFound = false;
    for (int32_t i = 0; i < m_numAreas; ++i) {
        if (m_pressedCode && m_codes->data[i]->equals(m_pressedCode)) codeFound = true;
        if (m_listeners->data[i] == m_pressedListener) listenerFound = true;
    }
    if (!codeFound) {
        m_pressedCode = nullptr;
        m_areaPressed = false;
    }
    if (!listenerFound) {
        m_pressedListener = nullptr;
        m_areaPressed = false;
    }
}

int TouchScreenAreaManager::m_hitTest(int x, int y) const {
    int hit = -1;
    for (int32_t i = 0; i < m_numAreas; ++i) {
        const JavaPtr<TouchScreenArea>& area = m_areas->data[i];
        if (area->m_group == m_currentGroup && area->contains(x, y)) hit = i;
    }
    return hit;
}

void TouchScreenAreaManager::m_clearPress() {
    m_areaPressed = false;
    m_pressedCode = nullptr;
    m_pressedArea = nullptr;
    m_pressedListener = nullptr;
}

}  // namespace javax::microedition::lcdui
