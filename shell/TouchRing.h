// The touch queue of the threaded-input build: the main thread appends touches, the ticker thread
// delivers them to the current canvas. One writer and one reader, so the indices are atomics.
#pragma once

#include <atomic>
#include <cstdint>

class TouchRing {
public:
    static constexpr int kSize = 1024;
    enum Kind : int8_t { pressed = 1, dragged = 2, released = 3 };

    // The ring the entries and the ticker share.
    static TouchRing& shared();

    // Appends on the main thread. A full ring drops the new touch (false): overwriting would make
    // 1024 unread touches look like none.
    bool append(int x, int y, Kind kind);
    // Delivers every unread touch in order to the current canvas, on the ticker thread; nothing is
    // taken while no canvas is current.
    void drain();
    int unread() const;
    void reset();
    // Puts both indices at `index` (tests of the wrap-around).
    void resetAt(int index);

private:
    int32_t m_x[kSize] = {};
    int32_t m_y[kSize] = {};
    int8_t m_kind[kSize] = {};
    std::atomic<int32_t> m_start{0};
    std::atomic<int32_t> m_end{0};
};
