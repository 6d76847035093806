// javax.microedition.media.control.VolumeControl: the loudness of one player, 0 to 100, and its mute.
#pragma once

#include "media/Control.h"

namespace javax::microedition::media::control {

class VolumeControl : public virtual Control {
    TESL_INTERFACE(VolumeControl, "javax.microedition.media.control.VolumeControl", Control)
public:
    ~VolumeControl() override = default;
    virtual int getLevel() = 0;
    virtual bool isMuted() = 0;
    virtual int setLevel(int level) = 0;
    virtual void setMute(bool mute) = 0;
};

}  // namespace javax::microedition::media::control
