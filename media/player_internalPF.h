// The platform player on the Linux audio layer. The clip is decoded once, on the constructing thread,
// into one buffer of 16-bit PCM, which one voice of the audio session's output plays; the voice is
// steered as a queue holding that one buffer. The end of playback is found only when asked.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "media/AbstractPlatformPlayer.h"
#include "platform/audio/AudioOutput.h"

// Process-wide audio state shared by every platform player.
extern std::atomic<unsigned char> _initialised_audio_session;
extern std::atomic<unsigned char> _in_an_interrupt;
// Chooses the audio session's category: ambient sound when set, media playback when clear.
inline constexpr unsigned char _KEEP_MP3S_PLAYING_IN_BACKGROUND = 0;

namespace javax::microedition::media {

// Pauses every player the media manager holds and marks each one's platform player interrupted
// (the players' interruptPause). The manager installs it; while none is installed an interruption
// pauses no player.
extern std::atomic<void (*)()> interruptionPauseAllPlayers;

// The audio session's interruption listener: state 1 begins an interruption, 0 ends it.
void interruptionListenerCallback(void* userData, uint32_t state);
// Told when the voice has finished with its buffer.
void audioqueue_Callback(void* client, platform::AudioVoice queue, platform::AudioBuffer buffer);

class player_internalPF final : public AbstractPlatformPlayer {
public:
    struct PlaybackFlags {
        bool destroyed;
        bool interrupted;
        bool bufferQueued;
        bool halted;
        bool busy;
        bool hasQueue;
        bool hasBuffer;
        bool hasSource;
    };

    // Every player of the application plays through a queue; without one it plays on a bare source.
    explicit player_internalPF(bool useAudioQueue = true) : useAudioQueue(useAudioQueue) {}
    ~player_internalPF() override;
    player_internalPF(const player_internalPF&) = delete;
    player_internalPF& operator=(const player_internalPF&) = delete;

    bool setSoundData(void* data, long long length) override;
    bool playSoundData() override;
    bool pausePlayback() override;
    bool resumePlayback() override;
    bool hasIncompletePlaybackTask() override;
    long long seekToTime(long long time) override;
    long long getPlaybackPos() override;
    bool setVolume(int level) override;
    int getVolume() override;
    void destroy() override;
    bool canBeDeleted() override;

    // Set by the player's interruptPause once playback is paused: the queue must be made again
    // before it plays. Nothing is marked once the player was destroyed.
    void markInterrupted();
    PlaybackFlags flags() const;

    // Hooks that nothing calls.
    void reachedEndOfSoundData() {}
    void reachedMediaPosMS(long long) {}
    void volumeFound(unsigned short) {}

private:
    friend void audioqueue_Callback(void*, platform::AudioVoice, platform::AudioBuffer);

    // Hands the buffer to the queue. False when nothing could be queued because of a failure.
    bool enqueueBuffer();
    float gain() const { return static_cast<float>(volume) * 0.01f; }

    // Guards every field: the application's threads, the ticker's poll and the interruption
    // listener all reach the player. Recursive, since the operations call one another.
    mutable std::recursive_mutex m_lock;
    platform::PcmFormat dataFormat;
    const bool useAudioQueue;
    void* soundData = nullptr;
    long long soundDataLength = 0;
    bool destroyed = false;
    bool interrupted = false;
    platform::AudioVoice queue = 0;
    platform::AudioBuffer buffer = 0;
    bool bufferQueued = false;
    bool halted = false;
    int alFormat = -1;
    unsigned long long audioDataByteCount = 0;
    int alSource = -1;
    int alBuffer = -1;
    bool busy = false;
    uint16_t volume = 65535;
    // The output the voices were made on, kept while any of them lives.
    std::shared_ptr<platform::AudioOutput> output;
};

}  // namespace javax::microedition::media
