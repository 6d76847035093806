#include "media/player_internalPF.h"

#include "platform/audio/AudioSession.h"
#include "platform/codecs/SoundDecoder.h"

std::atomic<unsigned char> _initialised_audio_session{0};
std::atomic<unsigned char> _in_an_interrupt{0};

namespace javax::microedition::media {

std::atomic<void (*)()> interruptionPauseAllPlayers{nullptr};

namespace {

constexpr int kAlFormatMono8 = 0x1100;
constexpr int kAlFormatMono16 = 0x1101;
constexpr int kAlFormatStereo8 = 0x1102;
constexpr int kAlFormatStereo16 = 0x1103;
constexpr uint16_t kNoVolume = 65535;

int alFormatOf(const platform::PcmFormat& format) {
    if (format.bitsPerChannel == 8) {
        if (format.channels == 1) return kAlFormatMono8;
        if (format.channels == 2) return kAlFormatStereo8;
    } else if (format.bitsPerChannel == 16) {
        if (format.channels == 1) return kAlFormatMono16;
        if (format.channels == 2) return kAlFormatStereo16;
    }
    return -1;
}

// Once per process, from the first clip that gets a queue. A failure leaves it to the next clip.
void setUpAudioSession() {
    static std::mutex setUpLock;
    std::lock_guard<std::mutex> guard(setUpLock);
    if (_initialised_audio_session.load() != 0) return;
    if (!platform::AudioSession::initialize(interruptionListenerCallback, nullptr)) return;
    platform::AudioSession::setCategory(_KEEP_MP3S_PLAYING_IN_BACKGROUND != 0
                                            ? platform::AudioSession::Category::AmbientSound
                                            : platform::AudioSession::Category::MediaPlayback);
    platform::AudioSession::setActive(true);
    _initialised_audio_session.store(1);
}

}  // namespace

void interruptionListenerCallback(void*, uint32_t state) {
    if (state == platform::AudioSession::kBeginInterruption) {
        _in_an_interrupt.store(1);
        if (auto pauseAll = interruptionPauseAllPlayers.load()) pauseAll();
        platform::AudioSession::setActive(false);
    } else if (state == platform::AudioSession::kEndInterruption) {
        // Players are not resumed here: the next start of each one makes its queue again.
        platform::AudioSession::setActive(true);
        _in_an_interrupt.store(0);
    }
}

void audioqueue_Callback(void* client, platform::AudioVoice queue, platform::AudioBuffer buffer) {
    auto* player = static_cast<player_internalPF*>(client);
    std::lock_guard<std::recursive_mutex> guard(player->m_lock);
    if (queue != player->queue || buffer != player->buffer) return;
    if (player->bufferQueued)
        player->halted = true;
    else
        player->enqueueBuffer();
}

player_internalPF::~player_internalPF() {
    destroy();
}

bool player_internalPF::setSoundData(void* data, long long length) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    // Only a rebuild after an interruption sets a clip again, and it destroys first; were a clip set
    // twice, the first one's voice would otherwise be lost.
    if (queue != 0 || alSource >= 0) destroy();
    soundData = data;
    bufferQueued = false;
    soundDataLength = length;
    busy = true;

    std::optional<platform::DecodedSound> sound;
    if (data != nullptr && length > 0)
        sound = platform::decodeSound({static_cast<const uint8_t*>(data), static_cast<size_t>(length)});
    // A clip that cannot be decoded gets no queue and no source: playing it answers false.
    if (sound) {
        dataFormat = sound->format;
        alFormat = alFormatOf(dataFormat);
        audioDataByteCount = sound->samples.size() * sizeof(int16_t);
        output = platform::AudioSession::output();
        if (useAudioQueue) {
            queue = output ? output->newVoice(dataFormat) : 0;
            if (_initialised_audio_session.load() == 0) setUpAudioSession();
            // The decoder gives the whole clip at once: one buffer holds all of it.
            if (queue != 0) {
                buffer = output->newBuffer(queue, sound->samples);
                enqueueBuffer();
            }
        } else if (output) {
            platform::AudioVoice source = output->newVoice(dataFormat);
            if (source != 0) {
                alSource = static_cast<int>(source);
                platform::AudioBuffer made = output->newBuffer(source, sound->samples);
                if (made != 0) {
                    alBuffer = static_cast<int>(made);
                    output->enqueue(source, made);
                }
            }
        }
        if (queue == 0 && alSource < 0) output.reset();
    }

    busy = false;
    interrupted = false;
    destroyed = false;
    return true;
}

bool player_internalPF::enqueueBuffer() {
    if (bufferQueued) {
        halted = true;
        return true;
    }
    if (_in_an_interrupt.load() != 0 || interrupted) return true;
    if (queue == 0 || buffer == 0) return false;
    switch (output->enqueue(queue, buffer)) {
        case platform::AudioStatus::SessionNotActive:
            destroy();
            return false;
        case platform::AudioStatus::Failed:
            // Counting this as queued would leave a player that answers every start and plays nothing.
            return false;
        case platform::AudioStatus::Ok:
            break;
    }
    halted = false;
    bufferQueued = true;
    return true;
}

bool player_internalPF::playSoundData() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    seekToTime(0);
    if (useAudioQueue) {
        bufferQueued = false;
        if (!enqueueBuffer()) return false;
    } else if (alSource >= 0) {
        output->start(static_cast<platform::AudioVoice>(alSource));
    }
    return resumePlayback();
}

bool player_internalPF::pausePlayback() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (queue != 0) {
        if (interrupted) return true;
        output->pause(queue);
        halted = true;
        return true;
    }
    if (alSource < 0) return false;
    output->pause(static_cast<platform::AudioVoice>(alSource));
    return true;
}

bool player_internalPF::resumePlayback() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (queue != 0 && _in_an_interrupt.load() == 0) {
        if (interrupted) {
            // The interrupted queue is dropped and the clip decoded again onto the session's output.
            destroy();
            setSoundData(soundData, soundDataLength);
            bufferQueued = false;
            if (!enqueueBuffer()) return false;
        } else if (!bufferQueued) {
            if (!enqueueBuffer()) return false;
        }
        if (volume != kNoVolume) output->setGain(queue, gain());
        if (output->start(queue) == platform::AudioStatus::Ok) {
            busy = true;
            halted = false;
            return true;
        }
        // A queue that will not start is torn down and reported, not left to pass for playing.
        destroy();
        return false;
    }
    if (alSource < 0) return false;
    auto source = static_cast<platform::AudioVoice>(alSource);
    if (volume != kNoVolume) output->setGain(source, gain());
    output->start(source);
    busy = true;
    return true;
}

bool player_internalPF::hasIncompletePlaybackTask() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (useAudioQueue) {
        if (_in_an_interrupt.load() != 0 || interrupted) return true;
        if (halted) {
            busy = false;
        } else if (queue != 0) {
            std::optional<platform::VoiceState> state = output->state(queue);
            if (state) {
                if (*state == platform::VoiceState::Stopped) audioqueue_Callback(this, queue, buffer);
                busy = *state == platform::VoiceState::Playing;
            }
        }
        return busy;
    }
    if (alSource >= 0) {
        std::optional<platform::VoiceState> state =
            output->state(static_cast<platform::AudioVoice>(alSource));
        if (state) busy = *state != platform::VoiceState::Stopped;
    }
    return busy;
}

long long player_internalPF::seekToTime(long long time) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (time != 0) return 0;
    if (queue != 0) output->stop(queue);
    bufferQueued = false;
    halted = true;
    if (alSource >= 0) output->stop(static_cast<platform::AudioVoice>(alSource));
    return 0;
}

long long player_internalPF::getPlaybackPos() {
    return -1;
}

bool player_internalPF::setVolume(int level) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    volume = static_cast<uint16_t>(level & 0xFFFF);
    if (volume == kNoVolume) return true;
    if (queue != 0 && _in_an_interrupt.load() == 0 && !interrupted) output->setGain(queue, gain());
    if (alSource >= 0) output->setGain(static_cast<platform::AudioVoice>(alSource), gain());
    return true;
}

int player_internalPF::getVolume() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return volume;
}

void player_internalPF::destroy() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (queue != 0 && !interrupted) output->stop(queue);
    if (buffer != 0) {
        output->freeBuffer(queue, buffer);
        buffer = 0;
        bufferQueued = false;
    }
    if (queue != 0) {
        output->disposeVoice(queue);
        queue = 0;
    }
    if (alBuffer >= 0) {
        output->freeBuffer(static_cast<platform::AudioVoice>(alSource),
                           static_cast<platform::AudioBuffer>(alBuffer));
        alBuffer = -1;
    }
    if (alSource >= 0) {
        output->disposeVoice(static_cast<platform::AudioVoice>(alSource));
        alSource = -1;
    }
    output.reset();
    busy = false;
    destroyed = true;
    // Nothing is left to make again, and a mark kept here would keep the player from ever being
    // deleted (the media tear-down would wait for it forever).
    interrupted = false;
}

bool player_internalPF::canBeDeleted() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (useAudioQueue) return queue == 0 && !interrupted && destroyed;
    return alSource < 0;
}

void player_internalPF::markInterrupted() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    // A torn-down player has no queue to make again; the mark would only keep a closed player from
    // ever being reaped (an interruption can reach it between its close and the next poll).
    if (destroyed) return;
    interrupted = true;
}

player_internalPF::PlaybackFlags player_internalPF::flags() const {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return PlaybackFlags{destroyed, interrupted, bufferQueued, halted,
                         busy,      queue != 0,  buffer != 0,  alSource >= 0};
}

}  // namespace javax::microedition::media
