// The one player: holds a whole clip in memory, keeps the life-cycle state and a play sub-state,
// tells its listeners, hands out its controls, and steers one platform player. The media manager
// polls it from the ticker thread; that poll finds the end of playback and does the looping.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "media/AbstractPlatformPlayer.h"
#include "media/Player.h"
#include "media/PlayerListener.h"

namespace java::io {
class InputStream;
}

namespace javax::microedition::media {

namespace control {
class ToneControlImpl;
class VolumeControlImpl;
}  // namespace control

class PlayerImpl : public ::java::lang::Object, public Player {
    TESL_CLASS(PlayerImpl, "javax.microedition.media.PlayerImpl", ::java::lang::Object, Player)
public:
    // playState values.
    static constexpr int PLAY_IDLE = 0;
    static constexpr int PLAY_PLAYING = 1;
    static constexpr int PLAY_PAUSED = 2;
    static constexpr int PLAY_FAILED = 3;

    // Makes the platform player of every new player; tests put a scripted one in place.
    using PlatformPlayerFactory = AbstractPlatformPlayer* (*)();
    static std::atomic<PlatformPlayerFactory> platformPlayerFactory;
    static AbstractPlatformPlayer* newDefaultPlatformPlayer();

    // Without a clip and without a platform player; nothing starts such a player.
    PlayerImpl() noexcept {}
    // Reads the whole clip from the stream at once: as many bytes as it says are available, in one
    // read (bytes it fails to deliver stay zero). The stream is neither read again nor closed.
    explicit PlayerImpl(const JavaPtr<::java::io::InputStream>& stream);
    // Plays the array itself, not a copy.
    explicit PlayerImpl(const JavaPtr<JArray<signed char>>& clip);
    ~PlayerImpl() override;

    void addPlayerListener(const JavaPtr<PlayerListener>& listener) override;
    void close() override;
    void deallocate() override;
    JavaPtr<::java::lang::String> getContentType() override;
    JavaPtr<Control> getControl(const JavaPtr<::java::lang::String>& controlType) override;
    JavaPtr<JArray<JavaPtr<Control>>> getControls() override;
    long long getDuration() override;
    long long getMediaTime() override;
    int getState() override;
    JavaPtr<TimeBase> getTimeBase() override;
    void prefetch() override;
    void realize() override;
    void removePlayerListener(const JavaPtr<PlayerListener>& listener) override;
    void setLoopCount(int count) override;
    long long setMediaTime(long long now) override;
    void setTimeBase(const JavaPtr<TimeBase>& master) override;
    void start() override;
    void stop() override;
    // With true a started player plays again from the start; the poll restarts loops this way.
    virtual void start(bool restartWhenStarted);
    virtual int setVolume(int level);
    virtual int getVolume();

    // The media manager's poll: true once the player may leave the manager's table (it then frees
    // its platform player and its clip).
    bool canBeDeleted();
    // The end-of-media poll, with the looping.
    void tick();
    void init();
    // An audio interruption began: the platform player pauses and must be rebuilt before it plays.
    void interruptPause();

    // What the tests look at.
    int getPlayState();
    int getLoopCount();
    int listenerSlotCount();
    JavaPtr<PlayerListener> listenerInSlot(int slot);
    bool hasPlatformPlayer();

private:
    void requireNotClosed();
    long long mediaTimeLocked();
    // Tells every listener in slot order. The lock is not held while a listener runs, and each slot
    // is read afresh, so listeners may add, remove and call back into the player.
    void deliver(const JavaPtr<::java::lang::String>& event, const JavaPtr<::java::lang::Object>& data);

    // Guards every field below: the application's threads, the ticker's poll and the interruption
    // listener reach the player at once.
    std::mutex m_lock;
    // A null slot is free; grows by one slot at a time and never shrinks.
    std::vector<JavaPtr<PlayerListener>> listeners;
    JavaPtr<JArray<signed char>> data;
    int state = 0;
    // Plays still to come: 1 once, N > 1 N times, -1 without end, any other negative value once.
    int loopCount = 0;
    int playState = PLAY_IDLE;
    bool closed = false;
    // Owned outright; deleted when the player is reaped or destroyed.
    AbstractPlatformPlayer* platformPlayer = nullptr;
    JavaPtr<control::ToneControlImpl> toneControl;
    JavaPtr<control::VolumeControlImpl> volumeControl;
};

}  // namespace javax::microedition::media
