// javax.microedition.lcdui.TouchScreenArea: one rectangle of the touch-area registry. Both edges are
// inside it.
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::lcdui {

class TouchScreenArea : public java::lang::Object {
    TESL_CLASS(TouchScreenArea, "javax.microedition.lcdui.TouchScreenArea", java::lang::Object)
public:
    TouchScreenArea() noexcept {}
    ~TouchScreenArea() override;

    TouchScreenArea* TESLinvokeconstructor(int x1, int y1, int x2, int y2, int group);

    bool contains(int x, int y) const { return m_x1 <= x && x <= m_x2 && m_y1 <= y && y <= m_y2; }

    // Written once by the constructor body; an area is replaced, never changed.
    int m_x1 = 0;
    int m_x2 = 0;
    int m_y1 = 0;
    int m_y2 = 0;
    int m_group = 0;
};

}  // namespace javax::microedition::lcdui
