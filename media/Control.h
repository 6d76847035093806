// javax.microedition.media.Control: what a player hands out by name (volume, tone).
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::media {

class Control : public virtual ::java::lang::Smart {
    TESL_INTERFACE(Control, "javax.microedition.media.Control", ::java::lang::Smart)
public:
    // Pure, so that no Control is made by itself.
    ~Control() override = 0;
};

inline Control::~Control() = default;

}  // namespace javax::microedition::media
