#include "shell/TouchRing.h"

#include "shell/Display.h"

using javax::microedition::lcdui::Display;

TouchRing& TouchRing::shared() {
    static TouchRing ring;
    return ring;
}

bool TouchRing::append(int x, int y, Kind kind) {
    const int32_t end = m_end.load(std::memory_order_relaxed);
    const int32_t next = (end + 1) % kSize;
    // One slot stays free, so a full ring never looks empty.
    if (next == m_start.load(std::memory_order_acquire)) return false;
    m_x[end] = x;
    m_y[end] = y;
    m_kind[end] = kind;
    m_end.store(next, std::memory_order_release);
    return true;
}

void TouchRing::drain() {
    auto canvas = Display::currentCanvas();
    if (!canvas) return;
    const int32_t start = m_start.load(std::memory_order_relaxed);
    int32_t end = m_end.load(std::memory_order_acquire);
    if (start == end) return;
    if (start > end) end += kSize;
    for (int32_t i = start; i < end; ++i) {
        const int32_t slot = i % kSize;
        switch (m_kind[slot]) {
            case dragged:
                canvas->pointerDragged(m_x[slot], m_y[slot]);
                break;
            case released:
                canvas->pointerReleased(m_x[slot], m_y[slot]);
                break;
            case pressed:
                canvas->pointerPressed(m_x[slot], m_y[slot]);
                break;
            default:
                break;
        }
    }
    m_start.store(end % kSize, std::memory_order_release);
}

int TouchRing::unread() const {
    const int32_t start = m_start.load();
    const int32_t end = m_end.load();
    return (end - start + kSize) % kSize;
}

void TouchRing::reset() {
    resetAt(0);
}

void TouchRing::resetAt(int index) {
    m_start.store(index % kSize);
    m_end.store(index % kSize);
}
