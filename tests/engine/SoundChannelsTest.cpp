// The 21 sound channels on the media layer with the fake audio output: channel order and the limit,
// unload and reload, content types, the prefetch and playing limits with priorities, replay, volume,
// pause and resume; vibration through the display, and the beep.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "engine/AppMidlet.h"
#include "media/PlayerImpl.h"
#include "media/VolumeControl.h"
#include "tests/engine/SoundStage.h"
#include "tests/support/RecordingHost.h"

namespace enginetest {
namespace {

using namespace std::chrono_literals;
using H = HookCanvas;
using javax::microedition::media::Player;
using javax::microedition::media::PlayerImpl;

class SoundChannels : public SoundCanvasFixture {
protected:
    int stateOf(int ch) {
        JavaPtr<Player> player = service->sound_players->data[ch];
        return player ? player->getState() : -1;
    }
    std::vector<int> states() {
        std::vector<int> all;
        for (int ch = 0; ch < H::PARAM_TS_SOUND_AUDIO_MAX_PIECES; ++ch) all.push_back(stateOf(ch));
        return all;
    }
    int loopCountOf(int ch) { return jcast<PlayerImpl>(service->sound_players->data[ch])->getLoopCount(); }
    int volumeOf(int ch) {
        auto control = jcast<javax::microedition::media::control::VolumeControl>(
            service->sound_players->data[ch]->getControl(jnew<java::lang::String>("VolumeControl")));
        return control ? control->getLevel() : -1;
    }
    // Loads sounds kFirstSound + first ... and plays each at its priority, once.
    void loadAndPlay(int first, const std::vector<int>& priorities) {
        for (size_t i = 0; i < priorities.size(); ++i)
            service->_FuSeD_mThD_1_playSound(kFirstSound + first + static_cast<int>(i), priorities[i], 1);
    }

    static constexpr int P = Player::PREFETCHED;
    static constexpr int R = Player::REALIZED;
    static constexpr int S = Player::STARTED;
};

TEST_F(SoundChannels, LoadsFillTheChannelsInOrderUnderThePrefetchLimit) {
    for (int i = 0; i < 21; ++i) EXPECT_EQ(service->loadSound(kFirstSound + i), i);
    EXPECT_EQ(service->loadSound(kFirstSound + 21), -1) << "a 22nd id finds no channel";
    EXPECT_EQ(service->loadSound(-1), -1);
    EXPECT_EQ(service->loadSound(kFirstSound + 5), 5);
    EXPECT_EQ(service->readsOf(kFirstSound + 5), 1) << "a loaded sound is not read again";
    // Each load past the eighth deallocated the lowest channel still prefetched (all priorities 0).
    std::vector<int> want(13, R);
    want.insert(want.end(), 8, P);
    EXPECT_EQ(states(), want);
    // A realized sound still plays: start prefetches it again.
    service->_FuSeD_mThD_1_playSound(kFirstSound, 0, 1);
    EXPECT_EQ(stateOf(0), S);
}

TEST_F(SoundChannels, UnloadThenLoadFindsTheSameChannelWithoutReading) {
    EXPECT_EQ(service->loadSound(kFirstSound), 0);
    EXPECT_EQ(service->loadSound(kFirstSound + 1), 1);
    service->unloadSound(kFirstSound);
    EXPECT_FALSE(service->sound_data->data[0]);
    EXPECT_EQ(stateOf(0), R);
    EXPECT_EQ(service->loadSound(kFirstSound), 0);
    EXPECT_EQ(service->readsOf(kFirstSound), 1);
    service->_FuSeD_mThD_1_playSound(kFirstSound, 0, 1);
    EXPECT_EQ(stateOf(0), S);
    EXPECT_EQ(service->loadSound(kFirstSound + 2), 2) << "the bound channel is not free again";
}

TEST_F(SoundChannels, ContentTypeComesFromTheFirstFourBytes) {
    struct Case {
        std::string bytes;
        const char* type;
    };
    const Case cases[] = {
        {std::string("RIFF\x10\0\0\0WAVE", 12), "audio/x-wav"},
        {"#!AMR\n", "audio/amr"},
        {"MThd", "audio/midi"},
        {"caff", "audio/x-caf"},
        {"OggS", "application/ogg"},
        {"VAGp", "audio/x-vag"},
        {"MMMD", "application/vnd.smaf"},
        {"ID3\x03", "audio/mpeg"},
        {"RIFX", "audio/mpeg"},
        {"RIF", "audio/mpeg"},  // too short for a magic number
        {"", "audio/mpeg"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> raw(c.bytes.begin(), c.bytes.end());
        const int32_t type = service->soundTypeIndex(mediatest::byteArray(raw));
        EXPECT_EQ(toUtf8(service->sound_mime_types->data[type]), c.type) << '"' << c.bytes << '"';
    }
    EXPECT_EQ(toUtf8(service->sound_mime_types->data[service->soundTypeIndex(nullptr)]), "audio/mpeg");
    // A sound of two bytes still gets a channel.
    service->resources[kFirstSound] = {0x52, 0x49};
    EXPECT_EQ(service->loadSound(kFirstSound), 0);
}

TEST_F(SoundChannels, NinthPlayerEvictsTheLowestPriority) {
    loadAndPlay(0, {5, 3, 7, 3, 6, 5, 4, 9});
    ASSERT_EQ(states(),
              (std::vector<int>{S, S, S, S, S, S, S, S, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(service->loadSound(kFirstSound + 8), 8);
    EXPECT_EQ(stateOf(1), R) << "priority 3 on the lowest channel goes, though it plays";
    EXPECT_EQ(stateOf(3), S);
    EXPECT_EQ(stateOf(8), P);
    EXPECT_EQ(service->sound_loop_counts->data[1], 0);
}

TEST_F(SoundChannels, EightPlayingYieldOnlyToAnEqualOrHigherPriority) {
    for (int i = 0; i < 9; ++i) service->loadSound(kFirstSound + i);
    loadAndPlay(0, {5, 5, 5, 5, 5, 5, 5, 5});
    ASSERT_EQ(stateOf(8), P);
    EXPECT_FALSE(service->playResumeSound(kFirstSound + 8, 4, 1, false));
    for (int ch = 0; ch < 8; ++ch) EXPECT_EQ(stateOf(ch), S) << ch;
    EXPECT_EQ(stateOf(8), P);

    EXPECT_TRUE(service->playResumeSound(kFirstSound + 8, 5, 1, false));
    EXPECT_EQ(stateOf(0), P) << "the lowest-numbered of the equals is stopped";
    for (int ch = 1; ch <= 8; ++ch) EXPECT_EQ(stateOf(ch), S) << ch;
}

TEST_F(SoundChannels, ReplayRestartsFromTheStartWithTheNewLoopCount) {
    service->_FuSeD_mThD_1_playSound(kFirstSound, 0, 1);
    ASSERT_EQ(stateOf(0), S);
    EXPECT_EQ(loopCountOf(0), 1);
    media.fake->advance(4ms);
    service->_FuSeD_mThD_1_playSound(kFirstSound, 0, 3);
    EXPECT_EQ(stateOf(0), S);
    EXPECT_EQ(loopCountOf(0), 3);
    // The fake output names its voices from 1; this sound's voice played from its start again.
    bool found = false;
    for (int name = 1; name < 10 && !found; ++name) {
        if (auto voice = media.fake->voice(name); voice && voice->state == platform::VoiceState::Playing) {
            EXPECT_EQ(voice->playedMicroseconds, 0);
            found = true;
        }
    }
    EXPECT_TRUE(found);
    service->_FuSeD_mThD_1_playSound(kFirstSound, 0, 0);
    EXPECT_EQ(service->sound_loop_counts->data[0], -1) << "0 means endless";
    EXPECT_EQ(loopCountOf(0), -1);
}

TEST_F(SoundChannels, VolumeReachesPlayingPlayersAndTheNextStart) {
    service->setVolume(30);
    EXPECT_EQ(service->sound_volume, 30);
    service->_FuSeD_mThD_1_playSound(kFirstSound, 0, 1);
    EXPECT_EQ(volumeOf(0), 30);
    service->loadSound(kFirstSound + 1);
    service->setVolume(70);
    EXPECT_EQ(volumeOf(0), 70);
    EXPECT_NE(volumeOf(1), 70) << "a player that is not playing waits for its next start";
    service->_FuSeD_mThD_1_playSound(kFirstSound + 1, 0, 1);
    EXPECT_EQ(volumeOf(1), 70);
}

TEST_F(SoundChannels, StopPauseAndResume) {
    EXPECT_FALSE(service->resumeSound(kFirstSound)) << "nothing loaded";
    EXPECT_FALSE(service->resumeSound(-1));
    loadAndPlay(0, {0, 0});
    service->_FuSeD_mThD_1_playSound(kFirstSound, 2, 3);
    service->stopSound(kFirstSound + 1);
    EXPECT_EQ(stateOf(1), P);
    EXPECT_EQ(stateOf(0), S);

    service->pauseSound(kFirstSound);
    EXPECT_EQ(stateOf(0), P);
    EXPECT_EQ(service->sound_loop_counts->data[0], 0);
    EXPECT_TRUE(service->resumeSound(kFirstSound));
    EXPECT_EQ(stateOf(0), S) << "resumed with the loop count it had when paused";
    EXPECT_EQ(loopCountOf(0), 3);
    EXPECT_EQ(service->sound_priorities->data[0], 2);

    service->loadSound(kFirstSound + 2);
    EXPECT_TRUE(service->resumeSound(kFirstSound + 2));
    EXPECT_EQ(stateOf(2), S) << "a sound never started resumes as one play";
    EXPECT_EQ(loopCountOf(2), 1);

    service->stopAllSounds();
    EXPECT_EQ(states()[0], P);
    EXPECT_EQ(states()[1], P);
    EXPECT_EQ(states()[2], P);
}

TEST_F(SoundChannels, ClosedPlayersAreStoppedAndUnloadedQuietly) {
    service->_FuSeD_mThD_1_playSound(kFirstSound, 0, 1);
    service->loadSound(kFirstSound + 1);
    // As the media tidy-up leaves them at shut-down.
    service->sound_players->data[0]->close();
    service->sound_players->data[1]->close();
    service->stopAllSounds();
    service->unloadSound(kFirstSound);
    service->unloadSound(kFirstSound + 1);
    EXPECT_FALSE(service->sound_data->data[0]);
    EXPECT_FALSE(service->sound_data->data[1]);
    EXPECT_EQ(stateOf(0), Player::CLOSED);
}

TEST_F(SoundChannels, VibrateReachesTheDisplayAndSetsTheEndTime) {
    testsupport::RecordingHost host;
    start(1);
    // Before the MIDlet shows a canvas there is no display: only the end time changes.
    service->vibrate(100);
    EXPECT_EQ(H::vibration_end_time.load(), clockNow.load() + 100);
    EXPECT_TRUE(host.vibrations.empty());

    JavaPtr<AppMidlet> midlet = jnew<AppMidlet>();
    midlet->startApp();
    JavaPtr<HookCanvas> shown = AppMidlet::canvas();
    ASSERT_TRUE(shown);
    struct Case {
        int ms;
        long long wantEnd;  // relative to now; -1 for 0
    };
    for (const Case& c : {Case{500, 500}, Case{0, -1}, Case{-1, -1}, Case{1, 1}}) {
        shown->vibrate(c.ms);
        EXPECT_EQ(H::vibration_end_time.load(), c.wantEnd < 0 ? 0 : clockNow.load() + c.wantEnd) << c.ms;
    }
    // A duration of 0 asks nothing of the platform; a negative one vibrates as a positive one.
    EXPECT_EQ(host.vibrations, (std::vector<int>{500, 1, 1}));

    // The loop ends the vibration once the clock has passed the end time.
    shown->vibrate(50);
    clockNow.fetch_add(51);
    service->runOnce();
    EXPECT_EQ(H::vibration_end_time.load(), 0);
    midlet->destroyApp(true);

    service->beep();  // no tone device: nothing happens, nothing is thrown
}

}  // namespace
}  // namespace enginetest
