#include "media/Manager.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "library/File.h"
#include "library/FileInputStream.h"
#include "library/InputStream.h"
#include "library/SlotWalk.h"
#include "media/player_internalPF.h"
#include "platform/audio/AudioSession.h"
#include "runtime/IOException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/Throwable.h"

std::atomic<unsigned char> _manager_tick_recursion_check{0};

namespace javax::microedition::media {

using ::java::lang::String;

constinit JavaPtr<String> Manager::MIDI_DEVICE_LOCATOR;
constinit JavaPtr<String> Manager::TONE_DEVICE_LOCATOR;
std::atomic<bool> Manager::terminating{false};
std::atomic<int> Manager::tidyUpWaitMilliseconds{2000};

namespace {

using Guard = std::lock_guard<std::mutex>;

// The table of players. Application threads add players while the ticker walks the table, so a walk
// works on each player outside the lock, holding its own reference: a slot changed meanwhile cannot
// free the player under the walk.
struct PlayerTable {
    // Guards exists and slots.
    std::mutex lock;
    bool exists = false;
    std::vector<JavaPtr<PlayerImpl>> slots;
};

constinit PlayerTable table;

// Visits every slot of the table, null at a free slot, through visit(slot, player). The length is read
// again at every step: a player added during a walk is visited in it.
template <class Visit>
void forEachTableSlot(Visit&& visit) {
    tesl::forEachSlotUnlocked(
        table.lock,
        [](int32_t slot) -> std::optional<JavaPtr<PlayerImpl>> {
            if (!table.exists || slot >= static_cast<int32_t>(table.slots.size())) return std::nullopt;
            return table.slots[slot];
        },
        visit);
}

// Frees the slot if it still holds the player. The reference is released by the caller, after the
// lock: it may be the player's last.
JavaPtr<PlayerImpl> freeSlot(int slot, const JavaPtr<PlayerImpl>& player) {
    Guard guard(table.lock);
    if (!table.exists || slot >= static_cast<int>(table.slots.size()) || table.slots[slot] != player)
        return nullptr;
    return std::move(table.slots[slot]);
}

int reserveSlotLocked() {
    if (!table.exists) {
        table.exists = true;
        table.slots.assign(Manager::kFirstTableLength, nullptr);
        interruptionPauseAllPlayers.store(&Manager::pauseAllSounds);
        return 0;
    }
    for (int slot = 0; slot < static_cast<int>(table.slots.size()); ++slot)
        if (!table.slots[slot]) return slot;
    table.slots.emplace_back();
    return static_cast<int>(table.slots.size()) - 1;
}

// Clears the poll's guard on every way out of a pass.
struct TickPass {
    ~TickPass() { _manager_tick_recursion_check.store(0); }
};

void reportPollFailure(::java::lang::Throwable& failure, int slot) {
    JavaPtr<String> message = failure.getMessage();
    std::fprintf(stderr, "media poll: %s%s%s from the player in slot %d\n", failure.getClassTypeName(),
                 message ? ": " : "", message ? message->val() : "", slot);
}

}  // namespace

void Manager::Manager_staticInit() {
    MIDI_DEVICE_LOCATOR = jnew<String>("device://midi");
    TONE_DEVICE_LOCATOR = jnew<String>("device://tone");
}

void Manager::Manager_staticDestroy() {
    MIDI_DEVICE_LOCATOR = nullptr;
    TONE_DEVICE_LOCATOR = nullptr;
    releaseTableAndAudio();
}

void Manager::releaseTableAndAudio() {
    std::vector<JavaPtr<PlayerImpl>> dropped;
    {
        Guard guard(table.lock);
        table.exists = false;
        dropped.swap(table.slots);
    }
    // Released after the lock: a reference may be a player's last.
    dropped.clear();
    interruptionPauseAllPlayers.store(nullptr);
    platform::AudioSession::shutdown();
    // A player made after this sets the session up again.
    _initialised_audio_session.store(0);
}

int Manager::findUnusedSlot() {
    Guard guard(table.lock);
    return reserveSlotLocked();
}

JavaPtr<Player> Manager::createPlayer(const JavaPtr<::java::io::InputStream>& stream,
                                      const JavaPtr<String>&) {
    int slot = findUnusedSlot();
    JavaPtr<PlayerImpl> player = jnew<PlayerImpl>(stream);
    storePlayer(slot, player);
    return player;
}

JavaPtr<Player> Manager::createPlayer(const JavaPtr<String>& locator) {
    if (!locator) throw ::java::lang::IllegalArgumentException();
    auto stream = jnew<::java::io::FileInputStream>(jnew<::java::io::File>(locator));
    if (!stream->opened) throw ::java::io::IOException();
    return createPlayer(JavaPtr<::java::io::InputStream>(stream), nullptr);
}

JavaPtr<Player> Manager::createPlayer(const JavaPtr<protocol::DataSource>&) {
    throw ::java::io::IOException();
}

void Manager::storePlayer(int slot, const JavaPtr<PlayerImpl>& player) {
    Guard guard(table.lock);
    if (!table.exists || slot >= static_cast<int>(table.slots.size()) || table.slots[slot])
        slot = reserveSlotLocked();
    table.slots[slot] = player;
}

JavaPtr<JArray<JavaPtr<String>>> Manager::getSupportedContentTypes(const JavaPtr<String>&) {
    return jnew<JArray<JavaPtr<String>>>(0);
}

JavaPtr<JArray<JavaPtr<String>>> Manager::getSupportedProtocols(const JavaPtr<String>&) {
    return jnew<JArray<JavaPtr<String>>>(0);
}

void Manager::playTone(int, int, int) {}

bool Manager::soundSystemTerminating() {
    return terminating.load();
}

void Manager::tick() {
    {
        Guard guard(table.lock);
        if (!table.exists) return;
    }
    if (_manager_tick_recursion_check.exchange(1) != 0) return;
    TickPass pass;
    int current = 0;
    try {
        forEachTableSlot([&current](int32_t slot, const JavaPtr<PlayerImpl>& player) {
            current = slot;
            if (!player) return;
            if (player->canBeDeleted())
                freeSlot(slot, player);
            else
                player->tick();
        });
    } catch (::java::lang::Throwable& failure) {
        reportPollFailure(failure, current);
        throw;
    }
}

bool Manager::hasPlayersToPoll() {
    {
        Guard guard(table.lock);
        if (!table.exists) return false;
    }
    bool found = false;
    forEachTableSlot([&found](int32_t, const JavaPtr<PlayerImpl>& player) {
        if (found || !player) return;
        const int playState = player->getPlayState();
        found = playState == PlayerImpl::PLAY_PLAYING || playState == PlayerImpl::PLAY_PAUSED ||
                player->getState() == Player::CLOSED;
    });
    return found;
}

void Manager::tidyUp() {
    terminating.store(true);
    {
        Guard guard(table.lock);
        if (!table.exists) return;
    }
    forEachTableSlot([](int32_t, const JavaPtr<PlayerImpl>& player) {
        if (player) player->close();
    });
    if constexpr (_APP_TERMINATION_CLEANUP == 0) return;

    // Closed players are reaped as their platform players finish. A platform player that never
    // finishes must not hold the tear-down for ever: after the limit the rest are released anyway.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(tidyUpWaitMilliseconds.load());
    for (;;) {
        int busy = 0;
        forEachTableSlot([&busy](int32_t slot, const JavaPtr<PlayerImpl>& player) {
            if (!player) return;
            if (player->canBeDeleted())
                freeSlot(slot, player);
            else
                ++busy;
        });
        if (busy == 0) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            std::fprintf(stderr, "media tear-down: %d players still playing after %d ms are released\n", busy,
                         tidyUpWaitMilliseconds.load());
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    releaseTableAndAudio();
}

void Manager::pauseAllSounds() {
    forEachTableSlot([](int32_t, const JavaPtr<PlayerImpl>& player) {
        if (player) player->interruptPause();
    });
}

int Manager::playerTableLength() {
    Guard guard(table.lock);
    return table.exists ? static_cast<int>(table.slots.size()) : -1;
}

JavaPtr<PlayerImpl> Manager::playerInSlot(int slot) {
    Guard guard(table.lock);
    if (!table.exists || slot < 0 || slot >= static_cast<int>(table.slots.size())) return nullptr;
    return table.slots[slot];
}

}  // namespace javax::microedition::media
