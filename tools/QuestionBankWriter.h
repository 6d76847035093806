// Writes the quiz's question files: "topics.dat" (category and subsection names), the practice banks
// "cdb<category>_<subsection>.dat" and the shuffled test bank "shuffle_db.dat". The resource builder
// and the tests both make their banks with it; the quiz reads them in quiz/HookCanvasBanks.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace reswriter {

// Texts are given as UTF-8. Bank texts are stored one byte per character (ISO-8859-1), so each must
// stay within U+0000..U+00FF; the question may take 65535 bytes, the other four 255 each.
struct QuestionRecord {
    std::string question;
    std::string correct;
    std::string wrong1;
    std::string wrong2;
    std::string explanation;
};

struct TopicCategory {
    std::string name;
    std::vector<std::string> subsections;
};

constexpr int kTopicCategories = 16;
constexpr int kMaxBankRecords = 65535;
constexpr int kMaxQuestionBytes = 65535;
constexpr int kMaxShortTextBytes = 255;
constexpr const char* kTopicsFileName = "topics.dat";
constexpr const char* kTestBankFileName = "shuffle_db.dat";

// "cdb" + category + "_" + subsection + ".dat", plain decimal: (12, 3) is "cdb12_3.dat".
std::string practiceBankFileName(int category, int subsection);

// The bank bytes: a big-endian u16 record count, then each record's u16-length question and its four
// u8-length texts. Empty with the reason in *error for more than 65535 records, a text too long, a
// character outside ISO-8859-1 or malformed UTF-8.
std::vector<uint8_t> writeQuestionBank(const std::vector<QuestionRecord>& records, std::string* error);

// The topics bytes: exactly 16 categories, each a writeUTF name, an s32 subsection count and the
// writeUTF subsection names. Empty with the reason in *error for another number of categories, a
// name whose modified UTF-8 form exceeds 65535 bytes, or malformed UTF-8.
std::vector<uint8_t> writeTopics(const std::vector<TopicCategory>& categories, std::string* error);

// The test bank's order: every record of every bank, shuffled by a fixed generator from seed, so that
// the same content and seed always give the same file.
std::vector<QuestionRecord> shuffleForTestBank(const std::vector<std::vector<QuestionRecord>>& banks,
                                               uint64_t seed);

}  // namespace reswriter
