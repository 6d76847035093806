// The screen wipe: masks stepping every fourth update, the widening clip of a segment, the clip left
// for the caller, the transition cue and the null mask of an unreadable screen.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "tests/engine/ServiceCanvas.h"

namespace quiztest {
namespace {

using H = HookCanvas;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

class WipeCanvas : public enginetest::ServiceCanvas {
    TESL_CLASS(WipeCanvas, "quiztest.WipeCanvas", enginetest::ServiceCanvas)
public:
    WipeCanvas() noexcept {}
    WipeCanvas* TESLinvokeconstructor() {
        ServiceCanvas::TESLinvokeconstructor();
        return this;
    }
    void playSound(int32_t id, int32_t, int32_t) override { sounds.push_back(id); }
    void changeGameStateTo(int32_t state) override { states.push_back(state); }
    void drawImageIDNoTransform(const JavaPtr<Graphics>& g, int32_t id, int32_t, int32_t, int32_t,
                                int32_t) override {
        drawn.push_back(id);
        clipWidths.push_back(g->getClipWidth());
    }
    std::vector<int32_t> sounds, states, drawn, clipWidths;
};

JavaPtr<JArray<signed char>> bytes(std::initializer_list<int> values) {
    auto a = jnew<JArray<signed char>>(static_cast<int>(values.size()));
    int i = 0;
    for (int v : values) a->data[i++] = static_cast<signed char>(v);
    return a;
}

class Transitions : public enginetest::CanvasFixture {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        wipe = jnew<WipeCanvas>();
        canvas = wipe;
        H::PARAM_TS_BASE_SCREEN_WIDTH = 320;
        H::PARAM_TS_BASE_SCREEN_HEIGHT = 480;
        wipe->imageWidth = 240;
        wipe->imageHeight = 50;
        ids = jnew<JArray<int32_t>>(8);
        for (int s = 0; s < 8; ++s) ids->data[s] = 100 + s;
        g = Image::createImage(320, 480)->getGraphics();
    }
    void TearDown() override {
        g = nullptr;
        wipe = nullptr;
        CanvasFixture::TearDown();
    }
    // Which of segments 0..7 the current step lets draw, as bits (drawing advances their wipes).
    int allowed() {
        int bits = 0;
        for (int s = 0; s < 8; ++s)
            if (wipe->drawFadingSegment(g, ids, s, 0, 0, true)) bits |= 1 << s;
        return bits;
    }

    JavaPtr<WipeCanvas> wipe;
    JavaPtr<JArray<int32_t>> ids;
    JavaPtr<Graphics> g;
};

TEST_F(Transitions, MaskRevealsSegmentsStepByStepAndEnds) {
    wipe->menu_bg_trans = bytes({1, 3, 7, 15, 31});
    wipe->startFade(H::FADE_IN, H::GAMESTATE_MAIN_MENU);
    EXPECT_EQ(wipe->states, std::vector<int32_t>{H::GAMESTATE_MAIN_MENU | H::GAMESTATEFLAG_LOADING});
    std::vector<int> seen;
    int ms = 0;
    while (wipe->fade_active && ms < 5000) {
        const int a = allowed();
        if (seen.empty() || seen.back() != a) seen.push_back(a);
        wipe->fadeTick();
        ms += H::MS_PER_UPDATE;
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 7, 15, 31}));
    EXPECT_EQ(ms, 5 * 4 * H::MS_PER_UPDATE) << "one step every fourth update, about 660 ms in all";
    EXPECT_EQ(allowed(), 0xff) << "no gate once the transition ended";
}

TEST_F(Transitions, SegmentClipWidensThenGoesAndResetClipChoosesTheClipLeft) {
    for (bool reset : {true, false}) {
        SCOPED_TRACE(reset);
        wipe->startFade(H::FADE_IN, 9);
        wipe->drawn.clear();
        wipe->clipWidths.clear();
        std::vector<int> after;
        for (int frame = 0; frame < 10; ++frame) {
            g->setClip(0, 0, 320, 480);
            ASSERT_TRUE(wipe->drawFadingSegment(g, ids, 2, 10, 20, reset));
            after.push_back(g->getClipWidth());
        }
        EXPECT_EQ(wipe->clipWidths, (std::vector<int32_t>{0, 30, 60, 90, 120, 150, 180, 210, 320, 320}));
        EXPECT_EQ(wipe->drawn, std::vector<int32_t>(10, 102));
        if (reset)
            EXPECT_EQ(after, std::vector<int>(10, 320));
        else
            EXPECT_EQ(after, (std::vector<int>{0, 30, 60, 90, 120, 150, 180, 210, 320, 320}));
    }
}

TEST_F(Transitions, CueOnlyForMaskedStatesAfterTheFirstLoad) {
    wipe->menu_bg_trans = bytes({1});
    wipe->first_load_pending = true;
    wipe->startFade(H::FADE_OUT, H::GAMESTATE_MAIN_MENU);
    EXPECT_TRUE(wipe->fade_active);
    EXPECT_TRUE(wipe->sounds.empty()) << "silent during the first load";
    wipe->first_load_pending = false;
    wipe->fade_active = false;
    wipe->startFade(H::FADE_OUT, 9);
    EXPECT_TRUE(wipe->sounds.empty()) << "an unmasked state with no transition running";
    wipe->startFade(H::FADE_OUT, H::GAMESTATE_MAIN_MENU);
    EXPECT_EQ(wipe->sounds, std::vector<int32_t>{H::RESID_TRANSITION_SHOOSH});
    wipe->startFade(H::FADE_IN, 9);
    EXPECT_EQ(wipe->sounds.size(), 2u) << "a transition still running sounds again";
}

TEST_F(Transitions, DirectionIsIgnored) {
    wipe->game_bg_trans = bytes({2, 6});
    std::vector<int> runs[2];
    int k = 0;
    for (int direction : {H::FADE_IN, H::FADE_OUT}) {
        wipe->startFade(direction, H::GAMESTATE_GAME_RUNNING);
        while (wipe->fade_active) {
            runs[k].push_back(allowed());
            wipe->fadeTick();
        }
        ++k;
    }
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_FALSE(runs[0].empty());
}

TEST_F(Transitions, MissingMaskWipesWithoutOne) {
    wipe->stats_bg_trans = nullptr;
    wipe->startFade(H::FADE_IN, H::GAMESTATE_STATS);
    EXPECT_FALSE(wipe->fade_active);
    EXPECT_EQ(allowed(), 0xff);
    wipe->fadeTick();
}

}  // namespace
}  // namespace quiztest
