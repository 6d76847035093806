// Frames of the game screen and the information screen at both resolutions: the question text, the
// timer ring, the answer buttons' pictures and their turn during a slide, the count badges, the title.
#include <gtest/gtest.h>

#include "tests/quiz/ScreenFixtures.h"

namespace quiztest {
namespace {

using StringArray = JArray<JavaPtr<java::lang::String>>;

class GameScreen : public BothResolutions {
protected:
    void SetUp() override {
        BothResolutions::SetUp();
        if (HasFatalFailure()) return;
        ScreenCanvas& c = *canvas;
        c.question_lines = lines({"q"});
        c.answer_lines = answers("new");
        c.previous_question_lines = lines({"old q"});
        c.previous_answer_lines = answers("old");
        c.ghosted = jnewArray<bool>(4);
        c.previous_ghosted = jnewArray<bool>(4);
        c.chosen_answer = -1;
        c.correct_position = 1;
        c.timer_remaining_ms = 10000;
        c.fade_active = false;
    }
    static JavaPtr<JArray<JavaPtr<StringArray>>> answers(const std::string& prefix) {
        JavaPtr<JArray<JavaPtr<StringArray>>> out = jnewArray<JavaPtr<StringArray>>(4);
        for (int i = 0; i < 4; ++i) out->data[i] = lines({(prefix + std::to_string(i)).c_str()});
        return out;
    }
    // A corner of answer button b, clear of its text and of the information box.
    uint32_t buttonCorner(int b) { return atBase(305, 135 + 90 * b); }
    int answerTextY(int b) {
        return s(132) + b * (s(24) + canvas->answer_button_height) + canvas->answer_button_height / 2 -
               canvas->getFontHeight(canvas->font_main) / 2;
    }
};

TEST_P(GameScreen, OneLineQuestionIsCentredInTheBox) {
    renderSettled(H::GAMESTATE_GAME_RUNNING);
    const ScreenCanvas::DrawnText* q = canvas->drawn("q");
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->x, s(81) + s(11));
    EXPECT_EQ(q->y, s(54) - canvas->getFontHeight(canvas->font_main) / 2);
    EXPECT_TRUE(anyPixelDiffers(92, 40, 20, 24, colourOf(canvas->img_game_bg->data[1]))) << "no glyph drawn";
    // The answer texts sit in the middle of their buttons.
    for (int b = 0; b < 3; ++b) {
        const ScreenCanvas::DrawnText* t = canvas->drawn("new" + std::to_string(b));
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->x, s(91) + canvas->answer_button_width / 2);
        EXPECT_EQ(t->y, answerTextY(b));
    }
}

TEST_P(GameScreen, TimerDotsGoOutOneAboutEverySevenHundredSeventyMilliseconds) {
    const uint32_t dot = colourOf(canvas->img_timer_dot);
    // Dot 0 goes out first: the dots still shown are always the last ones of the ring.
    auto shownPattern = [&]() {
        std::string on;
        for (int k = 0; k < 12; ++k) {
            const int x = canvas->timer_dot_positions->data[2 * k];
            const int y = canvas->timer_dot_positions->data[2 * k + 1] + 108;
            on += atBase(x + 4, y + 4) == dot ? '*' : '.';
        }
        return on;
    };
    struct Case {
        bool timerOn;
        int ms, dots;
    };
    for (const Case k : {Case{true, 10000, 12}, Case{true, 9000, 11}, Case{true, 5000, 6}, Case{true, 770, 1},
                         Case{true, 769, 0}, Case{true, 0, 0}, Case{false, 10000, 0}}) {
        canvas->options->data[4] = k.timerOn;
        canvas->timer_remaining_ms = k.ms;
        renderSettled(H::GAMESTATE_GAME_RUNNING);
        EXPECT_EQ(shownPattern(), std::string(12 - k.dots, '.') + std::string(k.dots, '*'))
            << k.ms << " ms, timer " << (k.timerOn ? "on" : "off");
    }
}

TEST_P(GameScreen, AnswerButtonPictures) {
    enum Picture { N, C, R, W, G };
    struct Case {
        const char* name;
        int state, chosen, correct, timerMs;
        bool ghost0, ghost1;
        int pointerOn;  // answer button under a held finger, or -1
        Picture expected[3];
    };
    const Case cases[] = {
        {"right answer on button 2", 2, 2, 3, 10000, false, false, -1, {N, N, R}},
        {"wrong answer on button 0", 2, 0, 2, 10000, false, false, -1, {W, R, N}},
        {"time-out hides the right answer", 2, -1, 2, 0, false, false, -1, {W, W, W}},
        {"time-out with a ghosted answer", 2, -1, 2, 0, true, false, -1, {G, W, W}},
        {"not answered", 2, -1, 2, 10000, false, false, -1, {N, N, N}},
        {"finger on button 1", 2, -1, 2, 10000, false, false, 1, {N, C, N}},
        {"ghosted under the finger", 2, -1, 3, 10000, false, true, 1, {N, G, N}},
        {"info screen after a wrong answer", 11, 0, 2, 10000, false, false, -1, {N, N, N}},
        {"info screen after a time-out", 11, -1, 2, 0, false, true, -1, {N, G, N}},
    };
    ScreenCanvas& c = *canvas;
    const uint32_t colours[5] = {colourOf(c.img_answer_button_normal), colourOf(c.img_answer_button_click),
                                 colourOf(c.img_answer_button_correct), colourOf(c.img_answer_button_wrong),
                                 colourOf(c.img_answer_button_ghosted)};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        c.chosen_answer = k.chosen;
        c.correct_position = k.correct;
        c.timer_remaining_ms = k.timerMs;
        c.ghosted->data[0] = k.ghost0;
        c.ghosted->data[1] = k.ghost1;
        c.finger_down = k.pointerOn >= 0;
        H::pointer_x.store(s(100));
        H::pointer_y.store(s(150 + 90 * (k.pointerOn < 0 ? 0 : k.pointerOn)));
        renderSettled(k.state);
        for (int b = 0; b < 3; ++b) EXPECT_EQ(buttonCorner(b), colours[k.expected[b]]) << "button " << b;
    }
}

TEST_P(GameScreen, ButtonsTurnOverOneByOneFromTheTopDuringTheSlide) {
    ScreenCanvas& c = *canvas;
    const uint32_t normal = colourOf(c.img_answer_button_normal);
    const uint32_t click = colourOf(c.img_answer_button_click);
    struct Case {
        int delay;
        bool previous[3];
        bool flipping[3];
    };
    const Case cases[] = {
        {20, {true, true, true}, {false, false, false}},    // d = 10
        {8, {true, true, true}, {false, false, false}},     // d = 4
        {6, {false, true, true}, {true, false, false}},     // d = 3
        {4, {false, false, true}, {false, true, false}},    // d = 2
        {2, {false, false, false}, {false, false, true}},   // d = 1
        {1, {false, false, false}, {false, false, false}},  // d = 0
    };
    c.question_slide_pending = true;
    c.answered_correctly = true;
    for (const Case& k : cases) {
        c.next_question_delay = k.delay;
        renderSettled(H::GAMESTATE_GAME_RUNNING);
        for (int b = 0; b < 3; ++b) {
            const std::string text = (k.previous[b] ? "old" : "new") + std::to_string(b);
            const ScreenCanvas::DrawnText* t = c.drawn(text);
            EXPECT_NE(t, nullptr) << "delay " << k.delay << " button " << b << " shows " << text;
            if (t != nullptr) {
                EXPECT_EQ(t->y, answerTextY(b));
            }
            EXPECT_EQ(buttonCorner(b), k.flipping[b] ? click : normal)
                << "delay " << k.delay << " button " << b;
        }
    }
}

TEST_P(GameScreen, QuestionBoxesSlideSideBySide) {
    ScreenCanvas& c = *canvas;
    c.question_slide_pending = true;
    c.next_question_delay = 10;
    // Half way: the new box is 10 twentieths of the box width in, the old one the rest of the way out.
    struct Case {
        bool right;
        int newX, oldX;
    };
    const int step = s(239) / 20;
    const int box = s(239);
    for (const Case k : {Case{true, s(81) + 10 * step + s(11), s(81) - (box - 10 * step) + s(11)},
                         Case{false, s(81) - 10 * step + s(11), s(81) + (box - 10 * step) + s(11)}}) {
        c.answered_correctly = k.right;
        renderSettled(H::GAMESTATE_GAME_RUNNING);
        const ScreenCanvas::DrawnText* fresh = c.drawn("q");
        const ScreenCanvas::DrawnText* old = c.drawn("old q");
        ASSERT_NE(fresh, nullptr);
        ASSERT_NE(old, nullptr);
        EXPECT_EQ(fresh->x, k.newX) << (k.right ? "right" : "wrong");
        EXPECT_EQ(old->x, k.oldX) << (k.right ? "right" : "wrong");
    }
    // Entering from the right after a right answer: a fixed point for each resolution.
    c.answered_correctly = true;
    renderSettled(H::GAMESTATE_GAME_RUNNING);
    EXPECT_EQ(c.drawn("q")->x, GetParam() ? 162 + 230 + 22 : 81 + 110 + 11);
}

TEST_P(GameScreen, CountBadgesShowHintsAndSkipsInATestAndZeroInPractice) {
    ScreenCanvas& c = *canvas;
    struct Case {
        bool practice;
        int hints, skips;
        bool hintEarned, skipEarned;
        int hintBadge, skipBadge;  // entry of img_icon_number, or -1 for the flash
    };
    for (const Case k : {Case{false, 3, 5, false, false, 3, 5}, Case{false, 9, 0, false, false, 9, 0},
                         Case{true, 3, 5, false, false, 0, 0}, Case{false, 4, 6, true, false, -1, 6},
                         Case{false, 4, 6, false, true, 4, -1}}) {
        H::current_mode_practice = k.practice;
        c.hints = k.hints;
        c.skips = k.skips;
        c.hint_earned = k.hintEarned;
        c.skip_earned = k.skipEarned;
        renderSettled(H::GAMESTATE_GAME_RUNNING);
        auto expected = [&](int entry) {
            return entry < 0 ? colourOf(c.img_icon_number_flash) : colourOf(c.img_icon_number->data[entry]);
        };
        EXPECT_EQ(atBase(70, 405), expected(k.hintBadge)) << "hints " << k.hints;
        EXPECT_EQ(atBase(150, 405), expected(k.skipBadge)) << "skips " << k.skips;
    }
}

TEST_P(GameScreen, BottomButtonsPressedUnderTheFingerAndTheTitle) {
    ScreenCanvas& c = *canvas;
    const uint32_t bar = colourOf(c.img_game_bg->data[4]);
    renderSettled(H::GAMESTATE_GAME_RUNNING);
    EXPECT_EQ(atBase(195, 455), bar);
    c.finger_down = true;
    H::pointer_x.store(s(180));
    H::pointer_y.store(s(420));
    renderState(H::GAMESTATE_GAME_RUNNING);
    EXPECT_EQ(atBase(195, 455), colourOf(c.img_game_buttons->data[H::BUTTON_INFO]));
    EXPECT_EQ(atBase(35, 455), bar);

    c.finger_down = false;
    H::current_mode_practice = false;
    c.level = 4;
    renderState(H::GAMESTATE_GAME_RUNNING);
    EXPECT_NE(c.drawn("5"), nullptr);
    EXPECT_EQ(atBase(2, 2), colourOf(c.img_generic->data[1]));
    H::current_mode_practice = true;
    c.practice_right_this_game = 2;
    c.question_count = 3;
    renderState(H::GAMESTATE_GAME_RUNNING);
    const ScreenCanvas::DrawnText* title = c.drawn("2/3");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(atBase(2, 2), colourOf(c.img_generic->data[0]));
    // Centred on the panel.
    const int sw = c.getStringWidth(c.font_numbers, testsupport::jstr("2/3"));
    EXPECT_EQ(title->x, (s(81) - sw) >> 1);
    EXPECT_GE(title->y, 0);
}

TEST_P(GameScreen, InformationScreenShowsTheExplanationOverTheStrip) {
    ScreenCanvas& c = *canvas;
    c.info_lines = lines({"first", "second", "third"});
    renderSettled(H::GAMESTATE_INFOLINK);
    const int lh = c.getFontHeight(c.font_main);
    const char* texts[3] = {"first", "second", "third"};
    for (int k = 0; k < 3; ++k) {
        const ScreenCanvas::DrawnText* t = c.drawn(texts[k]);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->x, s(160));
        EXPECT_EQ(t->y, s(240) - (3 * lh) / 2 + k * lh);
        EXPECT_EQ(t->anchor, Graphics::HCENTER | Graphics::TOP);
    }
    EXPECT_EQ(atBase(50, 100), colourOf(c.img_game_infobox));
    EXPECT_EQ(atBase(5, 470), colourOf(c.img_web_base_strip));
    EXPECT_EQ(atBase(255, 460), colourOf(c.img_web_base_strip));
    c.finger_down = true;
    H::pointer_x.store(s(260));
    H::pointer_y.store(s(420));
    renderState(H::GAMESTATE_INFOLINK);
    EXPECT_EQ(atBase(255, 460), colourOf(c.img_web_base_back_icon_click));
}

TEST_P(GameScreen, TheQuestionBoxWaitsForItsMaskBit) {
    ScreenCanvas& c = *canvas;
    paintOffscreen(0xFF010203u);
    c.fade_active = true;
    c.fade_mask = c.game_bg_trans;
    c.fade_step = 0;  // only segment 0 allowed
    for (int i = 0; i < 8; ++i) c.fade_segments->data[i] = 0;
    renderState(H::GAMESTATE_GAME_RUNNING);
    EXPECT_EQ(c.drawn("q"), nullptr);
    EXPECT_EQ(c.drawn("new0"), nullptr);
    c.fade_step = 1;  // segments 0 and 1
    renderState(H::GAMESTATE_GAME_RUNNING);
    EXPECT_NE(c.drawn("q"), nullptr);
    EXPECT_EQ(c.drawn("new0"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, GameScreen, testing::Values(false, true), resolutionName);

}  // namespace
}  // namespace quiztest
