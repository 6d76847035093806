// The bundle check: the built test bundle passes, each small damage fails naming its file, and every
// resource of the bundle loads through the canvas's own resource and image loaders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "engine/ResourceLayout.h"
#include "tests/engine/ResourceFixtures.h"
#include "tests/engine/TextFixtures.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/tools/BuiltBundles.h"
#include "tools/QuestionBankWriter.h"
#include "tools/resbuild/ArtCatalogue.h"
#include "tools/resbuild/BundleCheck.h"
#include "tools/resbuild/BundleLayout.h"
#include "tools/resbuild/ContentReader.h"

namespace toolstest {
namespace {

using Bytes = std::vector<uint8_t>;

uint32_t readU32(const Bytes& bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
           bytes[at + 3];
}

// Where a packed resource's bytes start in the pack file.
size_t packOffsetOf(const resbuild::BundleFiles& files, int id) {
    const Bytes& map = files.at("resmap");
    size_t blocks = map[1];
    size_t blockRecord = resourcelayout::kMapRecordsOffset;
    size_t record = resourcelayout::kMapRecordsOffset + blocks * resourcelayout::kRecordBytes +
                    static_cast<size_t>(id) * resourcelayout::kRecordBytes;
    EXPECT_EQ(static_cast<int8_t>(map[record]), 0) << "resource " << id << " is not in block 0";
    return readU32(map, blockRecord + resourcelayout::kRecordIndex) +
           readU32(map, record + resourcelayout::kRecordIndex);
}

// A practice bank of one record, to stand in for a built one.
Bytes bankOf(const reswriter::QuestionRecord& record) {
    std::string error;
    Bytes bank = reswriter::writeQuestionBank({record}, &error);
    EXPECT_FALSE(bank.empty()) << error;
    return bank;
}

void writeBundle(const resbuild::BundleFiles& files, const std::filesystem::path& dir) {
    resbuild::BundleBuilder::writeFiles(files, dir);
}

TEST(BundleCheck, TheTestBundlePasses) {
    testsupport::TemporaryDirectory dir;
    writeBundle(testBundle(), dir.path());
    EXPECT_EQ(resbuild::BundleCheck::check(dir.path()), "");
}

TEST(BundleCheck, EachDamageFailsNamingItsFile) {
    struct Case {
        const char* label;
        std::function<void(resbuild::BundleFiles&)> damage;
        std::string prefix;
    };
    const Case cases[] = {
        {"truncated bank", [](resbuild::BundleFiles& f) { f["cdb0_0.dat"].pop_back(); }, "cdb0_0.dat: "},
        {"bank with a stray byte", [](resbuild::BundleFiles& f) { f["cdb5_0.dat"].push_back(0); },
         "cdb5_0.dat: "},
        {"topic without its file", [](resbuild::BundleFiles& f) { f.erase("cdb3_0.dat"); },
         "topics.dat: names cdb3_0.dat, which is missing"},
        {"test bank within the no-repeat ring",
         [](resbuild::BundleFiles& f) { f["shuffle_db.dat"] = f["cdb0_0.dat"]; }, "shuffle_db.dat: "},
        {"short mask",
         [](resbuild::BundleFiles& f) {
             // The menu mask's last step leaves segment 3 out.
             f["pk0"][packOffsetOf(f, 43) + 3] = 0x07;
         },
         "mask 43: "},
        {"truncated pack", [](resbuild::BundleFiles& f) { f["pk0"].resize(f["pk0"].size() / 2); }, "pk0: "},
        {"missing loose cue", [](resbuild::BundleFiles& f) { f.erase("ur300"); }, "ur300: missing"},
        {"cue that does not decode",
         [](resbuild::BundleFiles& f) { std::fill(f["ur292"].begin(), f["ur292"].end(), 0); }, "cue 292: "},
        {"thresholds falling", [](resbuild::BundleFiles& f) { f["pk0"][packOffsetOf(f, 0) + 3] = 9; },
         "resource 0: "},
        {"picture that does not decode",
         [](resbuild::BundleFiles& f) {
             // The first picture, the white twinkle, is full-colour run-length behind a one-cell table;
             // its first run loses a pixel, so the runs end short of the data.
             f["pk0"][packOffsetOf(f, 9) + 5 + 4 + 8 + 1 + 4] -= 1;
         },
         "resource 9 (TWINKLE0_WHITE low): "},
        {"missing glyph",
         [](resbuild::BundleFiles& f) {
             // The main font's character table lists 'e' no more: its code becomes 0x00FF.
             size_t table = packOffsetOf(f, resbuild::kMainFontLowId);
             for (size_t at = table + 4;; at += 2) {
                 if (f["pk0"][at] == 0 && f["pk0"][at + 1] == 'e') {
                     f["pk0"][at + 1] = 0xFF;
                     break;
                 }
             }
         },
         "resource 1 (main font): has no glyph for character 101"},
        {"missing language table", [](resbuild::BundleFiles& f) { f.erase("en"); }, "en: missing"},
        {"missing splash", [](resbuild::BundleFiles& f) { f.erase("Default@2x_png"); },
         "Default@2x_png: missing"},
        // The wording rules read the practice banks back as the quiz would show them.
        {"stem ending with a hint",
         [](resbuild::BundleFiles& f) {
             f["cdb0_0.dat"] = bankOf({"Complete: \"I ___ home.\" (go)", "went", "goed", "gone", "Past."});
         },
         "cdb0_0.dat: record 0: the question does not end with"},
        {"wrong answer equal to the right one but for case",
         [](resbuild::BundleFiles& f) {
             f["cdb1_0.dat"] = bankOf({"Which is the possessive?", "their", "Their", "there", "Possession."});
         },
         "cdb1_0.dat: record 0: a wrong answer equals the right one up to case and spaces"},
        {"gapped stem asked in two categories",
         [](resbuild::BundleFiles& f) {
             f["cdb2_0.dat"] =
                 bankOf({"Complete: \"___ raining again.\"", "It's", "Its", "Its'", "Short form."});
             f["cdb5_0.dat"] = bankOf({"Complete: \"___ raining again.\"", "It is", "It", "Is", "Subject."});
         },
         "cdb5_0.dat: record 0: the question is also asked in"},
    };
    for (const Case& c : cases) {
        resbuild::BundleFiles files = testBundle();
        c.damage(files);
        testsupport::TemporaryDirectory dir;
        writeBundle(files, dir.path());
        std::string fault = resbuild::BundleCheck::check(dir.path());
        EXPECT_EQ(fault.rfind(c.prefix, 0), 0u) << c.label << ": " << fault;
    }
}

// The canvas reads the built bundle: the map, block 0, every picture at its catalogue size, the masks,
// the thresholds, the language table and the fonts.
class BuiltBundleLoads : public texttest::TextResourceFixture {};

TEST_F(BuiltBundleLoads, EveryResourceLoadsThroughTheCanvas) {
    writeBundle(testBundle(), bundle.path());
    canvas->initTessel();
    canvas->loadResourceBlock(0);
    for (int id = 0; id < resbuild::BundleBuilder::kResourceCount; ++id) {
        EXPECT_TRUE(canvas->getResourceByteArray(id)) << "resource " << id;
    }
    JavaPtr<JArray<int32_t>> thresholds = canvas->getResourceIntArray(resbuild::kLevelThresholdsId);
    ASSERT_TRUE(thresholds);
    EXPECT_EQ(thresholds->length, resbuild::kLevelCount);
    for (const resbuild::MaskSpec& mask : resbuild::transitionMasks()) {
        EXPECT_EQ(enginetest::toBytes(canvas->getResourceByteArray(mask.id)), mask.bytes())
            << "mask " << mask.id;
    }
    canvas->loadLanguage(0);
    ASSERT_TRUE(HookCanvas::enc_strings);
    EXPECT_EQ(HookCanvas::enc_strings->length, static_cast<int>(resbuild::screenTexts().size()));
    // Two font slots: the low-resolution pair, then the high-resolution pair.
    for (auto pair : {std::pair{resbuild::kMainFontLowId, resbuild::kNumbersFontLowId},
                      std::pair{resbuild::kMainFontHighId, resbuild::kNumbersFontHighId}}) {
        int main = canvas->loadBitmapFont(pair.first, -1), numbers = canvas->loadBitmapFont(pair.second, -1);
        ASSERT_GE(main, 0) << "font " << pair.first;
        ASSERT_GE(numbers, 0) << "font " << pair.second;
        int height = pair.first == resbuild::kMainFontLowId ? resbuild::BundleBuilder::kMainFontHeight
                                                            : 2 * resbuild::BundleBuilder::kMainFontHeight;
        EXPECT_EQ(canvas->getFontHeight(main), height);
        EXPECT_EQ(canvas->getFontHeight(numbers), height / resbuild::BundleBuilder::kMainFontHeight *
                                                      resbuild::BundleBuilder::kNumbersFontHeight);
        canvas->unloadFont(main);
        canvas->unloadFont(numbers);
    }
    for (int scale = 1; scale <= 2; ++scale) {
        std::vector<int> slots;
        for (const resbuild::PictureSpec& spec : resbuild::ArtCatalogue::pictures()) {
            int id = scale == 1 ? spec.lowId : spec.highId;
            int slot = canvas->loadImageID(id, -1, HookCanvas::LOADIMAGETRANSFORM_NONE, true);
            ASSERT_GE(slot, 0) << spec.name;
            ASSERT_TRUE(canvas->image_cache->data[slot]) << spec.name;
            JavaPtr<enginetest::Image> first = canvas->image_cache->data[slot]->data[0];
            ASSERT_TRUE(first) << spec.name << " did not decode";
            EXPECT_EQ(first->getWidth(), spec.width * scale) << spec.name;
            EXPECT_EQ(first->getHeight(), spec.height * scale) << spec.name;
            EXPECT_EQ(canvas->image_dimensions->data[2 * slot], spec.width * scale) << spec.name;
            slots.push_back(slot);
        }
        for (int slot : slots) canvas->unloadImageID(slot);
    }
}

// The quiz reads the built bundle's question files: the topics, every practice bank they name, and the
// test bank, each indexed to its last record.
TEST_F(BuiltBundleLoads, EveryQuestionFileLoadsThroughTheQuiz) {
    writeBundle(testBundle(), bundle.path());
    canvas->initTessel();
    canvas->loadTopics();
    ASSERT_TRUE(HookCanvas::categoryStrings);
    ASSERT_EQ(HookCanvas::categoryStrings->length, 16);
    resbuild::QuizContent content = resbuild::BundleBuilder::selectContent(
        resbuild::ContentReader::readDirectory(contentDir() / "questions"), resbuild::BundleProfile::Test);
    struct Saved {
        int category = HookCanvas::want_category_to_be, subsection = HookCanvas::want_subsection_to_be;
        bool practice = HookCanvas::want_practice_mode;
        ~Saved() {
            HookCanvas::want_category_to_be = category;
            HookCanvas::want_subsection_to_be = subsection;
            HookCanvas::want_practice_mode = practice;
            HookCanvas::categoryStrings = nullptr;
            HookCanvas::subsectionStrings = nullptr;
            HookCanvas::practicedDBs = nullptr;
        }
    } saved;
    for (int c = 0; c < 16; ++c) {
        EXPECT_EQ(toUtf8(HookCanvas::categoryStrings->data[c]), content.categories[c].name);
        int subsections = HookCanvas::subsectionStrings->data[c]->length;
        ASSERT_EQ(subsections, static_cast<int>(content.categories[c].subsections.size()));
        for (int s = 0; s < subsections; ++s) {
            HookCanvas::want_practice_mode = true;
            HookCanvas::want_category_to_be = c;
            HookCanvas::want_subsection_to_be = s;
            canvas->loadDatabase();
            EXPECT_TRUE(canvas->database_loaded) << "cdb" << c << "_" << s;
            EXPECT_EQ(canvas->question_count, 3) << "cdb" << c << "_" << s;
        }
    }
    HookCanvas::want_practice_mode = false;
    HookCanvas::want_category_to_be = 16;
    canvas->loadDatabase();
    EXPECT_TRUE(canvas->database_loaded);
    EXPECT_EQ(canvas->question_count, resbuild::BundleBuilder::kTestBankRecords);
}

}  // namespace
}  // namespace toolstest
