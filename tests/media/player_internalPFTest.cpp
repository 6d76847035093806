#include "media/player_internalPF.h"

#include <gtest/gtest.h>

#include <memory>

#include "runtime/JArray.h"
#include "tests/media/MediaTestSupport.h"

namespace {

using namespace mediatest;
using platform::AudioSession;
using platform::AudioStatus;

constexpr auto kClip = 100ms;

class PlatformPlayer : public testing::TestWithParam<OutputKind> {
protected:
    void SetUp() override {
        resetAudioState();
        out = std::make_unique<TestOutput>(GetParam());
        ASSERT_TRUE(out->ready()) << "no " << nameOf(GetParam()) << " output";
        AudioSession::setOutput(out->output());
    }
    void TearDown() override {
        players.clear();
        resetAudioState();
    }

    player_internalPF& newPlayer(const std::vector<uint8_t>& clip, bool useAudioQueue = true) {
        clips.push_back(std::make_unique<std::vector<uint8_t>>(clip));
        players.push_back(std::make_unique<player_internalPF>(useAudioQueue));
        player_internalPF& player = *players.back();
        EXPECT_TRUE(player.setSoundData(clips.back()->data(), static_cast<long long>(clips.back()->size())));
        return player;
    }

    std::unique_ptr<TestOutput> out;
    std::vector<std::unique_ptr<std::vector<uint8_t>>> clips;
    std::vector<std::unique_ptr<player_internalPF>> players;
};

TEST_P(PlatformPlayer, ParsingQueuesTheWholeClipAndSetsUpTheSessionOnce) {
    player_internalPF& player = newPlayer(toneClip(kClip));
    auto f = player.flags();
    EXPECT_TRUE(f.hasQueue && f.hasBuffer && f.bufferQueued);
    EXPECT_FALSE(f.halted || f.busy || f.destroyed || f.interrupted);
    EXPECT_FALSE(player.hasIncompletePlaybackTask()) << "queued but not started";
    EXPECT_EQ(_initialised_audio_session.load(), 1);
    EXPECT_EQ(AudioSession::category(), AudioSession::Category::MediaPlayback);

    // A second player finds the session set up and leaves it alone.
    AudioSession::setCategory(AudioSession::Category::None);
    newPlayer(toneClip(kClip));
    EXPECT_EQ(AudioSession::category(), AudioSession::Category::None);
}

TEST_P(PlatformPlayer, FlagsThroughPlayPauseResumeSeekAndDestroy) {
    player_internalPF& player = newPlayer(toneClip(kClip));
    ASSERT_TRUE(player.playSoundData());
    EXPECT_TRUE(player.hasIncompletePlaybackTask());
    auto f = player.flags();
    EXPECT_TRUE(f.bufferQueued && f.busy);
    EXPECT_FALSE(f.halted);
    int loudest = out->advance(40ms);
    if (out->kind() == OutputKind::Loopback) {
        EXPECT_GT(loudest, 1000);
    }

    ASSERT_TRUE(player.pausePlayback());
    EXPECT_TRUE(player.flags().halted);
    EXPECT_FALSE(player.hasIncompletePlaybackTask()) << "a paused queue has no task running";
    out->advance(10ms);  // the pause fades out
    loudest = out->advance(500ms);
    if (out->kind() == OutputKind::Loopback) {
        EXPECT_LE(loudest, 1) << "silent while paused";
    }

    // Resuming goes on from the pause: 60 ms are left.
    ASSERT_TRUE(player.resumePlayback());
    out->advance(40ms);
    EXPECT_TRUE(player.hasIncompletePlaybackTask());
    out->advance(30ms);
    EXPECT_FALSE(player.hasIncompletePlaybackTask());
    f = player.flags();
    EXPECT_TRUE(f.halted && f.bufferQueued && !f.busy) << "the queue has played its buffer out";

    EXPECT_EQ(player.seekToTime(1500), 0);
    EXPECT_TRUE(player.flags().bufferQueued) << "only a seek to 0 acts";
    EXPECT_EQ(player.getPlaybackPos(), -1);
    ASSERT_TRUE(player.playSoundData());
    out->advance(50ms);
    EXPECT_EQ(player.seekToTime(0), 0);
    f = player.flags();
    EXPECT_TRUE(f.halted && !f.bufferQueued);
    EXPECT_FALSE(player.hasIncompletePlaybackTask());

    // Playing again starts from the beginning: the whole 100 ms.
    ASSERT_TRUE(player.playSoundData());
    out->advance(90ms);
    EXPECT_TRUE(player.hasIncompletePlaybackTask());

    EXPECT_FALSE(player.canBeDeleted());
    player.destroy();
    f = player.flags();
    EXPECT_TRUE(f.destroyed && !f.hasQueue && !f.hasBuffer && !f.busy && !f.bufferQueued);
    EXPECT_TRUE(player.canBeDeleted());
    EXPECT_FALSE(player.playSoundData());
    EXPECT_FALSE(player.resumePlayback());
    EXPECT_FALSE(player.pausePlayback());
}

TEST_P(PlatformPlayer, TheEndOfTheClipIsFoundOnTime) {
    player_internalPF& player = newPlayer(toneClip(250ms, 2));
    ASSERT_TRUE(player.playSoundData());
    out->advance(240ms);
    EXPECT_TRUE(player.hasIncompletePlaybackTask());
    out->advance(20ms);
    EXPECT_FALSE(player.hasIncompletePlaybackTask());
    EXPECT_FALSE(player.hasIncompletePlaybackTask()) << "and stays ended";
}

TEST_P(PlatformPlayer, VolumeKeepsTheLowSixteenBits) {
    player_internalPF& player = newPlayer(toneClip(kClip));
    EXPECT_EQ(player.getVolume(), 65535) << "no level given yet";
    struct Case {
        int level;
        int volume;
    } cases[] = {{50, 50}, {0x10064, 100}, {0, 0}, {-1, 65535}, {250, 250}};
    for (const Case& c : cases) {
        EXPECT_TRUE(player.setVolume(c.level));
        EXPECT_EQ(player.getVolume(), c.volume) << c.level;
    }
}

TEST_P(PlatformPlayer, AClipThatCannotBeReadGetsNoVoiceAndWillNotPlay) {
    std::string text = "not a sound clip at all, just some words";
    for (player_internalPF* player :
         {&newPlayer(std::vector<uint8_t>(text.begin(), text.end())), &newPlayer(std::vector<uint8_t>()),
          &newPlayer(std::vector<uint8_t>(), false)}) {
        auto f = player->flags();
        EXPECT_FALSE(f.hasQueue || f.hasBuffer || f.hasSource || f.bufferQueued || f.busy);
        EXPECT_FALSE(player->playSoundData());
        EXPECT_FALSE(player->resumePlayback());
        EXPECT_FALSE(player->pausePlayback());
        EXPECT_FALSE(player->hasIncompletePlaybackTask());
        player->destroy();
        EXPECT_TRUE(player->canBeDeleted());
    }
}

TEST_P(PlatformPlayer, EightVoicesPlayAtOnceAndEachEndsOnTime) {
    std::vector<player_internalPF*> eight;
    for (int i = 0; i < 8; ++i)
        eight.push_back(&newPlayer(toneClip(std::chrono::milliseconds(50 + 20 * i), 1 + i % 2)));
    for (player_internalPF* player : eight) ASSERT_TRUE(player->playSoundData());
    int loudest = out->advance(40ms);
    if (out->kind() == OutputKind::Loopback) {
        EXPECT_GT(loudest, 1000);
    }
    for (player_internalPF* player : eight) EXPECT_TRUE(player->hasIncompletePlaybackTask());
    // Every 20 ms one more clip has ended.
    for (int ended = 1; ended <= 8; ++ended) {
        out->advance(20ms);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(eight[i]->hasIncompletePlaybackTask(), i >= ended) << i << " " << ended;
    }
}

TEST_P(PlatformPlayer, AnInterruptionHoldsEveryPlayerUntilItIsStartedAgain) {
    InterruptionWalk::install();
    player_internalPF& playing = newPlayer(toneClip(kClip));
    player_internalPF& idle = newPlayer(toneClip(kClip));
    InterruptionWalk::add(&playing);
    InterruptionWalk::add(&idle);
    ASSERT_TRUE(playing.playSoundData());
    out->advance(30ms);

    AudioSession::interruption(AudioSession::kBeginInterruption);
    EXPECT_EQ(_in_an_interrupt.load(), 1);
    EXPECT_FALSE(AudioSession::isActive());
    for (player_internalPF* player : {&playing, &idle}) {
        EXPECT_TRUE(player->flags().interrupted);
        out->advance(200ms);
        EXPECT_TRUE(player->hasIncompletePlaybackTask()) << "an interrupted player counts as busy";
        EXPECT_TRUE(player->pausePlayback());
        EXPECT_FALSE(player->resumePlayback());
        EXPECT_FALSE(player->playSoundData());
        EXPECT_TRUE(player->setVolume(40));
    }
    if (out->fake()) {
        EXPECT_FALSE(out->fake()->voice(1)->gain.has_value()) << "no gain during the interruption";
    }

    AudioSession::interruption(AudioSession::kEndInterruption);
    EXPECT_EQ(_in_an_interrupt.load(), 0);
    EXPECT_TRUE(AudioSession::isActive());
    EXPECT_TRUE(playing.hasIncompletePlaybackTask()) << "still marked: nothing resumes by itself";

    // The next start makes the queue again and plays the clip from its start.
    ASSERT_TRUE(playing.playSoundData());
    auto f = playing.flags();
    EXPECT_TRUE(f.hasQueue && f.bufferQueued && f.busy && !f.interrupted);
    out->advance(90ms);
    EXPECT_TRUE(playing.hasIncompletePlaybackTask());
    out->advance(20ms);
    EXPECT_FALSE(playing.hasIncompletePlaybackTask());

    // A marked player that is destroyed without playing again can still be deleted.
    EXPECT_TRUE(idle.flags().interrupted);
    idle.destroy();
    EXPECT_TRUE(idle.canBeDeleted());
}

TEST_P(PlatformPlayer, WithoutAQueueTheClipPlaysOnABareSource) {
    player_internalPF& player = newPlayer(toneClip(kClip), false);
    auto f = player.flags();
    EXPECT_TRUE(f.hasSource && !f.hasQueue);
    EXPECT_TRUE(player.setVolume(80));
    ASSERT_TRUE(player.playSoundData());
    out->advance(50ms);
    EXPECT_TRUE(player.hasIncompletePlaybackTask());
    EXPECT_TRUE(player.pausePlayback());
    EXPECT_TRUE(player.hasIncompletePlaybackTask()) << "a paused source is not stopped";
    EXPECT_TRUE(player.resumePlayback());
    out->advance(60ms);
    EXPECT_FALSE(player.hasIncompletePlaybackTask());
    EXPECT_FALSE(player.canBeDeleted());
    player.destroy();
    EXPECT_TRUE(player.canBeDeleted());
}

INSTANTIATE_TEST_SUITE_P(Outputs, PlatformPlayer, testing::Values(OutputKind::Fake, OutputKind::Loopback),
                         [](const auto& info) { return std::string(nameOf(info.param)); });

// Failures only the fake can be made to give.
class PlatformPlayerFailures : public testing::Test {
protected:
    void SetUp() override {
        resetAudioState();
        fake = std::make_shared<testsupport::FakeAudioOutput>();
        AudioSession::setOutput(fake);
    }
    void TearDown() override { resetAudioState(); }

    std::vector<uint8_t> clip = toneClip(kClip);
    std::shared_ptr<testsupport::FakeAudioOutput> fake;
};

TEST_F(PlatformPlayerFailures, AClipInARuntimeByteArrayIsReadInPlace) {
    // As the player hands its clip over: the address of the array's first byte and its length.
    JavaPtr<JArray<signed char>> data = jnew<JArray<signed char>>(static_cast<int>(clip.size()));
    std::copy(clip.begin(), clip.end(), reinterpret_cast<uint8_t*>(data->begin()));
    player_internalPF player;
    ASSERT_TRUE(player.setSoundData(data->begin(), static_cast<long long>(data->length)));
    EXPECT_TRUE(player.flags().bufferQueued);
    ASSERT_TRUE(player.playSoundData());
    fake->advance(110ms);
    EXPECT_FALSE(player.hasIncompletePlaybackTask());
}

TEST_F(PlatformPlayerFailures, AQueueThatWillNotStartIsReportedAndTornDown) {
    player_internalPF player;
    player.setSoundData(clip.data(), static_cast<long long>(clip.size()));
    fake->answerStart(AudioStatus::Failed);
    EXPECT_FALSE(player.playSoundData());
    auto f = player.flags();
    EXPECT_TRUE(f.destroyed && !f.hasQueue && !f.busy);
    EXPECT_EQ(fake->voiceCount(), 0u);
    EXPECT_TRUE(player.canBeDeleted());
}

TEST_F(PlatformPlayerFailures, AnEnqueueErrorIsReportedNotTakenForSuccess) {
    fake->answerEnqueue(AudioStatus::Failed);
    player_internalPF player;
    player.setSoundData(clip.data(), static_cast<long long>(clip.size()));
    EXPECT_FALSE(player.flags().bufferQueued);
    EXPECT_FALSE(player.playSoundData());
    EXPECT_FALSE(player.flags().bufferQueued);
    EXPECT_FALSE(player.resumePlayback());
    // The queue is kept: once the output takes the buffer, the clip plays.
    fake->answerEnqueue(AudioStatus::Ok);
    EXPECT_TRUE(player.playSoundData());
    EXPECT_TRUE(player.hasIncompletePlaybackTask());
}

TEST_F(PlatformPlayerFailures, AnInactiveSessionAtEnqueueTearsTheQueueDown) {
    player_internalPF player;
    player.setSoundData(clip.data(), static_cast<long long>(clip.size()));
    AudioSession::setActive(false);
    EXPECT_FALSE(player.playSoundData());
    EXPECT_TRUE(player.flags().destroyed);
    AudioSession::setActive(true);
    EXPECT_FALSE(player.playSoundData()) << "later plays fail too: the queue is gone";
    EXPECT_TRUE(player.canBeDeleted());
}

TEST_F(PlatformPlayerFailures, NoVoiceFromTheOutputMeansNothingToPlay) {
    fake->failNewVoices(true);
    player_internalPF player;
    player.setSoundData(clip.data(), static_cast<long long>(clip.size()));
    EXPECT_FALSE(player.flags().hasQueue);
    EXPECT_FALSE(player.playSoundData());
}

TEST_F(PlatformPlayerFailures, TheGainIsTheLevelTimesAHundredth) {
    player_internalPF player;
    player.setSoundData(clip.data(), static_cast<long long>(clip.size()));
    EXPECT_TRUE(player.setVolume(-1));
    EXPECT_FALSE(fake->voice(1)->gain.has_value()) << "65535 applies nothing";
    player.setVolume(50);
    EXPECT_FLOAT_EQ(*fake->voice(1)->gain, 0.5f);
    player.setVolume(150);
    EXPECT_FLOAT_EQ(*fake->voice(1)->gain, 1.5f);
    // The level is given again before every start.
    fake->setGain(1, 1.0f);
    ASSERT_TRUE(player.playSoundData());
    EXPECT_FLOAT_EQ(*fake->voice(1)->gain, 1.5f);
}

}  // namespace
