// The quiz's drawing hook: each frame is composed in the off-screen image, copied to the screen and
// topped with the particles. Every pixel comes from an image or a glyph; the frame buffer is never
// cleared, so states that draw nothing keep the previous picture. The game screen is drawn apart.
#include <string>

#include "engine/HookCanvas.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "runtime/LockObject.h"

using java::lang::String;

namespace {

constexpr int32_t kTopLeft = HookCanvas::Graphics::TOP | HookCanvas::Graphics::LEFT;
constexpr int32_t kCentred = HookCanvas::Graphics::HCENTER | HookCanvas::Graphics::VCENTER;
constexpr int32_t kLevelCount = 30;

JavaPtr<String> decimal(int64_t value) {
    return jnew<String>(std::to_string(value).c_str());
}

JavaPtr<String> percentage(int32_t right, int32_t wrong) {
    if (right == 0) return jnew<String>("0%");
    return jnew<String>((std::to_string(int64_t{right} * 100 / (int64_t{right} + wrong)) + "%").c_str());
}

}  // namespace

void HookCanvas::render(const JavaPtr<Graphics>& g) {
    JavaPtr<LockObject> lock(startSync());
    if (!g) return;
    const int32_t state = game_state.load();
    const bool loading = (state & GAMESTATEFLAG_LOADING) != 0 || state == GAMESTATE_INIT_TESSEL;
    if (!loading) fade_revealing = false;
    if (offscreen_graphics && offscreen_image) {
        if (loading) {
            renderLoadingScreen();
        } else {
            setFont(offscreen_graphics, font_main);
            switch (state) {
                case GAMESTATE_MAIN_MENU:
                    renderMainMenu();
                    break;
                case GAMESTATE_GAME_RUNNING:
                case GAMESTATE_INFOLINK:
                    renderGameScreen(state == GAMESTATE_INFOLINK);
                    break;
                case GAMESTATE_ABOUT:
                    renderAbout();
                    break;
                case GAMESTATE_STATS:
                    renderStats();
                    break;
                case GAMESTATE_CONFIRM:
                    renderConfirm();
                    break;
                case GAMESTATE_PROMOTED:
                case GAMESTATE_DEMOTED:
                    renderResult(state == GAMESTATE_PROMOTED);
                    break;
                case GAMESTATE_COMPLETE:
                    renderComplete();
                    break;
                case GAMESTATE_CHOOSE_CATEGORY:
                case GAMESTATE_CHOOSE_SUBSECTION:
                    renderList(state == GAMESTATE_CHOOSE_CATEGORY);
                    break;
                default:
                    // States 8, 10 and 14 have no screen: the previous frame stays.
                    break;
            }
        }
        g->drawImage(offscreen_image, 0, 0, kTopLeft);
    }
    render_particles(g);
    // Particles and every screen move only in update steps; the wipe's reveal and the loading
    // animation also move per paint.
    last_frame_repeats.store(offscreen_graphics && offscreen_image && !loading && !fade_active &&
                             !fade_revealing);
}

uint64_t HookCanvas::pictureSignature() {
    JavaPtr<LockObject> lock(startSync());
    const int32_t state = game_state.load();
    // The screens whose every input is listed below. Lists are left out (their paint carries the
    // choice and back-button bookkeeping), and so is the game screen (its timers and slides).
    switch (state) {
        case GAMESTATE_MAIN_MENU:
        case GAMESTATE_ABOUT:
        case GAMESTATE_STATS:
        case GAMESTATE_CONFIRM:
        case GAMESTATE_PROMOTED:
        case GAMESTATE_DEMOTED:
        case GAMESTATE_COMPLETE:
            break;
        default:
            return 0;
    }
    if (!offscreen_graphics || !offscreen_image || fade_active) return 0;
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](int64_t value) {
        for (int byte = 0; byte < 8; ++byte) {
            hash ^= static_cast<uint64_t>(value >> (8 * byte)) & 0xFF;
            hash *= 1099511628211ull;
        }
    };
    auto mixAddress = [&mix](const void* address) {
        mix(static_cast<int64_t>(reinterpret_cast<uintptr_t>(address)));
    };
    mix(state);
    mix(PARAM_TS_BASE_SCREEN_WIDTH.load());
    mix(PARAM_TS_BASE_SCREEN_HEIGHT.load());
    mixAddress(offscreen_image.get());
    mix(font_main);
    // Pressed looks follow the finger, which is read as it moves, between steps.
    mix(finger_down);
    mix(pointer_x.load());
    mix(pointer_y.load());
    // The wipe's reveal: each segment's width so far.
    if (fade_segments) {
        for (int32_t i = 0; i < fade_segments->length; ++i) mix(fade_segments->data[i]);
    }
    mixAddress(menu_button_images.get());
    mixAddress(menu_button_x.get());
    mixAddress(menu_button_y.get());
    mixAddress(menu_button_labels.get());
    mixAddress(version_string.get());
    mix(no_test_running);
    mix(level);
    mix(ranking_screen_timer > 0);
    mix(practice_right_total);
    mix(practice_wrong);
    mix(test_right);
    mix(test_wrong);
    mix(practice_right_this_game);
    mix(question_count);
    mix(current_mode_practice);
    mix(little_starwidth);
    // The twinkles drawn over every screen.
    if (particles) {
        for (int32_t i = 0; i < particles->length; ++i) mix(particles->data[i]);
    }
    return hash != 0 ? hash : 1;
}

void HookCanvas::resetRenderClip() {
    offscreen_graphics->setClip(0, 0, PARAM_TS_BASE_SCREEN_WIDTH.load(), PARAM_TS_BASE_SCREEN_HEIGHT.load());
}

bool HookCanvas::drawSegment(const JavaPtr<JArray<int32_t>>& ids, int32_t s, int32_t x, int32_t y,
                             bool resetClip) {
    return drawFadingSegment(offscreen_graphics, ids, s, getParam(x), getParam(y), resetClip);
}

void HookCanvas::drawRenderImage(int32_t imageId, int32_t x, int32_t y, int32_t anchor) {
    drawImageIDNoTransform(offscreen_graphics, imageId, 0, x, y, anchor);
}

int32_t HookCanvas::imageEntry(const JavaPtr<JArray<int32_t>>& ids, int32_t index) {
    if (!ids || index < 0 || index >= ids->length) return -1;
    return ids->data[index];
}

void HookCanvas::renderLoadingScreen() {
    // Later loads draw nothing: the last picture of the previous screen stays up.
    if (!first_load_pending || !splash_image) return;
    offscreen_graphics->drawImage(splash_image, 0, 0, kTopLeft);
    if (!loading_anim_frames || loading_anim_frames->length < 8 || !loading_anim_frames->data[7]) return;
    const int32_t f = loading_anim_frame;
    loading_anim_frame = f + 1;
    const JavaPtr<Image> frame = loading_anim_frames->data[((f % 8) + 8) % 8];
    if (frame) offscreen_graphics->drawImage(frame, getParam(137), getParam(347), kTopLeft);
}

void HookCanvas::renderMainMenu() {
    drawSegment(img_main_menu_bg, 0, 0, 0, true);
    drawSegment(img_main_menu_bg, 1, 0, 17, true);
    if (drawSegment(img_main_menu_bg, 2, 0, 80, false)) {
        drawMenu(offscreen_graphics);
        resetRenderClip();
    }
    if (drawSegment(img_main_menu_bg, 3, 0, 395, true)) {
        // The pressed icon answers an area 85 high, taller than the 75 the update step acts on.
        const bool pressed = finger_down && pointerOverArea(0, getParam(395), getParam(80), getParam(85));
        drawRenderImage(pressed ? img_icon_click_about : img_icon_about, 0, getParam(395), kTopLeft);
        resetRenderClip();
    }
}

void HookCanvas::renderConfirm() {
    drawSegment(img_confirm_bg, 0, 0, 0, true);
    drawSegment(img_confirm_bg, 1, 0, 79, true);
    if (drawSegment(img_confirm_bg, 2, 41, 79, false)) {
        static constexpr const char* kLines[3] = {"Your current progress will be lost.",
                                                  "Are you sure that you want to", "start a new test?"};
        const int32_t h = getFontHeight(font_main);
        for (int32_t i = 0; i < 3; ++i) {
            drawString(offscreen_graphics, jnew<String>(kLines[i]), getParam(160), getParam(136) + i * h,
                       Graphics::HCENTER | Graphics::TOP, -1);
        }
        drawMenu(offscreen_graphics);
        resetRenderClip();
    }
    drawSegment(img_confirm_bg, 3, 279, 79, true);
    drawSegment(img_confirm_bg, 4, 0, 396, true);
}

void HookCanvas::renderSideColumn(const JavaPtr<JArray<int32_t>>& segments) {
    drawSegment(segments, 3, 240, 0, true);
    drawSegment(segments, 4, 240, 80, true);
    if (drawSegment(segments, 5, 240, 395, true) && finger_down &&
        pointerOverImage(imageEntry(img_game_buttons, BUTTON_MENU), getParam(251), getParam(403))) {
        drawRenderImage(imageEntry(img_game_buttons, BUTTON_MENU_ALT), getParam(251), getParam(403),
                        kTopLeft);
    }
}

void HookCanvas::renderAbout() {
    drawSegment(img_about_bg, 0, 0, 0, true);
    drawSegment(img_about_bg, 1, 0, 17, true);
    if (drawSegment(img_about_bg, 2, 0, 80, false) && version_string) {
        drawCharsOrString(offscreen_graphics, version_string, nullptr, 0, version_string->length(),
                          getParam(15), PARAM_TS_BASE_SCREEN_HEIGHT.load() - getParam(2),
                          Graphics::BOTTOM | Graphics::LEFT, -1);
    }
    resetRenderClip();
    renderSideColumn(img_about_bg);
}

JavaPtr<String> HookCanvas::statisticsValue(int32_t row) {
    switch (row) {
        case 0:
            return decimal(practice_right_total);
        case 1:
            return decimal(int64_t{practice_right_total} + practice_wrong);
        case 2:
            return percentage(practice_right_total, practice_wrong);
        case 3:
            return decimal(test_right);
        case 4:
            return decimal(int64_t{test_right} + test_wrong);
        case 5:
            return percentage(test_right, test_wrong);
        case 6: {
            // Past the last threshold level equals the number of levels; the last level is what is shown.
            int64_t shown = int64_t{level} + 1;
            if (shown > kLevelCount) shown = kLevelCount;
            if (shown < 1) shown = 1;
            return jnew<String>(("Level " + std::to_string(shown) + "/30").c_str());
        }
        default:
            return jnew<String>("");
    }
}

void HookCanvas::renderStats() {
    static constexpr const char* kLabels[8] = {"Total correct (Practice)",
                                               "Total attempted (Practice)",
                                               "Percentage correct (Practice)",
                                               "Total correct (Test)",
                                               "Total attempted (Test)",
                                               "Percentage correct (Test)",
                                               "Level",
                                               "Stars"};
    drawSegment(img_stats_bg, 0, 0, 0, true);
    drawSegment(img_stats_bg, 1, 0, 17, true);
    if (drawSegment(img_stats_bg, 2, 0, 80, false)) {
        for (int32_t i = 0; i < 8; ++i) {
            drawRenderImage(img_stats_box_overlay, getParam(9), getParam(99) + i * getParam(48), kTopLeft);
            const int32_t top = getParam(102) + i * getParam(48);
            drawString(offscreen_graphics, jnew<String>(kLabels[i]), getParam(14), top, kTopLeft, -1);
            drawString(offscreen_graphics, statisticsValue(i), getParam(219), top + getParam(34),
                       Graphics::BOTTOM | Graphics::RIGHT, -1);
            // Drawn after every row, as the rows were laid out: always at the same place.
            if (level > 6) {
                const int32_t x = getParam(139);
                const int32_t y = getParam(454);
                drawRenderImage(imageEntry(img_stats_star, 0), x, y, kCentred);
                if (level > 14)
                    drawRenderImage(imageEntry(img_stats_star, 1), x + little_starwidth, y, kCentred);
                if (level > 22)
                    drawRenderImage(imageEntry(img_stats_star, 2), x + 2 * little_starwidth, y, kCentred);
            }
        }
        resetRenderClip();
    }
    renderSideColumn(img_stats_bg);
}

void HookCanvas::renderList(bool categories) {
    drawSegment(img_menu_bg, 0, 0, 0, true);
    drawSegment(practice_menu_extra_borders, 0, 0, 17, true);
    if (drawSegment(img_menu_bg, 2, 0, 80, false)) {
        offscreen_graphics->setClip(0, 0, getParam(320), getParam(395));
        renderListRows(categories);
        resetRenderClip();
    }
    drawSegment(practice_menu_extra_borders, 1, 0, 395, true);
    if (categories) {
        if (scroller_back_hover) {
            drawRenderImage(imageEntry(img_game_buttons, BUTTON_MENU_ALT), getParam(251), getParam(403),
                            kTopLeft);
            scroller_back_shown = true;
        } else {
            scroller_back_shown = false;
        }
    } else {
        drawRenderImage(scroller_back_hover ? practice_menu_back_click : practice_menu_back_normal,
                        getParam(241), getParam(395), kTopLeft);
        // The button drawn unpressed again no longer stands for a back press: a later release meant
        // for a row must not leave the list.
        scroller_back_shown = scroller_back_hover;
    }
}

void HookCanvas::renderListRows(bool categories) {
    const JavaPtr<JArray<JavaPtr<String>>> list = scroller_category_list;
    if (!list) return;
    JavaPtr<JArray<bool>> practised;
    if (!categories && practicedDBs && want_category_to_be >= 0 && want_category_to_be < practicedDBs->length)
        practised = practicedDBs->data[want_category_to_be];
    for (int32_t i = 0; i < list->length; ++i) {
        const int32_t top =
            getParam(10) + scrolly_menu_yoffset + i * (scroller_buttonClickHeight + scroller_buttonSpacing);
        const bool highlighted = i == scroller_chosen_item || i == scroller_pressed_item;
        drawRenderImage(highlighted ? img_wide_button_click : img_wide_button_normal, getParam(10), top,
                        kTopLeft);
        if (categories) {
            const int32_t boxes = imageEntry(boxesToShow, i);
            drawRenderImage(imageEntry(img_three_boxes, boxes), getParam(245), top, kTopLeft);
        } else {
            const bool on = practised && i < practised->length && practised->data[i];
            drawRenderImage(on ? img_one_box_on : img_one_box_off, getParam(286), top + getParam(5),
                            kTopLeft);
        }
        // The list step carries out a choice only once it has been shown highlighted.
        if (i == scroller_chosen_item) scroller_choice_pending = true;
        if (list->data[i]) {
            drawString(offscreen_graphics, list->data[i], getParam(18), top + scroller_buttonClickHeight / 2,
                       Graphics::VCENTER | Graphics::LEFT, -1);
        }
    }
}

void HookCanvas::renderResult(bool promoted) {
    drawRenderImage(promoted ? img_promoted_bg : img_demoted_bg, getParam(160), getParam(240), kCentred);
    const int32_t rank = level > 0 ? level : 0;
    const int32_t badge = imageEntry(img_ranking, rank);
    if (badge >= 0) {
        drawRenderImage(badge, getParam(120), getParam(promoted ? 170 : 425), kCentred);
    } else {
        // No badge is made for the last level: its number stands in the badge's place, so the
        // player still sees the level reached.
        setFont(offscreen_graphics, font_numbers);
        const JavaPtr<String> number = decimal(int64_t{rank} + 1);
        drawCharsOrString(offscreen_graphics, number, nullptr, 0, number->length(), getParam(120),
                          getParam(promoted ? 170 : 425), kCentred, -1);
        setFont(offscreen_graphics, font_main);
    }
    if (ranking_screen_timer <= 0) {
        const bool pressed =
            finger_down && pointerOverImage(img_ranking_button_normal, getParam(241), getParam(395));
        drawRenderImage(pressed ? img_ranking_button_click : img_ranking_button_normal, getParam(241),
                        getParam(395), kTopLeft);
    }
    if (promoted) {
        const int32_t star = level == 7 ? 0 : level == 15 ? 1 : level == 23 ? 2 : -1;
        if (star >= 0)
            drawRenderImage(imageEntry(img_big_star, star), getParam(116), getParam(389), kCentred);
    }
}

void HookCanvas::renderComplete() {
    if (!current_mode_practice) {
        drawRenderImage(img_complete_bg, 0, 0, kTopLeft);
    } else {
        drawRenderImage(img_complete_bg_practice, 0, 0, kTopLeft);
        setFont(offscreen_graphics, font_numbers);
        const JavaPtr<String> score = jnew<String>(
            (std::to_string(practice_right_this_game) + "/" + std::to_string(question_count)).c_str());
        drawCharsOrString(offscreen_graphics, score, nullptr, 0, score->length(),
                          PARAM_TS_BASE_SCREEN_WIDTH.load() / 2, getParam(225), kCentred, -1);
        setFont(offscreen_graphics, font_main);
        drawRenderImage(img_units_button_normal, getParam(160), getParam(395), kTopLeft);
        if (finger_down && pointerOverImage(img_units_button_normal, getParam(160), getParam(395)))
            drawRenderImage(img_units_button_click, getParam(160), getParam(395), kTopLeft);
    }
    if (finger_down && pointerOverImage(img_ranking_button_menu_click, getParam(241), getParam(395)))
        drawRenderImage(img_ranking_button_menu_click, getParam(241), getParam(395), kTopLeft);
}
