// Platform players reached from several threads at once, as the application's threads, the ticker's
// poll and the interruption listener reach them, on outputs that run threads of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "media/player_internalPF.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/support/Eventually.h"

namespace {

using namespace mediatest;
using platform::AudioSession;
using testsupport::eventually;

class PlatformPlayerThreads : public testing::Test {
protected:
    void SetUp() override {
        resetAudioState();
        InterruptionWalk::install();
    }
    void TearDown() override {
        players.clear();
        resetAudioState();
    }

    void makePlayers(int count) {
        for (int i = 0; i < count; ++i) {
            players.push_back(std::make_unique<player_internalPF>());
            players.back()->setSoundData(clip.data(), static_cast<long long>(clip.size()));
            InterruptionWalk::add(players.back().get());
        }
    }

    std::vector<uint8_t> clip = toneClip(30ms, 2);
    std::vector<std::unique_ptr<player_internalPF>> players;
};

TEST_F(PlatformPlayerThreads, PlayersSteeredPolledAndInterruptedAtOnce) {
    auto output = platform::OpenALOutput::openLoopback(platform::OpenALOutput::Pacing::RealTime);
    ASSERT_TRUE(output);
    AudioSession::setOutput(std::move(output));
    makePlayers(8);

    std::atomic<bool> done{false};
    std::thread poll([&] {
        while (!done.load()) {
            for (auto& player : players) {
                player->hasIncompletePlaybackTask();
                player->canBeDeleted();
            }
            std::this_thread::yield();
        }
    });
    std::thread interruptions([&] {
        for (int i = 0; i < 5; ++i) {
            AudioSession::interruption(AudioSession::kBeginInterruption);
            std::this_thread::sleep_for(3ms);
            AudioSession::interruption(AudioSession::kEndInterruption);
            std::this_thread::sleep_for(5ms);
        }
    });
    std::vector<std::thread> application;
    for (int t = 0; t < 4; ++t) {
        application.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                for (int p = t * 2; p < t * 2 + 2; ++p) {
                    player_internalPF& player = *players[p];
                    player.playSoundData();
                    player.setVolume(round * 5);
                    std::this_thread::sleep_for(1ms);
                    player.pausePlayback();
                    player.resumePlayback();
                    if (round % 3 == 0) player.seekToTime(0);
                }
            }
        });
    }
    for (auto& thread : application) thread.join();
    interruptions.join();

    // Once the interruptions are over, every player plays its clip to the end again.
    for (auto& player : players) ASSERT_TRUE(player->playSoundData());
    for (auto& player : players)
        EXPECT_TRUE(eventually([&] { return !player->hasIncompletePlaybackTask(); }));
    done.store(true);
    poll.join();
    for (auto& player : players) {
        player->destroy();
        EXPECT_TRUE(player->canBeDeleted());
    }
}

TEST_F(PlatformPlayerThreads, ADeviceThatGoesAwayLeavesPlayersToBeMadeAgainOnItsReplacement) {
    auto lost = std::make_shared<testsupport::FakeAudioOutput>();
    AudioSession::setOutput(lost);
    makePlayers(2);
    ASSERT_TRUE(players[0]->playSoundData());

    // The output's own thread reports the loss.
    std::thread deviceThread([&] { lost->disconnect(); });
    deviceThread.join();
    EXPECT_EQ(_in_an_interrupt.load(), 0) << "the interruption is over once a new output is in place";
    ASSERT_NE(AudioSession::output(), lost);
    for (auto& player : players) {
        EXPECT_TRUE(player->flags().interrupted);
        EXPECT_TRUE(player->hasIncompletePlaybackTask());
    }

    for (auto& player : players) ASSERT_TRUE(player->playSoundData());
    EXPECT_EQ(lost->voiceCount(), 0u) << "the voices on the lost output are freed";
    for (auto& player : players)
        EXPECT_TRUE(eventually([&] { return !player->hasIncompletePlaybackTask(); }));
}

// A real-time output with nothing to play renders nothing (its thread sleeps), and a play wakes it:
// the clip is heard in the first block rendered after the play. The observer may still be handed the
// block rendered just before, so one more is allowed there.
TEST_F(PlatformPlayerThreads, TheOutputRendersNothingWhileSilentAndAPlayIsHeardInItsNextBlock) {
    auto output = platform::OpenALOutput::openLoopback(platform::OpenALOutput::Pacing::RealTime);
    ASSERT_TRUE(output);
    std::mutex lock;
    long long blocks = 0;
    long long firstLoud = 0;  // the number of the first block with the clip in it, counted from 1
    output->setRenderObserver([&](std::span<const int16_t> frames) {
        const bool loud =
            std::any_of(frames.begin(), frames.end(), [](int16_t s) { return std::abs(s) > 1000; });
        std::lock_guard<std::mutex> guard(lock);
        ++blocks;
        if (loud && firstLoud == 0) firstLoud = blocks;
    });
    auto renderedSoFar = [&] {
        std::lock_guard<std::mutex> guard(lock);
        return blocks;
    };
    AudioSession::setOutput(std::move(output));
    makePlayers(1);
    player_internalPF& player = *players[0];

    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(renderedSoFar(), 0) << "silence is not mixed before the first play";
    for (int play = 0; play < 3; ++play) {
        SCOPED_TRACE(play);
        {
            std::lock_guard<std::mutex> guard(lock);
            firstLoud = 0;
        }
        const long long atPlay = renderedSoFar();
        ASSERT_TRUE(player.playSoundData());
        ASSERT_TRUE(eventually([&] { return !player.hasIncompletePlaybackTask(); }));
        const long long atEnd = renderedSoFar();
        {
            std::lock_guard<std::mutex> guard(lock);
            EXPECT_GT(firstLoud, atPlay);
            EXPECT_LE(firstLoud, atPlay + 2);
        }
        // Once the clip has played out, the thread goes back to sleep.
        std::this_thread::sleep_for(300ms);
        EXPECT_LE(renderedSoFar(), atEnd + 1);
    }
}

}  // namespace
