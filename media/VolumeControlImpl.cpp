#include "media/VolumeControlImpl.h"

#include <utility>

#include "media/PlayerImpl.h"

namespace javax::microedition::media::control {

namespace {

using Guard = std::lock_guard<std::mutex>;

constexpr int kNoLevel = -1;
// What the platform player answers while no level was ever given to it.
constexpr int kPlatformNoVolume = 65535;
// A player without a level plays at full gain.
constexpr int kFullLevel = 100;

}  // namespace

VolumeControlImpl::~VolumeControlImpl() {
    parent = nullptr;
}

VolumeControlImpl* VolumeControlImpl::TESLinvokeconstructor(const JavaPtr<PlayerImpl>& player) {
    Object::TESLinvokeconstructor();
    parent = player;
    level = kNoLevel;
    muted = false;
    levelSet = false;
    return this;
}

VolumeControlImpl* VolumeControlImpl::TESLinvokeconstructor() {
    return TESLinvokeconstructor(JavaPtr<PlayerImpl>());
}

VolumeControlImpl::Snapshot VolumeControlImpl::snapshot() {
    Guard guard(m_lock);
    return Snapshot{parent, level, muted, levelSet};
}

JavaPtr<PlayerImpl> VolumeControlImpl::live(JavaPtr<PlayerImpl> player) {
    if (!player || player->getState() == Player::CLOSED) return nullptr;
    return player;
}

int VolumeControlImpl::getLevel() {
    Snapshot now = snapshot();
    JavaPtr<PlayerImpl> player = live(now.player);
    if (!player || now.level != kNoLevel) return now.level;
    if (player->getState() == Player::REALIZED && !now.levelSet) return kNoLevel;
    int volume = player->getVolume();
    // The platform's "no level given" is not a level: such a player plays at full gain.
    if (volume == kPlatformNoVolume) volume = kFullLevel;
    Guard guard(m_lock);
    level = volume;
    return volume;
}

bool VolumeControlImpl::isMuted() {
    Snapshot now = snapshot();
    if (!live(now.player)) return false;
    return now.muted;
}

int VolumeControlImpl::setLevel(int requested) {
    Snapshot now = snapshot();
    JavaPtr<PlayerImpl> player = live(now.player);
    if (!player) return -1;
    const int clamped = requested < 0 ? 0 : (requested > 100 ? 100 : requested);
    {
        Guard guard(m_lock);
        levelSet = true;
        // A muted player stays silent: the level is kept and applied when it is unmuted.
        if (muted) {
            level = clamped;
            return clamped;
        }
    }
    if (clamped == now.level) return clamped;
    if (player->setVolume(clamped) == 0) return now.level;
    Guard guard(m_lock);
    level = clamped;
    return clamped;
}

void VolumeControlImpl::setMute(bool mute) {
    Snapshot now = snapshot();
    JavaPtr<PlayerImpl> player = live(now.player);
    if (!player || mute == now.muted) return;
    // Unmuting without a known level restores full gain, not the platform's "no level" marker,
    // which would leave the player silent.
    const int volume = mute ? 0 : (now.level == kNoLevel ? kFullLevel : now.level);
    if (player->setVolume(volume) == 0) return;
    Guard guard(m_lock);
    muted = mute;
}

void VolumeControlImpl::notifyParentClosed() {
    JavaPtr<PlayerImpl> released;
    Guard guard(m_lock);
    released = std::move(parent);
}

bool VolumeControlImpl::isParentClosed() {
    return !live(snapshot().player);
}

}  // namespace javax::microedition::media::control
