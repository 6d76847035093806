#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/quiz/QuizFixtures.h"

using namespace quiztest;

namespace {

class Scoring : public QuizFixture {
protected:
    void SetUp() override {
        QuizFixture::SetUp();
        HookCanvas::practicedDBs = jnewArray<JavaPtr<JArray<bool>>>(16);
        for (auto& sections : *HookCanvas::practicedDBs) sections = jnewArray<bool>(4);
        HookCanvas::levelThresholds = jnewArray<int32_t>(3);
        for (int i = 0; i < 3; ++i) HookCanvas::levelThresholds->data[i] = 10;
    }
    // A running test at its first question, as New Test starts it.
    void startTest(int records = 40) {
        writeBank("shuffle_db.dat", numberedRecords(records));
        wantTest();
        canvas->resetGame(false);
        ASSERT_TRUE(canvas->getQuestion(true));
    }
    void startPractice(int records) {
        writeBank("cdb5_2.dat", numberedRecords(records));
        wantPractice(5, 2);
        canvas->resetGame(false);
        ASSERT_TRUE(canvas->getQuestion(true));
    }
    int rightAnswer() const { return canvas->correct_position - 1; }
    int wrongAnswer() const { return canvas->correct_position == 1 ? 1 : 0; }
    void answer(int k) {
        pointAtAnswer(k);
        tap();
    }
    // The bytes of the progress record as stored, or "" when there is none.
    std::string storedRecord() {
        const JavaPtr<JArray<signed char>> bytes = canvas->getRecordStoreData(0);
        return bytes ? std::string(reinterpret_cast<const char*>(bytes->data),
                                   static_cast<size_t>(bytes->length))
                     : "";
    }
};

TEST_F(Scoring, RankingFollowsTheSuccessRateAndTheThresholds) {
    struct Case {
        int level, points, answers, expected;
        const char* what;
    };
    const Case cases[] = {
        {1, 0, 5, 1, "five answers never demote"},
        {1, 0, 6, 0, "six answers and no points demote"},
        {1, 2, 6, 0, "33 per cent demotes"},
        {1, 3, 6, 1, "50 per cent stays"},
        {1, 4, 10, 1, "exactly 40 per cent stays"},
        {1, 3, 10, 0, "30 per cent demotes"},
        {1, 3, 7, 1, "42 per cent (integer division) stays"},
        {0, 0, 20, 0, "level 0 is the floor"},
        {0, 10, 10, 0, "reaching the threshold is not passing it"},
        {0, 11, 11, 1, "the 11th net point passes threshold 10"},
        {2, 11, 11, 3, "passing the last level answers the table's length"},
        {3, 50, 50, 3, "beyond the table nothing more is passed"},
    };
    for (const Case& c : cases) {
        canvas->level = c.level;
        canvas->level_points = c.points;
        canvas->answers_in_level = c.answers;
        EXPECT_EQ(canvas->getRanking(), c.expected) << c.what;
    }
    HookCanvas::levelThresholds = nullptr;
    canvas->level = 0;
    canvas->level_points = 99;
    canvas->answers_in_level = 99;
    EXPECT_EQ(canvas->getRanking(), 0) << "no thresholds read yet";
}

TEST_F(Scoring, ARightAnswerCountsAndARunEarnsHintsAndSkips) {
    startTest();
    canvas->hints = 0;
    canvas->skips = 0;
    std::vector<int32_t> cues;
    std::vector<std::pair<int, int>> held;
    for (int i = 1; i <= 15; ++i) {
        canvas->sounds.clear();
        answer(rightAnswer());
        ASSERT_EQ(canvas->sounds.size(), 1u) << i;
        cues.push_back(canvas->sounds[0]);
        held.emplace_back(canvas->hints, canvas->skips);
        ASSERT_TRUE(canvas->getQuestion(true));
    }
    const int32_t plain = HookCanvas::RESID_CORRECT;
    const int32_t reward = HookCanvas::RESID_CORRECT_PLUS_HINT_OR_SKIP;
    EXPECT_EQ(cues, (std::vector<int32_t>{plain, plain, reward, plain, reward, reward, plain, plain, reward,
                                          reward, plain, reward, plain, plain, reward}));
    EXPECT_EQ(held[2], std::make_pair(1, 0));
    EXPECT_EQ(held[4], std::make_pair(1, 1));
    EXPECT_EQ(held[14], std::make_pair(5, 3)) << "the 15th earns both";
    EXPECT_EQ(canvas->streak, 15);
    EXPECT_EQ(canvas->test_right, 15);
    EXPECT_EQ(canvas->level_points, 15);
    EXPECT_EQ(canvas->answers_in_level, 15);
    EXPECT_EQ(canvas->answered_this_round, 15);
    EXPECT_EQ(canvas->score_meter, 39 + 30);
    EXPECT_EQ(HookCanvas::category_scores->data[16], 15);
    EXPECT_EQ(canvas->next_question_delay, HookCanvas::PARAM_NEXT_QUESTION_DELAY);
    EXPECT_EQ(canvas->showers, std::vector<int32_t>(15, HookCanvas::TWINKLE_GREEN));
}

TEST_F(Scoring, HintsAndSkipsStopAtNine) {
    startTest();
    canvas->hints = 9;
    canvas->skips = 8;
    canvas->streak = 2;
    answer(rightAnswer());
    EXPECT_EQ(canvas->hints, 9);
    EXPECT_FALSE(canvas->hint_earned);
    EXPECT_EQ(canvas->sounds.back(), HookCanvas::RESID_CORRECT)
        << "a reward past the cap plays the plain cue";
    ASSERT_TRUE(canvas->getQuestion(true));
    canvas->streak = 4;
    answer(rightAnswer());
    EXPECT_EQ(canvas->skips, 9);
    EXPECT_TRUE(canvas->skip_earned);
    EXPECT_EQ(canvas->sounds.back(), HookCanvas::RESID_CORRECT_PLUS_HINT_OR_SKIP);
}

TEST_F(Scoring, AWrongAnswerCostsAPointAndTheRun) {
    startTest();
    canvas->streak = 4;
    canvas->level_points = 1;
    answer(wrongAnswer());
    EXPECT_FALSE(canvas->answered_correctly);
    EXPECT_EQ(canvas->chosen_answer, wrongAnswer());
    EXPECT_EQ(canvas->streak, 0);
    EXPECT_EQ(canvas->level_points, 0);
    EXPECT_EQ(canvas->test_wrong, 1);
    EXPECT_EQ(canvas->score_meter, 37);
    EXPECT_EQ(canvas->sounds, std::vector<int32_t>{HookCanvas::RESID_INCORRECT});
    ASSERT_TRUE(canvas->getQuestion(true));
    answer(wrongAnswer());
    EXPECT_EQ(canvas->level_points, 0) << "points never go below 0";
    EXPECT_EQ(canvas->answers_in_level, 2);
}

TEST_F(Scoring, EveryAnswerIsSavedAtOnce) {
    startTest();
    EXPECT_EQ(storedRecord(), "");
    answer(rightAnswer());
    const std::string afterRight = storedRecord();
    ASSERT_FALSE(afterRight.empty());
    ASSERT_TRUE(canvas->getQuestion(true));
    answer(wrongAnswer());
    EXPECT_NE(storedRecord(), afterRight);
}

TEST_F(Scoring, AHintGhostsAWrongAnswerOnceAndNeverTheRightOne) {
    for (int round = 0; round < 30; ++round) {
        startTest();
        pointAtButton(HookCanvas::BUTTON_HINT);
        tap();
        ASSERT_TRUE(canvas->hint_used);
        EXPECT_EQ(canvas->hints, 0);
        int ghostedCount = 0;
        for (int a = 0; a < 3; ++a) ghostedCount += canvas->ghosted->data[a] ? 1 : 0;
        EXPECT_EQ(ghostedCount, 1);
        EXPECT_FALSE(canvas->ghosted->data[rightAnswer()]);
        EXPECT_EQ(canvas->saved_ghosted, canvas->ghosted);

        // A second hint on the same question is refused, even with hints in hand.
        canvas->hints = 3;
        tap();
        EXPECT_EQ(canvas->hints, 3);
        ghostedCount = 0;
        for (int a = 0; a < 3; ++a) ghostedCount += canvas->ghosted->data[a] ? 1 : 0;
        EXPECT_EQ(ghostedCount, 1);

        // So also after Continue Test brings the question back.
        ASSERT_TRUE(canvas->getQuestion(false));
        tap();
        EXPECT_EQ(canvas->hints, 3);
    }
}

TEST_F(Scoring, AGhostedAnswerCannotBeChosen) {
    startTest();
    canvas->ghosted->data[wrongAnswer()] = true;
    canvas->sounds.clear();
    answer(wrongAnswer());
    EXPECT_EQ(canvas->chosen_answer, -1);
    EXPECT_EQ(canvas->answered_this_round, 0);
    // The press there hits nothing, so it plays the background click.
    EXPECT_EQ(canvas->sounds, std::vector<int32_t>{HookCanvas::RESID_CLICK_ON_BACKGROUND});
}

TEST_F(Scoring, ASkipBringsANewQuestionWithoutCountingOrSaving) {
    startTest();
    const JavaPtr<StringArray> before = canvas->question;
    pointAtButton(HookCanvas::BUTTON_SKIP);
    tap();
    EXPECT_EQ(canvas->skips, 0);
    EXPECT_NE(canvas->question, before);
    EXPECT_TRUE(canvas->question_slide_pending);
    EXPECT_EQ(canvas->next_question_delay, 20);
    EXPECT_EQ(canvas->sounds,
              (std::vector<int32_t>{HookCanvas::RESID_PLAY_A_SKIP, HookCanvas::RESID_QUESTION_BOX_SLIDE}));
    EXPECT_EQ(canvas->answered_this_round, 0);
    EXPECT_EQ(storedRecord(), "");
    // With none left, nothing happens.
    const JavaPtr<StringArray> now = canvas->question;
    tap();
    EXPECT_EQ(canvas->question, now);

    // A skip into a bank that can no longer be read sends the player back; no box slides in.
    std::filesystem::remove(bundle() / "shuffle_db.dat");
    canvas->database_loaded = false;
    canvas->skips = 1;
    canvas->question_slide_pending = false;
    testing::internal::CaptureStderr();
    tap();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(canvas->skips, 0);
    EXPECT_FALSE(canvas->question_slide_pending);
    EXPECT_EQ(canvas->fades, std::vector<int32_t>{HookCanvas::GAMESTATE_MAIN_MENU});
}

TEST_F(Scoring, HintAndSkipDoNothingInPractice) {
    startPractice(5);
    canvas->hints = 2;
    canvas->skips = 2;
    const JavaPtr<StringArray> before = canvas->question;
    for (int j : {HookCanvas::BUTTON_HINT, HookCanvas::BUTTON_SKIP}) {
        pointAtButton(j);
        tap();
    }
    EXPECT_EQ(canvas->hints, 2);
    EXPECT_EQ(canvas->skips, 2);
    EXPECT_EQ(canvas->question, before);
    EXPECT_FALSE(canvas->hint_used);
    EXPECT_TRUE(canvas->sounds.empty());
}

TEST_F(Scoring, InfoSwitchesAtOnceAndMenuSavesBeforeTheWipe) {
    for (bool practice : {false, true}) {
        if (practice) {
            startPractice(3);
        } else {
            startTest();
        }
        canvas->states.clear();
        canvas->fades.clear();
        pointAtButton(HookCanvas::BUTTON_INFO);
        tap();
        EXPECT_EQ(canvas->states,
                  std::vector<int32_t>{HookCanvas::GAMESTATE_INFOLINK | HookCanvas::GAMESTATEFLAG_LOADING});
        EXPECT_TRUE(canvas->fades.empty());

        canvas->sounds.clear();
        pointAtButton(HookCanvas::BUTTON_MENU);
        canvas->hints = 4;
        tap();
        EXPECT_EQ(canvas->fades, std::vector<int32_t>{HookCanvas::GAMESTATE_MAIN_MENU});
        EXPECT_EQ(canvas->sounds, std::vector<int32_t>{HookCanvas::RESID_CLICK_ON_BACKGROUND})
            << "the menu button's press plays the background click";
        canvas->hints = 0;
        canvas->loadSavedData();
        EXPECT_EQ(canvas->hints, 4) << "the menu button saved first";
    }
}

TEST_F(Scoring, APressOnAnAnswerOrAButtonPlaysNoCue) {
    startTest();
    for (int k = 0; k < 3; ++k) {
        pointAtAnswer(k);
        HookCanvas::pointer_pressed = true;
        canvas->handleInput();
        EXPECT_TRUE(canvas->finger_down);
        EXPECT_EQ(canvas->answer_feedback, HookCanvas::TWINKLE_YELLOW);
        canvas->finger_down = false;
    }
    for (int j : {HookCanvas::BUTTON_HINT, HookCanvas::BUTTON_SKIP, HookCanvas::BUTTON_INFO}) {
        pointAtButton(j);
        canvas->handleInput();
        canvas->finger_down = false;
    }
    EXPECT_TRUE(canvas->sounds.empty());
    pointAtNothing();
    canvas->answer_feedback = -1;
    canvas->handleInput();
    EXPECT_EQ(canvas->sounds, std::vector<int32_t>{HookCanvas::RESID_CLICK_ON_BACKGROUND});
    EXPECT_EQ(canvas->answer_feedback, -1);
    HookCanvas::pointer_pressed = false;
}

TEST_F(Scoring, TheLastPracticeAnswerCompletesTheSection) {
    startPractice(2);
    answer(wrongAnswer());
    EXPECT_FALSE(HookCanvas::practicedDBs->data[5]->data[2]);
    EXPECT_EQ(canvas->practice_wrong, 1);
    ASSERT_TRUE(canvas->getQuestion(true));
    answer(wrongAnswer());
    EXPECT_TRUE(HookCanvas::practicedDBs->data[5]->data[2]) << "right or wrong, the last answer completes it";
    EXPECT_EQ(canvas->test_wrong, 0);
    EXPECT_EQ(canvas->answers_in_level, 0) << "practice leaves the test's level alone";
}

TEST_F(Scoring, ResetsStartATestOrASectionOrTheWholeGame) {
    canvas->level = 3;
    canvas->hints = 7;
    canvas->practice_right_total = 9;
    canvas->saved_question = jnewArray<JavaPtr<java::lang::String>>(5);
    HookCanvas::want_practice_mode = true;
    canvas->resetGame(false);
    EXPECT_EQ(canvas->level, 3) << "a practice section keeps the test";
    EXPECT_TRUE(canvas->saved_question);
    EXPECT_EQ(canvas->score_meter, 39);

    HookCanvas::want_practice_mode = false;
    canvas->resetGame(false);
    EXPECT_EQ(canvas->level, 0);
    EXPECT_EQ(canvas->hints, 1);
    EXPECT_EQ(canvas->skips, 1);
    EXPECT_FALSE(canvas->saved_question);
    EXPECT_FALSE(canvas->no_test_running);
    EXPECT_EQ(canvas->practice_right_total, 9);

    canvas->resetGame(true);
    EXPECT_TRUE(canvas->no_test_running);
    EXPECT_TRUE(canvas->options->data[0]);
    EXPECT_TRUE(canvas->options->data[5]);

    HookCanvas::category_scores->data[16] = 4;
    canvas->resetScores(16);
    EXPECT_EQ(HookCanvas::category_scores->data[16], 0);
    EXPECT_EQ(HookCanvas::category_questions_asked->data[16], 48);
    canvas->resetScores(17);
    canvas->resetScores(-1);

    canvas->next_question_delay = 5;
    canvas->repeat_ring_b->data[7] = 3;
    canvas->startGame();
    EXPECT_EQ(canvas->next_question_delay, 0);
    EXPECT_EQ(canvas->repeat_ring_b->data[7], -1);
}

TEST_F(Scoring, BoxesShowHowMuchOfACategoryIsPractised) {
    const std::vector<std::pair<std::vector<bool>, int>> cases = {
        {{}, 0},
        {{false, false, false, false}, 0},
        {{true, false, false, false}, 1},
        {{true, true, false, false}, 2},
        {{true, true, true, false}, 2},
        {{true, true, true, true}, 3},
        {{true, false, false}, 2},
    };
    for (const auto& [sections, boxes] : cases) {
        JavaPtr<JArray<bool>> flags = jnewArray<bool>(static_cast<int>(sections.size()));
        for (size_t i = 0; i < sections.size(); ++i) flags->data[i] = sections[i];
        HookCanvas::practicedDBs->data[6] = flags;
        EXPECT_EQ(canvas->howManyBoxes(6), boxes) << sections.size();
    }
    EXPECT_EQ(canvas->howManyBoxes(16), 0);
    EXPECT_EQ(canvas->howManyBoxes(-1), 0);
}

}  // namespace
