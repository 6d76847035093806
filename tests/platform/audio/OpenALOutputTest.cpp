#include "platform/audio/OpenALOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/SoundClips.h"

namespace {

using platform::AudioStatus;
using platform::OpenALOutput;
using platform::VoiceState;

constexpr int kRate = OpenALOutput::kLoopbackSampleRate;
constexpr size_t kBlock = 256;
// The 16-bit output is dithered: silence comes out as samples of -1, 0 and 1.
constexpr int kSilence = 1;

int peak(const std::vector<int16_t>& samples) {
    int p = 0;
    for (int16_t s : samples) p = std::max(p, std::abs(int(s)));
    return p;
}

class LoopbackOutput : public testing::Test {
protected:
    void SetUp() override {
        output = OpenALOutput::openLoopback(OpenALOutput::Pacing::ByCaller);
        ASSERT_TRUE(output) << "OpenAL offers no loopback device";
    }

    std::vector<int16_t> render(size_t frames) {
        std::vector<int16_t> out(frames * 2);
        EXPECT_TRUE(output->render(out));
        return out;
    }
    // Renders block by block until the voice stops; the frames rendered meanwhile.
    size_t framesUntilStopped(platform::AudioVoice voice, size_t limit) {
        size_t frames = 0;
        while (frames < limit && output->state(voice) != VoiceState::Stopped) {
            render(kBlock);
            frames += kBlock;
        }
        return frames;
    }
    // A voice with a tone of the given length queued on it.
    platform::AudioVoice voiceWithTone(size_t frames, int channels = 1) {
        platform::DecodedSound tone = testsupport::sineTone(kRate, channels, frames);
        platform::AudioVoice voice = output->newVoice(tone.format);
        EXPECT_NE(voice, 0u);
        platform::AudioBuffer buffer = output->newBuffer(voice, tone.samples);
        EXPECT_NE(buffer, 0u);
        EXPECT_EQ(output->enqueue(voice, buffer), AudioStatus::Ok);
        return voice;
    }

    std::unique_ptr<OpenALOutput> output;
};

TEST_F(LoopbackOutput, AVoicePlaysItsBufferOnceAndStops) {
    const size_t clip = 4410;
    platform::AudioVoice voice = voiceWithTone(clip, 2);
    EXPECT_EQ(output->state(voice), VoiceState::Initial);
    EXPECT_LE(peak(render(kBlock)), kSilence) << "nothing plays before start";

    ASSERT_EQ(output->start(voice), AudioStatus::Ok);
    EXPECT_GT(peak(render(kBlock)), 1000);
    EXPECT_EQ(output->state(voice), VoiceState::Playing);
    size_t played = kBlock + framesUntilStopped(voice, 10 * clip);
    EXPECT_GE(played, clip);
    EXPECT_LE(played, clip + 2 * kBlock);
    EXPECT_LE(peak(render(kBlock)), kSilence) << "silent once the buffer is played out";
}

TEST_F(LoopbackOutput, GainScalesTheOutput) {
    platform::AudioVoice voice = voiceWithTone(kRate);
    ASSERT_EQ(output->start(voice), AudioStatus::Ok);
    render(kBlock);
    int full = peak(render(2048));
    ASSERT_EQ(output->setGain(voice, 0.5f), AudioStatus::Ok);
    render(2048);  // the gain change is faded in
    int half = peak(render(2048));
    ASSERT_EQ(output->setGain(voice, 0.0f), AudioStatus::Ok);
    render(8192);
    EXPECT_NEAR(double(half) / full, 0.5, 0.05);
    EXPECT_LE(peak(render(2048)), kSilence);
}

TEST_F(LoopbackOutput, PauseHoldsThePlaceAndStopRewinds) {
    const size_t clip = 8820;
    platform::AudioVoice voice = voiceWithTone(clip);
    ASSERT_EQ(output->start(voice), AudioStatus::Ok);
    render(clip / 2);
    ASSERT_EQ(output->pause(voice), AudioStatus::Ok);
    EXPECT_EQ(output->state(voice), VoiceState::Paused);
    render(kBlock);
    EXPECT_LE(peak(render(4 * clip)), kSilence);
    EXPECT_EQ(output->state(voice), VoiceState::Paused);

    ASSERT_EQ(output->start(voice), AudioStatus::Ok);
    size_t rest = framesUntilStopped(voice, 10 * clip);
    EXPECT_GE(rest + 2 * kBlock, clip / 2);
    EXPECT_LE(rest, clip / 2 + 2 * kBlock);

    // Stop rewinds: the next start plays the whole clip again.
    ASSERT_EQ(output->stop(voice), AudioStatus::Ok);
    EXPECT_EQ(output->state(voice), VoiceState::Initial);
    ASSERT_EQ(output->start(voice), AudioStatus::Ok);
    EXPECT_GE(framesUntilStopped(voice, 10 * clip), clip - kBlock);
}

TEST_F(LoopbackOutput, RefusesWhatItCannotDo) {
    platform::DecodedSound tone = testsupport::sineTone(kRate, 1, 100);
    EXPECT_EQ(output->newVoice(platform::PcmFormat{kRate, 3, 16}), 0u);
    EXPECT_EQ(output->newVoice(platform::PcmFormat{kRate, 1, 8}), 0u);
    EXPECT_EQ(output->newBuffer(999, tone.samples), 0u);
    EXPECT_EQ(output->start(999), AudioStatus::Failed);
    EXPECT_EQ(output->state(999), std::nullopt);

    platform::AudioVoice voice = output->newVoice(tone.format);
    platform::AudioVoice other = output->newVoice(tone.format);
    platform::AudioBuffer buffer = output->newBuffer(voice, tone.samples);
    EXPECT_EQ(output->enqueue(other, buffer), AudioStatus::Failed) << "a buffer belongs to its voice";
    output->setActive(false);
    EXPECT_EQ(output->enqueue(voice, buffer), AudioStatus::SessionNotActive);
    output->setActive(true);
    EXPECT_EQ(output->enqueue(voice, buffer), AudioStatus::Ok);
    ASSERT_EQ(output->start(voice), AudioStatus::Ok);
    EXPECT_EQ(output->enqueue(voice, buffer), AudioStatus::Failed) << "not while playing";

    // A buffer still attached to a playing voice can be freed, and the voice takes a new one.
    output->freeBuffer(voice, buffer);
    EXPECT_EQ(output->enqueue(voice, buffer), AudioStatus::Failed);
    platform::AudioBuffer second = output->newBuffer(voice, tone.samples);
    EXPECT_EQ(output->enqueue(voice, second), AudioStatus::Ok);
    output->disposeVoice(voice);
    EXPECT_EQ(output->state(voice), std::nullopt);
    EXPECT_EQ(output->enqueue(voice, second), AudioStatus::Failed);
}

}  // namespace
