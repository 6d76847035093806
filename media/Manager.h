// The entry to the media package: makes players, keeps every player it made in one table, polls
// them from the ticker thread so that the end of playback is noticed, reaps closed players whose
// platform player has finished, and closes them all at tear-down. Every member is static.
#pragma once

#include <atomic>

#include "media/Player.h"
#include "media/PlayerImpl.h"
#include "runtime/Object.h"
#include "runtime/String.h"

// 1 while a pass of the media poll runs; a poll that finds it set returns at once.
extern std::atomic<unsigned char> _manager_tick_recursion_check;
// Non-zero: the tear-down waits for every player to be reaped, then drops the table.
inline constexpr int _APP_TERMINATION_CLEANUP = -1;

namespace java::io {
class InputStream;
}

namespace javax::microedition::media {

namespace protocol {
// Named by createPlayer only: no data source exists.
class DataSource;
}  // namespace protocol

class Manager : public ::java::lang::Object {
    TESL_CLASS(Manager, "javax.microedition.media.Manager", ::java::lang::Object)
public:
    static constexpr int kFirstTableLength = 100;

    static constinit JavaPtr<::java::lang::String> MIDI_DEVICE_LOCATOR;
    static constinit JavaPtr<::java::lang::String> TONE_DEVICE_LOCATOR;
    // Set by the tear-down and never cleared.
    static std::atomic<bool> terminating;
    // How long the tear-down waits for platform players to finish before it releases them anyway.
    static std::atomic<int> tidyUpWaitMilliseconds;

    static void Manager_staticInit();
    static void Manager_staticDestroy();

    // The slot the next player goes into: the first free one, else a new last one; the first call
    // makes the table.
    static int findUnusedSlot();
    // A player of the whole clip the stream holds, registered in the table. The content type is
    // not looked at; null is accepted.
    static JavaPtr<Player> createPlayer(const JavaPtr<::java::io::InputStream>& stream,
                                        const JavaPtr<::java::lang::String>& type);
    // The locator is a file name: "/" and a name for a bundle resource, any other name for a data
    // file. No scheme is recognised, so the device locators fail like any missing file.
    static JavaPtr<Player> createPlayer(const JavaPtr<::java::lang::String>& locator);
    // Always throws IOException.
    static JavaPtr<Player> createPlayer(const JavaPtr<protocol::DataSource>& source);
    // No content type or protocol is announced: a new empty array, whatever is asked.
    static JavaPtr<JArray<JavaPtr<::java::lang::String>>> getSupportedContentTypes(
        const JavaPtr<::java::lang::String>& protocol);
    static JavaPtr<JArray<JavaPtr<::java::lang::String>>> getSupportedProtocols(
        const JavaPtr<::java::lang::String>& contentType);
    // Sounds nothing.
    static void playTone(int note, int duration, int volume);
    static bool soundSystemTerminating();
    // The media poll, on the ticker thread.
    static void tick();
    // Whether the poll has work waiting: a player playing or paused (its end is found by polling) or
    // one closed and waiting to be reaped. Without one the ticker need not poll the media.
    static bool hasPlayersToPoll();
    // The tear-down, on the ticker thread.
    static void tidyUp();
    // Pauses every player for an audio interruption; the audio session's listener calls it.
    static void pauseAllSounds();

    // What the tests look at: the table's length (-1 while there is none) and a slot.
    static int playerTableLength();
    static JavaPtr<PlayerImpl> playerInSlot(int slot);

private:
    // Stores a new player in the slot found for it, or in another free one when a player made on
    // another thread took that slot meanwhile.
    static void storePlayer(int slot, const JavaPtr<PlayerImpl>& player);
    // Drops the table and its players, then shuts the audio session down.
    static void releaseTableAndAudio();
};

}  // namespace javax::microedition::media
