// The sound channels' stage: the service canvas beside the media statics and the fake audio output
// of the media tests, with sound resources kFirstSound onward as short WAV tones.
#pragma once

#include <chrono>

#include "media/Player.h"
#include "tests/engine/ServiceCanvas.h"
#include "tests/media/PlayerTestSupport.h"

namespace enginetest {

constexpr int32_t kFirstSound = 300;

class MediaStage : public mediatest::MediaFixture {
public:
    void TestBody() override {}
    void up() { SetUp(); }
    void down() { TearDown(); }
    using MediaFixture::fake;
};

class SoundCanvasFixture : public ServiceCanvasFixture {
protected:
    void SetUp() override {
        ServiceCanvasFixture::SetUp();
        media.up();
        for (int i = 0; i < 23; ++i)
            service->resources[kFirstSound + i] = mediatest::toneClip(std::chrono::milliseconds(10));
    }
    void TearDown() override {
        // The players hold the canvas as their listener: closing them breaks the cycle.
        for (int ch = 0; ch < HookCanvas::PARAM_TS_SOUND_AUDIO_MAX_PIECES; ++ch)
            if (JavaPtr<javax::microedition::media::Player> player = service->sound_players->data[ch])
                player->close();
        media.down();
        ServiceCanvasFixture::TearDown();
    }

    MediaStage media;
};

}  // namespace enginetest
