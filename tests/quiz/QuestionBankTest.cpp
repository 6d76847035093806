#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "runtime/Exception.h"
#include "tests/library/FileFixture.h"
#include "tests/quiz/QuizFixtures.h"
#include "tests/support/Throws.h"

using namespace quiztest;
using testsupport::narrow;

namespace {

using Bytes = std::vector<uint8_t>;

TEST(QuestionBankWriter, WritesTheBankAndTopicsFormats) {
    std::string error;
    const Bytes bank = reswriter::writeQuestionBank({{"Q\xC3\xA9", "a", "", "bc", "x"}}, &error);
    EXPECT_EQ(bank, (Bytes{0, 1, 0, 2, 'Q', 0xE9, 1, 'a', 0, 2, 'b', 'c', 1, 'x'})) << error;

    std::vector<reswriter::TopicCategory> topics(16);
    topics[0] = {"A\xE2\x82\xAC", {"s", ""}};
    const Bytes written = reswriter::writeTopics(topics, &error);
    ASSERT_TRUE(error.empty()) << error;
    const Bytes first = {0, 4, 'A', 0xE2, 0x82, 0xAC, 0, 0, 0, 2, 0, 1, 's', 0, 0};
    ASSERT_GE(written.size(), first.size());
    EXPECT_EQ(Bytes(written.begin(), written.begin() + static_cast<long>(first.size())), first);
    // Fifteen empty categories: an empty name and a count of 0.
    EXPECT_EQ(written.size(), first.size() + 15 * 6);
    EXPECT_EQ(reswriter::practiceBankFileName(12, 3), "cdb12_3.dat");
}

TEST(QuestionBankWriter, RefusesWhatTheFormatsCannotHold) {
    struct Case {
        const char* what;
        std::vector<QuestionRecord> records;
    };
    const Case cases[] = {
        {"an answer of 256 bytes", {{"q", std::string(256, 'a'), "", "", ""}}},
        {"a character outside ISO-8859-1", {{"q\xE2\x82\xAC", "", "", "", ""}}},
        {"malformed UTF-8", {{"q\xC3", "", "", "", ""}}},
        {"a question of 65536 bytes", {{std::string(65536, 'q'), "", "", "", ""}}},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_TRUE(reswriter::writeQuestionBank(c.records, &error).empty()) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
    std::string error;
    EXPECT_TRUE(reswriter::writeTopics(std::vector<reswriter::TopicCategory>(15), &error).empty());
    EXPECT_FALSE(error.empty());
}

class QuestionBank : public QuizFixture {
protected:
    // The texts of the current question in stored order: question, correct, wrong, wrong, explanation.
    std::vector<std::string> storedOrder() {
        std::vector<std::string> texts;
        for (const auto& s : *canvas->question) texts.push_back(narrow(s));
        std::swap(texts[1], texts[static_cast<size_t>(canvas->correct_position)]);
        return texts;
    }
    // n questions of a test; the record index of each.
    std::vector<int> drawTest(int n) {
        std::vector<int> drawn;
        for (int i = 0; i < n; ++i) {
            EXPECT_TRUE(canvas->getQuestion(true));
            drawn.push_back(HookCanvas::film_id);
        }
        return drawn;
    }
};

TEST_F(QuestionBank, TopicsGiveTheNamesAndAFreshPracticeMap) {
    std::vector<reswriter::TopicCategory> topics(16);
    for (int c = 0; c < 16; ++c) topics[c].name = "Category " + std::to_string(c);
    topics[3].subsections = {"One", "Two", "Caf\xC3\xA9"};
    topics[15].subsections = {"Last"};
    std::string error;
    writeBundleFile("topics.dat", reswriter::writeTopics(topics, &error));
    canvas->loadTopics();
    ASSERT_EQ(HookCanvas::categoryStrings->length, 16);
    EXPECT_EQ(narrow(HookCanvas::categoryStrings->data[3]), "Category 3");
    ASSERT_EQ(HookCanvas::subsectionStrings->data[3]->length, 3);
    EXPECT_EQ(narrow(HookCanvas::subsectionStrings->data[3]->data[2]), "Caf\\u00e9");
    EXPECT_EQ(HookCanvas::subsectionStrings->data[0]->length, 0);
    ASSERT_EQ(HookCanvas::practicedDBs->length, 16);
    EXPECT_EQ(HookCanvas::practicedDBs->data[3]->length, 3);
    EXPECT_EQ(HookCanvas::practicedDBs->data[15]->length, 1);
    EXPECT_EQ(HookCanvas::practicedDBs->data[0]->length, 0);
}

TEST_F(QuestionBank, AMissingOrDamagedTopicsFileThrowsAndKeepsTheOldNames) {
    std::vector<reswriter::TopicCategory> topics(16);
    topics[2].subsections = {"a", "b"};
    std::string error;
    const Bytes whole = reswriter::writeTopics(topics, &error);
    Bytes hugeCount = whole;
    hugeCount[2 + 2] = 0x7F;  // category 0's count
    Bytes negativeCount = whole;
    negativeCount[2 + 2] = 0xFF;
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"cut in the last category", Bytes(whole.begin(), whole.end() - 1)},
        {"cut inside a name", Bytes(whole.begin(), whole.begin() + 5)},
        {"a count larger than the file", hugeCount},
        {"a negative count", negativeCount},
    };
    EXPECT_TRUE(testsupport::throws<java::lang::Exception>([&] { canvas->loadTopics(); })) << "missing file";
    for (const auto& [what, bytes] : cases) {
        writeBundleFile("topics.dat", bytes);
        EXPECT_TRUE(testsupport::throws<java::lang::Exception>([&] { canvas->loadTopics(); })) << what;
        EXPECT_FALSE(HookCanvas::categoryStrings) << what;
    }
}

TEST_F(QuestionBank, LengthsAreUnsignedAndTextsAreLatin1) {
    const std::string longQuestion(300, 'Q');
    const std::string longAnswer = std::string(199, 'A') + "\xC3\xBF";  // 200 bytes, the last 0xFF
    writeBank("cdb12_3.dat", {{longQuestion, longAnswer, "w\xC3\xA9", "x", std::string(255, 'E')},
                              {"second", "r", "s", "t", "u"}});
    wantPractice(12, 3);
    ASSERT_TRUE(canvas->getQuestion(true));
    EXPECT_EQ(HookCanvas::current_category, 12);
    EXPECT_EQ(HookCanvas::current_subsection, 3);
    EXPECT_EQ(canvas->question_count, 2);
    const std::vector<std::string> texts = storedOrder();
    EXPECT_EQ(texts[0], longQuestion);
    EXPECT_EQ(texts[1], std::string(199, 'A') + "\\u00ff");
    EXPECT_EQ(texts[2], "w\\u00e9");
    EXPECT_EQ(texts[3], "x");
    EXPECT_EQ(texts[4], std::string(255, 'E'));

    canvas->answered_this_round = 1;
    ASSERT_TRUE(canvas->getQuestion(true));
    EXPECT_EQ(storedOrder(), (std::vector<std::string>{"second", "r", "s", "t", "u"}));
}

TEST_F(QuestionBank, PracticeGoesInFileOrderAndAsksATimedOutQuestionAgain) {
    writeBank("cdb0_1.dat", numberedRecords(3));
    wantPractice(0, 1);
    std::vector<int> asked;
    for (int answered : {0, 1, 1, 2, 3, 7}) {
        canvas->answered_this_round = answered;
        ASSERT_TRUE(canvas->getQuestion(true));
        asked.push_back(HookCanvas::film_id);
        EXPECT_EQ(storedOrder()[0], "q" + std::to_string(HookCanvas::film_id));
    }
    // A time-out leaves answered_this_round as it was; past the end the last record stays.
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 1, 2, 2, 2}));
}

TEST_F(QuestionBank, TheRightTextAlwaysSitsUnderTheCorrectPosition) {
    writeBank("shuffle_db.dat", numberedRecords(600));
    wantTest();
    std::set<int> positions;
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(canvas->getQuestion(true));
        const int position = canvas->correct_position;
        ASSERT_GE(position, 1);
        ASSERT_LE(position, 3);
        positions.insert(position);
        const std::string n = std::to_string(HookCanvas::film_id);
        const JArray<JavaPtr<java::lang::String>>& q = *canvas->question;
        EXPECT_EQ(narrow(q.data[position]), "right" + n);
        // The text stored at the right answer's place moved to slot 1 (nothing moves for position 1).
        std::set<std::string> wrongs = {narrow(q.data[1]), narrow(q.data[2]), narrow(q.data[3])};
        EXPECT_EQ(wrongs, (std::set<std::string>{"right" + n, "wrongA" + n, "wrongB" + n}));
        if (position == 2) {
            EXPECT_EQ(narrow(q.data[1]), "wrongA" + n);
        }
        if (position == 3) {
            EXPECT_EQ(narrow(q.data[1]), "wrongB" + n);
        }
        EXPECT_EQ(narrow(q.data[4]), "why" + n);
    }
    EXPECT_EQ(positions, (std::set<int>{1, 2, 3}));
}

TEST_F(QuestionBank, NoRecordRepeatsWhileItIsAmongTheLastDraws) {
    testsupport::NoHangGuard guard(60);
    // Banks above 435 keep the last 435 out; smaller ones all but one record, so none hangs.
    for (int size : {1, 2, 3, 435, 436, 500}) {
        writeBank("shuffle_db.dat", numberedRecords(size));
        wantTest();
        canvas->database_loaded = false;
        const int kept = std::min(HookCanvas::REPEAT_FILM_ARRAY_LENGTH, size - 1);
        const std::vector<int> drawn = drawTest(size > 3 ? 1000 : 20);
        for (size_t i = 0; i < drawn.size(); ++i) {
            ASSERT_GE(drawn[i], 0) << size;
            ASSERT_LT(drawn[i], size) << size;
            for (size_t back = 1; back <= static_cast<size_t>(kept) && back <= i; ++back)
                ASSERT_NE(drawn[i], drawn[i - back]) << "bank of " << size << ", draw " << i;
        }
        if (size == 500) {
            EXPECT_GT(std::set<int>(drawn.begin(), drawn.end()).size(), 450u);
        }
    }
}

TEST_F(QuestionBank, RecordIndexesAboveTheShortRangeAreStillKeptOut) {
    // The ring holds shorts: an index of 40000 is stored negative and must still match.
    writeBank("shuffle_db.dat", numberedRecords(2));
    wantTest();
    ASSERT_TRUE(canvas->getQuestion(true));
    canvas->repeat_ring_b->data[canvas->repeat_ring_pos] = static_cast<int16_t>(40000);
    EXPECT_TRUE(canvas->inRecentDraws(40000, 1));
    EXPECT_FALSE(canvas->inRecentDraws(39999, 1));
}

TEST_F(QuestionBank, ABankThatCannotBeUsedSendsThePlayerBack) {
    const Bytes whole = reswriter::writeQuestionBank(numberedRecords(3), nullptr);
    const std::vector<std::pair<const char*, Bytes>> banks = {
        {"no records", reswriter::writeQuestionBank({}, nullptr)},
        {"one byte", Bytes{0}},
        {"cut in the last record", Bytes(whole.begin(), whole.end() - 1)},
        {"a count beyond the records", Bytes{0, 9, 0, 0, 0, 0, 0, 0}},
        {"an empty file", Bytes{}},
    };
    for (bool practice : {false, true}) {
        for (const auto& [what, bytes] : banks) {
            const std::string where = std::string(practice ? "practice, " : "test, ") + what;
            if (practice) {
                writeBundleFile("cdb2_0.dat", bytes);
                wantPractice(2, 0);
            } else {
                writeBundleFile("shuffle_db.dat", bytes);
                wantTest();
            }
            canvas->fades.clear();
            testing::internal::CaptureStderr();
            EXPECT_FALSE(canvas->getQuestion(true)) << where;
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_NE(said.find(practice ? "cdb2_0.dat" : "shuffle_db.dat"), std::string::npos)
                << where << said;
            EXPECT_EQ(canvas->fades, std::vector<int32_t>{practice ? HookCanvas::GAMESTATE_CHOOSE_SUBSECTION
                                                                   : HookCanvas::GAMESTATE_MAIN_MENU})
                << where;
            EXPECT_FALSE(canvas->database_loaded) << where;
        }
    }
    // A missing bank is reported the same way, and a good one is loaded at the next question.
    std::filesystem::remove(bundle() / "cdb2_0.dat");
    wantPractice(2, 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(canvas->getQuestion(true));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cdb2_0.dat"), std::string::npos);
    writeBank("cdb2_0.dat", numberedRecords(2));
    EXPECT_TRUE(canvas->getQuestion(true));
    EXPECT_EQ(storedOrder()[0], "q0");
}

TEST_F(QuestionBank, TheTestBankReadAheadIsUsedWhenPresent) {
    writeBank("shuffle_db.dat", numberedRecords(1));
    const Bytes other = reswriter::writeQuestionBank({{"ahead", "r", "s", "t", "u"}}, nullptr);
    HookCanvas::shuffle_db_preloaded = jnewArray<signed char>(static_cast<int>(other.size()));
    std::memcpy(HookCanvas::shuffle_db_preloaded->data, other.data(), other.size());
    wantTest();
    ASSERT_TRUE(canvas->getQuestion(true));
    EXPECT_EQ(storedOrder()[0], "ahead");
}

TEST_F(QuestionBank, LoadingABankResetsItsScoresAndTheRing) {
    writeBank("shuffle_db.dat", numberedRecords(10));
    writeBank("cdb4_1.dat", numberedRecords(4));
    HookCanvas::category_scores->data[16] = 7;
    HookCanvas::category_scores->data[4] = 5;
    wantTest();
    ASSERT_TRUE(canvas->getQuestion(true));
    EXPECT_EQ(HookCanvas::category_scores->data[16], 0);
    EXPECT_EQ(HookCanvas::category_questions_asked->data[16], 48);
    EXPECT_EQ(HookCanvas::category_scores->data[4], 5);
    EXPECT_EQ(HookCanvas::current_category, 16);

    // Another question from the same bank neither reloads nor resets.
    HookCanvas::category_scores->data[16] = 3;
    ASSERT_TRUE(canvas->getQuestion(true));
    EXPECT_EQ(HookCanvas::category_scores->data[16], 3);

    wantPractice(4, 1);
    ASSERT_TRUE(canvas->getQuestion(true));
    EXPECT_EQ(HookCanvas::category_scores->data[4], 0);
    EXPECT_TRUE(HookCanvas::current_mode_practice);
    EXPECT_EQ(std::count(canvas->repeat_ring_b->begin(), canvas->repeat_ring_b->end(), -1),
              HookCanvas::REPEAT_FILM_ARRAY_LENGTH - 1)
        << "the ring was emptied by the load and holds the one practice record";
}

TEST_F(QuestionBank, ANewQuestionKeepsTheOutgoingOneAndWrapsItsTexts) {
    writeBank("shuffle_db.dat", numberedRecords(50));
    wantTest();
    ASSERT_TRUE(canvas->getQuestion(true));
    const JavaPtr<StringArray> first = canvas->question;
    const int firstId = HookCanvas::film_id;
    canvas->timer_remaining_ms = 5;
    canvas->hint_used = true;
    canvas->widths.clear();
    ASSERT_TRUE(canvas->getQuestion(true));
    EXPECT_EQ(canvas->previous_question, first);
    EXPECT_EQ(canvas->previous_film_id, firstId);
    EXPECT_EQ(canvas->timer_remaining_ms, HookCanvas::QUESTION_TIMER_MAX_MS);
    EXPECT_FALSE(canvas->hint_used);
    EXPECT_EQ(canvas->chosen_answer, -1);
    // The question box width less its borders, then the answer width for the four other texts.
    EXPECT_EQ(canvas->widths, (std::vector<int32_t>{239 - 2 * 11, 208, 208, 208, 208}));
    ASSERT_EQ(canvas->answer_lines->length, 4);
    EXPECT_EQ(narrow(canvas->answer_lines->data[3]->data[0]), narrow(canvas->question->data[4]));
    // In a test the question is also the kept one, the same arrays.
    EXPECT_EQ(canvas->saved_question, canvas->question);
    EXPECT_EQ(canvas->saved_ghosted, canvas->ghosted);
}

TEST_F(QuestionBank, AResumedQuestionKeepsItsGhostedAnswersAndItsTime) {
    writeBank("shuffle_db.dat", numberedRecords(50));
    wantTest();
    ASSERT_TRUE(canvas->getQuestion(true));
    const JavaPtr<StringArray> kept = canvas->question;
    const int keptId = HookCanvas::film_id;
    const int wrong = canvas->correct_position == 1 ? 1 : 0;
    canvas->ghosted->data[wrong] = true;
    canvas->saved_film_id = keptId;
    canvas->timer_remaining_ms = 4321;

    // Something else is shown meanwhile (a practice question, say), then Continue Test.
    canvas->question = nullptr;
    HookCanvas::film_id = 3;
    ASSERT_TRUE(canvas->getQuestion(false));
    EXPECT_EQ(canvas->question, kept);
    EXPECT_EQ(HookCanvas::film_id, keptId);
    EXPECT_EQ(canvas->timer_remaining_ms, 4321);
    EXPECT_TRUE(canvas->ghosted->data[wrong]);
    EXPECT_TRUE(canvas->hint_used) << "a resumed question with a ghosted answer counts as hinted";
}

}  // namespace
