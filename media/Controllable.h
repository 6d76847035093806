// javax.microedition.media.Controllable: an object that hands out controls by name.
#pragma once

#include "media/Control.h"
#include "runtime/JArray.h"
#include "runtime/String.h"

namespace javax::microedition::media {

class Controllable : public virtual ::java::lang::Smart {
    TESL_INTERFACE(Controllable, "javax.microedition.media.Controllable", ::java::lang::Smart)
public:
    virtual JavaPtr<Control> getControl(const JavaPtr<::java::lang::String>& controlType) = 0;
    virtual JavaPtr<JArray<JavaPtr<Control>>> getControls() = 0;
    ~Controllable() override = default;
};

}  // namespace javax::microedition::media
