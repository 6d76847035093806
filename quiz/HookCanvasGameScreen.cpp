// The game screen and the information screen: the title panel, the question box and its slide, the
// timer ring, the three answer buttons turning over one by one, and the bottom bar or the explanation.
#include <string>

#include "engine/HookCanvas.h"
#include "graphics/Graphics.h"

using java::lang::String;

namespace {

constexpr int32_t kTopLeft = HookCanvas::Graphics::TOP | HookCanvas::Graphics::LEFT;
constexpr int32_t kCentred = HookCanvas::Graphics::HCENTER | HookCanvas::Graphics::VCENTER;
constexpr int32_t kCentredTop = HookCanvas::Graphics::HCENTER | HookCanvas::Graphics::TOP;

using Lines = JArray<JavaPtr<String>>;

int32_t lineCount(const JavaPtr<Lines>& lines) {
    return lines ? lines->length : 0;
}

}  // namespace

void HookCanvas::drawRenderLines(const JavaPtr<JArray<JavaPtr<String>>>& lines, int32_t x, int32_t top,
                                 int32_t anchor) {
    if (!lines) return;
    const int32_t lh = getFontHeight(font_main);
    for (int32_t k = 0; k < lines->length; ++k) {
        if (lines->data[k]) drawString(offscreen_graphics, lines->data[k], x, top + k * lh, anchor, -1);
    }
}

int32_t HookCanvas::renderTransitionMask() {
    if (!fade_active) return 0xFF;
    if (!fade_mask || fade_step < 0 || fade_step >= fade_mask->length) return 0xFF;
    return fade_mask->data[fade_step] & 0xFF;
}

void HookCanvas::renderGameScreen(bool info) {
    const int32_t mask = renderTransitionMask();
    renderTitlePanel();
    if ((mask & 2) != 0) renderQuestionBox();
    renderTimerRing();
    renderAnswerButtons(info);
    if (info)
        renderInfoPanel();
    else
        renderBottomBar();
}

void HookCanvas::renderTitlePanel() {
    if (!drawSegment(img_game_bg, 0, 0, 0, false)) return;
    const bool practice = current_mode_practice;
    const int32_t panel = imageEntry(img_generic, practice ? 0 : 1);
    drawImageID(offscreen_graphics, panel, 0, 0, 0, 0, kTopLeft);
    setFont(offscreen_graphics, font_numbers);
    const std::string title =
        practice ? std::to_string(practice_right_this_game) + "/" + std::to_string(question_count)
                 : std::to_string(int64_t{level} + 1);
    const JavaPtr<String> text = jnew<String>(title.c_str());
    const int32_t w = getImageDimension(panel, 0, 0, IMAGEDIMENSION_CELL_WIDTH);
    const int32_t h = getImageDimension(panel, 0, 0, IMAGEDIMENSION_CELL_HEIGHT);
    const int32_t sw = getStringWidth(font_numbers, text);
    const int32_t fh = getFontHeight(font_numbers);
    const int32_t a = practice ? 0 : getParam(10);
    drawString(offscreen_graphics, text, (w - sw) >> 1, (h - fh + a) >> 1, kTopLeft, -1);
    setFont(offscreen_graphics, font_main);
    resetRenderClip();
}

void HookCanvas::renderQuestionBox() {
    const int32_t width = getParam(239);
    const int32_t left = getParam(81);
    const int32_t lh = getFontHeight(font_main);
    const int32_t centre = getParam(0) + getParam(108) / 2;
    offscreen_graphics->setClip(left, getParam(0), width, getParam(108));
    const bool sliding = question_slide_pending && next_question_delay > 0;
    int32_t a = 0;
    int32_t b = 0;
    if (sliding) {
        a = next_question_delay * (width / 20);
        b = width - a;
        if (!answered_correctly) {
            a = -a;
            b = -b;
        }
        drawImageID(offscreen_graphics, imageEntry(img_game_bg, 1), 0, 0, left + a, 0, kTopLeft);
    } else {
        drawSegment(img_game_bg, 1, 81, 0, false);
    }
    drawRenderLines(question_lines, left + a + getParam(11), centre - (lineCount(question_lines) * lh) / 2,
                    kTopLeft);
    offscreen_graphics->setClip(left, getParam(0), width, getParam(108));
    if (sliding) {
        drawImageID(offscreen_graphics, imageEntry(img_game_bg, 1), 0, 0, left - b, 0, kTopLeft);
        drawRenderLines(previous_question_lines, left - b + getParam(11),
                        centre - (lineCount(previous_question_lines) * lh) / 2, kTopLeft);
    }
    resetRenderClip();
}

void HookCanvas::renderTimerRing() {
    if (!drawSegment(img_game_bg, 2, 0, 109, false)) return;
    if (options && options->length > 4 && options->data[4] && timer_dot_positions &&
        timer_dot_positions->length >= 24) {
        // One dot goes out about every 770 ms, dot 0 first and the top one last.
        int64_t first = 12 - (13 * int64_t{timer_remaining_ms}) / 10000;
        if (first < 0) first = 0;
        for (int32_t k = static_cast<int32_t>(first); k < 12; ++k) {
            drawImageIDNoTransform(offscreen_graphics, img_timer_dot, 0,
                                   getParam(timer_dot_positions->data[2 * k]),
                                   getParam(timer_dot_positions->data[2 * k + 1] + 108), kTopLeft);
        }
    }
    resetRenderClip();
}

int32_t HookCanvas::answerButtonImage(int32_t button, bool flipping, int32_t x, int32_t y, bool info) {
    int32_t id;
    if (chosen_answer == button) {
        id = correct_position == button + 1 ? img_answer_button_correct : img_answer_button_wrong;
    } else if (chosen_answer == -1) {
        // A time-out turns every button wrong and keeps the right answer hidden.
        if (timer_remaining_ms == 0)
            id = img_answer_button_wrong;
        else if (flipping)
            id = img_answer_button_click;
        else if (finger_down && pointerOverImage(img_answer_button_click, x, y))
            id = img_answer_button_click;
        else
            id = img_answer_button_normal;
    } else {
        id = correct_position == button + 1 ? img_answer_button_correct : img_answer_button_normal;
    }
    if (info || id == -1) id = img_answer_button_normal;
    return id;
}

void HookCanvas::renderAnswerButtons(bool info) {
    if (!drawSegment(img_game_bg, 3, 80, 108, false)) return;
    const int32_t x = getParam(91);
    const int32_t lh = getFontHeight(font_main);
    // The buttons turn over one by one from the top during the slide, at d = 3, 2 and 1.
    const int32_t d = next_question_delay / 2;
    for (int32_t button = 0; button < 3; ++button) {
        const int32_t y = getParam(132) + button * (getParam(24) + answer_button_height);
        const bool previous = question_slide_pending && 3 - button < d;
        const bool flipping = question_slide_pending && 3 - button == d;
        const JavaPtr<JArray<JavaPtr<Lines>>> answers = previous ? previous_answer_lines : answer_lines;
        const JavaPtr<JArray<bool>> ghosts = previous ? previous_ghosted : ghosted;
        const bool ghost = ghosts && button < ghosts->length && ghosts->data[button];
        if (!ghost) {
            drawImageID(offscreen_graphics, answerButtonImage(button, flipping, x, y, info), 0, 0, x, y,
                        kTopLeft);
        }
        if (answers && button < answers->length) {
            const JavaPtr<Lines> lines = answers->data[button];
            drawRenderLines(lines, x + answer_button_width / 2,
                            y + answer_button_height / 2 - (lineCount(lines) * lh) / 2, kCentredTop);
        }
        if (ghost) drawImageID(offscreen_graphics, img_answer_button_ghosted, 0, 0, x, y, kTopLeft);
    }
    resetRenderClip();
}

void HookCanvas::renderBottomBar() {
    if (!drawSegment(img_game_bg, 4, 0, 395, false)) return;
    const int32_t top = getParam(405);
    const int32_t width = getParam(59);
    for (int32_t i = BUTTON_HINT; i <= BUTTON_MENU; ++i) {
        const int32_t x = getParam(11) + i * (width + getParam(21));
        if (finger_down && pointerOverArea(x, top, width, getParam(61))) {
            // Button i is cell i of its own picture; a picture with fewer cells is drawn whole.
            const int32_t id = imageEntry(img_game_buttons, i);
            const int32_t cells = getImageDimension(id, 0, 0, IMAGEDIMENSION_NUM_CELLS_WIDE) *
                                  getImageDimension(id, 0, 0, IMAGEDIMENSION_NUM_CELLS_HIGH);
            drawImageID(offscreen_graphics, id, i < cells ? i : 0, 0, x, top, kTopLeft);
        }
        if (i > BUTTON_SKIP) continue;
        int32_t count = 0;
        if (!current_mode_practice) count = i == BUTTON_HINT ? hints : skips;
        drawRenderImage(imageEntry(img_icon_number, count), x + width, top, kCentred);
        if (i == BUTTON_HINT ? hint_earned : skip_earned)
            drawRenderImage(img_icon_number_flash, x + width, top, kCentred);
    }
    resetRenderClip();
}

void HookCanvas::renderInfoPanel() {
    drawRenderImage(img_web_base_strip, 0, getParam(396), kTopLeft);
    if (finger_down && pointerOverImage(img_web_base_back_icon_click, getParam(251), getParam(403)))
        drawRenderImage(img_web_base_back_icon_click, getParam(251), getParam(403), kTopLeft);
    drawImageID(offscreen_graphics, img_game_infobox, 0, 0, getParam(45), getParam(97), kTopLeft);
    const int32_t lh = getFontHeight(font_main);
    drawRenderLines(info_lines, getParam(160), getParam(240) - (lineCount(info_lines) * lh) / 2, kCentredTop);
    resetRenderClip();
}
