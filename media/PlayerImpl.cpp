#include "media/PlayerImpl.h"

#include <optional>
#include <utility>

#include "library/InputStream.h"
#include "library/SlotWalk.h"
#include "media/Manager.h"
#include "media/MediaException.h"
#include "media/ToneControlImpl.h"
#include "media/VolumeControlImpl.h"
#include "media/player_internalPF.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/Long.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::media {

using ::java::lang::IllegalArgumentException;
using ::java::lang::IllegalStateException;
using ::java::lang::Long;
using ::java::lang::Object;
using ::java::lang::String;
using Guard = std::lock_guard<std::mutex>;

std::atomic<PlayerImpl::PlatformPlayerFactory> PlayerImpl::platformPlayerFactory{
    &PlayerImpl::newDefaultPlatformPlayer};

AbstractPlatformPlayer* PlayerImpl::newDefaultPlatformPlayer() {
    return new player_internalPF();
}

namespace {

bool named(const JavaPtr<String>& name, const char* text) {
    return name->equals(jnew<String>(text));
}

}  // namespace

PlayerImpl::PlayerImpl(const JavaPtr<::java::io::InputStream>& stream) {
    if (!stream) throw ::java::lang::NullPointerException();
    data = jnewArray<signed char>(stream->available());
    stream->read(data);
    init();
}

PlayerImpl::PlayerImpl(const JavaPtr<JArray<signed char>>& clip) {
    data = clip;
    init();
}

PlayerImpl::~PlayerImpl() {
    delete platformPlayer;
    platformPlayer = nullptr;
    data = nullptr;
    volumeControl = nullptr;
    toneControl = nullptr;
    listeners.clear();
}

void PlayerImpl::init() {
    playState = PLAY_IDLE;
    state = UNREALIZED;
    closed = false;
    loopCount = 1;
    listeners.clear();
    toneControl = nullptr;
    volumeControl = nullptr;
    delete platformPlayer;
    platformPlayer = platformPlayerFactory.load()();
    if (platformPlayer == nullptr) return;
    // The platform player decodes the whole clip here, on the constructing thread, and reads the
    // array in place for as long as it lives.
    const bool hasBytes = data && data->length > 0;
    platformPlayer->setSoundData(hasBytes ? data->data : nullptr, hasBytes ? data->length : 0);
}

void PlayerImpl::requireNotClosed() {
    if (state == CLOSED) throw IllegalStateException();
}

long long PlayerImpl::mediaTimeLocked() {
    if (platformPlayer == nullptr) return -1;
    if (!platformPlayer->hasIncompletePlaybackTask()) return 0;
    return platformPlayer->getPlaybackPos();
}

void PlayerImpl::deliver(const JavaPtr<String>& event, const JavaPtr<Object>& eventData) {
    // Keeps the player alive while a listener drops the last outside reference to it.
    JavaPtr<Player> self(this);
    tesl::forEachSlotUnlocked(
        m_lock,
        [this](int32_t slot) -> std::optional<JavaPtr<PlayerListener>> {
            // Once another thread has closed the player, its listeners have been told "closed" (or
            // are being told): an event still under way here is not passed on after it.
            if (closed || slot >= static_cast<int32_t>(listeners.size())) return std::nullopt;
            return listeners[slot];
        },
        [&](int32_t, const JavaPtr<PlayerListener>& listener) {
            if (listener) listener->playerUpdate(self, event, eventData);
        });
}

void PlayerImpl::addPlayerListener(const JavaPtr<PlayerListener>& listener) {
    Guard guard(m_lock);
    if (state == CLOSED || state == STARTED) throw IllegalStateException();
    if (!listener) return;
    int freeSlot = -1;
    for (int slot = 0; slot < static_cast<int>(listeners.size()); ++slot) {
        if (listeners[slot] == listener) return;
        if (!listeners[slot]) freeSlot = slot;
    }
    if (freeSlot >= 0)
        listeners[freeSlot] = listener;
    else
        listeners.push_back(listener);
}

void PlayerImpl::removePlayerListener(const JavaPtr<PlayerListener>& listener) {
    // Released after the lock: the listener's last reference may go with the slot.
    JavaPtr<PlayerListener> removed;
    Guard guard(m_lock);
    if (!listener) return;
    for (auto& slot : listeners) {
        if (slot == listener) {
            removed = std::move(slot);
            return;
        }
    }
}

void PlayerImpl::close() {
    JavaPtr<PlayerImpl> self(this);
    {
        Guard guard(m_lock);
        if (state == CLOSED) return;
        closed = true;
        state = CLOSED;
    }
    tesl::forEachSlotUnlocked(
        m_lock,
        [this](int32_t slot) -> std::optional<JavaPtr<PlayerListener>> {
            if (slot >= static_cast<int32_t>(listeners.size())) return std::nullopt;
            return listeners[slot];
        },
        [&](int32_t slot, const JavaPtr<PlayerListener>& listener) {
            if (!listener) return;
            listener->playerUpdate(JavaPtr<Player>(self), PlayerListener::CLOSED, nullptr);
            // Released after the lock: the walk still holds the listener, and lets it go unlocked.
            JavaPtr<PlayerListener> unregistered;
            Guard guard(m_lock);
            if (slot < static_cast<int32_t>(listeners.size()) && listeners[slot] == listener)
                unregistered = std::move(listeners[slot]);
        });
    // The controls count the player: letting them go breaks the cycle.
    JavaPtr<control::ToneControlImpl> tone;
    JavaPtr<control::VolumeControlImpl> volume;
    {
        Guard guard(m_lock);
        tone = std::move(toneControl);
        volume = std::move(volumeControl);
    }
    if (tone) tone->notifyParentClosed();
    if (volume) volume->notifyParentClosed();
    Guard guard(m_lock);
    // The platform player and the clip stay until the manager's poll finds the player deletable.
    if (platformPlayer != nullptr) platformPlayer->destroy();
}

void PlayerImpl::deallocate() {
    int current;
    {
        Guard guard(m_lock);
        requireNotClosed();
        current = state;
    }
    if (current == STARTED) stop();
    Guard guard(m_lock);
    if (state == PREFETCHED || state == STARTED) state = REALIZED;
}

JavaPtr<String> PlayerImpl::getContentType() {
    return jnew<String>();
}

JavaPtr<Control> PlayerImpl::getControl(const JavaPtr<String>& controlType) {
    Guard guard(m_lock);
    if (state == CLOSED || state == UNREALIZED) throw IllegalStateException();
    if (!controlType) throw IllegalArgumentException();
    if (named(controlType, "javax.microedition.media.control.VolumeControl") ||
        named(controlType, "VolumeControl")) {
        if (!volumeControl) volumeControl = jnew<control::VolumeControlImpl>(JavaPtr<PlayerImpl>(this));
        return volumeControl;
    }
    if (named(controlType, "javax.microedition.media.control.ToneControl") ||
        named(controlType, "ToneControl")) {
        if (!toneControl) toneControl = jnew<control::ToneControlImpl>(JavaPtr<PlayerImpl>(this));
        return toneControl;
    }
    return nullptr;
}

JavaPtr<JArray<JavaPtr<Control>>> PlayerImpl::getControls() {
    Guard guard(m_lock);
    if (state == CLOSED || state == UNREALIZED) throw IllegalStateException();
    return nullptr;
}

long long PlayerImpl::getDuration() {
    Guard guard(m_lock);
    requireNotClosed();
    return TIME_UNKNOWN;
}

long long PlayerImpl::getMediaTime() {
    Guard guard(m_lock);
    requireNotClosed();
    return mediaTimeLocked();
}

int PlayerImpl::getState() {
    Guard guard(m_lock);
    return state;
}

JavaPtr<TimeBase> PlayerImpl::getTimeBase() {
    return nullptr;
}

void PlayerImpl::setTimeBase(const JavaPtr<TimeBase>&) {}

void PlayerImpl::realize() {
    Guard guard(m_lock);
    requireNotClosed();
    if (state == UNREALIZED) state = REALIZED;
}

void PlayerImpl::prefetch() {
    int current;
    {
        Guard guard(m_lock);
        requireNotClosed();
        current = state;
    }
    if (current == UNREALIZED) realize();
    Guard guard(m_lock);
    requireNotClosed();
    if (state == REALIZED) state = PREFETCHED;
}

void PlayerImpl::setLoopCount(int count) {
    Guard guard(m_lock);
    if (state == CLOSED || state == STARTED) throw IllegalStateException();
    if (count == 0) throw IllegalArgumentException();
    loopCount = count;
}

long long PlayerImpl::setMediaTime(long long now) {
    Guard guard(m_lock);
    if (state == CLOSED || state == UNREALIZED) throw IllegalStateException();
    if (platformPlayer == nullptr) throw MediaException();
    long long answer = platformPlayer->seekToTime(now < 0 ? 0 : now);
    if (answer == -1) throw MediaException();
    return answer;
}

void PlayerImpl::start() {
    start(false);
}

void PlayerImpl::start(bool restartWhenStarted) {
    int current;
    {
        Guard guard(m_lock);
        requireNotClosed();
        current = state;
    }
    if (current == STARTED && !restartWhenStarted) return;
    if (current == UNREALIZED || current == REALIZED) prefetch();
    long long mediaTime;
    {
        Guard guard(m_lock);
        // Closed or started by another thread meanwhile.
        if (state == CLOSED) return;
        if (state == STARTED && !restartWhenStarted) return;
        if (platformPlayer == nullptr) {
            playState = PLAY_FAILED;
            throw MediaException();
        }
        bool playing;
        if (playState == PLAY_PAUSED) {
            playing = platformPlayer->resumePlayback();
            mediaTime = platformPlayer->getPlaybackPos();
        } else {
            playing = platformPlayer->playSoundData();
            mediaTime = 0;
        }
        if (!playing) {
            playState = PLAY_FAILED;
            throw MediaException();
        }
        // Set with the state, not after the event: a stop made during the event, by a listener or
        // another thread, must not be overwritten (the poll would take it for a running play).
        state = STARTED;
        playState = PLAY_PLAYING;
    }
    deliver(PlayerListener::STARTED, jnew<Long>(mediaTime));
}

void PlayerImpl::stop() {
    long long mediaTime;
    {
        Guard guard(m_lock);
        if (state == CLOSED) {
            if (Manager::soundSystemTerminating()) return;
            throw IllegalStateException();
        }
        if (state != STARTED) return;
        if (platformPlayer == nullptr || !platformPlayer->pausePlayback()) {
            playState = PLAY_FAILED;
            if (Manager::soundSystemTerminating()) return;
            throw MediaException();
        }
        state = PREFETCHED;
        mediaTime = mediaTimeLocked();
        playState = PLAY_PAUSED;
    }
    deliver(PlayerListener::STOPPED, jnew<Long>(mediaTime));
}

int PlayerImpl::setVolume(int level) {
    JavaPtr<Object> control;
    {
        Guard guard(m_lock);
        if (platformPlayer == nullptr) return 0;
        if (!platformPlayer->setVolume(level)) return 0;
        control = volumeControl;
    }
    deliver(PlayerListener::VOLUME_CHANGED, control);
    return 1;
}

int PlayerImpl::getVolume() {
    Guard guard(m_lock);
    if (platformPlayer == nullptr) return -1;
    return platformPlayer->getVolume();
}

bool PlayerImpl::canBeDeleted() {
    JavaPtr<JArray<signed char>> clip;
    Guard guard(m_lock);
    if (platformPlayer == nullptr) return true;
    if (state != CLOSED || !platformPlayer->canBeDeleted()) return false;
    delete platformPlayer;
    platformPlayer = nullptr;
    clip = std::move(data);
    return true;
}

void PlayerImpl::tick() {
    int previousPlayState;
    long long mediaTime;
    {
        Guard guard(m_lock);
        if (platformPlayer == nullptr || closed) return;
        if (playState != PLAY_PLAYING && playState != PLAY_PAUSED) return;
        if (platformPlayer->hasIncompletePlaybackTask()) return;
        previousPlayState = playState;
        // A player deallocated since its stop stays realized: the poll only ends its play.
        if (state == STARTED) state = PREFETCHED;
        playState = PLAY_IDLE;
        mediaTime = mediaTimeLocked();
    }
    deliver(PlayerListener::END_OF_MEDIA, jnew<Long>(mediaTime));
    {
        Guard guard(m_lock);
        // A play ended by stop does not loop.
        if (previousPlayState != PLAY_PLAYING || (loopCount <= 1 && loopCount != -1)) return;
        if (loopCount != -1) --loopCount;
    }
    try {
        start(true);
    } catch (::java::lang::Exception&) {
        // The restart failed: the player stays PREFETCHED with playState failed, and the poll goes on.
    }
}

void PlayerImpl::interruptPause() {
    Guard guard(m_lock);
    if (platformPlayer == nullptr) return;
    platformPlayer->pausePlayback();
    if (auto* platform = dynamic_cast<player_internalPF*>(platformPlayer)) platform->markInterrupted();
}

int PlayerImpl::getPlayState() {
    Guard guard(m_lock);
    return playState;
}

int PlayerImpl::getLoopCount() {
    Guard guard(m_lock);
    return loopCount;
}

int PlayerImpl::listenerSlotCount() {
    Guard guard(m_lock);
    return static_cast<int>(listeners.size());
}

JavaPtr<PlayerListener> PlayerImpl::listenerInSlot(int slot) {
    Guard guard(m_lock);
    if (slot < 0 || slot >= static_cast<int>(listeners.size())) return nullptr;
    return listeners[slot];
}

bool PlayerImpl::hasPlatformPlayer() {
    Guard guard(m_lock);
    return platformPlayer != nullptr;
}

}  // namespace javax::microedition::media
