// The audio session and the outputs that run threads of their own: the real-time loopback and the
// process output, opened on a machine without sound.
#include "platform/audio/AudioSession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/OpenALOutput.h"
#include "tests/support/Eventually.h"
#include "tests/support/FakeAudioOutput.h"
#include "tests/support/SoundClips.h"

namespace {

using namespace std::chrono_literals;
using platform::AudioSession;
using platform::AudioStatus;
using platform::OpenALOutput;
using platform::VoiceState;
using testsupport::eventually;

struct Recorded {
    std::mutex lock;
    std::vector<uint32_t> states;
    std::vector<std::shared_ptr<platform::AudioOutput>> outputs;
};

void recordInterruption(void* data, uint32_t state) {
    auto* recorded = static_cast<Recorded*>(data);
    // The listener sees the output in place at each step, and may call back into the session.
    auto output = AudioSession::output();
    std::lock_guard<std::mutex> guard(recorded->lock);
    recorded->states.push_back(state);
    recorded->outputs.push_back(output);
}

class AudioSessionTest : public testing::Test {
protected:
    void TearDown() override { AudioSession::shutdown(); }
};

TEST_F(AudioSessionTest, InterruptionsReachTheListenerAndActivityReachesTheOutput) {
    auto fake = std::make_shared<testsupport::FakeAudioOutput>();
    AudioSession::setOutput(fake);
    Recorded recorded;
    AudioSession::interruption(AudioSession::kBeginInterruption);  // no listener yet: nothing happens
    ASSERT_TRUE(AudioSession::initialize(recordInterruption, &recorded));
    AudioSession::setCategory(AudioSession::Category::MediaPlayback);
    EXPECT_EQ(AudioSession::category(), AudioSession::Category::MediaPlayback);

    AudioSession::interruption(AudioSession::kBeginInterruption);
    AudioSession::setActive(false);
    EXPECT_FALSE(fake->isActive());
    AudioSession::interruption(AudioSession::kEndInterruption);
    AudioSession::setActive(true);
    EXPECT_TRUE(fake->isActive());
    EXPECT_EQ(recorded.states, (std::vector<uint32_t>{1, 0}));

    // An output put in place later takes on the session's activity.
    AudioSession::setActive(false);
    auto second = std::make_shared<testsupport::FakeAudioOutput>();
    AudioSession::setOutput(second);
    EXPECT_FALSE(second->isActive());
}

TEST_F(AudioSessionTest, ADeviceThatGoesAwayIsReplacedBetweenBeginAndEnd) {
    auto fake = std::make_shared<testsupport::FakeAudioOutput>();
    AudioSession::setOutput(fake);
    Recorded recorded;
    ASSERT_TRUE(AudioSession::initialize(recordInterruption, &recorded));

    std::thread outputThread([&] { fake->disconnect(); });
    outputThread.join();

    std::lock_guard<std::mutex> guard(recorded.lock);
    ASSERT_EQ(recorded.states, (std::vector<uint32_t>{1, 0}));
    EXPECT_EQ(recorded.outputs[0], fake) << "the players are paused on the old output";
    EXPECT_NE(recorded.outputs[1], fake);
    EXPECT_NE(recorded.outputs[1], nullptr) << "a machine without sound still gets a loopback output";
    EXPECT_EQ(AudioSession::output(), recorded.outputs[1]);

    // A second report from the old output changes nothing.
    fake->disconnect();
    EXPECT_EQ(recorded.states.size(), 2u);
}

TEST_F(AudioSessionTest, TheProcessOutputPlaysAClipToItsEndWithoutASoundCard) {
    std::shared_ptr<platform::AudioOutput> output = AudioSession::output();
    ASSERT_TRUE(output);
    EXPECT_EQ(AudioSession::output(), output) << "one output per process";

    platform::DecodedSound tone = testsupport::sineTone(22050, 1, 2205);
    platform::AudioVoice voice = output->newVoice(tone.format);
    platform::AudioBuffer buffer = output->newBuffer(voice, tone.samples);
    ASSERT_EQ(output->enqueue(voice, buffer), AudioStatus::Ok);
    ASSERT_EQ(output->start(voice), AudioStatus::Ok);
    EXPECT_TRUE(eventually([&] { return output->state(voice) == VoiceState::Stopped; }));
    output->disposeVoice(voice);
}

TEST(PacedLoopback, RendersInRealTimeAndShowsTheMixedFrames) {
    auto output = OpenALOutput::openLoopback(OpenALOutput::Pacing::RealTime);
    ASSERT_TRUE(output);
    std::atomic<int> loudest{0};
    std::atomic<long long> blocks{0};
    output->setRenderObserver([&](std::span<const int16_t> frames) {
        for (int16_t s : frames) loudest.store(std::max(loudest.load(), std::abs(int(s))));
        blocks.fetch_add(1);
    });
    std::vector<int16_t> scratch(512);
    EXPECT_FALSE(output->render(scratch)) << "only the render thread renders";

    platform::DecodedSound tone = testsupport::sineTone(OpenALOutput::kLoopbackSampleRate, 2, 4410);
    platform::AudioVoice voice = output->newVoice(tone.format);
    platform::AudioBuffer buffer = output->newBuffer(voice, tone.samples);
    ASSERT_EQ(output->enqueue(voice, buffer), AudioStatus::Ok);
    ASSERT_EQ(output->start(voice), AudioStatus::Ok);
    EXPECT_TRUE(eventually([&] { return output->state(voice) == VoiceState::Stopped; }));
    EXPECT_GT(loudest.load(), 1000);
    // A 100 ms clip takes ten blocks of 10 ms; the last one may still be on its way to the observer.
    EXPECT_GE(blocks.load(), 9);
}

}  // namespace
