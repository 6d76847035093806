// The stage of the quiz's data tests: a canvas over a bundle and a data folder made fresh for each
// test, banks written with the question bank writer, a clock that moves one millisecond per reading,
// the quiz statics put back between tests, and a canvas that records the cues, wipes and state
// changes it is asked for instead of making them.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/CanvasClock.h"
#include "engine/HookCanvas.h"
#include "library/System.h"
#include "rms/RecordStore.h"
#include "tests/library/FileFixture.h"
#include "tests/support/QuizStatics.h"
#include "tests/support/StringText.h"
#include "tools/QuestionBankWriter.h"

namespace quiztest {

using reswriter::QuestionRecord;
using StringArray = JArray<JavaPtr<java::lang::String>>;

inline long long& clockNow() {
    static long long now = 1000;
    return now;
}

inline long long steppingClock() {
    return ++clockNow();
}

// The answer buttons and the game buttons are hit-tested as rectangles of this size here.
constexpr int kAnswerButtonWidth = 140;
constexpr int kAnswerButtonHeight = 40;

class QuizCanvas : public HookCanvas {
    TESL_CLASS(QuizCanvas, "quiztest.QuizCanvas", HookCanvas)
public:
    QuizCanvas() noexcept {}
    QuizCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        answer_button_height = kAnswerButtonHeight;
        return this;
    }
    void playSound(int32_t id, int32_t, int32_t) override { sounds.push_back(id); }
    void startFade(int32_t, int32_t state) override { fades.push_back(state); }
    void particle_shower(int32_t, int32_t, int32_t colour, int32_t) override { showers.push_back(colour); }
    void changeGameStateTo(int32_t state) override { states.push_back(state); }
    // The wrap itself is the text engine's: here each text is one line, and the widths asked for are kept.
    JavaPtr<StringArray> splitString(const JavaPtr<java::lang::String>& text, int32_t,
                                     int32_t width) override {
        widths.push_back(width);
        JavaPtr<StringArray> lines = jnewArray<JavaPtr<java::lang::String>>(1);
        lines->data[0] = text;
        return lines;
    }
    bool pointerOverImage(int32_t, int32_t x, int32_t y) override {
        return pointerOverArea(x, y, kAnswerButtonWidth, kAnswerButtonHeight);
    }
    // With serveRecord, the progress record is read from servedRecord instead of the record store.
    JavaPtr<JArray<signed char>> getRecordStoreData(int32_t index) override {
        return serveRecord ? servedRecord : HookCanvas::getRecordStoreData(index);
    }
    JavaPtr<RecordList> getRecordStoreDataMult(int32_t index) override {
        if (!serveRecord) return HookCanvas::getRecordStoreDataMult(index);
        JavaPtr<RecordList> records = jnewArray<JavaPtr<JArray<signed char>>>(1);
        records->data[0] = servedRecord;
        return records;
    }

    std::vector<int32_t> sounds;
    std::vector<int32_t> fades;
    std::vector<int32_t> showers;
    std::vector<int32_t> states;
    std::vector<int32_t> widths;
    bool serveRecord = false;
    JavaPtr<JArray<signed char>> servedRecord;
};

inline void resetQuizStatics() {
    testsupport::resetQuizRunStatics();
    HookCanvas::film_id = 0;
    HookCanvas::random_seed.store(0);
    HookCanvas::pointer_x.store(0);
    HookCanvas::pointer_y.store(0);
    HookCanvas::pointer_pressed = false;
    HookCanvas::pointer_repeated = false;
}

class QuizFixture : public testsupport::FileFixture {
protected:
    void SetUp() override {
        FileFixture::SetUp();
        System_staticInit();
        clockNow() = 1000;
        engine::CanvasClock::setSource(&steppingClock);
        resetQuizStatics();
        HookCanvas::HookCanvas_globalStaticCreate();
        canvas = jnew<QuizCanvas>();
        canvas->record_store_prefix = testsupport::jstr("QUILL");
    }
    void TearDown() override {
        canvas = nullptr;
        HookCanvas::HookCanvas_globalStaticDestroy();
        resetQuizStatics();
        javax::microedition::rms::RecordStore::tidyUp();
        engine::CanvasClock::setSource(nullptr);
        System_staticDestroy();
        FileFixture::TearDown();
    }

    void writeBundleFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        testsupport::writeTextFile(bundle() / name, std::string(bytes.begin(), bytes.end()));
    }
    void writeBank(const std::string& name, const std::vector<QuestionRecord>& records) {
        std::string error;
        const std::vector<uint8_t> bytes = reswriter::writeQuestionBank(records, &error);
        ASSERT_TRUE(error.empty()) << error;
        writeBundleFile(name, bytes);
    }
    // Records whose texts name their index: "q7", "right7", "wrongA7", "wrongB7", "why7".
    static std::vector<QuestionRecord> numberedRecords(int count) {
        std::vector<QuestionRecord> records;
        for (int i = 0; i < count; ++i) {
            const std::string n = std::to_string(i);
            records.push_back({"q" + n, "right" + n, "wrongA" + n, "wrongB" + n, "why" + n});
        }
        return records;
    }
    // A test (category 16) or practice bank is the one wanted next.
    static void wantTest() {
        HookCanvas::want_category_to_be = HookCanvas::TEST_CATEGORY;
        HookCanvas::want_practice_mode = false;
    }
    static void wantPractice(int category, int subsection) {
        HookCanvas::want_category_to_be = category;
        HookCanvas::want_subsection_to_be = subsection;
        HookCanvas::want_practice_mode = true;
    }
    // The pointer over answer button k or game button j, in the base layout.
    static void pointAtAnswer(int k) {
        HookCanvas::pointer_x.store(HookCanvas::PARAM_ANSWER_BUTTONS_LEFT + 5);
        HookCanvas::pointer_y.store(HookCanvas::PARAM_ANSWER_BUTTONS_TOP +
                                    k * (kAnswerButtonHeight + HookCanvas::PARAM_ANSWER_BUTTONS_SPACING) + 5);
    }
    static void pointAtButton(int j) {
        HookCanvas::pointer_x.store(
            HookCanvas::PARAM_MENU_BUTTONS_LEFT +
            j * (HookCanvas::PARAM_MENU_BUTTON_WIDTH + HookCanvas::PARAM_MENU_BUTTON_SPACING) + 5);
        HookCanvas::pointer_y.store(HookCanvas::PARAM_MENU_BUTTONS_TOP + 5);
    }
    static void pointAtNothing() {
        HookCanvas::pointer_x.store(5);
        HookCanvas::pointer_y.store(5);
    }
    // A press and release at the pointer, as two update steps see them.
    void tap() {
        HookCanvas::pointer_pressed = true;
        canvas->handleInput();
        HookCanvas::pointer_pressed = false;
        canvas->handleInput();
    }
    std::string text(const JavaPtr<java::lang::String>& s) { return testsupport::narrow(s); }

    JavaPtr<QuizCanvas> canvas;
};

}  // namespace quiztest
