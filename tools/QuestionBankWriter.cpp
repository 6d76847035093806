// The question files' writers. Every number is big-endian, as the quiz reads it.
#include "tools/QuestionBankWriter.h"

#include <algorithm>
#include <optional>

namespace reswriter {

namespace {

// The code points of a UTF-8 text; nothing when it is malformed (overlong forms, surrogates, values
// past U+10FFFF and cut sequences included).
std::optional<std::vector<uint32_t>> decodeUtf8(const std::string& text) {
    std::vector<uint32_t> points;
    size_t i = 0;
    while (i < text.size()) {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        int extra = 0;
        uint32_t point = 0;
        uint32_t least = 0;
        if (lead < 0x80) {
            point = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, point = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, point = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, point = lead & 0x07, least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (i + static_cast<size_t>(extra) >= text.size() && extra > 0) return std::nullopt;
        for (int k = 1; k <= extra; ++k) {
            const uint8_t next = static_cast<uint8_t>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            point = (point << 6) | (next & 0x3F);
        }
        if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return std::nullopt;
        points.push_back(point);
        i += static_cast<size_t>(extra) + 1;
    }
    return points;
}

void putU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void putS32(std::vector<uint8_t>& out, int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(bits >> shift));
}

// The one-byte-per-character form, or nothing with the reason in *error.
std::optional<std::vector<uint8_t>> latin1(const std::string& text, const char* what, size_t limit,
                                           std::string* error) {
    const auto points = decodeUtf8(text);
    if (!points) {
        *error = std::string(what) + " is not valid UTF-8";
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    for (uint32_t point : *points) {
        if (point > 0xFF) {
            *error = std::string(what) + " has a character outside ISO-8859-1";
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(point));
    }
    if (bytes.size() > limit) {
        *error = std::string(what) + " is longer than " + std::to_string(limit) + " bytes";
        return std::nullopt;
    }
    return bytes;
}

// writeUTF's form: a u16 byte length, then each UTF-16 unit as one to three bytes, U+0000 as two.
bool putUtf(std::vector<uint8_t>& out, const std::string& text, const char* what, std::string* error) {
    const auto points = decodeUtf8(text);
    if (!points) {
        *error = std::string(what) + " is not valid UTF-8";
        return false;
    }
    std::vector<uint16_t> units;
    for (uint32_t point : *points) {
        if (point >= 0x10000) {
            point -= 0x10000;
            units.push_back(static_cast<uint16_t>(0xD800 + (point >> 10)));
            units.push_back(static_cast<uint16_t>(0xDC00 + (point & 0x3FF)));
        } else {
            units.push_back(static_cast<uint16_t>(point));
        }
    }
    std::vector<uint8_t> encoded;
    for (uint16_t unit : units) {
        if (unit != 0 && unit < 0x80) {
            encoded.push_back(static_cast<uint8_t>(unit));
        } else if (unit < 0x800) {
            encoded.push_back(static_cast<uint8_t>(0xC0 | (unit >> 6)));
            encoded.push_back(static_cast<uint8_t>(0x80 | (unit & 0x3F)));
        } else {
            encoded.push_back(static_cast<uint8_t>(0xE0 | (unit >> 12)));
            encoded.push_back(static_cast<uint8_t>(0x80 | ((unit >> 6) & 0x3F)));
            encoded.push_back(static_cast<uint8_t>(0x80 | (unit & 0x3F)));
        }
    }
    if (encoded.size() > 0xFFFF) {
        *error = std::string(what) + " is longer than 65535 bytes in modified UTF-8";
        return false;
    }
    putU16(out, static_cast<uint32_t>(encoded.size()));
    out.insert(out.end(), encoded.begin(), encoded.end());
    return true;
}

}  // namespace

std::string practiceBankFileName(int category, int subsection) {
    return "cdb" + std::to_string(category) + "_" + std::to_string(subsection) + ".dat";
}

std::vector<uint8_t> writeQuestionBank(const std::vector<QuestionRecord>& records, std::string* error) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (records.size() > static_cast<size_t>(kMaxBankRecords)) {
        *error = "a bank holds at most 65535 records";
        return {};
    }
    std::vector<uint8_t> out;
    putU16(out, static_cast<uint32_t>(records.size()));
    for (size_t i = 0; i < records.size(); ++i) {
        const QuestionRecord& record = records[i];
        const std::string where = "record " + std::to_string(i) + ": ";
        const auto question = latin1(record.question, (where + "question").c_str(), kMaxQuestionBytes, error);
        if (!question) return {};
        putU16(out, static_cast<uint32_t>(question->size()));
        out.insert(out.end(), question->begin(), question->end());
        const std::pair<const std::string*, const char*> shortTexts[] = {
            {&record.correct, "correct answer"},
            {&record.wrong1, "first wrong answer"},
            {&record.wrong2, "second wrong answer"},
            {&record.explanation, "explanation"}};
        for (const auto& [text, name] : shortTexts) {
            const auto bytes = latin1(*text, (where + name).c_str(), kMaxShortTextBytes, error);
            if (!bytes) return {};
            out.push_back(static_cast<uint8_t>(bytes->size()));
            out.insert(out.end(), bytes->begin(), bytes->end());
        }
    }
    return out;
}

std::vector<uint8_t> writeTopics(const std::vector<TopicCategory>& categories, std::string* error) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (categories.size() != static_cast<size_t>(kTopicCategories)) {
        *error = "topics need exactly 16 categories, not " + std::to_string(categories.size());
        return {};
    }
    std::vector<uint8_t> out;
    for (size_t c = 0; c < categories.size(); ++c) {
        const std::string where = "category " + std::to_string(c);
        if (!putUtf(out, categories[c].name, (where + " name").c_str(), error)) return {};
        putS32(out, static_cast<int32_t>(categories[c].subsections.size()));
        for (size_t s = 0; s < categories[c].subsections.size(); ++s) {
            const std::string name = where + " subsection " + std::to_string(s);
            if (!putUtf(out, categories[c].subsections[s], name.c_str(), error)) return {};
        }
    }
    return out;
}

std::vector<QuestionRecord> shuffleForTestBank(const std::vector<std::vector<QuestionRecord>>& banks,
                                               uint64_t seed) {
    std::vector<QuestionRecord> all;
    for (const auto& bank : banks) all.insert(all.end(), bank.begin(), bank.end());
    // A fixed 64-bit generator (splitmix64) and Fisher-Yates, so the file does not depend on the
    // standard library's shuffle.
    uint64_t state = seed;
    auto next = [&state] {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    };
    for (size_t i = all.size(); i > 1; --i) {
        const size_t j = static_cast<size_t>(next() % i);
        std::swap(all[i - 1], all[j]);
    }
    return all;
}

}  // namespace reswriter
