// The quiz's cues over the sound channels with the media layer's silent output: the channel order of
// the first load, the sound-off option, hide and show, and a cue played before any load.
#include <gtest/gtest.h>

#include <vector>

#include "tests/engine/SoundStage.h"

namespace quiztest {
namespace {

using H = HookCanvas;
using javax::microedition::media::Player;

// The counting canvas only counts cue loads, so the tests call the quiz's own by name.
class SoundCues : public enginetest::SoundCanvasFixture {
protected:
    void SetUp() override {
        SoundCanvasFixture::SetUp();
        for (int id = 292; id <= 312; ++id)
            service->resources[id] = mediatest::toneClip(std::chrono::milliseconds(10));
        service->options = jnew<JArray<bool>>(6);
    }
    std::vector<int> channelIds() {
        std::vector<int> ids;
        for (int ch = 0; ch < H::PARAM_TS_SOUND_AUDIO_MAX_PIECES; ++ch)
            ids.push_back(service->sound_resource_ids->data[ch]);
        return ids;
    }
    int stateOf(int ch) {
        JavaPtr<Player> player = service->sound_players->data[ch];
        return player ? player->getState() : -1;
    }
};

TEST_F(SoundCues, FirstLoadTakesTheChannelsInCueOrder) {
    service->HookCanvas::loadSounds();
    EXPECT_TRUE(service->sounds_loaded);
    std::vector<int> want = {292, 311, 312};
    for (int id = 293; id <= 310; ++id) want.push_back(id);
    EXPECT_EQ(channelIds(), want);
    service->playSound(H::RESID_CORRECT, 0, 1);
    EXPECT_EQ(stateOf(4), Player::STARTED);
}

TEST_F(SoundCues, SoundOffLoadsAndPlaysNothing) {
    service->options->data[3] = true;
    const std::vector<int> empty = channelIds();
    service->HookCanvas::loadSounds();
    EXPECT_FALSE(service->sounds_loaded);
    service->playSound(H::RESID_CORRECT, 0, 1);
    EXPECT_EQ(channelIds(), empty);
    for (int id = 292; id <= 312; ++id) EXPECT_EQ(service->readsOf(id), 0) << id;
}

TEST_F(SoundCues, MinusOnePlaysNothingWhateverTheOptions) {
    for (bool off : {false, true}) {
        service->options->data[3] = off;
        const std::vector<int> before = channelIds();
        service->playSound(-1, 0, 1);
        EXPECT_EQ(channelIds(), before);
        for (int ch = 0; ch < H::PARAM_TS_SOUND_AUDIO_MAX_PIECES; ++ch) EXPECT_EQ(stateOf(ch), -1);
    }
}

TEST_F(SoundCues, HideThenShowKeepsEveryChannel) {
    service->HookCanvas::loadSounds();
    const std::vector<int> before = channelIds();
    service->stopAllSounds();
    service->HookCanvas::unloadSounds();
    for (int ch = 0; ch < 21; ++ch) EXPECT_FALSE(service->sound_data->data[ch]) << ch;
    service->HookCanvas::loadSounds();
    EXPECT_EQ(channelIds(), before);
    for (int id = 292; id <= 312; ++id) EXPECT_EQ(service->readsOf(id), 1) << "read again: " << id;
    service->playSound(H::RESID_PROMOTED, 0, 1);
    EXPECT_EQ(stateOf(12), Player::STARTED);
}

TEST_F(SoundCues, CueBeforeAnyLoadIsLoadedOnDemand) {
    service->playSound(H::RESID_TRANSITION_SHOOSH, 0, 1);
    EXPECT_EQ(service->sound_resource_ids->data[0], H::RESID_TRANSITION_SHOOSH);
    EXPECT_EQ(stateOf(0), Player::STARTED);
    EXPECT_FALSE(service->sounds_loaded);
}

}  // namespace
}  // namespace quiztest
