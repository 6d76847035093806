// javax.microedition.media.control.MetaDataControl: no player offers one; only its key names exist.
#pragma once

#include "media/Control.h"
#include "runtime/String.h"

namespace javax::microedition::media::control {

class MetaDataControl : public virtual Control {
    TESL_INTERFACE(MetaDataControl, "javax.microedition.media.control.MetaDataControl", Control)
public:
    // Pure: no MetaDataControl is ever made.
    ~MetaDataControl() override = 0;

    static void MetaDataControl_staticInit();
    static void MetaDataControl_staticDestroy();

    static constinit JavaPtr<::java::lang::String> AUTHOR_KEY;
    static constinit JavaPtr<::java::lang::String> COPYRIGHT_KEY;
    static constinit JavaPtr<::java::lang::String> DATE_KEY;
    static constinit JavaPtr<::java::lang::String> TITLE_KEY;
};

inline MetaDataControl::~MetaDataControl() = default;

}  // namespace javax::microedition::media::control
