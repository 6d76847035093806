// Word wrap against a font whose letters measure 10, the space 4 and the hyphen 3.
#include <gtest/gtest.h>

#include "tests/engine/TextFixtures.h"
#include "tools/EncStringWriter.h"

namespace {

using namespace texttest;
using restools::EncGuideline;
using restools::EncStringWriter;

using WordWrap = TextStaticsTest;

TEST_F(WordWrap, BreaksAsTheCasesSay) {
    struct Case {
        const char* name;
        std::u16string text;
        std::vector<EncGuideline> guidelines;
        int width;
        std::vector<std::string> lines;
    };
    const std::u16string as300(300, u'a');
    const Case cases[] = {
        {"fits: one line, hard spaces turned", u"a\u00a0b\u00acc", {}, 100, {"a b c"}},
        {"space before the break dropped", u"aaa bbb", {}, 34, {"aaa", "bbb"}},
        {"of two spaces only the last dropped", u"aaa  bbb", {}, 38, {"aaa ", "bbb"}},
        {"over-wide first word stays whole", u"aaaaaa bb", {}, 30, {"aaaaaa", "bb"}},
        {"leading space gives an empty line", u" longword", {}, 40, {"", "longword"}},
        {"line feed breaks a text that fits", u"one\ntwo", {}, 1000, {"one", "two"}},
        {"two line feeds give an empty line", u"a\n\nb", {}, 1000, {"a", "", "b"}},
        {"a final line feed gives a last empty line", u"ab\n", {}, 1000, {"ab", ""}},
        {"spaces kept before a line feed", u"ab \ncd", {}, 1000, {"ab ", "cd"}},
        {"type-0 guideline ends the line with a hyphen", u"abcdefg", {{3, 0}}, 40, {"abc-", "defg"}},
        // 'ab cde' and the hyphen need 57: with the hyphen counted the break falls at the space.
        {"hyphen counted in the fit", u"ab cdefg", {{6, 0}}, 55, {"ab", "cdefg"}},
        {"other types break without a hyphen", u"ab cdefg", {{6, 1}}, 55, {"ab cde", "fg"}},
        {"U+00A0 holds words together", u"xx aa\u00a0bb", {}, 50, {"xx", "aa bb"}},
        {"plain space for comparison", u"xx aa bb", {}, 50, {"xx aa", "bb"}},
        {"3-byte records from 256 characters",
         as300,
         {{290, 1}},
         2900,
         {std::string(290, 'a'), std::string(10, 'a')}},
        {"no characters", u"", {}, 10, {""}},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto enc =
            EncStringWriter::write(c.text, c.guidelines, EncStringWriter::Width::Sixteen, &error);
        ASSERT_FALSE(enc.empty()) << c.name << ": " << error;
        EXPECT_EQ(narrowLines(canvas->splitENCString(bytes(enc), 0, c.width)), c.lines) << c.name;
        if (c.guidelines.empty()) {
            EXPECT_EQ(narrowLines(canvas->splitString(units(c.text), 0, c.width)), c.lines) << c.name;
        }
    }
}

TEST_F(WordWrap, EightBitStringsWrapLikeSixteenBitOnes) {
    std::string error;
    const auto enc =
        EncStringWriter::write(u"caf\u00e9 cr\u00e8me", {}, EncStringWriter::Width::Eight, &error);
    ASSERT_FALSE(enc.empty()) << error;
    EXPECT_EQ(narrowLines(canvas->splitENCString(bytes(enc), 0, 50)),
              (std::vector<std::string>{"caf\\u00e9", "cr\\u00e8me"}));
}

TEST_F(WordWrap, NullGivesNull) {
    EXPECT_FALSE(canvas->splitENCString(nullptr, 0, 100));
}

}  // namespace
