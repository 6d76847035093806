// The quiz's logic clock: each 33 ms step runs the common prologue, the current screen's work and the
// touch sparkle with its twinkle cues. The screens' own work lives beside this file, one family each.
#include <climits>

#include "engine/CanvasClock.h"
#include "engine/HookCanvas.h"
#include "runtime/LockObject.h"

namespace {

// state_timer_ms wraps by a whole number of sparkle rhythms (four steps), so the sparkle keeps its beat
// and the count never overflows, however long a screen stays up.
constexpr int32_t kSparkleRhythmMs = 4 * HookCanvas::MS_PER_UPDATE;
constexpr int32_t kStateTimerWrapMs = (INT32_MAX / kSparkleRhythmMs) * kSparkleRhythmMs;

bool pointerDown() {
    return HookCanvas::pointer_pressed.load() || HookCanvas::pointer_repeated.load();
}

}  // namespace

void HookCanvas::fixedRateUpdate() {
    JavaPtr<LockObject> lock(startSync());
    app_status.fetch_and(~APPSTATUSFLAG_INTERRUPTED_BY_UNKNOWN);
    pointer_held_ms = pointerDown() ? pointer_held_ms + MS_PER_UPDATE : 0;
    tick_particles();
    // Read once: the step's work and its sparkle are those of the state the step began in.
    const int32_t state = game_state.load();
    if ((state & GAMESTATEFLAG_LOADING) != 0) {
        loading_progress = (loading_progress + 1) % 20;
        return;
    }
    if (fade_active) fadeTick();
    state_timer_ms = state_timer_ms > INT32_MAX - MS_PER_UPDATE
                         ? state_timer_ms - kStateTimerWrapMs + MS_PER_UPDATE
                         : state_timer_ms + MS_PER_UPDATE;
    answer_feedback = -1;

    switch (state) {
        case GAMESTATE_INIT_TESSEL:
            startUpStep();
            return;
        case GAMESTATE_MAIN_MENU:
            mainMenuStep();
            break;
        case GAMESTATE_GAME_RUNNING:
            gameRunningStep();
            break;
        case GAMESTATE_CONFIRM:
            confirmStep();
            break;
        case GAMESTATE_ABOUT:
        case GAMESTATE_STATS:
        case GAMESTATE_PROMOTED:
        case GAMESTATE_DEMOTED:
        case GAMESTATE_COMPLETE:
        case GAMESTATE_SETTINGS:
            resultScreenStep(state);
            break;
        case GAMESTATE_INFOLINK:
            infoLinkStep();
            break;
        case GAMESTATE_CHOOSE_CATEGORY:
        case GAMESTATE_CHOOSE_SUBSECTION:
            listStep(state);
            break;
        default:
            break;
    }
    touchEpilogue(state);
}

bool HookCanvas::menuTapReleased(bool overButton) {
    const bool down = pointerDown();
    if (down && overButton) answer_feedback = TWINKLE_YELLOW;
    if (!finger_down) {
        if (down) {
            finger_down = true;
            playSound(overButton ? RESID_CLICK_ON_BUTTON : RESID_CLICK_ON_BACKGROUND, 0, 1);
        }
        return false;
    }
    if (down) return false;
    finger_down = false;
    return true;
}

void HookCanvas::touchEpilogue(int32_t state) {
    if (answer_feedback == -1) {
        if (!pointerDown()) return;
        answer_feedback = TWINKLE_WHITE;
    }
    if (state == GAMESTATE_CHOOSE_CATEGORY || state == GAMESTATE_CHOOSE_SUBSECTION) return;
    if ((state_timer_ms / MS_PER_UPDATE) % 4 != 0) return;
    particle_shower(pointer_x.load(), pointer_y.load(), answer_feedback, 2);
    if (pointer_held_ms <= 200) return;
    // Two twinkle cues, each at its own irregular interval while the finger stays down.
    const int64_t now = engine::CanvasClock::currentTimeMillis();
    if (stars_sound_time_a == 0) {
        stars_sound_time_a = now + 2000 + random(500);
        stars_sound_time_b = now + 1000 + random(500);
        playSound(RESID_STARS1, 2, 1);
    }
    if (now > stars_sound_time_a) {
        stars_sound_time_a = now + 2000 + random(500);
        playSound(RESID_STARS1, 2, 1);
    }
    if (now > stars_sound_time_b) {
        stars_sound_time_b = now + 2000 + random(500);
        playSound(RESID_STARS2, 2, 1);
    }
}
