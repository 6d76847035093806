// The update step of the game screen: the answer timer when the player has it on, the pause after an
// answer, the next question's slide with its rotating cue, and the move to a result screen when the
// rank changes or a practice section is done.
#include "engine/HookCanvas.h"

void HookCanvas::gameRunningStep() {
    const bool timerOn = options && options->length > 4 && options->data[4];
    if (next_question_delay <= 0) {
        if (!timerOn) {
            handleInput();
            return;
        }
        timer_remaining_ms -= MS_PER_UPDATE;
        if (!timer_warning_played && timer_remaining_ms < 3200) {
            playSound(RESID_SOUND_ALMOST_OUT_OF_TIME, 0, 1);
            timer_warning_played = true;
        }
        if (timer_remaining_ms <= 0) {
            // A time-out is a wrong answer, except that it counts neither in the round nor in the
            // category's score.
            const bool test = !current_mode_practice;
            timer_remaining_ms = 0;
            next_question_delay = PARAM_NEXT_QUESTION_DELAY;
            chosen_answer = -1;
            score_meter += POINTS_PER_WRONG_ANSWER;
            if (test) {
                ++answers_in_level;
                if (level_points > 0) --level_points;
            }
            playSound(RESID_INCORRECT, 0, 1);
            if (test) {
                ++test_wrong;
            } else {
                ++practice_wrong;
            }
            streak = 0;
            answered_correctly = false;
            question_answered = true;
            saveData();
        } else {
            handleInput();
            if (next_question_delay <= 0) return;
        }
    }

    // With the timer on the countdown starts in the step of the answer, with it off in the next one.
    if (--next_question_delay > 0) return;
    if (question_slide_pending) {
        question_slide_pending = false;
        playSound(RESID_QUESTION1 + question_sound_index, 0, 1);
        question_sound_index = (question_sound_index + 1) % 4;
        return;
    }

    const int32_t rank = getRanking();
    bool changed = false;
    if (!current_mode_practice) {
        if (rank != level) {
            const bool finished = levelThresholds && rank >= levelThresholds->length;
            if (finished) {
                playSound(RESID_GAME_OVER_WIN, 0, 1);
                startFade(FADE_IN, GAMESTATE_COMPLETE);
            } else if (rank < level) {
                playSound(RESID_DEMOTED, 0, 1);
                startFade(FADE_IN, GAMESTATE_DEMOTED);
            } else {
                playSound(RESID_PROMOTED, 0, 1);
                startFade(FADE_IN, GAMESTATE_PROMOTED);
            }
            level = rank;
            level_points = 0;
            answers_in_level = 0;
            changed = true;
            // A finished test cannot be continued, not even after a restart on the completion screen.
            if (finished) no_test_running = true;
            // The new level is kept now: the program may end before the next answer.
            saveData();
        }
    } else if (answered_this_round == question_count) {
        playSound(RESID_GAME_OVER_WIN, 0, 1);
        startFade(FADE_IN, GAMESTATE_COMPLETE);
        return;
    }
    if (!changed) {
        // A bank that cannot be used has already sent the player back: no box slides in.
        if (!getQuestion(true)) return;
        // The record keeps the question the player sees next.
        if (!current_mode_practice) saveData();
    }
    question_slide_pending = true;
    playSound(RESID_QUESTION_BOX_SLIDE, 0, 1);
    next_question_delay = PARAM_QUESTION_SLIDE_DELAY;
}
