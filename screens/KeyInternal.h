// javax.microedition.lcdui.KeyInternal: one key of the on-screen keyboard, a rectangle in screen pixels
// and its label. Both edges are on the key, so neighbours share their border line.
#pragma once

#include <cstdint>

#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::lcdui {

class KeyInternal : public java::lang::Object {
    TESL_CLASS(KeyInternal, "javax.microedition.lcdui.KeyInternal", java::lang::Object)
public:
    KeyInternal() noexcept {}
    ~KeyInternal() override;

    KeyInternal* TESLinvokeconstructor(int x, int y, int width, int height,
                                       const JavaPtr<java::lang::String>& label);

    bool contains(int px, int py) const { return x <= px && px <= x + width && y <= py && py <= y + height; }

    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    JavaPtr<java::lang::String> label;
};

}  // namespace javax::microedition::lcdui
