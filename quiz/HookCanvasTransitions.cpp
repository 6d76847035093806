// Screen transitions: a per-screen mask lets segments start one step at a time, and each segment is
// revealed left to right behind a widening clip over its first eight drawn frames.
#include "engine/HookCanvas.h"

#include "graphics/Graphics.h"

void HookCanvas::startFade(int32_t, int32_t state) {
    finger_down = false;
    fade_step = 0;
    fade_timer_ms = 0;
    if (fade_segments == nullptr) fade_segments = jnew<JArray<int32_t>>(8);
    for (int32_t s = 0; s < fade_segments->length; s++) (*fade_segments)[s] = 0;
    // The new screen's pieces widen in over its first paints: revealing until a paint draws them whole,
    // which the loading screen painted meanwhile does not.
    fade_revealing = true;
    JavaPtr<JArray<signed char>> mask;
    bool masked = true;
    switch (state) {
        case GAMESTATE_MAIN_MENU:
            mask = menu_bg_trans;
            break;
        case GAMESTATE_ABOUT:
            mask = about_bg_trans;
            break;
        case GAMESTATE_STATS:
            mask = stats_bg_trans;
            break;
        case GAMESTATE_CONFIRM:
            mask = confirm_bg_trans;
            break;
        case GAMESTATE_GAME_RUNNING:
            mask = game_bg_trans;
            break;
        default:
            masked = false;
            break;
    }
    if (masked) {
        // A screen whose mask could not be read wipes in without one rather than reading a null mask.
        fade_mask = mask;
        fade_active = mask != nullptr && mask->length > 0;
    }
    if (fade_active && !first_load_pending) playSound(RESID_TRANSITION_SHOOSH, 0, 1);
    changeGameStateTo(state | GAMESTATEFLAG_LOADING);
}

void HookCanvas::fadeTick() {
    fade_timer_ms += MS_PER_UPDATE;
    if (fade_timer_ms > 100) {
        fade_timer_ms = 0;
        fade_step++;
        if (fade_mask == nullptr || fade_step >= fade_mask->length) fade_active = false;
    }
}

bool HookCanvas::drawFadingSegment(const JavaPtr<Graphics>& g, const JavaPtr<JArray<int32_t>>& ids, int32_t s,
                                   int32_t x, int32_t y, bool resetClip) {
    if (ids == nullptr || s < 0 || s >= ids->length || s >= 8) return false;
    if (fade_active && fade_mask != nullptr && fade_step < fade_mask->length &&
        (((*fade_mask)[fade_step] >> s) & 1) == 0) {
        return false;
    }
    if (fade_segments == nullptr) fade_segments = jnew<JArray<int32_t>>(8);
    const int32_t id = (*ids)[s];
    const int32_t p = (*fade_segments)[s];
    if (p <= 255) {
        const int32_t w = getImageDimension(id, 0, 0, IMAGEDIMENSION_WIDTH);
        const int32_t h = getImageDimension(id, 0, 0, IMAGEDIMENSION_HEIGHT);
        g->setClip(x, y, (w * p) >> 8, h);
    }
    drawImageIDNoTransform(g, id, 0, x, y, Graphics::TOP | Graphics::LEFT);
    if (p <= 255) {
        if (resetClip)
            g->setClip(0, 0, PARAM_TS_BASE_SCREEN_WIDTH.load(), PARAM_TS_BASE_SCREEN_HEIGHT.load());
        (*fade_segments)[s] = p + PARAM_FADE_SIZE;
        fade_revealing = true;
    }
    return true;
}
