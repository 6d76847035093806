// Marker replacement in plain and ENC strings, with the guidelines of both texts kept in step.
#include <gtest/gtest.h>

#include <random>

#include "tests/engine/TextFixtures.h"
#include "tools/EncStringWriter.h"

namespace {

using namespace texttest;
using restools::EncGuideline;
using restools::EncStringWriter;
using testsupport::jstr;
using testsupport::narrow;

using StringInsertion = TextStaticsTest;

JavaPtr<JArray<signed char>> enc(const std::u16string& text, const std::vector<EncGuideline>& guidelines,
                                 EncStringWriter::Width width) {
    std::string error;
    auto out = EncStringWriter::write(text, guidelines, width, &error);
    EXPECT_FALSE(out.empty()) << error;
    return bytes(out);
}

TEST_F(StringInsertion, StringFormReplacesTheFirstMarker) {
    struct Case {
        const char* text;
        const char* marker;
        const char* insert;
        const char* expected;
    };
    const Case cases[] = {
        {"Hello %s!", "%s", "Ann", "Hello Ann!"},
        {"Hi %s", "%s", "Ann", "Hi Ann"},
        {"%s first", "%s", "A", "A first"},
        {"%s and %s", "%s", "X", "X and %s"},
        {"%s", "%s", "", ""},
        {"abc", "", "-", "-abc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(narrow(HookCanvas::insertStringIntoString(jstr(c.text), jstr(c.marker), jstr(c.insert))),
                  c.expected)
            << c.text;
        EXPECT_EQ(narrow(HookCanvas::insertString(jstr(c.text), jstr(c.marker), jstr(c.insert))), c.expected)
            << c.text;
    }
    const auto unchanged = jstr("no marker");
    EXPECT_EQ(HookCanvas::insertStringIntoString(unchanged, jstr("%s"), jstr("x")).get(), unchanged.get());
}

TEST_F(StringInsertion, HardSpacesBecomeSpaces) {
    EXPECT_EQ(narrow(HookCanvas::replaceHardSpaces(units(u"a\u00a0b\u00acc\u00a0"))), "a b c ");
    const auto plain = jstr("a b");
    EXPECT_EQ(HookCanvas::replaceHardSpaces(plain).get(), plain.get());
}

// Against a plain per-character model on random texts: both hard spaces and only they become spaces, the
// argument is left as it was, and a text without one comes back as the same object.
TEST_F(StringInsertion, HardSpacesMatchAPerCharacterModelOnRandomTexts) {
    std::mt19937 random(52);
    // The hard spaces, their neighbours in value, units that share a byte with one (a test by bytes
    // would take them), and ordinary text. Lengths up to 300 reach every vector width and its tail.
    const char16_t alphabet[] = {u'a',      u' ',      u'\u00a0', u'\u00ac', u'\u00a1', u'\u00ab',
                                 u'\u0120', u'\uffff', u'\n',     u'\ua000', u'\uac00', u'\u01ac'};
    for (int round = 0; round < 400; ++round) {
        std::u16string text(random() % 300, u'a');
        for (char16_t& c : text) c = alphabet[random() % std::size(alphabet)];
        if (round % 4 == 0) std::erase_if(text, [](char16_t c) { return c == u'\u00a0' || c == u'\u00ac'; });
        std::u16string model = text;
        for (char16_t& c : model) {
            if (c == u'\u00a0' || c == u'\u00ac') c = u' ';
        }
        const auto input = units(text);
        const auto result = HookCanvas::replaceHardSpaces(input);
        EXPECT_EQ(narrow(result), narrow(units(model))) << "round " << round;
        EXPECT_EQ(narrow(input), narrow(units(text))) << "round " << round;
        EXPECT_EQ(result.get() == input.get(), model == text) << "round " << round;
    }
}

TEST_F(StringInsertion, EncFormShiftsTheGuidelinesOfBothTexts) {
    // A 250-character host with a 2-character marker at 100 and guidelines at 50 and 120; an 8-bit
    // insert of 10 characters with a guideline at 4.
    std::u16string host(250, u'h');
    host[100] = u'%';
    host[101] = u's';
    const auto text = enc(host, {{50, 1}, {120, 0}}, EncStringWriter::Width::Sixteen);
    const auto insert = enc(u"0123456789", {{4, 0}}, EncStringWriter::Width::Eight);

    const auto result = canvas->insertENCStringIntoENCString(text, jstr("%s"), insert);
    std::u16string expected = host.substr(0, 100) + u"0123456789" + host.substr(102);
    std::string error;
    EXPECT_EQ(values(result), EncStringWriter::write(expected, {{50, 1}, {104, 0}, {128, 0}},
                                                     EncStringWriter::Width::Sixteen, &error));
    ASSERT_EQ(result->length, 3 + 2 + 2 * 258 + 3 * 3);
    EXPECT_EQ(result->data[0], 6);
}

TEST_F(StringInsertion, EncFormReplacesTheLastMarkerAndAppendsForAnEmptyOne) {
    const auto text = enc(u"a%sb%sc", {}, EncStringWriter::Width::Eight);
    const auto x = enc(u"X", {}, EncStringWriter::Width::Eight);
    EXPECT_EQ(
        narrow(canvas->getStringFromENCString(canvas->insertENCStringIntoENCString(text, jstr("%s"), x))),
        "a%sbXc");
    const auto appended = canvas->insertENCStringIntoENCString(text, jstr(""), x);
    EXPECT_EQ(narrow(canvas->getStringFromENCString(appended)), "a%sb%scX");
    // 8-bit characters are widened: the result is always 16-bit.
    EXPECT_EQ(appended->data[0], 2);
    EXPECT_EQ(appended->length, 3 + 2 * 8);
}

TEST_F(StringInsertion, EncFormWithoutAMatchReturnsTheTextItself) {
    const auto text = enc(u"ab", {{1, 0}}, EncStringWriter::Width::Eight);
    const auto x = enc(u"X", {}, EncStringWriter::Width::Eight);
    EXPECT_EQ(canvas->insertENCStringIntoENCString(text, jstr("%s"), x).get(), text.get());
    EXPECT_EQ(canvas->insertENCStringIntoENCString(text, jstr("abc"), x).get(), text.get());
}

TEST_F(StringInsertion, MixedFormsGoThroughTheEncForm) {
    const auto text = enc(u"Score: %n", {}, EncStringWriter::Width::Eight);
    EXPECT_EQ(narrow(canvas->getStringFromENCString(
                  canvas->insertStringIntoENCString(text, jstr("%n"), jstr("42")))),
              "Score: 42");
    EXPECT_EQ(narrow(canvas->insertENCStringIntoString(jstr("Hi %s!"), jstr("%s"),
                                                       enc(u"\u00c9va", {}, EncStringWriter::Width::Eight))),
              "Hi \\u00c9va!");
}

}  // namespace
