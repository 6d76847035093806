// The resource builder: the question sources' reader, the content rules, the content itself, the
// cues, the art catalogue against the canvas's ids, and repeatable output.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/HookCanvas.h"
#include "platform/codecs/SoundDecoder.h"
#include "tests/tools/BuiltBundles.h"
#include "tools/resbuild/ArtCatalogue.h"
#include "tools/resbuild/ContentReader.h"
#include "tools/resbuild/ContentRules.h"
#include "tools/resbuild/CueSynthesizer.h"

namespace toolstest {
namespace {

using resbuild::Category;
using resbuild::ContentError;
using resbuild::ContentReader;
using resbuild::ContentRules;
using resbuild::Question;
using resbuild::QuizContent;

const char* const kSource = R"(# a comment
category Tiny Things
table words
cat|cats|cates
mouse|mice|mouses
end
table people
he
she
end
subsection Plurals
question
Q Which word is a noun?
A table
W quickly
W blue
E A noun names a thing.
end
template words
Q Plural of "{1}"?
A {2}
W {3}
W {1}s{1}
E "{1^}" becomes "{2}".
end
subsection Pairs
template words people
Q {people.1^} sees two ___ ({1})
A {2}
W {3}
W {1}
E {people.1} said "{2}".
end
)";

TEST(ResourceBuilder, ReaderExpandsItemsAndTemplates) {
    Category category = ContentReader::readCategory(kSource, "tiny.txt");
    EXPECT_EQ(category.name, "Tiny Things");
    ASSERT_EQ(category.subsections.size(), 2u);
    const auto& plurals = category.subsections[0].questions;
    ASSERT_EQ(plurals.size(), 3u);
    EXPECT_EQ(plurals[0].text, "Which word is a noun?");
    EXPECT_EQ(plurals[0].origin, "tiny.txt:12");
    EXPECT_EQ(plurals[2].text, "Plural of \"mouse\"?");
    EXPECT_EQ(plurals[2].right, "mice");
    EXPECT_EQ(plurals[2].wrongSecond, "mousesmouse");
    EXPECT_EQ(plurals[2].explanation, "\"Mouse\" becomes \"mice\".");
    // The second template over "people" pairs its rows shifted by one: row 0 meets "she".
    const auto& pairs = category.subsections[1].questions;
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].text, "She sees two ___ (cat)");
    EXPECT_EQ(pairs[1].text, "He sees two ___ (mouse)");
    EXPECT_EQ(pairs[1].explanation, "he said \"mice\".");
}

TEST(ResourceBuilder, ReaderTurnsUtf8IntoLatin1AndRefusesTheRest) {
    std::string source =
        "category Caf\xC3\xA9\nsubsection S\nquestion\nQ na\xC3\xAFve?\nA a\nW b\nW c\nE d\nend\n";
    Category category = ContentReader::readCategory(source, "latin.txt");
    EXPECT_EQ(category.name, "Caf\xE9");
    EXPECT_EQ(category.subsections[0].questions[0].text, "na\xEFve?");
    std::string euro = "category C\nsubsection S\nquestion\nQ 5 \xE2\x82\xAC?\nA a\nW b\nW c\nE d\nend\n";
    EXPECT_THROW(ContentReader::readCategory(euro, "euro.txt"), ContentError);
}

TEST(ResourceBuilder, ReaderNamesTheLineOfEachMalformedSource) {
    struct Case {
        const char* label;
        std::string source;
        std::string where;
    };
    const std::string head = "category C\nsubsection S\n";
    const Case cases[] = {
        {"no category", "subsection S\n", "x.txt:1:"},
        {"second category", "category A\ncategory B\n", "x.txt:2:"},
        {"item before a subsection", "category C\nquestion\n", "x.txt:2:"},
        {"unknown keyword", head + "quiz\n", "x.txt:3:"},
        {"item without end", head + "question\nQ a\nA b\n", "x.txt:5:"},
        {"one wrong answer", head + "question\nQ a\nA b\nW c\nE d\nend\n", "x.txt:8:"},
        {"ragged table", "category C\ntable t\na|b\nc\nend\n", "x.txt:4:"},
        {"unknown table", head + "template none\n", "x.txt:3:"},
        {"field out of range",
         "category C\ntable t\na|b\nend\nsubsection S\ntemplate t\nQ {3}\nA a\nW b\nW c\nE d\nend\n",
         "x.txt:6:"},
        {"unclosed placeholder",
         "category C\ntable t\na\nend\nsubsection S\ntemplate t\nQ {1\nA a\nW b\nW c\nE d\nend\n",
         "x.txt:6:"},
    };
    for (const Case& c : cases) {
        try {
            ContentReader::readCategory(c.source, "x.txt");
            ADD_FAILURE() << c.label << ": accepted";
        } catch (const ContentError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.where, 0), 0u) << c.label << ": " << error.what();
        }
    }
}

QuizContent sixteenCategories(const Question& sample) {
    QuizContent content;
    for (int c = 0; c < 16; ++c) {
        Question q = sample;
        q.text += " " + std::to_string(c);
        content.categories.push_back({"Category " + std::to_string(c), {{"Part", {q}}}});
    }
    return content;
}

TEST(ResourceBuilder, RulesCatchEachFault) {
    const Question good{"Pick one?", "right", "wrong", "other", "Because.", "f.txt:1"};
    EXPECT_TRUE(ContentRules::check(sixteenCategories(good)).empty());
    struct Case {
        const char* label;
        void (*damage)(QuizContent&);
        const char* message;
    };
    const Case cases[] = {
        {"a wrong answer equals the right one",
         [](QuizContent& c) { c.categories[3].subsections[0].questions[0].wrongSecond = "right"; },
         "equals the right one"},
        {"two equal wrong answers",
         [](QuizContent& c) { c.categories[3].subsections[0].questions[0].wrongSecond = "wrong"; },
         "two wrong answers are equal"},
        {"a field over 255 bytes",
         [](QuizContent& c) {
             c.categories[0].subsections[0].questions[0].explanation = std::string(256, 'x');
         },
         "over 210"},
        {"an answer too long for its button",
         [](QuizContent& c) { c.categories[0].subsections[0].questions[0].right = std::string(45, 'x'); },
         "over 44"},
        {"an empty explanation",
         [](QuizContent& c) { c.categories[0].subsections[0].questions[0].explanation.clear(); },
         "explanation is empty"},
        {"a control character",
         [](QuizContent& c) { c.categories[0].subsections[0].questions[0].text += "\t"; },
         "control character"},
        {"a repeated question",
         [](QuizContent& c) {
             c.categories[5].subsections[0].questions.push_back(c.categories[5].subsections[0].questions[0]);
         },
         "asked twice"},
        {"fifteen categories", [](QuizContent& c) { c.categories.pop_back(); }, "15 categories"},
        {"an empty subsection", [](QuizContent& c) { c.categories[2].subsections[0].questions.clear(); },
         "has no question"},
    };
    for (const Case& c : cases) {
        QuizContent content = sixteenCategories(good);
        c.damage(content);
        std::vector<std::string> faults = ContentRules::check(content);
        ASSERT_FALSE(faults.empty()) << c.label;
        EXPECT_NE(faults.front().find(c.message), std::string::npos) << c.label << ": " << faults.front();
    }
    // The same stem with another right answer is another question; only capitals may tell answers apart.
    QuizContent content = sixteenCategories(good);
    Question capitals{"Pick one? 0",    "We met in May.", "We met in may.",
                      "we met in May.", "Months.",        "f.txt:2"};
    content.categories[0].subsections[0].questions.push_back(capitals);
    EXPECT_TRUE(ContentRules::check(content).empty());
}

TEST(ResourceBuilder, LayoutRuleCountsWrappedLines) {
    const Question q{"Short?", "one two three four five six", "a", "b", "c", "f.txt:9"};
    QuizContent content = sixteenCategories(q);
    // A wrapper that puts one word on each line: the six-word answer needs six lines.
    auto wordPerLine = [](const std::string& text, int) {
        std::vector<std::string> lines;
        size_t start = 0;
        while (start <= text.size()) {
            size_t space = text.find(' ', start);
            lines.push_back(text.substr(start, space - start));
            if (space == std::string::npos) break;
            start = space + 1;
        }
        return lines;
    };
    std::vector<std::string> faults = ContentRules::checkLayout(content, wordPerLine);
    ASSERT_EQ(faults.size(), 16u);
    EXPECT_NE(faults[0].find("right answer takes 6 lines, over 2"), std::string::npos) << faults[0];
}

TEST(ResourceBuilder, TheContentHoldsOverAThousandDistinctQuestions) {
    QuizContent content = ContentReader::readDirectory(contentDir() / "questions");
    EXPECT_TRUE(ContentRules::check(content).empty());
    EXPECT_GE(content.questionCount(), 1000u);
    ASSERT_EQ(content.categories.size(), 16u);
    std::set<std::string> seen;
    for (const Category& category : content.categories) {
        size_t count = 0;
        for (const auto& subsection : category.subsections) {
            for (const Question& q : subsection.questions) {
                ++count;
                EXPECT_TRUE(seen.insert(q.text + "|" + q.right).second) << q.origin << " repeats " << q.text;
            }
        }
        EXPECT_GE(count, 50u) << category.name;
    }
}

TEST(ResourceBuilder, CuesAreShortDistinctWavFiles) {
    std::set<std::vector<uint8_t>> distinct;
    for (int i = 0; i < resbuild::CueSynthesizer::kCueCount; ++i) {
        std::vector<uint8_t> wav = resbuild::CueSynthesizer::wavFile(i);
        ASSERT_GT(wav.size(), 44u) << "cue " << i;
        EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF") << "cue " << i;
        std::optional<platform::DecodedSound> sound = platform::decodeSound(wav);
        ASSERT_TRUE(sound) << "cue " << i;
        EXPECT_EQ(sound->format.channels, 1);
        EXPECT_GT(sound->frames(), 0u);
        EXPECT_LT(sound->frames(), static_cast<size_t>(sound->format.sampleRate)) << "cue " << i;
        EXPECT_EQ(sound->samples, resbuild::CueSynthesizer::synthesize(i).samples) << "cue " << i;
        distinct.insert(wav);
    }
    EXPECT_EQ(distinct.size(), static_cast<size_t>(resbuild::CueSynthesizer::kCueCount));
}

TEST(ResourceBuilder, PicturesUseTheCanvasIdsAndDoubleAtHighResolution) {
    const auto& pictures = resbuild::ArtCatalogue::pictures();
    EXPECT_EQ(pictures.size(), 135u);
    std::set<int> ids;
    for (const auto& spec : pictures) {
        EXPECT_TRUE(ids.insert(spec.lowId).second && ids.insert(spec.highId).second) << spec.name;
        EXPECT_GT(spec.highId, HookCanvas::RESID_MAIN_FONT_HIGH_IMAGE_PALETTE) << spec.name;
        EXPECT_LT(spec.lowId, HookCanvas::RESID_MAIN_FONT_HIGH) << spec.name;
    }
    struct Named {
        int low, high;
        const char* name;
    };
    const Named named[] = {
        {HookCanvas::RESID_TWINKLE0_WHITE_LOW, HookCanvas::RESID_TWINKLE0_WHITE_HIGH, "TWINKLE0_WHITE"},
        {HookCanvas::RESID_ANSWER_BUTTON_CLICK_LOW, HookCanvas::RESID_ANSWER_BUTTON_CLICK_HIGH,
         "ANSWER_BUTTON_CLICK"},
        {HookCanvas::RESID_GAME_BG_4_LOW, HookCanvas::RESID_GAME_BG_4_HIGH, "GAME_BG_4"},
        {HookCanvas::RESID_RANKING_29_LOW, HookCanvas::RESID_RANKING_29_HIGH, "RANKING_29"},
        {HookCanvas::RESID_CHOOSER_BG_2_LOW, HookCanvas::RESID_CHOOSER_BG_2_HIGH, "CHOOSER_BG_2"},
    };
    for (const Named& n : named) {
        bool found = false;
        for (const auto& spec : pictures) {
            if (spec.lowId != n.low) continue;
            found = true;
            EXPECT_EQ(spec.highId, n.high) << n.name;
            EXPECT_STREQ(spec.name, n.name);
        }
        EXPECT_TRUE(found) << n.name;
    }
    // Layout: three answer buttons and their two gaps fit above the bottom bar; the menu buttons'
    // pressed images are 59 x 61.
    for (const auto& spec : pictures) {
        std::string name = spec.name;
        if (name.rfind("ANSWER_BUTTON_", 0) == 0) {
            EXPECT_GE(spec.width, 208) << name;
            EXPECT_LE(spec.width, 229) << name;
            EXPECT_LE(132 + 3 * spec.height + 48, 395) << name;
        }
        if (name.rfind("BUTTON_", 0) == 0 || name == "WEB_BASE_BACK_ICON_CLICK") {
            EXPECT_EQ(spec.width, 59) << name;
            EXPECT_EQ(spec.height, 61) << name;
        }
        resbuild::ArtCanvas high = resbuild::ArtCatalogue::draw(spec, 2, true);
        EXPECT_EQ(high.width(), 2 * spec.width) << name;
        EXPECT_EQ(high.height(), 2 * spec.height) << name;
    }
}

TEST(ResourceBuilder, TwoRunsGiveIdenticalBytes) {
    const resbuild::BundleFiles& first = testBundle();
    resbuild::BundleFiles second = buildBundle(resbuild::BundleProfile::Test);
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, bytes] : first) {
        auto other = second.find(name);
        ASSERT_NE(other, second.end()) << name;
        EXPECT_TRUE(bytes == other->second) << name << " differs between runs";
    }
}

}  // namespace
}  // namespace toolstest
