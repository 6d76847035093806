// The wording rules over small contents: each fault is reported at the item that has it, the fair
// forms that resemble a fault pass, the builder refuses content that breaks them, and the
// repository's own content keeps them.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/TemporaryDirectory.h"
#include "tests/tools/BuiltBundles.h"
#include "tools/resbuild/BundleBuilder.h"
#include "tools/resbuild/ContentReader.h"
#include "tools/resbuild/ContentRules.h"

namespace toolstest {
namespace {

using resbuild::ContentRules;
using resbuild::Question;
using resbuild::QuizContent;

// Sixteen categories of one plain, well-worded question each, all different.
QuizContent sixteenGoodCategories() {
    QuizContent content;
    for (int c = 0; c < 16; ++c) {
        std::string n = std::to_string(c);
        Question q{"Where is " + std::to_string(c + 1) + " on the number line?",
                   "after " + n,
                   "before " + n,
                   "near " + n,
                   "Counting.",
                   "c" + n + ".txt:1"};
        content.categories.push_back({"Category " + n, {{"Part", {q}}}});
    }
    return content;
}

Question& only(QuizContent& content, int category) {
    return content.categories[category].subsections[0].questions[0];
}

TEST(ContentRules, EachWordingFaultIsReportedAtItsItem) {
    ASSERT_TRUE(ContentRules::checkWording(sixteenGoodCategories()).empty());
    struct Case {
        const char* label;
        std::function<void(QuizContent&)> damage;
        std::string origin;
        std::string message;
    };
    const Case cases[] = {
        {"a bracketed hint after the sentence",
         [](QuizContent& c) { only(c, 3).text = "Complete: \"I ___ home yesterday.\" (go)"; }, "c3.txt:1",
         "does not end with \"?\", \".\" or \"!\""},
        {"no mark at all", [](QuizContent& c) { only(c, 0).text = "Choose the plural of \"mouse\""; },
         "c0.txt:1", "does not end with"},
        {"a question whose only mark belongs to the quoted answer",
         [](QuizContent& c) { only(c, 13).text = "Which question word asks for this answer: \"By bus.\""; },
         "c13.txt:1", "no \"?\" of its own"},
        {"a wrong answer equal to the right one but for case",
         [](QuizContent& c) {
             only(c, 2).right = "their";
             only(c, 2).wrongSecond = "Their";
         },
         "c2.txt:1", "a wrong answer equals the right one up to case and spaces"},
        {"a wrong answer equal to the right one but for spaces",
         [](QuizContent& c) { only(c, 8).wrongFirst = " after  8"; }, "c8.txt:1",
         "a wrong answer equals the right one up to case and spaces"},
        {"two wrong answers equal but for case", [](QuizContent& c) { only(c, 5).wrongSecond = "BEFORE 5"; },
         "c5.txt:1", "the two wrong answers are equal up to case and spaces"},
        {"a gapped stem asked again in a later category with another answer",
         [](QuizContent& c) {
             only(c, 2).text = only(c, 15).text = "Complete: \"___ raining again.\"";
             only(c, 15).text = "complete:  \"___ raining again.\"";
         },
         "c15.txt:1", "the question is also asked in \"Category 2\""},
        {"a plain stem with the same right answer in two categories",
         [](QuizContent& c) {
             only(c, 4).text = only(c, 9).text = "Which sentence is correct?";
             only(c, 9).right = "AFTER 4";
         },
         "c9.txt:1", "the question is also asked in \"Category 4\""},
        {"the same three answers in two categories",
         [](QuizContent& c) {
             only(c, 7) = {
                 "Complete: \"The dog wagged ___ tail.\"", "its", "it's", "its'", "Possession.", "c7.txt:1"};
             only(c, 14) = {"What is the short form of \"it is\"?",
                            "it's",
                            "its'",
                            "Its",
                            "Missing letters.",
                            "c14.txt:1"};
         },
         "c14.txt:1", "the same three answers are offered in \"Category 7\""},
        {"a right answer the stem shows word for word",
         [](QuizContent& c) {
             only(c, 13) = {"\"The dog bit the postman.\" Which question asks what bit the postman?",
                            "What bit the postman?",
                            "What bites the postman?",
                            "What did the postman bite?",
                            "Subject questions.",
                            "c13.txt:1"};
         },
         "c13.txt:1", "the right answer stands in the question word for word"},
        {"a possessive that disagrees with the plural subject",
         [](QuizContent& c) {
             only(c, 7) = {
                 "Complete: \"They are proud ___ her son.\"", "of", "for", "with", "Adjectives.", "c7.txt:1"};
         },
         "c7.txt:1", "a pronoun disagrees with the one it refers back to: \"her\" after \"they\""},
        {"a reflexive unlike the subject",
         [](QuizContent& c) {
             only(c, 2) = {"Complete: \"She taught ___ to swim.\"",
                           "himself",
                           "hisself",
                           "heself",
                           "Reflexives.",
                           "c2.txt:1"};
         },
         "c2.txt:1", "\"himself\" after \"she\""},
    };
    for (const Case& c : cases) {
        QuizContent content = sixteenGoodCategories();
        c.damage(content);
        std::vector<std::string> faults = ContentRules::checkWording(content);
        ASSERT_EQ(faults.size(), 1u) << c.label << ": " << (faults.empty() ? "" : faults.front());
        EXPECT_EQ(faults.front().rfind(c.origin + ": ", 0), 0u) << c.label << ": " << faults.front();
        EXPECT_NE(faults.front().find(c.message), std::string::npos) << c.label << ": " << faults.front();
    }
}

TEST(ContentRules, FairFormsThatResembleAFaultPass) {
    QuizContent content = sixteenGoodCategories();
    auto add = [&](int category, Question q) {
        content.categories[category].subsections[0].questions.push_back(q);
    };
    // Answers told apart only by capitals, where capitals are what the item asks about.
    add(14, {"Which sentence is punctuated correctly?", "We met in May.", "We met in may.", "we met in May.",
             "Months take a capital letter.", "f.txt:1"});
    // A quoted exclamation, a closing quotation after the full stop, and a question that carries its own
    // mark before the quotation.
    add(1, {"Complete: \"What ___ lovely day!\"", "a", "an", "the", "Exclamations.", "f.txt:2"});
    add(1, {"Complete: \"She ___ tea every day.\"", "drinks", "drink", "drinking", "Agreement.", "f.txt:3"});
    add(14,
        {"Which word needs a capital letter? \"We met in may.\"", "may", "met", "we", "Months.", "f.txt:4"});
    // A plain instruction recurs across categories with other answers; a gapped stem and a set of answers
    // may recur within one category.
    add(4,
        {"Which sentence is correct?", "She walks.", "She walk.", "She walking.", "Agreement.", "f.txt:5"});
    add(9, {"Which sentence is correct?", "She can swim.", "She cans swim.", "She can to swim.", "Modals.",
            "f.txt:6"});
    add(15, {"Complete: \"I ___ the bus.\"", "missed", "lost", "passed", "Verbs.", "f.txt:7"});
    add(15, {"Complete: \"I ___ the bus.\"", "caught", "catched", "catch", "Verbs.", "f.txt:8"});
    add(15, {"Complete: \"Look at ___ tail.\"", "its", "it's", "its'", "Possession.", "f.txt:9"});
    add(15, {"Complete: \"___ late.\"", "It's", "Its", "Its'", "Short forms.", "f.txt:10"});
    // A one-word answer the stem names as the word to work on; a stem that shows a wrong answer as well;
    // the subject question asked without the words of its answer.
    add(0, {"What is the plural of \"sheep\"?", "sheep", "sheeps", "sheepen", "Unchanged.", "f.txt:11"});
    add(14, {"Which words are the subject of \"The old dog barked.\"?", "The old dog", "old dog barked",
             "dog barked", "Subjects.", "f.txt:12"});
    add(13,
        {"\"The dog bit the postman.\" Which question has the answer \"the dog\"?", "What bit the postman?",
         "What bites the postman?", "What did the postman bite?", "Subject questions.", "f.txt:13"});
    // Pronouns that agree, an object "her" after a plural subject, and a singular pronoun between.
    add(7, {"Complete: \"They are proud ___ their son.\"", "of", "for", "with", "Adjectives.", "f.txt:14"});
    add(2, {"Complete: \"They asked ___ whether she could drive.\"", "her", "she", "herself", "Objects.",
            "f.txt:15"});
    add(12, {"Complete: \"He showed ___ his medal.\"", "us", "we", "ourselves", "Objects.", "f.txt:16"});
    std::vector<std::string> faults = ContentRules::checkWording(content);
    EXPECT_TRUE(faults.empty()) << faults.front();
}

// The builder stops at a wording fault before it writes anything, naming the source line.
TEST(ContentRules, TheBuilderRefusesAStemWithoutItsMark) {
    testsupport::TemporaryDirectory dir;
    std::filesystem::create_directories(dir.path() / "questions");
    for (int c = 0; c < 16; ++c) {
        std::ofstream out(dir.path() / "questions" /
                          ("c" + std::to_string(c / 10) + std::to_string(c % 10) + ".txt"));
        std::string stem =
            c == 6 ? "Complete: \"I ___ home.\" (go)" : "Which is number " + std::to_string(c) + "?";
        out << "category Category " << c << "\nsubsection Part\nquestion\nQ " << stem << "\nA right " << c
            << "\nW wrong " << c << "\nW other " << c << "\nE Because.\nend\n";
    }
    resbuild::BundleOptions options;
    options.contentDir = dir.path();
    try {
        resbuild::BundleBuilder::build(options);
        ADD_FAILURE() << "the builder accepted a stem that ends with a hint";
    } catch (const resbuild::ContentError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("c06.txt:3: the question does not end with", 0), 0u)
            << error.what();
    }
}

TEST(ContentRules, TheRepositoryContentKeepsTheWordingRules) {
    QuizContent content = resbuild::ContentReader::readDirectory(contentDir() / "questions");
    for (const std::string& fault : ContentRules::checkWording(content)) ADD_FAILURE() << fault;
    EXPECT_GE(content.questionCount(), 1000u);
}

}  // namespace
}  // namespace toolstest
