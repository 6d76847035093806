// The volume control of one player. It and its player count each other until the player closes
// and tells the control to let go.
#pragma once

#include <mutex>

#include "media/VolumeControl.h"

namespace javax::microedition::media {
class PlayerImpl;
}

namespace javax::microedition::media::control {

class VolumeControlImpl : public ::java::lang::Object, public virtual VolumeControl {
    TESL_CLASS(VolumeControlImpl, "javax.microedition.media.control.VolumeControlImpl", ::java::lang::Object,
               VolumeControl)
public:
    VolumeControlImpl() noexcept {}
    ~VolumeControlImpl() override;

    VolumeControlImpl* TESLinvokeconstructor(const JavaPtr<PlayerImpl>& player);
    VolumeControlImpl* TESLinvokeconstructor();

    int getLevel() override;
    bool isMuted() override;
    int setLevel(int level) override;
    void setMute(bool mute) override;

    void notifyParentClosed();
    bool isParentClosed();

private:
    struct Snapshot {
        JavaPtr<PlayerImpl> player;
        int level;
        bool muted;
        bool levelSet;
    };
    Snapshot snapshot();
    // The player while it is open, else null.
    static JavaPtr<PlayerImpl> live(JavaPtr<PlayerImpl> player);

    // Guards the fields below. Never held while the player is called: the player tells its
    // listeners of a new volume, and they may ask this control again.
    std::mutex m_lock;
    JavaPtr<PlayerImpl> parent;
    // In percent; -1 while no level is known.
    int level = 0;
    bool muted = false;
    bool levelSet = false;
};

}  // namespace javax::microedition::media::control
