// Answering on the game screen: the answer check, counters and score meter, the streak rewards of
// hints and skips, the level ranking, practice progress and the resets that start a game.
#include <algorithm>

#include "engine/HookCanvas.h"

namespace {

bool isMultipleOf(int32_t value, int32_t step) {
    return value > 0 && value % step == 0;
}

}  // namespace

int32_t HookCanvas::answerButtonTop(int32_t k) {
    return getParam(PARAM_ANSWER_BUTTONS_TOP) +
           k * (answer_button_height + getParam(PARAM_ANSWER_BUTTONS_SPACING));
}

bool HookCanvas::answerHit(int32_t k) {
    if (ghosted && k < ghosted->length && ghosted->data[k]) return false;
    return pointerOverImage(img_answer_button_click, getParam(PARAM_ANSWER_BUTTONS_LEFT), answerButtonTop(k));
}

std::pair<int32_t, int32_t> HookCanvas::answerButtonCentre(int32_t k) {
    const int32_t width = getImageDimension(img_answer_button_click, 0, 0, IMAGEDIMENSION_WIDTH);
    return {getParam(PARAM_ANSWER_BUTTONS_LEFT) + width / 2, answerButtonTop(k) + answer_button_height / 2};
}

bool HookCanvas::gameButtonHit(int32_t j) {
    return pointerOverArea(getParam(PARAM_MENU_BUTTONS_LEFT) +
                               j * (getParam(PARAM_MENU_BUTTON_WIDTH) + getParam(PARAM_MENU_BUTTON_SPACING)),
                           getParam(PARAM_MENU_BUTTONS_TOP), getParam(PARAM_MENU_BUTTON_WIDTH),
                           getParam(PARAM_MENU_BUTTON_HEIGHT));
}

void HookCanvas::handleInput() {
    const bool down = pointer_pressed || pointer_repeated;
    if (!down) scroller_pointer_down = false;
    if (down) {
        bool onButton = false;
        for (int32_t k = 0; k < 3 && !onButton; ++k) onButton = answerHit(k);
        for (int32_t j = 0; j < 4 && !onButton; ++j) onButton = gameButtonHit(j);
        if (onButton) answer_feedback = TWINKLE_YELLOW;
    }
    if (!finger_down) {
        if (down && !scroller_pointer_down) onFingerDown();
    } else if (!down) {
        onFingerUp();
    }
}

void HookCanvas::onFingerDown() {
    finger_down = true;
    bool onTarget = false;
    for (int32_t k = 0; k < 3 && !onTarget; ++k) onTarget = answerHit(k);
    // The menu button is not among these: a press there plays the background click as well.
    for (int32_t j = BUTTON_HINT; j <= BUTTON_INFO && !onTarget; ++j) onTarget = gameButtonHit(j);
    if (!onTarget) playSound(RESID_CLICK_ON_BACKGROUND, 0, 1);
}

void HookCanvas::onFingerUp() {
    const bool test = !current_mode_practice;
    for (int32_t k = 0; k < 3; ++k) {
        if (!answerHit(k)) continue;
        chosen_answer = k;
        if (correct_position == k + 1) {
            answered_correctly = true;
            particle_shower(pointer_x.load(), pointer_y.load(), TWINKLE_GREEN, 8);
            answer_feedback = TWINKLE_GREEN;
            if (test) {
                ++test_right;
            } else {
                ++practice_right_this_game;
                ++practice_right_total;
            }
            ++streak;
            score_meter += POINTS_PER_CORRECT_ANSWER;
            if (test) {
                ++level_points;
                if (isMultipleOf(streak, 3)) {
                    ++hints;
                    if (hints <= MAX_HINTS_OR_SKIPS) hint_earned = true;
                }
                if (isMultipleOf(streak, 5)) {
                    ++skips;
                    if (skips <= MAX_HINTS_OR_SKIPS) skip_earned = true;
                }
            }
            if (category_scores && current_category >= 0 && current_category < category_scores->length)
                ++category_scores->data[current_category];
            playSound(hint_earned || skip_earned ? RESID_CORRECT_PLUS_HINT_OR_SKIP : RESID_CORRECT, 0, 1);
            hints = std::min(hints, MAX_HINTS_OR_SKIPS);
            skips = std::min(skips, MAX_HINTS_OR_SKIPS);
        } else {
            answered_correctly = false;
            playSound(RESID_INCORRECT, 0, 1);
            particle_shower(pointer_x.load(), pointer_y.load(), TWINKLE_RED, 8);
            answer_feedback = TWINKLE_RED;
            score_meter += POINTS_PER_WRONG_ANSWER;
            if (test) {
                if (level_points > 0) --level_points;
                ++test_wrong;
            } else {
                ++practice_wrong;
            }
            streak = 0;
        }
        if (test) ++answers_in_level;
        ++answered_this_round;
        next_question_delay = PARAM_NEXT_QUESTION_DELAY;
        if (!test && answered_this_round == question_count) markSectionPractised();
        question_answered = true;
        saveData();
    }

    for (int32_t j = BUTTON_HINT; j <= BUTTON_MENU; ++j) {
        if (!gameButtonHit(j)) continue;
        switch (j) {
            case BUTTON_HINT:
                if (test && !hint_used && hints > 0) useHint();
                break;
            case BUTTON_SKIP:
                if (test && skips > 0) {
                    --skips;
                    playSound(RESID_PLAY_A_SKIP, 0, 1);
                    // A bank that cannot be used has already sent the player back: no box slides in.
                    if (!getQuestion(true)) break;
                    question_slide_pending = true;
                    playSound(RESID_QUESTION_BOX_SLIDE, 0, 1);
                    next_question_delay = 20;
                }
                break;
            case BUTTON_INFO:
                changeGameStateTo(GAMESTATE_INFOLINK | GAMESTATEFLAG_LOADING);
                break;
            case BUTTON_MENU:
                saveData();
                startFade(1, GAMESTATE_MAIN_MENU);
                break;
        }
    }
    finger_down = false;
    scroller_pointer_down = false;
}

void HookCanvas::useHint() {
    // One wrong answer not yet ghosted must remain to be drawn, or the draw would never end.
    if (!ghosted || ghosted->length < 3 || correct_position < 1 || correct_position > 3) return;
    int32_t open = 0;
    for (int32_t a = 0; a < 3; ++a) open += (a != correct_position - 1 && !ghosted->data[a]) ? 1 : 0;
    if (open == 0) return;
    hint_used = true;
    playSound(RESID_PLAY_A_HINT, 0, 1);
    --hints;
    int32_t a = 0;
    do {
        a = random(3);
    } while (a == correct_position - 1 || ghosted->data[a]);
    ghosted->data[a] = true;
    if (saved_ghosted && saved_ghosted != ghosted && a < saved_ghosted->length) saved_ghosted->data[a] = true;
}

void HookCanvas::markSectionPractised() {
    if (!practicedDBs || current_category < 0 || current_category >= practicedDBs->length) return;
    const JavaPtr<JArray<bool>>& sections = practicedDBs->data[current_category];
    if (sections && current_subsection >= 0 && current_subsection < sections->length)
        sections->data[current_subsection] = true;
}

int32_t HookCanvas::getRanking() {
    // In 64 bits: a stored count may be large enough for the percentage to overflow.
    if (answers_in_level > 5 && (int64_t{level_points} * 100) / answers_in_level <= 39)
        return level > 0 ? level - 1 : level;
    if (levelThresholds && level >= 0 && level < levelThresholds->length &&
        level_points > levelThresholds->data[level])
        return level + 1;
    return level;
}

void HookCanvas::resetGame(bool full) {
    if (full && options && options->length > 5) {
        options->data[0] = true;
        options->data[5] = true;
    }
    // A new game starts on its own question: the slide-in still pending from the last one (a test
    // ended on its completion screen) would show the old question sliding out.
    question_slide_pending = false;
    next_question_delay = 0;
    score_meter = 39;
    practice_right_this_game = 0;
    answered_this_round = 0;
    level_points = 0;
    answers_in_level = 0;
    if (!want_practice_mode) {
        test_right = 0;
        test_wrong = 0;
        no_test_running = full;
        level = 0;
        saved_question = nullptr;
        hints = 1;
        skips = 1;
    }
}

void HookCanvas::resetScores(int32_t category) {
    if (category < 0 || category > TEST_CATEGORY) return;
    if (category_scores && category < category_scores->length) category_scores->data[category] = 0;
    if (category_questions_asked && category < category_questions_asked->length)
        category_questions_asked->data[category] = 48;
    if (category_completed && category < category_completed->length)
        category_completed->data[category] = false;
}

void HookCanvas::startGame() {
    next_question_delay = 0;
    if (repeat_ring_b) std::fill(repeat_ring_b->begin(), repeat_ring_b->end(), static_cast<int16_t>(-1));
}

int32_t HookCanvas::howManyBoxes(int32_t category) {
    if (!practicedDBs || category < 0 || category >= practicedDBs->length || !practicedDBs->data[category])
        return 0;
    const JArray<bool>& sections = *practicedDBs->data[category];
    const int32_t total = sections.length;
    const int32_t done = static_cast<int32_t>(std::count(sections.begin(), sections.end(), true));
    if (total == 0 || done == 0) return 0;
    if (done < (total >> 1)) return 1;
    if (done < total) return 2;
    return 3;
}
