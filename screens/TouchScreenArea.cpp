#include "screens/TouchScreenArea.h"

namespace javax::microedition::lcdui {

TouchScreenArea::~TouchScreenArea() = default;

TouchScreenArea* TouchScreenArea::TESLinvokeconstructor(int x1, int y1, int x2, int y2, int group) {
    Object::TESLinvokeconstructor();
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    m_group = group;
    return this;
}

}  // namespace javax::microedition::lcdui
