// The sound channels reached at once from the loading thread, the update step and the media poll:
// the channel tables stay whole and the playing limit holds.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "media/Manager.h"
#include "tests/engine/SoundStage.h"

namespace enginetest {
namespace {

using namespace std::chrono_literals;
using H = HookCanvas;
using javax::microedition::media::Player;
using SoundChannelsConcurrency = SoundCanvasFixture;

TEST_F(SoundChannelsConcurrency, LoadingPlayingAndPollingAtOnce) {
    std::atomic<bool> done{false};
    std::thread loading([&] {
        for (int i = 0; i < 120; ++i) {
            service->loadSound(kFirstSound + i % 21);
            if (i % 3 == 0) service->unloadSound(kFirstSound + (i + 7) % 21);
        }
    });
    std::thread ticker([&] {
        while (!done.load()) {
            media.fake->advance(1ms);
            javax::microedition::media::Manager::tick();
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < 120; ++i) {
        service->_FuSeD_mThD_1_playSound(kFirstSound + (i * 5) % 21, i % 10, 1);
        if (i % 4 == 0) service->stopSound(kFirstSound + (i * 3) % 21);
        if (i % 10 == 0) service->setVolume(i);
    }
    loading.join();
    done.store(true);
    ticker.join();

    int playing = 0;
    std::set<int32_t> held;
    for (int ch = 0; ch < H::PARAM_TS_SOUND_AUDIO_MAX_PIECES; ++ch) {
        JavaPtr<Player> player = service->sound_players->data[ch];
        if (player && player->getState() == Player::STARTED) ++playing;
        if (!player && !service->sound_data->data[ch]) continue;
        EXPECT_TRUE(held.insert(service->sound_resource_ids->data[ch]).second)
            << "resource " << service->sound_resource_ids->data[ch] << " in two channels";
    }
    EXPECT_LE(playing, H::PARAM_TS_SOUND_AUDIO_MAX_CONCURRENT_CHANNELS);
    EXPECT_EQ(held.size(), 21u);
}

}  // namespace
}  // namespace enginetest
