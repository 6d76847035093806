// javax.microedition.lcdui.Display: the one display of the system. So far it holds the screen size
// that every new Graphics takes as its buffer size.
#pragma once

#include <cstdint>

#include "runtime/Object.h"

namespace javax::microedition::lcdui {

class Display : public java::lang::Object {
    TESL_CLASS(Display, "javax.microedition.lcdui.Display", java::lang::Object)
public:
    Display() noexcept {}
    ~Display() override;

    Display* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    // Screen size in pixels. Defined in the header so that the graphics library, which reads them,
    // does not link the shell that sits above it.
    static inline int32_t screenWidth = 0;
    static inline int32_t screenHeight = 0;
};

}  // namespace javax::microedition::lcdui
