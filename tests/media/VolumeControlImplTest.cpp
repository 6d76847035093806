#include "media/VolumeControlImpl.h"

#include <gtest/gtest.h>

#include "media/MetaDataControl.h"
#include "media/ToneControlImpl.h"
#include "tests/media/PlayerTestSupport.h"

namespace {

using namespace mediatest;
using javax::microedition::media::control::MetaDataControl;
using javax::microedition::media::control::ToneControl;
using javax::microedition::media::control::VolumeControl;

class VolumeControlTest : public MediaFixture {
protected:
    JavaPtr<VolumeControl> volumeOf(const JavaPtr<PlayerImpl>& player) {
        return jcast<VolumeControl>(player->getControl(jnew<java::lang::String>("VolumeControl")));
    }
    // The gain the player's voice plays at: none set means full gain.
    float gain() {
        EXPECT_EQ(fake->voiceCount(), 1u);
        for (platform::AudioVoice name = 1; name < 16; ++name)
            if (auto voice = fake->voice(name)) return voice->gain.value_or(1.0f);
        return -1.0f;
    }
};

TEST_F(VolumeControlTest, TheLevelOfANewControl) {
    JavaPtr<PlayerImpl> player = newPlayer();
    player->realize();
    JavaPtr<VolumeControl> volume = volumeOf(player);
    EXPECT_EQ(volume->getLevel(), -1) << "a realized player that never had a level";
    player->start();
    EXPECT_EQ(volume->getLevel(), 100) << "a player without a level plays at full gain";

    JavaPtr<PlayerImpl> quieter = newPlayer();
    quieter->setVolume(35);
    quieter->start();
    EXPECT_EQ(volumeOf(quieter)->getLevel(), 35);
}

TEST_F(VolumeControlTest, LevelsAreClampedAndAnUnchangedLevelIsNotPassedOn) {
    JavaPtr<PlayerImpl> player = newPlayer();
    JavaPtr<RecordingListener> listener = listenTo(player);
    player->start();
    JavaPtr<VolumeControl> volume = volumeOf(player);
    struct Case {
        int requested;
        int answer;
        float gain;
        const char* events;
    };
    const Case cases[] = {
        {150, 100, 1.0f, "volumeChanged"},
        {-5, 0, 0.0f, "volumeChanged"},
        {-40, 0, 0.0f, ""},
        {40, 40, 0.4f, "volumeChanged"},
        {40, 40, 0.4f, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        listener->clear();
        EXPECT_EQ(volume->setLevel(c.requested), c.answer);
        EXPECT_EQ(volume->getLevel(), c.answer);
        EXPECT_FLOAT_EQ(gain(), c.gain);
        EXPECT_EQ(listener->names(), c.events);
    }
}

TEST_F(VolumeControlTest, MutingKeepsTheLevelAndUnmutingRestoresIt) {
    JavaPtr<PlayerImpl> player = newPlayer();
    player->start();
    JavaPtr<VolumeControl> volume = volumeOf(player);
    volume->setLevel(60);
    volume->setMute(true);
    EXPECT_TRUE(volume->isMuted());
    EXPECT_FLOAT_EQ(gain(), 0.0f);
    EXPECT_EQ(volume->getLevel(), 60);

    // A level set while muted is kept for the unmute; the player stays silent.
    EXPECT_EQ(volume->setLevel(40), 40);
    EXPECT_TRUE(volume->isMuted());
    EXPECT_FLOAT_EQ(gain(), 0.0f);
    EXPECT_EQ(volume->getLevel(), 40);

    volume->setMute(false);
    EXPECT_FALSE(volume->isMuted());
    EXPECT_FLOAT_EQ(gain(), 0.4f);
}

TEST_F(VolumeControlTest, UnmutingWithoutALevelPlaysAtFullGain) {
    JavaPtr<PlayerImpl> player = newPlayer();
    player->realize();
    JavaPtr<VolumeControl> volume = volumeOf(player);
    player->start();
    volume->setMute(true);
    EXPECT_FLOAT_EQ(gain(), 0.0f);
    volume->setMute(false);
    EXPECT_FALSE(volume->isMuted());
    EXPECT_FLOAT_EQ(gain(), 1.0f);
    EXPECT_EQ(player->getVolume(), 100);
}

TEST_F(VolumeControlTest, AControlOfAClosedPlayerChangesNothing) {
    JavaPtr<PlayerImpl> player = newPlayer();
    player->start();
    JavaPtr<VolumeControl> volume = volumeOf(player);
    volume->setLevel(70);
    volume->setMute(true);
    player->close();
    EXPECT_EQ(volume->setLevel(20), -1);
    EXPECT_FALSE(volume->isMuted());
    EXPECT_EQ(volume->getLevel(), 70);
    volume->setMute(false);
    EXPECT_EQ(volume->getLevel(), 70);
}

TEST_F(VolumeControlTest, ToneControlsIgnoreEverySequence) {
    JavaPtr<PlayerImpl> player = newPlayer();
    player->realize();
    JavaPtr<ToneControl> tone =
        jcast<ToneControl>(player->getControl(jnew<java::lang::String>("ToneControl")));
    ASSERT_TRUE(tone);
    auto sequence = jnew<JArray<signed char>>(6);
    const signed char bytes[] = {ToneControl::VERSION, 1, ToneControl::TEMPO, 30, ToneControl::C4, 8};
    std::copy(std::begin(bytes), std::end(bytes), sequence->data);
    tone->setSequence(sequence);
    tone->setSequence(nullptr);
    EXPECT_EQ(player->getState(), Player::REALIZED);
    EXPECT_EQ(fake->voice(1)->starts, 0);
}

TEST_F(VolumeControlTest, ConstantsAndMetaDataKeys) {
    EXPECT_EQ(static_cast<unsigned char>(ToneControl::VERSION), 254);
    EXPECT_EQ(static_cast<unsigned char>(ToneControl::REPEAT), 247);
    EXPECT_EQ(static_cast<unsigned char>(ToneControl::SILENCE), 255);
    EXPECT_STREQ(MetaDataControl::AUTHOR_KEY->val(), "author");
    EXPECT_STREQ(MetaDataControl::COPYRIGHT_KEY->val(), "copyright");
    EXPECT_STREQ(MetaDataControl::DATE_KEY->val(), "date");
    EXPECT_STREQ(MetaDataControl::TITLE_KEY->val(), "title");
    MetaDataControl::MetaDataControl_staticDestroy();
    EXPECT_FALSE(MetaDataControl::TITLE_KEY);
    MetaDataControl::MetaDataControl_staticInit();
}

}  // namespace
