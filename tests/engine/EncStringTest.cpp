// ENC strings to and from String, and what the readers do with strings that do not fit their array.
#include <gtest/gtest.h>

#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "tests/engine/TextFixtures.h"
#include "tools/EncStringWriter.h"

namespace {

using namespace texttest;
using restools::EncStringWriter;
using testsupport::narrow;

using EncString = TextStaticsTest;

TEST_F(EncString, FromStringWritesSixteenBitUnitsWithoutGuidelines) {
    EXPECT_EQ(values(canvas->getENCStringFromString(testsupport::jstr("abc"))),
              (std::vector<uint8_t>{0x02, 0x00, 0x03, 0x00, 0x61, 0x00, 0x62, 0x00, 0x63}));
    EXPECT_EQ(values(canvas->getENCStringFromString(testsupport::jstr(""))),
              (std::vector<uint8_t>{0x02, 0x00, 0x00}));
}

TEST_F(EncString, DecodesEveryLayoutToItsCharactersOnly) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        {"8-bit bytes read unsigned", {0x01, 0x00, 0x02, 0xE9, 0x41}, u"\u00e9A"},
        {"16-bit units", {0x02, 0x00, 0x02, 0x80, 0x00, 0xFF, 0xFF}, u"\u8000\uffff"},
        {"guidelines dropped", {0x06, 0x00, 0x02, 0x00, 0x01, 0x00, 0x68, 0x00, 0x69, 0x01, 0x00}, u"hi"},
        {"guideline flag with a count of 0", {0x05, 0x00, 0x02, 0x00, 0x00, 0x6F, 0x6B}, u"ok"},
        {"trailing bytes ignored", {0x01, 0x00, 0x01, 0x7A, 0x55, 0x55}, u"z"},
        {"no characters", {0x01, 0x00, 0x00}, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(narrow(canvas->getStringFromENCString(bytes(c.bytes))), narrow(units(c.expected)))
            << c.name;
    }
}

TEST_F(EncString, StringRoundTripKeepsEveryUnit) {
    const auto text = units(u"a\u00e9\u00a0\u7fff\u8000\uffff");
    const auto back = canvas->getStringFromENCString(canvas->getENCStringFromString(text));
    EXPECT_TRUE(back->equals(text)) << narrow(back);
}

TEST_F(EncString, StringsThatOverrunTheirArrayAreRefused) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"shorter than the header", {0x01, 0x00}},
        {"characters past the end", {0x01, 0x00, 0x05, 0x61}},
        {"16-bit characters past the end", {0x02, 0x00, 0x02, 0x00, 0x61, 0x00}},
        {"count of 65535 with no characters", {0x01, 0xFF, 0xFF}},
        {"guideline count missing", {0x05, 0x00, 0x00}},
        {"guideline records past the end", {0x05, 0x00, 0x01, 0x00, 0x02, 0x61, 0x01, 0x00}},
        {"guideline count of 32768 with no records", {0x05, 0x00, 0x01, 0x80, 0x00, 0x61}},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(canvas->getStringFromENCString(bytes(c.bytes)),
                     java::lang::ArrayIndexOutOfBoundsException)
            << c.name;
        EXPECT_THROW(canvas->splitENCString(bytes(c.bytes), 0, 100),
                     java::lang::ArrayIndexOutOfBoundsException)
            << c.name;
    }
}

TEST_F(EncString, WriterOutputReadsBack) {
    std::string error;
    const auto eight = EncStringWriter::write(u"caf\u00e9", {{3, 1}}, &error);
    ASSERT_FALSE(eight.empty()) << error;
    EXPECT_EQ(eight[0], 0x05);
    EXPECT_EQ(narrow(canvas->getStringFromENCString(bytes(eight))), "caf\\u00e9");
    const auto sixteen = EncStringWriter::write(u"\u4e2d\u6587", {}, &error);
    ASSERT_FALSE(sixteen.empty()) << error;
    EXPECT_EQ(sixteen, (std::vector<uint8_t>{0x02, 0x00, 0x02, 0x4E, 0x2D, 0x65, 0x87}));
}

TEST_F(EncString, WriterRefusesWhatTheReaderCannotTakeBack) {
    struct Case {
        const char* name;
        std::u16string text;
        std::vector<restools::EncGuideline> guidelines;
        EncStringWriter::Width width;
    };
    const Case cases[] = {
        {"wide unit in 8 bits", u"\u0100", {}, EncStringWriter::Width::Eight},
        {"guideline past the text", u"ab", {{3, 0}}, EncStringWriter::Width::Sixteen},
        {"negative position", u"ab", {{-1, 0}}, EncStringWriter::Width::Sixteen},
        {"descending positions", u"abc", {{2, 0}, {1, 0}}, EncStringWriter::Width::Sixteen},
        {"type above 255", u"abc", {{1, 256}}, EncStringWriter::Width::Sixteen},
        {"too long", std::u16string(32768, u'a'), {}, EncStringWriter::Width::Eight},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_TRUE(EncStringWriter::write(c.text, c.guidelines, c.width, &error).empty()) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
}

}  // namespace
