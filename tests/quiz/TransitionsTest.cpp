// The screen wipe: masks stepping every fourth update, the widening clip of a segment, the clip left
// for the caller, the transition cue and the null mask of an unreadable screen; and the same wipes on
// the canvas clock with the test bundle's masks and pictures, read back from the pixels.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "platform/files/FileSystemPaths.h"
#include "tests/engine/ResourceFixtures.h"
#include "tests/engine/ServiceCanvas.h"

namespace quiztest {
namespace {

using H = HookCanvas;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

constexpr int kSegments = 5;

// One painted frame of the game screen: the clock, and which of its segments drew.
struct Frame {
    long long ms;
    int drew;
    bool fading;
    bool operator==(const Frame&) const = default;
};

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
    // On the bundle the canvas's own resource and picture services answer; otherwise the test's tables.
    JavaPtr<JArray<signed char>> getResourceByteArray(int32_t id) override {
        if (!onBundle) return ServiceCanvas::getResourceByteArray(id);
        return missing.count(id) ? nullptr : HookCanvas::getResourceByteArray(id);
    }
    int32_t getImageDimension(int32_t id, int32_t cell, int32_t transform, int32_t selector) override {
        return onBundle ? HookCanvas::getImageDimension(id, cell, transform, selector)
                        : ServiceCanvas::getImageDimension(id, cell, transform, selector);
    }
    void drawImageIDNoTransform(const JavaPtr<Graphics>& g, int32_t id, int32_t cell, int32_t x, int32_t y,
                                int32_t anchor) override {
        drawn.push_back(id);
        clipWidths.push_back(g->getClipWidth());
        if (onBundle) HookCanvas::drawImageIDNoTransform(g, id, cell, x, y, anchor);
    }
    // The update step's share of a wipe, and a paint that draws the game screen's segments on screen.
    void fixedRateUpdate() override {
        if (fade_active) fadeTick();
    }
    void syncPaint() override { render(screen); }
    // The screen here is the test's 320 x 480 picture, not a display's.
    void updateScreenDimensions() override {}
    void render(const JavaPtr<Graphics>& g) override {
        int drew = 0;
        for (int s = 0; s < kSegments; ++s)
            if (drawFadingSegment(g, segmentIds, s, kSegmentX[s], kSegmentY[s], true)) drew |= 1 << s;
        frames.push_back({enginetest::clockNow.load(), drew, fade_active});
    }

    // Where the game screen's five background pieces sit in the base layout.
    static constexpr int kSegmentX[kSegments] = {0, 81, 0, 80, 0};
    static constexpr int kSegmentY[kSegments] = {0, 0, 108, 108, 395};

    std::vector<int32_t> sounds, states, drawn, clipWidths;
    bool onBundle = false;
    std::set<int32_t> missing;
    JavaPtr<Graphics> screen;
    JavaPtr<JArray<int32_t>> segmentIds;
    std::vector<Frame> frames;
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
        screen = nullptr;
        wipe = nullptr;
        if (swappedPaths) {
            enginetest::resetResourceStatics();
            _appPathIs = savedBundle;
            _savePathIs = savedData;
        }
        CanvasFixture::TearDown();
    }
    // The test bundle's resource map, the game screen's five pictures loaded as the screen loads them,
    // and a screen of kOldScreen standing for the screen being left.
    void useTestBundle() {
        savedBundle = _appPathIs;
        savedData = _savePathIs;
        swappedPaths = true;
        platform::setFileSystemPaths(QUILL_TEST_BUNDLE_DIR, QUILL_TEST_BUNDLE_DIR);
        wipe->onBundle = true;
        wipe->initTessel();
        for (int id : {H::RESID_MENU_BG_TRANS, H::RESID_ABOUT_BG_TRANS, H::RESID_STATS_BG_TRANS,
                       H::RESID_CONFIRM_BG_TRANS, H::RESID_GAME_BG_TRANS, H::RESID_GAME_BG_0_LOW}) {
            const int block = wipe->getBlockOfResource(id);
            if (block >= 0) wipe->loadResourceBlock(block);
        }
        const int pictures[kSegments] = {H::RESID_GAME_BG_0_LOW, H::RESID_GAME_BG_1_LOW,
                                         H::RESID_GAME_BG_2_LOW, H::RESID_GAME_BG_3_LOW,
                                         H::RESID_GAME_BG_4_LOW};
        wipe->segmentIds = jnew<JArray<int32_t>>(kSegments);
        for (int s = 0; s < kSegments; ++s) {
            wipe->segmentIds->data[s] = wipe->loadImageID(pictures[s], 0, 0, false);
            ASSERT_GE(wipe->segmentIds->data[s], 0) << "picture " << pictures[s];
        }
        screen = Image::createImage(320, 480);
        g = screen->getGraphics();
        g->setColor(kOldScreen);
        g->fillRect(0, 0, 320, 480);
        wipe->screen = g;
    }
    uint32_t pixel(int x, int y) {
        auto rgb = jnew<JArray<int>>(1);
        screen->getRGB(rgb, 0, 1, x, y, 1, 1);
        return static_cast<uint32_t>(rgb->data[0]) & 0xFFFFFF;
    }
    // The colour of a flat test-bundle picture, drawn whole on a scratch image.
    uint32_t colourOf(int slot) {
        JavaPtr<Image> scratch = Image::createImage(8, 8);
        JavaPtr<Graphics> sg = scratch->getGraphics();
        wipe->HookCanvas::drawImageIDNoTransform(sg, slot, 0, 0, 0, Graphics::TOP | Graphics::LEFT);
        auto rgb = jnew<JArray<int>>(1);
        scratch->getRGB(rgb, 0, 1, 4, 4, 1, 1);
        return static_cast<uint32_t>(rgb->data[0]) & 0xFFFFFF;
    }
    // Passes of the frame loop every 11 ms (three paints to an update step) until the clock has moved
    // by ms.
    void runFor(long long ms) {
        for (long long t = 0; t < ms; t += 11) {
            enginetest::clockNow.fetch_add(11);
            wipe->runOnce();
        }
    }

    static constexpr uint32_t kOldScreen = 0xFF00FF;
    // Which of segments 0..7 the current step lets draw, as bits (drawing advances their wipes).
    int allowed() {
        int bits = 0;
        for (int s = 0; s < 8; ++s)
            if (wipe->drawFadingSegment(g, ids, s, 0, 0, true)) bits |= 1 << s;
        return bits;
    }

    JavaPtr<WipeCanvas> wipe;
    JavaPtr<JArray<int32_t>> ids;
    JavaPtr<Image> screen;
    JavaPtr<Graphics> g;
    const char* savedBundle = nullptr;
    const char* savedData = nullptr;
    bool swappedPaths = false;
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

// The game screen's wipe with the bundle's mask (1, 3, 7, 15, 31), paints every 11 ms and update steps
// every 33 ms: one more piece every 132 ms, the transition over at 660 ms, the same for either
// direction and silent during the first load.
TEST_F(Transitions, GameScreenWipeOnTheClock) {
    useTestBundle();
    wipe->game_bg_trans = wipe->getResourceByteArray(H::RESID_GAME_BG_TRANS);
    ASSERT_TRUE(wipe->game_bg_trans);
    const std::vector<int> mask(wipe->game_bg_trans->begin(), wipe->game_bg_trans->end());
    ASSERT_EQ(mask, (std::vector<int>{1, 3, 7, 15, 31}));
    start(H::GAMESTATE_GAME_RUNNING);

    // The model: the pass at t ms has run t / 33 update steps, four to a mask step; paints begin with
    // the first update step.
    std::vector<Frame> expected;
    for (long long t = 33; t <= 990; t += 11) {
        const long long step = t / 33 / 4;
        expected.push_back({t, step < 5 ? mask[step] : 31, step < 5});
    }
    struct Run {
        int direction;
        bool firstLoad;
        const char* name;
    };
    for (const Run& run : {Run{H::FADE_IN, false, "in"}, Run{H::FADE_OUT, false, "out"},
                           Run{H::FADE_IN, true, "first load"}}) {
        SCOPED_TRACE(run.name);
        g->setColor(kOldScreen);
        g->fillRect(0, 0, 320, 480);
        H::render_after_update.store(false);
        wipe->frames.clear();
        wipe->sounds.clear();
        wipe->first_load_pending = run.firstLoad;
        const long long t0 = enginetest::clockNow.load();
        wipe->startFade(run.direction, H::GAMESTATE_GAME_RUNNING);
        runFor(121);
        // Segment 0 has had its nine frames (33 .. 121 ms), the others none: the old screen is there.
        const uint32_t first = colourOf(wipe->segmentIds->data[0]);
        EXPECT_EQ(pixel(0, 0), first);
        EXPECT_EQ(pixel(80, 107), first);
        EXPECT_EQ(pixel(81, 0), kOldScreen);
        EXPECT_EQ(pixel(200, 200), kOldScreen);
        EXPECT_EQ(pixel(319, 479), kOldScreen);
        runFor(990 - 121);
        for (Frame& f : wipe->frames) f.ms -= t0;
        EXPECT_EQ(wipe->frames, expected);
        EXPECT_FALSE(wipe->fade_active);
        for (int s = 0; s < kSegments; ++s) {
            const int x = WipeCanvas::kSegmentX[s], y = WipeCanvas::kSegmentY[s];
            const int slot = wipe->segmentIds->data[s];
            const int w = wipe->getImageDimension(slot, 0, 0, H::IMAGEDIMENSION_WIDTH);
            const int h = wipe->getImageDimension(slot, 0, 0, H::IMAGEDIMENSION_HEIGHT);
            // The top left corner and the middle: the pieces drawn later may overlap a row of an earlier one.
            EXPECT_EQ(pixel(x, y), colourOf(slot)) << s;
            EXPECT_EQ(pixel(x + w / 2, y + h / 2), colourOf(slot)) << s;
        }
        EXPECT_EQ(wipe->sounds,
                  run.firstLoad ? std::vector<int32_t>{} : std::vector<int32_t>{H::RESID_TRANSITION_SHOOSH});
    }
}

TEST_F(Transitions, A240PixelSegmentWipesInOnTheScreen) {
    useTestBundle();
    const int slot = wipe->segmentIds->data[3];
    ASSERT_EQ(wipe->getImageDimension(slot, 0, 0, H::IMAGEDIMENSION_WIDTH), 240);
    const uint32_t colour = colourOf(slot);
    ASSERT_NE(colour, kOldScreen);
    wipe->startFade(H::FADE_IN, H::GAMESTATE_INFOLINK);
    const int x = 40, y = 100;
    for (int frame = 0; frame < 10; ++frame) {
        SCOPED_TRACE(frame);
        g->setClip(0, 0, 320, 480);
        ASSERT_TRUE(wipe->drawFadingSegment(g, wipe->segmentIds, 3, x, y, true));
        const int shown = frame < 8 ? 30 * frame : 240;
        if (shown > 0) {
            EXPECT_EQ(pixel(x + shown - 1, y + 5), colour);
        }
        EXPECT_EQ(pixel(x + shown, y + 5), kOldScreen);
        EXPECT_EQ(g->getClipWidth(), 320);
    }
}

// Without the reset, what the caller draws next is cut to the wipe; once whole, no clip is set at all.
TEST_F(Transitions, ClipLeftForTheCallerOnTheScreen) {
    useTestBundle();
    const int slot = wipe->segmentIds->data[3];
    const uint32_t colour = colourOf(slot);
    wipe->startFade(H::FADE_IN, H::GAMESTATE_INFOLINK);
    const int x = 40, y = 100;
    for (int frame = 0; frame < 4; ++frame)
        ASSERT_TRUE(wipe->drawFadingSegment(g, wipe->segmentIds, 3, x, y, false));
    EXPECT_EQ(g->getClipX(), x);
    EXPECT_EQ(g->getClipWidth(), 90);
    g->setColor(0xFFFFFF);
    g->fillRect(0, 0, 320, 480);
    EXPECT_EQ(pixel(x, y + 5), 0xFFFFFFu);
    EXPECT_EQ(pixel(x + 89, y + 5), 0xFFFFFFu);
    EXPECT_EQ(pixel(x + 90, y + 5), kOldScreen);
    EXPECT_EQ(pixel(0, 0), kOldScreen);
    for (int frame = 4; frame < 8; ++frame)
        ASSERT_TRUE(wipe->drawFadingSegment(g, wipe->segmentIds, 3, x, y, false));
    EXPECT_EQ(pixel(x + 209, y + 5), colour);
    EXPECT_EQ(pixel(x + 210, y + 5), kOldScreen);
    g->setClip(0, 0, 10, 10);
    ASSERT_TRUE(wipe->drawFadingSegment(g, wipe->segmentIds, 3, x, y, false));
    EXPECT_EQ(g->getClipWidth(), 10);
    EXPECT_EQ(pixel(x + 210, y + 5), kOldScreen) << "drawn under the caller's clip";
}

// A screen whose mask resource is missing: no mask, no gate, no cue; every piece wipes from the first
// painted frame and the step never reads a mask.
TEST_F(Transitions, MissingMaskResourceWipesEverythingAtOnce) {
    useTestBundle();
    wipe->missing.insert(H::RESID_GAME_BG_TRANS);
    wipe->game_bg_trans = wipe->getResourceByteArray(H::RESID_GAME_BG_TRANS);
    ASSERT_FALSE(wipe->game_bg_trans);
    start(H::GAMESTATE_GAME_RUNNING);
    wipe->startFade(H::FADE_IN, H::GAMESTATE_GAME_RUNNING);
    EXPECT_FALSE(wipe->fade_active);
    runFor(132);
    ASSERT_FALSE(wipe->frames.empty());
    for (const Frame& f : wipe->frames) EXPECT_EQ(f.drew, 31) << f.ms;
    EXPECT_TRUE(wipe->sounds.empty());
    EXPECT_EQ(pixel(200, 200), colourOf(wipe->segmentIds->data[3]));
}

}  // namespace
}  // namespace quiztest
