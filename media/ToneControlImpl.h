// The tone control of one player: it takes a sequence and plays nothing.
#pragma once

#include <mutex>

#include "media/ToneControl.h"

namespace javax::microedition::media {
class PlayerImpl;
}

namespace javax::microedition::media::control {

class ToneControlImpl : public ::java::lang::Object, public virtual ToneControl {
    TESL_CLASS(ToneControlImpl, "javax.microedition.media.control.ToneControlImpl", ::java::lang::Object,
               ToneControl)
public:
    ToneControlImpl() noexcept {}
    ~ToneControlImpl() override;

    ToneControlImpl* TESLinvokeconstructor(const JavaPtr<PlayerImpl>& player);

    void setSequence(const JavaPtr<JArray<signed char>>& sequence) override;

    void notifyParentClosed();

private:
    // Guards parent: the player's close may run on another thread.
    std::mutex m_lock;
    JavaPtr<PlayerImpl> parent;
};

}  // namespace javax::microedition::media::control
