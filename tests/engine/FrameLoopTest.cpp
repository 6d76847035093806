// The frame loop on the test clock, the game-state switch, pause and resume, AppMidlet, and the
// canvas's identity and initial values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "shell/Display.h"
#include "tests/engine/CanvasFixtures.h"
#include "tests/support/Eventually.h"

namespace enginetest {
namespace {

using H = HookCanvas;

struct Pass {
    long long advanceMs;  // clock change before the pass
    int wantSteps;
    bool wantPaint;
};

struct LoopCase {
    const char* name;
    int gameState;
    bool terminating;
    std::vector<Pass> passes;
};

using FrameLoop = CanvasFixture;

TEST_F(FrameLoop, StepsAndPaintsOnTheClock) {
    const LoopCase cases[] = {
        {"first pass runs no step, the one 33 ms later does", 1, false, {{0, 0, false}, {33, 1, true}}},
        {"40 ms late runs one step", 1, false, {{40, 1, true}}},
        {"70 ms late runs two", 1, false, {{70, 2, true}}},
        {"100 ms late runs two and drops the backlog",
         1,
         false,
         {{100, 2, true}, {33, 1, true}, {32, 0, true}}},
        {"same millisecond runs nothing", 1, false, {{33, 1, true}, {0, 0, true}}},
        {"clock going back waits for the step time again",
         1,
         false,
         {{-50, 0, false}, {82, 0, false}, {1, 1, true}}},
        {"state 0 steps but never paints", 0, false, {{33, 1, false}, {33, 1, false}}},
        {"state 0 with the loading bit paints", H::GAMESTATEFLAG_LOADING, false, {{33, 1, true}}},
        {"no paint once terminating", 1, true, {{33, 1, false}, {70, 2, false}}},
    };
    for (const LoopCase& c : cases) {
        resetLoopStatics();
        clockNow.store(1000);
        canvas = jnew<CountingCanvas>();
        // The loading bit alone would start a loading thread through the switch: set it directly.
        start(c.gameState);
        AppMidlet::app_terminating.store(c.terminating);
        for (size_t i = 0; i < c.passes.size(); ++i) {
            const Pass& p = c.passes[i];
            clockNow.fetch_add(p.advanceMs);
            const int stepsBefore = canvas->steps.load();
            const int paintsBefore = canvas->paints.load();
            canvas->runOnce();
            EXPECT_EQ(canvas->steps.load() - stepsBefore, p.wantSteps) << c.name << ", pass " << i;
            EXPECT_EQ(canvas->paints.load() - paintsBefore, p.wantPaint ? 1 : 0) << c.name << ", pass " << i;
        }
    }
}

TEST_F(FrameLoop, PressIsLatchedForOneStepAndPaintForwardsToRender) {
    start(1);
    H::internal_pointer_pressed.store(true);
    clockNow.fetch_add(33);
    canvas->runOnce();
    EXPECT_TRUE(canvas->stepPointerPressed.load());
    EXPECT_FALSE(H::internal_pointer_pressed.load());
    clockNow.fetch_add(33);
    canvas->runOnce();
    EXPECT_FALSE(canvas->stepPointerPressed.load());

    canvas->paint(nullptr);
    EXPECT_EQ(canvas->renders.load(), 0);
    canvas->paint(jnew<javax::microedition::lcdui::Graphics>());
    EXPECT_EQ(canvas->renders.load(), 1);
}

using GameState = CanvasFixture;

TEST_F(GameState, LoadingIntoLoadingIsRefused) {
    H::game_state.store(H::GAMESTATEFLAG_LOADING | 2);
    H::previous_game_state.store(5);
    H::internal_keypress_buffer.store(7);
    H::cheats_triggered.store(3);
    canvas->changeGameStateTo(H::GAMESTATEFLAG_LOADING | 3);
    EXPECT_EQ(H::game_state.load(), H::GAMESTATEFLAG_LOADING | 2);
    EXPECT_EQ(H::previous_game_state.load(), 5);
    EXPECT_EQ(H::internal_keypress_buffer.load(), 7);
    EXPECT_EQ(H::cheats_triggered.load(), 3);
    EXPECT_EQ(canvas->loads.load(), 0);
    H::game_state.store(0);
}

TEST_F(GameState, OneLoadingThreadPerAcceptedSwitch) {
    canvas->closeGate();
    H::internal_keypress_buffer.store(9);
    canvas->changeGameStateTo(H::GAMESTATEFLAG_LOADING | 1);
    EXPECT_EQ(H::previous_game_state.load(), 0);
    EXPECT_EQ(H::internal_keypress_buffer.load(), 0);
    ASSERT_TRUE(testsupport::eventually([&] { return canvas->loads.load() == 1; }));
    canvas->changeGameStateTo(H::GAMESTATEFLAG_LOADING | 2);  // refused
    canvas->changeGameStateTo(4);                             // accepted at once, no thread
    EXPECT_EQ(H::game_state.load(), 4);
    EXPECT_EQ(H::previous_game_state.load(), H::GAMESTATEFLAG_LOADING | 1);
    canvas->changeGameStateTo(H::GAMESTATEFLAG_LOADING | 5);  // a second thread
    ASSERT_TRUE(testsupport::eventually([&] { return canvas->loads.load() == 2; }));
    canvas->openGate();
    ASSERT_TRUE(H::waitForLoading(120000));
    EXPECT_EQ(H::game_state.load(), 5);
    EXPECT_EQ(canvas->loads.load(), 2);
}

TEST_F(GameState, ThrowingLoaderEndsTheApplicationWithFailure) {
    JavaPtr<AppMidlet> midlet = jnew<AppMidlet>();
    canvas->midlet = midlet;
    canvas->throwWhileLoading = true;
    canvas->changeGameStateTo(H::GAMESTATEFLAG_LOADING | 1);
    ASSERT_TRUE(testsupport::eventually([] { return H::thread_failed.load(); }));
    ASSERT_TRUE(
        testsupport::eventually([] { return javax::microedition::midlet::MIDlet::quitInvoked.load(); }));
    EXPECT_TRUE(AppMidlet::app_terminating.load());
    canvas->midlet = nullptr;
    H::game_state.store(0);
}

using PauseResume = CanvasFixture;

TEST_F(PauseResume, FirstShowClearsThePauseAndStateZeroNeverPauses) {
    EXPECT_EQ(H::app_status.load(), H::APPSTATUSFLAG_PAUSED);
    canvas->showNotify();
    EXPECT_EQ(H::app_status.load(), 0);
    EXPECT_EQ(canvas->soundLoads.load(), 0);
    canvas->hideNotify();
    EXPECT_EQ(H::app_status.load(), 0);
    EXPECT_EQ(canvas->soundUnloads.load(), 0);
}

TEST_F(PauseResume, HiddenCanvasPausesOnceAndResumesThroughTheLoop) {
    start(3);
    const int loadsAtStart = canvas->soundLoads.load();
    H::internal_pointer_pressed.store(true);
    canvas->shown.store(false);
    clockNow.fetch_add(33);
    canvas->runOnce();
    canvas->runOnce();
    EXPECT_EQ(H::app_status.load(), H::APPSTATUSFLAG_PAUSED | H::APPSTATUSFLAG_INTERRUPTED_BY_UNKNOWN);
    EXPECT_EQ(canvas->soundUnloads.load(), 1);
    EXPECT_EQ(canvas->steps.load(), 0);

    canvas->shown.store(true);
    clockNow.fetch_add(33);
    canvas->runOnce();  // shows: the sounds come back, no step yet, the keys are released
    EXPECT_EQ(canvas->soundLoads.load() - loadsAtStart, 1);
    EXPECT_EQ(canvas->steps.load(), 0);
    EXPECT_FALSE(H::internal_pointer_pressed.load());
    EXPECT_EQ(H::app_status.load(), H::APPSTATUSFLAG_INTERRUPTED_BY_UNKNOWN);
    canvas->runOnce();
    EXPECT_EQ(canvas->steps.load(), 2);
}

using AppMidletTest = CanvasFixture;

TEST_F(AppMidletTest, StartMakesOneCanvasAndResumeNotifiesAgain) {
    JavaPtr<AppMidlet> midlet = jnew<AppMidlet>();
    midlet->startApp();
    JavaPtr<HookCanvas> first = AppMidlet::canvas();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->midlet, midlet);
    EXPECT_EQ(AppMidlet::display()->getCurrent(), first);
    EXPECT_EQ(H::app_status.load(), 0);
    H::app_status.store(H::APPSTATUSFLAG_PAUSED);
    midlet->startApp();
    EXPECT_EQ(AppMidlet::canvas(), first);
    EXPECT_EQ(H::app_status.load(), 0);

    midlet->destroyApp(false);
    EXPECT_TRUE(AppMidlet::app_terminating.load());
    EXPECT_FALSE(AppMidlet::canvas());
    EXPECT_TRUE(javax::microedition::midlet::MIDlet::quitInvoked.load());
    first->midlet = nullptr;
}

TEST_F(AppMidletTest, PauseAndDestroyBeforeStart) {
    JavaPtr<AppMidlet> midlet = jnew<AppMidlet>();
    midlet->pauseApp();
    EXPECT_FALSE(AppMidlet::canvas());
    midlet->destroyApp(true);
    EXPECT_TRUE(AppMidlet::app_terminating.load());
    EXPECT_TRUE(javax::microedition::midlet::MIDlet::quitInvoked.load());
    EXPECT_EQ(std::string(midlet->getClassTypeName()), "AppMidlet");
    EXPECT_EQ(midlet->castAsTypeID(AppMidlet::TESLclassTypeID), midlet.get());
}

using CanvasObject = CanvasFixture;

TEST_F(CanvasObject, CastsAnswerTheCanvasAndItsViews) {
    HookCanvas* c = canvas.get();
    EXPECT_EQ(H::TESLclassTypeID, static_cast<int32_t>(0x9d108c7b));
    EXPECT_EQ(std::string(static_cast<HookCanvas*>(c)->HookCanvas::getClassTypeName()), "HookCanvas");
    const int32_t selfIds[] = {
        H::TESLclassTypeID, javax::microedition::lcdui::game::GameCanvas::TESLclassTypeID,
        javax::microedition::lcdui::Canvas::TESLclassTypeID,
        javax::microedition::lcdui::Displayable::TESLclassTypeID, tesl::classTypeIdOf("java.lang.Object")};
    for (int32_t id : selfIds) EXPECT_EQ(c->HookCanvas::castAsTypeID(id), static_cast<void*>(c)) << id;
    EXPECT_EQ(c->HookCanvas::castAsTypeID(java::lang::Runnable::TESLclassTypeID),
              static_cast<void*>(static_cast<java::lang::Runnable*>(c)));
    EXPECT_EQ(c->HookCanvas::castAsTypeID(javax::microedition::sensor::DataListener::TESLclassTypeID),
              static_cast<void*>(static_cast<javax::microedition::sensor::DataListener*>(c)));
    EXPECT_EQ(c->HookCanvas::castAsTypeID(javax::microedition::media::PlayerListener::TESLclassTypeID),
              static_cast<void*>(static_cast<javax::microedition::media::PlayerListener*>(c)));
    EXPECT_EQ(c->HookCanvas::castAsTypeID(tesl::classTypeIdOf("java.lang.String")), nullptr);
}

TEST_F(CanvasObject, InitialValues) {
    const HookCanvas& c = *canvas;
    EXPECT_EQ(toUtf8(c.record_store_prefix), "TSRS");
    EXPECT_TRUE(c.first_load_pending);
    EXPECT_TRUE(c.no_test_running);
    EXPECT_EQ(c.sound_volume, 100);
    EXPECT_EQ(c.scroller_chosen_item, -1);
    EXPECT_EQ(c.scroller_pressed_item, -1);
    EXPECT_EQ(c.options->length, 6);
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(c.options->data[i]);
    EXPECT_EQ(c.hints, 0);
    EXPECT_EQ(c.res_twinkle1_white, 1);
    EXPECT_EQ(c.sound_magic_table->data[0], 0x2321414d);
    EXPECT_EQ(c.sound_magic_table->data[13], -1);
    EXPECT_EQ(toUtf8(c.sound_mime_types->data[7]), "audio/mpeg");
    EXPECT_EQ(c.timer_dot_positions->data[23], 6);
    EXPECT_EQ(c.repeat_ring_b->length, 435);
    EXPECT_EQ(toUtf8(c.resolution_suffix), "");
    EXPECT_EQ(H::RESID_MAIN_FONT_HIGH, 149);
    EXPECT_EQ(H::RESID_TWINKLE0_WHITE_HIGH, 157);
    EXPECT_EQ(H::RESID_RANKING_29_HIGH, 291);
    EXPECT_EQ(H::RESID_CLICK_ON_BUTTON, 312);

    H::HookCanvas_globalStaticCreate();
    H::HookCanvas_globalStaticDestroy();
    EXPECT_FALSE(H::version_string);
    H::HookCanvas_globalStaticCreate();
    EXPECT_EQ(toUtf8(H::version_string), "v1.3");
    EXPECT_EQ(H::category_scores->length, 17);
    EXPECT_EQ(H::TS_TEXT_GUIDELINE_TYPE_MASK, static_cast<int32_t>(0xFF000000u));
    H::HookCanvas_globalStaticDestroy();
}

}  // namespace
}  // namespace enginetest
