#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "library/ByteArrayInputStream.h"
#include "library/ByteArrayOutputStream.h"
#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "tests/quiz/ProgressRecords.h"
#include "tests/quiz/QuizFixtures.h"

using namespace quiztest;
using testsupport::narrow;

namespace {

Bytes toBytes(const JavaPtr<JArray<signed char>>& array) {
    if (!array) return {};
    const uint8_t* p = reinterpret_cast<const uint8_t*>(array->data);
    return Bytes(p, p + array->length);
}

std::vector<std::string> texts(const JavaPtr<StringArray>& array) {
    std::vector<std::string> out;
    if (array) {
        for (const auto& s : *array) out.push_back(narrow(s));
    }
    return out;
}

class ProgressRecord : public QuizFixture {
protected:
    void SetUp() override {
        QuizFixture::SetUp();
        // The sections of "topics.dat": two per category.
        HookCanvas::practicedDBs = jnewArray<JavaPtr<JArray<bool>>>(16);
        for (auto& sections : *HookCanvas::practicedDBs) sections = jnewArray<bool>(2);
        HookCanvas::levelThresholds = jnewArray<int32_t>(3);
    }
    // The record as read; the store itself is tested with the slots, so most tests hand it over directly.
    void store(const Bytes& bytes) {
        canvas->serveRecord = true;
        canvas->servedRecord = toArray(bytes);
    }
    Bytes stored() {
        canvas->serveRecord = false;
        return toBytes(canvas->getRecordStoreData(0));
    }
    // Junk in every field the record fills, so that a read shows what it set.
    void scramble() {
        canvas->hints = 7;
        canvas->skips = 7;
        canvas->level = 2;
        canvas->no_test_running = false;
        canvas->saved_question = nullptr;
        for (bool& o : *canvas->options) o = false;
        HookCanvas::want_practice_mode = false;
    }
    void expectFullReset(const std::string& where) {
        EXPECT_EQ(canvas->hints, 1) << where;
        EXPECT_EQ(canvas->skips, 1) << where;
        EXPECT_EQ(canvas->level, 0) << where;
        EXPECT_TRUE(canvas->no_test_running) << where;
        EXPECT_TRUE(canvas->options->data[0]) << where;
        EXPECT_TRUE(canvas->options->data[5]) << where;
        EXPECT_FALSE(canvas->saved_question) << where;
    }
    // What the screens rely on, whatever the record held.
    void expectUsable(const std::string& where) {
        ASSERT_TRUE(HookCanvas::category_scores) << where;
        EXPECT_EQ(HookCanvas::category_scores->length, 17) << where;
        ASSERT_TRUE(HookCanvas::category_questions_asked) << where;
        EXPECT_EQ(HookCanvas::category_questions_asked->length, 17) << where;
        ASSERT_TRUE(HookCanvas::category_completed) << where;
        EXPECT_EQ(HookCanvas::category_completed->length, 17) << where;
        ASSERT_TRUE(HookCanvas::practicedDBs) << where;
        ASSERT_EQ(HookCanvas::practicedDBs->length, 16) << where;
        for (const auto& sections : *HookCanvas::practicedDBs) {
            ASSERT_TRUE(sections) << where;
            EXPECT_EQ(sections->length, 2) << where;
        }
        EXPECT_GE(canvas->hints, 0) << where;
        EXPECT_LE(canvas->hints, 9) << where;
        EXPECT_GE(canvas->skips, 0) << where;
        EXPECT_LE(canvas->skips, 9) << where;
        EXPECT_GE(canvas->level, 0) << where;
        EXPECT_LE(canvas->level, 3) << where;
        EXPECT_GE(HookCanvas::current_category, -1) << where;
        EXPECT_LE(HookCanvas::current_category, 16) << where;
        for (int counter :
             {canvas->level_points, canvas->answers_in_level, canvas->test_right, canvas->test_wrong,
              canvas->answered_this_round, canvas->question_count, canvas->practice_right_total,
              canvas->practice_wrong, canvas->practice_right_this_game})
            EXPECT_GE(counter, 0) << where;
        if (canvas->saved_question) {
            EXPECT_EQ(canvas->saved_question->length, 5) << where;
            ASSERT_TRUE(canvas->saved_answer_lines) << where;
            EXPECT_EQ(canvas->saved_answer_lines->length, 4) << where;
            ASSERT_GE(canvas->saved_correct_position, 1) << where;
            ASSERT_LE(canvas->saved_correct_position, 3) << where;
            EXPECT_FALSE(canvas->saved_ghosted->data[canvas->saved_correct_position - 1]) << where;
        }
    }
};

TEST_F(ProgressRecord, WritingWhatWasReadGivesTheSameBytes) {
    const Bytes original = encode(Progress{});
    store(original);
    scramble();
    canvas->loadSavedData();
    EXPECT_EQ(canvas->hints, 2);
    EXPECT_EQ(canvas->skips, 3);
    EXPECT_EQ(canvas->timer_remaining_ms, 5000);
    EXPECT_EQ(canvas->level, 1);
    EXPECT_EQ(HookCanvas::current_category, 16);
    EXPECT_EQ(texts(canvas->saved_question), (std::vector<std::string>{"q", "a", "b", "c", "why"}));
    EXPECT_EQ(canvas->saved_correct_position, 2);
    EXPECT_EQ(canvas->saved_film_id, 17);
    EXPECT_TRUE(canvas->saved_ghosted->data[0]);
    EXPECT_TRUE(HookCanvas::practicedDBs->data[9]->data[0]);

    // The resumed test question is the one saved next.
    canvas->getQuestion(false);
    canvas->saveData();
    EXPECT_EQ(stored(), original);
}

TEST_F(ProgressRecord, TheFirstRunStartsAfresh) {
    scramble();
    canvas->loadSavedData();
    expectFullReset("no store");
    expectUsable("no store");
    EXPECT_TRUE(javax::microedition::rms::RecordStore::listRecordStores()->length == 0)
        << "reading creates no store";
}

TEST_F(ProgressRecord, SavingInPracticeKeepsTheTestsQuestion) {
    writeBank("shuffle_db.dat", numberedRecords(20));
    writeBank("cdb1_0.dat", numberedRecords(3));
    wantTest();
    canvas->resetGame(false);
    ASSERT_TRUE(canvas->getQuestion(true));
    const std::vector<std::string> testQuestion = texts(canvas->question);
    const int testId = HookCanvas::film_id;
    canvas->saveData();

    wantPractice(1, 0);
    canvas->resetGame(false);
    ASSERT_TRUE(canvas->getQuestion(true));
    canvas->saveData();

    // A restart: the fields are read back into a fresh canvas.
    javax::microedition::rms::RecordStore::tidyUp();
    canvas = jnew<QuizCanvas>();
    canvas->record_store_prefix = testsupport::jstr("QUILL");
    canvas->loadSavedData();
    EXPECT_EQ(texts(canvas->saved_question), testQuestion);
    EXPECT_EQ(canvas->saved_film_id, testId);
    EXPECT_TRUE(HookCanvas::current_mode_practice);
}

TEST_F(ProgressRecord, ArrayCodecsKeepTheirEdgeForms) {
    JavaPtr<java::io::ByteArrayOutputStream> bytes = jnew<java::io::ByteArrayOutputStream>();
    JavaPtr<java::io::DataOutputStream> out = jnew<java::io::DataOutputStream>(bytes);
    canvas->writeArray(out, JavaPtr<JArray<int32_t>>());
    JavaPtr<JArray<JavaPtr<JArray<bool>>>> nested = jnewArray<JavaPtr<JArray<bool>>>(2);
    nested->data[1] = jnewArray<bool>(1);
    nested->data[1]->data[0] = true;
    canvas->writeArrayArray(out, nested);
    EXPECT_EQ(toBytes(bytes->toByteArray()), (Bytes{0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 1, 1}));

    JavaPtr<java::io::DataInputStream> in = jnew<java::io::DataInputStream>(
        jnew<java::io::ByteArrayInputStream>(toArray(toBytes(bytes->toByteArray()))));
    EXPECT_FALSE(canvas->readIntArray(in)) << "length 0 reads as null";
    const JavaPtr<JArray<JavaPtr<JArray<bool>>>> back = canvas->readBoolBoolArray(in);
    ASSERT_TRUE(back);
    ASSERT_TRUE(back->data[0]) << "an empty inner array comes back empty, not null";
    EXPECT_EQ(back->data[0]->length, 0);
    EXPECT_TRUE(back->data[1]->data[0]);

    in = jnew<java::io::DataInputStream>(
        jnew<java::io::ByteArrayInputStream>(toArray({0xFF, 0xFF, 0xFF, 0xFF})));
    const JavaPtr<JArray<bool>> negative = canvas->readBooleanArray(in);
    ASSERT_TRUE(negative);
    EXPECT_EQ(negative->length, 0) << "a negative length reads as an empty array";
}

TEST_F(ProgressRecord, FlagsAreSetOnlyByTheByteOne) {
    Progress p;
    p.noTest = 2;
    p.options = {2, 1, 0, 0, 255, 1};
    store(encode(p));
    scramble();
    canvas->loadSavedData();
    EXPECT_FALSE(canvas->no_test_running);
    EXPECT_FALSE(canvas->options->data[0]);
    EXPECT_TRUE(canvas->options->data[1]);
    EXPECT_FALSE(canvas->options->data[4]);
    EXPECT_TRUE(canvas->options->data[5]);
    EXPECT_EQ(canvas->hints, 2) << "the rest of the record is read";
}

TEST_F(ProgressRecord, ARecordWithoutAQuestionEndsAfterItsMarker) {
    Progress p;
    p.block = 0;
    store(encode(p));
    scramble();
    canvas->saved_question = jnewArray<JavaPtr<java::lang::String>>(5);
    canvas->loadSavedData();
    EXPECT_EQ(canvas->hints, 2);
    EXPECT_EQ(canvas->level, 1);
    EXPECT_TRUE(canvas->saved_question) << "no block read, nothing replaced";
}

// Every record cut short, down to the version byte alone and an empty one, gives the full reset: a
// read past the end is a damaged record, inside the question block too.
TEST_F(ProgressRecord, ARecordCutAnywhereGivesTheFullReset) {
    const Bytes whole = encode(Progress{});
    for (size_t length = 0; length < whole.size(); ++length) {
        const std::string where = "cut to " + std::to_string(length) + " bytes";
        store(Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
        scramble();
        canvas->loadSavedData();
        expectFullReset(where);
        expectUsable(where);
    }
}

TEST_F(ProgressRecord, DamagedFieldsAreBroughtIntoRange) {
    struct Case {
        const char* what;
        Progress record;
        bool fullReset;
        bool blockKept;
    };
    auto with = [](auto change) {
        Progress p;
        change(p);
        return p;
    };
    const Case cases[] = {
        {"hints and skips out of range", with([](Progress& p) { p.hints = 99, p.skips = -4; }), false, true},
        {"level above the thresholds", with([](Progress& p) { p.counters[6] = 50; }), false, true},
        {"negative level", with([](Progress& p) { p.counters[6] = -2; }), false, true},
        {"category out of range", with([](Progress& p) { p.category = 40; }), false, true},
        {"negative counters", with([](Progress& p) { p.counters = {-1, -1, -1, -1, -1, -1, 0, -1, -1, -1}; }),
         false, true},
        {"scores of 5", with([](Progress& p) { p.scores = std::vector<int>(5, 3); }), false, true},
        {"scores null", with([](Progress& p) { p.scores.clear(); }), false, true},
        {"scores negative length", with([](Progress& p) { p.scores.clear(), p.scoresLength = -1; }), false,
         true},
        {"completed of 20", with([](Progress& p) { p.completed = std::vector<int>(20, 1); }), false, true},
        {"three categories of five sections", with([](Progress& p) {
             p.practiced = std::vector<std::vector<int>>(3, {1, 1, 1, 1, 1});
         }),
         false, true},
        {"sections without flags", with([](Progress& p) { p.practiced = std::vector<std::vector<int>>(16); }),
         false, true},
        {"no practice map", with([](Progress& p) { p.practiced.clear(); }), false, true},
        {"four question texts", with([](Progress& p) { p.texts.pop_back(); }), false, false},
        {"three answer lines", with([](Progress& p) { p.answers.pop_back(); }), false, false},
        {"correct position 0", with([](Progress& p) { p.position = 0; }), false, false},
        {"correct position 4", with([](Progress& p) { p.position = 4; }), false, false},
        {"the correct answer ghosted", with([](Progress& p) {
             p.ghosted = {0, 1, 0, 0};
         }),
         false, false},
        {"a huge scores length", with([](Progress& p) { p.scoresLength = 0x7FFFFFFF; }), true, false},
        {"a huge practice map", with([](Progress& p) { p.practicedLength = 0x40000000; }), true, false},
        {"a huge text count", with([](Progress& p) { p.textsLength = 0x10000000; }), true, false},
    };
    for (const Case& c : cases) {
        store(encode(c.record));
        scramble();
        HookCanvas::category_scores = nullptr;
        canvas->loadSavedData();
        expectUsable(c.what);
        if (c.fullReset) {
            expectFullReset(c.what);
            continue;
        }
        EXPECT_EQ(canvas->timer_remaining_ms, 5000) << c.what << ": the rest of the record stands";
        EXPECT_EQ(static_cast<bool>(canvas->saved_question), c.blockKept) << c.what;
    }

    // Counts no play reaches are cut back, so that adding to them and the ranking's percentage cannot
    // overflow.
    store(encode(with([](Progress& p) {
        p.counters = std::vector<int>(10, 0x7FFFFFFF);
        p.counters[6] = 0;
        p.scores = std::vector<int>(17, 0x7FFFFFFF);
    })));
    canvas->loadSavedData();
    EXPECT_LE(canvas->level_points, 1000000000);
    EXPECT_LE(HookCanvas::category_scores->data[16], 1000000000);
    EXPECT_EQ(canvas->getRanking(), 1) << "promoted past threshold 0, nothing more";

    // Values kept where they fit.
    store(encode(with([](Progress& p) {
        p.hints = 99;
        p.counters[6] = 50;
        p.scores = std::vector<int>(5, 3);
        p.practiced = std::vector<std::vector<int>>(3, {1, 1, 1, 1, 1});
    })));
    canvas->loadSavedData();
    EXPECT_EQ(canvas->hints, 9);
    EXPECT_EQ(canvas->level, 3);
    EXPECT_EQ(HookCanvas::category_scores->data[0], 0) << "a wrong-sized array is replaced, not copied";
    EXPECT_EQ(HookCanvas::category_questions_asked->data[16], 48);
    EXPECT_TRUE(HookCanvas::practicedDBs->data[2]->data[1]);
    EXPECT_FALSE(HookCanvas::practicedDBs->data[3]->data[0]);
}

}  // namespace
