// The 21 sound channels: each holds one sound resource's bytes and one media player made from them,
// under a limit of eight prefetched and eight playing players with priorities. Also vibration, the
// backlight hook and the tone beep.
#include <cstdint>
#include <limits>
#include <mutex>

#include "engine/AppMidlet.h"
#include "engine/CanvasClock.h"
#include "engine/HookCanvas.h"
#include "library/ByteArrayInputStream.h"
#include "media/Manager.h"
#include "media/Player.h"
#include "media/ToneControl.h"
#include "media/VolumeControl.h"
#include "runtime/Exception.h"
#include "shell/Display.h"

using java::lang::Exception;
using javax::microedition::media::Manager;
using javax::microedition::media::Player;
using javax::microedition::media::control::ToneControl;
using javax::microedition::media::control::VolumeControl;

namespace {

constexpr int32_t kChannels = HookCanvas::PARAM_TS_SOUND_AUDIO_MAX_PIECES;

JavaPtr<VolumeControl> volumeControlOf(const JavaPtr<Player>& player) {
    return jcast<VolumeControl>(player->getControl(jnew<java::lang::String>("VolumeControl")));
}

}  // namespace

void HookCanvas::keepTheLightOn(int64_t) {}

void HookCanvas::vibrate(int32_t ms) {
    // Before the MIDlet has shown the canvas there is no display to ask; the end time still counts.
    if (JavaPtr<javax::microedition::lcdui::Display> display = AppMidlet::display()) display->vibrate(ms);
    vibration_end_time.store(ms < 1 ? 0 : engine::CanvasClock::currentTimeMillis() + ms);
}

bool HookCanvas::isPrefetchedOrStarted(int32_t state) {
    return state == Player::PREFETCHED || state == Player::STARTED;
}

int32_t HookCanvas::alreadyLoadedChannel(int32_t resourceId) {
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    for (int32_t ch = 0; ch < kChannels; ++ch) {
        if (sound_resource_ids->data[ch] == resourceId && (sound_data->data[ch] || sound_players->data[ch]))
            return ch;
    }
    return -1;
}

int32_t HookCanvas::loadSound(int32_t resourceId) {
    if (resourceId < 0) return -1;
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    const int32_t loaded = alreadyLoadedChannel(resourceId);
    if (loaded != -1) return loaded;
    for (int32_t ch = 0; ch < kChannels; ++ch) {
        if (sound_data->data[ch] || sound_players->data[ch]) continue;
        sound_data->data[ch] = getResourceByteArray(resourceId);
        if (!sound_data->data[ch]) continue;
        sound_resource_ids->data[ch] = resourceId;
        createPlayerAndPrefetch(ch);
        return ch;
    }
    return -1;
}

void HookCanvas::unloadSound(int32_t resourceId) {
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    for (int32_t ch = 0; ch < kChannels; ++ch) {
        if (!sound_data->data[ch] || sound_resource_ids->data[ch] != resourceId) continue;
        cleanUpPlayerFromChannel(ch);
        sound_data->data[ch] = nullptr;
    }
}

int32_t HookCanvas::soundTypeIndex(const JavaPtr<JArray<signed char>>& bytes) {
    const int32_t fallback = sound_mime_types->length - 1;
    // A clip too short to hold a magic number can match none.
    if (!bytes || bytes->length < 4) return fallback;
    const auto byteAt = [&](int i) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes->data[i])); };
    const int32_t magic =
        static_cast<int32_t>(byteAt(0) << 24 | byteAt(1) << 16 | byteAt(2) << 8 | byteAt(3));
    int32_t type = -1;
    for (int32_t pair = 0; pair + 1 < sound_magic_table->length; pair += 2) {
        if ((magic & sound_magic_table->data[pair + 1]) == sound_magic_table->data[pair]) type = pair / 2;
    }
    return type == -1 ? fallback : type;
}

void HookCanvas::createPlayerAndPrefetch(int32_t ch) {
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    JavaPtr<JArray<signed char>> bytes = sound_data->data[ch];
    if (sound_players->data[ch] || !bytes) return;
    const int32_t type = soundTypeIndex(bytes);
    JavaPtr<java::io::InputStream> stream = jnew<java::io::ByteArrayInputStream>(bytes);
    try {
        JavaPtr<Player> player = Manager::createPlayer(stream, sound_mime_types->data[type]);
        sound_players->data[ch] = player;
        player->addPlayerListener(JavaPtr<javax::microedition::media::PlayerListener>(this));
        if (isPrefetchedOrStarted(player->getState())) return;
        int32_t ready = 0;
        int32_t lowest = -1;
        int32_t lowestPriority = std::numeric_limits<int32_t>::max();
        for (int32_t other = 0; other < kChannels; ++other) {
            const JavaPtr<Player>& p = sound_players->data[other];
            if (!p || !isPrefetchedOrStarted(p->getState())) continue;
            ++ready;
            if (sound_priorities->data[other] < lowestPriority) {
                lowestPriority = sound_priorities->data[other];
                lowest = other;
            }
        }
        if (ready >= PARAM_TS_SOUND_JSR135_MAX_PREFETCHED_PLAYERS) {
            if (lowest == -1) {
                cleanUpPlayerFromChannel(ch);
                return;
            }
            stopSoundChannel(lowest);
            cleanUpPlayerFromChannel(lowest);
        }
        player->prefetch();
    } catch (Exception&) {
    }
}

void HookCanvas::_FuSeD_mThD_1_playSound(int32_t resourceId, int32_t priority, int32_t loops) {
    playResumeSound(resourceId, priority, loops, false);
}

bool HookCanvas::resumeSound(int32_t resourceId) {
    return playResumeSound(resourceId, -1, -1, true);
}

bool HookCanvas::playResumeSound(int32_t resourceId, int32_t priority, int32_t loops, bool resume) {
    if (resourceId < 0) return false;
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    if (resume) {
        const int32_t held = alreadyLoadedChannel(resourceId);
        if (held == -1) return false;
        priority = sound_priorities->data[held];
    }
    int32_t playing = 0;
    int32_t displaced = -1;
    // Wide, so that a request at the highest priority can still displace its equals.
    int64_t displacedPriority = static_cast<int64_t>(priority) + 1;
    for (int32_t ch = 0; ch < kChannels; ++ch) {
        const JavaPtr<Player>& p = sound_players->data[ch];
        if (!p || p->getState() != Player::STARTED) continue;
        ++playing;
        if (sound_priorities->data[ch] < displacedPriority) {
            displacedPriority = sound_priorities->data[ch];
            displaced = ch;
        }
    }
    const int32_t ch = loadSound(resourceId);
    if (ch == -1) return true;
    if (playing >= PARAM_TS_SOUND_AUDIO_MAX_CONCURRENT_CHANNELS) {
        if (displaced == -1) return false;
        stopSoundChannel(displaced);
    }
    createPlayerAndPrefetch(ch);
    sound_priorities->data[ch] = priority;
    if (!resume) {
        sound_loop_counts->data[ch] = loops == 0 ? -1 : loops;
    } else if (sound_loop_counts->data[ch] == 0) {
        // A stop leaves the count at 0, which no player accepts: resume with the count the sound
        // had when it was stopped (one play when it was never started).
        const int32_t remembered = sound_stopped_loop_counts[ch];
        sound_loop_counts->data[ch] = remembered != 0 ? remembered : 1;
    }
    JavaPtr<Player> player = sound_players->data[ch];
    if (!player) return true;
    try {
        if (player->getState() == Player::STARTED) player->stop();
        player->setLoopCount(sound_loop_counts->data[ch]);
        try {
            if (JavaPtr<VolumeControl> volume = volumeControlOf(player)) volume->setLevel(sound_volume);
        } catch (Exception&) {
        }
        if (!resume) {
            try {
                player->setMediaTime(0);
            } catch (Exception&) {
            }
        }
        player->start();
    } catch (Exception&) {
    }
    return true;
}

void HookCanvas::stopSoundChannel(int32_t ch) {
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    JavaPtr<Player> player = sound_players->data[ch];
    if (!player) return;
    if (sound_loop_counts->data[ch] != 0) sound_stopped_loop_counts[ch] = sound_loop_counts->data[ch];
    sound_loop_counts->data[ch] = 0;
    try {
        player->stop();
    } catch (Exception&) {
    }
}

void HookCanvas::stopSound(int32_t resourceId) {
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    for (int32_t ch = 0; ch < kChannels; ++ch) {
        if (sound_players->data[ch] && sound_resource_ids->data[ch] == resourceId) stopSoundChannel(ch);
    }
}

void HookCanvas::stopAllSounds() {
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    for (int32_t ch = 0; ch < kChannels; ++ch) stopSoundChannel(ch);
}

void HookCanvas::pauseSound(int32_t resourceId) {
    stopSound(resourceId);
}

void HookCanvas::cleanUpPlayerFromChannel(int32_t ch) {
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    JavaPtr<Player> player = sound_players->data[ch];
    // The media tidy-up closes every player at shut-down; a closed one has nothing left to release.
    if (player && player->getState() != Player::CLOSED) player->deallocate();
}

void HookCanvas::setVolume(int32_t level) {
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    sound_volume = level;
    for (int32_t ch = 0; ch < kChannels; ++ch) {
        JavaPtr<Player> player = sound_players->data[ch];
        if (!player || player->getState() != Player::STARTED) continue;
        try {
            if (JavaPtr<VolumeControl> volume = volumeControlOf(player)) volume->setLevel(sound_volume);
        } catch (Exception&) {
        }
    }
}

void HookCanvas::beep() {
    try {
        JavaPtr<Player> player = Manager::createPlayer(Manager::TONE_DEVICE_LOCATOR);
        player->realize();
        JavaPtr<ToneControl> tone =
            jcast<ToneControl>(player->getControl(jnew<java::lang::String>("ToneControl")));
        if (!tone) return;
        auto sequence = jnew<JArray<signed char>>(6);
        const signed char bytes[6] = {ToneControl::VERSION, 1, ToneControl::TEMPO, 30, ToneControl::C4, 8};
        for (int i = 0; i < 6; ++i) sequence->data[i] = bytes[i];
        tone->setSequence(sequence);
        player->start();
    } catch (Exception&) {
    }
}

void HookCanvas::playerUpdate(const JavaPtr<Player>&, const JavaPtr<String>&,
                              const JavaPtr<java::lang::Object>&) {}
