// Texts as long as a question bank can hold (65535 bytes): wrapped and inserted whole on both sides of
// 32768 characters, and refused, never cut to their low 16 bits, past what an ENC string can count.
#include <gtest/gtest.h>

#include "runtime/IllegalArgumentException.h"
#include "tests/engine/TextFixtures.h"

namespace {

using namespace texttest;
using testsupport::jstr;

using LongText = TextStaticsTest;

constexpr int kWidth = 200;

// Words joined by single spaces, some by a hard space; never a space at either end.
std::u16string wordsOf(size_t length) {
    static const std::u16string kPattern = u"abcd efg\u00a0hi jklmn opq\u00acr ";
    std::u16string text;
    while (text.size() < length) text += kPattern;
    text.resize(length);
    if (text.back() == u' ') text.back() = u'z';
    return text;
}

std::u16string withoutHardSpaces(std::u16string text) {
    for (char16_t& c : text) {
        if (c == u'\u00a0' || c == u'\u00ac') c = u' ';
    }
    return text;
}

std::u16string unitsOf(const JavaPtr<java::lang::String>& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s->unitData()), static_cast<size_t>(s->length()));
}

int measured(const std::u16string& line) {
    int width = 0;
    for (char16_t c : line) width += c == u' ' ? MeasuredCanvas::kSpace : MeasuredCanvas::kLetter;
    return width;
}

TEST_F(LongText, WrapShowsTheWholeTextAtEveryLength) {
    for (size_t length : {32767u, 32768u, 65535u}) {
        SCOPED_TRACE(length);
        const std::u16string text = wordsOf(length);
        const auto lines = canvas->splitString(units(text), 0, kWidth);
        ASSERT_TRUE(lines);
        ASSERT_GT(lines->length, 1);
        // Each break drops the one space it was made at: the lines joined by spaces are the text.
        std::u16string joined;
        for (int i = 0; i < lines->length; ++i) {
            const std::u16string line = unitsOf(lines->data[i]);
            EXPECT_LE(measured(line), kWidth) << "line " << i;
            joined += (i == 0 ? u"" : u" ") + line;
        }
        EXPECT_TRUE(joined == withoutHardSpaces(text));
    }
}

TEST_F(LongText, InsertionKeepsEveryCharacterInBothForms) {
    for (size_t length : {32767u, 32768u, 65535u}) {
        SCOPED_TRACE(length);
        // A host of length - 1 characters with the marker in its middle; the result is length long.
        std::u16string host = wordsOf(length - 1);
        host.replace(host.size() / 2, 2, u"%s");
        std::u16string expected = host;
        expected.replace(host.size() / 2, 2, u"XYZ");
        ASSERT_EQ(expected.size(), length);

        EXPECT_TRUE(unitsOf(HookCanvas::insertStringIntoString(units(host), jstr("%s"), jstr("XYZ"))) ==
                    expected);
        const auto enc = canvas->insertStringIntoENCString(canvas->getENCStringFromString(units(host)),
                                                           jstr("%s"), jstr("XYZ"));
        EXPECT_EQ(enc->length, static_cast<int>(3 + 2 * length));
        EXPECT_TRUE(unitsOf(canvas->getStringFromENCString(enc)) == expected);
    }
}

TEST_F(LongText, LengthsAnEncStringCannotCountAreRefused) {
    for (size_t length : {65536u, 70000u}) {
        SCOPED_TRACE(length);
        const auto text = units(wordsOf(length));
        EXPECT_THROW(canvas->getENCStringFromString(text), java::lang::IllegalArgumentException);
        EXPECT_THROW(canvas->splitString(text, 0, kWidth), java::lang::IllegalArgumentException);
    }
    // 65535 characters with a 2-character marker replaced by 3 would count 65536.
    std::u16string host = wordsOf(65535);
    host.replace(10, 2, u"%s");
    const auto enc = canvas->getENCStringFromString(units(host));
    EXPECT_THROW(canvas->insertStringIntoENCString(enc, jstr("%s"), jstr("XYZ")),
                 java::lang::IllegalArgumentException);
    EXPECT_EQ(canvas->insertStringIntoENCString(enc, jstr("%s"), jstr("XY"))->length, enc->length);
}

// A stored 8-bit string of 40000 characters (a count with its top bit set) and one guideline in a
// 3-byte record: it wraps at the guideline with a hyphen.
TEST_F(LongText, StoredCountsFrom32768AreReadUnsigned) {
    constexpr int kCount = 40000;
    constexpr int kBreak = 20000;
    std::vector<uint8_t> stored{0x05, kCount >> 8, kCount & 0xFF, 0x00, 0x01};
    stored.insert(stored.end(), kCount, 'a');
    stored.insert(stored.end(), {kBreak >> 8, kBreak & 0xFF, 0x00});
    const auto lines = canvas->splitENCString(bytes(stored), 0, kBreak * MeasuredCanvas::kLetter + 3);
    ASSERT_EQ(lines->length, 2);
    EXPECT_TRUE(unitsOf(lines->data[0]) == std::u16string(kBreak, u'a') + u"-");
    EXPECT_TRUE(unitsOf(lines->data[1]) == std::u16string(kCount - kBreak, u'a'));
    EXPECT_EQ(canvas->getStringFromENCString(bytes(stored))->length(), kCount);
}

}  // namespace
