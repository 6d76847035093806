// javax.microedition.media.control.ToneControl: takes a tone sequence, and the bytes that build one.
#pragma once

#include "media/Control.h"
#include "runtime/JArray.h"

namespace javax::microedition::media::control {

class ToneControl : public virtual Control {
    TESL_INTERFACE(ToneControl, "javax.microedition.media.control.ToneControl", Control)
public:
    static constexpr signed char VERSION = -2;
    static constexpr signed char TEMPO = -3;
    static constexpr signed char RESOLUTION = -4;
    static constexpr signed char BLOCK_START = -5;
    static constexpr signed char BLOCK_END = -6;
    static constexpr signed char PLAY_BLOCK = -7;
    static constexpr signed char SET_VOLUME = -8;
    static constexpr signed char REPEAT = -9;
    static constexpr signed char SILENCE = -1;
    static constexpr signed char C4 = 60;

    ~ToneControl() override = default;
    virtual void setSequence(const JavaPtr<JArray<signed char>>& sequence) = 0;
};

}  // namespace javax::microedition::media::control
