// The language table: entries back to back, ids without text, record widths, and tables that do not fit
// their file, which are dropped whole.
#include <gtest/gtest.h>

#include "tests/engine/TextFixtures.h"
#include "tools/EncStringWriter.h"
#include "tools/LanguageTableWriter.h"

namespace {

using namespace texttest;
using restools::EncStringWriter;
using restools::LanguageTableWriter;
using testsupport::narrow;

using LanguageTable = TextResourceFixture;

std::vector<uint8_t> enc(const std::u16string& text,
                         const std::vector<restools::EncGuideline>& guidelines = {},
                         EncStringWriter::Width width = EncStringWriter::Width::Sixteen) {
    std::string error;
    auto out = EncStringWriter::write(text, guidelines, width, &error);
    EXPECT_FALSE(out.empty()) << error;
    return out;
}

std::vector<uint8_t> table(LanguageTableWriter& writer) {
    std::string error;
    auto out = writer.build(&error);
    EXPECT_FALSE(out.empty()) << error;
    return out;
}

TEST_F(LanguageTable, CodesOfTheResourceMapNameTheFiles) {
    restools::ResourceMapWriter map;
    map.setLanguages({"en", "f", "", "de"});
    install(map);
    EXPECT_EQ(HookCanvas::numLanguagesIncluded(), 5);
    const char* names[] = {"en", "f", "", "de", ""};
    for (int language = 0; language < 5; ++language)
        EXPECT_EQ(narrow(HookCanvas::getLanguageIDString(language)), names[language]) << language;
    EXPECT_EQ(narrow(HookCanvas::getLanguageIDString(5)), "");
    EXPECT_EQ(narrow(HookCanvas::getLanguageIDString(-1)), "");

    LanguageTableWriter english;
    english.addText(enc(u"Yes"));
    writeFile("en", table(english));
    LanguageTableWriter french;
    french.addEmpty();
    french.addText(enc(u"Oui", {}, EncStringWriter::Width::Eight));
    writeFile("f", table(french));
    writeFile("de", {0x00, 0x02, 0x00});  // two ids, one entry

    canvas->loadLanguage(0);
    EXPECT_EQ(narrow(canvas->getString(0)), "Yes");
    canvas->loadLanguage(1);
    EXPECT_FALSE(canvas->getString(0));
    EXPECT_EQ(narrow(canvas->getString(1)), "Oui");
    // A table that does not fit its file, and a missing file, each leave no table.
    canvas->loadLanguage(3);
    EXPECT_FALSE(HookCanvas::enc_strings);
    canvas->loadLanguage(0);
    ASSERT_TRUE(HookCanvas::enc_strings);
    canvas->loadLanguage(2);
    EXPECT_FALSE(HookCanvas::enc_strings);
    EXPECT_FALSE(canvas->getString(0));
}

TEST_F(LanguageTable, EntriesFollowEachOtherAndAZeroByteIsNoText) {
    LanguageTableWriter writer;
    writer.addEmpty();
    writer.addText(enc(u"\u00e9t\u00e9", {}, EncStringWriter::Width::Eight));
    writer.addEmpty();
    writer.addText(enc(u"ok"));
    const auto file = table(writer);
    EXPECT_EQ(file.size(), 2u + 1 + (3 + 3) + 1 + (3 + 4));
    HookCanvas::enc_strings = HookCanvas::parseLanguageTable(bytes(file));
    ASSERT_TRUE(HookCanvas::enc_strings);
    ASSERT_EQ(HookCanvas::enc_strings->length, 4);
    EXPECT_FALSE(canvas->getENCString(0));
    EXPECT_FALSE(canvas->getString(0));
    EXPECT_EQ(narrow(canvas->getString(1)), "\\u00e9t\\u00e9");
    EXPECT_FALSE(canvas->getString(2));
    EXPECT_EQ(narrow(canvas->getString(3)), "ok");
    EXPECT_EQ(values(canvas->getENCString(3)), enc(u"ok"));
}

TEST_F(LanguageTable, GuidelineRecordsAreTwoBytesUpTo255CharactersAndThreeFrom256) {
    LanguageTableWriter writer;
    const std::vector<restools::EncGuideline> guidelines = {{10, 0}, {200, 1}};
    writer.addText(enc(std::u16string(255, u'a'), guidelines));
    writer.addText(enc(std::u16string(300, u'b'), guidelines));
    writer.addText(enc(u"z"));
    HookCanvas::enc_strings = HookCanvas::parseLanguageTable(bytes(table(writer)));
    ASSERT_TRUE(HookCanvas::enc_strings);
    EXPECT_EQ(canvas->getENCString(0)->length, 5 + 2 * 255 + 2 * 2);
    EXPECT_EQ(canvas->getENCString(1)->length, 5 + 2 * 300 + 2 * 3);
    EXPECT_EQ(narrow(canvas->getString(2)), "z");
    EXPECT_EQ(canvas->getString(1)->length(), 300);
}

TEST_F(LanguageTable, GuidelineFlagWithZeroCountCarriesItsCountField) {
    // Flags 6 with G = 0: the characters start at 5, so the entry is 5 + 2n bytes long.
    const std::vector<uint8_t> file = {0x00, 0x02, 0x06, 0x00, 0x02, 0x00, 0x00, 0x00,
                                       0x61, 0x00, 0x62, 0x01, 0x00, 0x01, 0x63};
    HookCanvas::enc_strings = HookCanvas::parseLanguageTable(bytes(file));
    ASSERT_TRUE(HookCanvas::enc_strings);
    EXPECT_EQ(narrow(canvas->getString(0)), "ab");
    EXPECT_EQ(narrow(canvas->getString(1)), "c");
    EXPECT_EQ(narrow(canvas->splitENCString(canvas->getENCString(0), 0, 5)->data[0]), "ab");
}

TEST_F(LanguageTable, IdsOutsideTheTableAndCallsBeforeALoadAnswerNull) {
    EXPECT_FALSE(canvas->getENCString(0));
    EXPECT_FALSE(canvas->getString(0));
    LanguageTableWriter writer;
    writer.addText(enc(u"x"));
    HookCanvas::enc_strings = HookCanvas::parseLanguageTable(bytes(table(writer)));
    ASSERT_TRUE(HookCanvas::enc_strings);
    EXPECT_TRUE(canvas->getENCString(0));
    for (int id : {-1, 1, 0x7FFFFFFF, static_cast<int>(0x80000000)})
        EXPECT_FALSE(canvas->getString(id)) << id;
}

TEST_F(LanguageTable, TablesThatDoNotFitTheirFileAreDropped) {
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
    };
    const Case cases[] = {
        {"empty file", {}},
        {"half a count", {0x00}},
        {"negative count", {0xFF, 0xFF}},
        {"fewer entries than the count", {0x00, 0x02, 0x00}},
        {"characters past the end", {0x00, 0x01, 0x01, 0x00, 0x03, 0x61, 0x62}},
        {"header past the end", {0x00, 0x01, 0x02, 0x00}},
        {"negative character count", {0x00, 0x01, 0x01, 0x80, 0x00, 0x61}},
        {"guideline count past the end", {0x00, 0x01, 0x05, 0x00, 0x01}},
        {"guideline records past the end", {0x00, 0x01, 0x05, 0x00, 0x01, 0x00, 0x03, 0x61, 0x00, 0x00}},
        {"negative guideline count", {0x00, 0x01, 0x05, 0x00, 0x01, 0xFF, 0xFE, 0x61}},
        {"no character width", {0x00, 0x01, 0x04, 0x00, 0x01, 0x00, 0x00}},
        {"character width 3", {0x00, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x61}},
        {"huge count, short file", {0x7F, 0xFF, 0x01, 0x00, 0x01, 0x61}},
    };
    for (const Case& c : cases) EXPECT_FALSE(HookCanvas::parseLanguageTable(bytes(c.file))) << c.name;
    // Bytes after the last entry are not part of any entry and do not matter.
    const auto trailing =
        HookCanvas::parseLanguageTable(bytes({0x00, 0x01, 0x01, 0x00, 0x01, 0x61, 0x99, 0x99}));
    ASSERT_TRUE(trailing);
    EXPECT_EQ(trailing->length, 1);
    const auto none = HookCanvas::parseLanguageTable(bytes({0x00, 0x00}));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->length, 0);
}

TEST_F(LanguageTable, WriterRefusesEntriesTheLoaderWouldMisread) {
    struct Case {
        const char* name;
        std::vector<uint8_t> entry;
    };
    const Case cases[] = {
        {"truncated", {0x01, 0x00, 0x02, 0x61}},
        {"extra bytes", {0x01, 0x00, 0x01, 0x61, 0x62}},
        {"zero flags", {0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        LanguageTableWriter writer;
        writer.addText(c.entry);
        std::string error;
        EXPECT_TRUE(writer.build(&error).empty()) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
}

}  // namespace
