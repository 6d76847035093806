#include "screens/KeyInternal.h"

namespace javax::microedition::lcdui {

KeyInternal::~KeyInternal() = default;

KeyInternal* KeyInternal::TESLinvokeconstructor(int x_, int y_, int width_, int height_,
                                                const JavaPtr<java::lang::String>& label_) {
    Object::TESLinvokeconstructor();
    x = x_;
    y = y_;
    width = width_;
    height = height_;
    label = label_;
    return this;
}

}  // namespace javax::microedition::lcdui
