#include "tools/resbuild/ContentReader.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <vector>

namespace resbuild {

namespace {

using Row = std::vector<std::string>;

struct Table {
    std::vector<Row> rows;
};

// The five lines of an item or a template, each with its source line for messages.
struct ItemLines {
    std::string question, right, explanation;
    std::vector<std::string> wrong;
};

std::string trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '|')) fields.push_back(trim(field));
    if (!line.empty() && line.back() == '|') fields.push_back({});
    return fields;
}

class CategoryParser {
public:
    CategoryParser(const std::string& source, const std::string& name) : m_name(name) {
        std::istringstream in(source);
        std::string line;
        while (std::getline(in, line)) m_lines.push_back(line);
    }

    Category parse() {
        while (m_next < m_lines.size()) {
            std::string line = trim(m_lines[m_next++]);
            if (line.empty() || line[0] == '#') continue;
            std::string keyword = line.substr(0, line.find(' '));
            std::string argument = keyword.size() < line.size() ? trim(line.substr(keyword.size())) : "";
            if (keyword == "category") {
                if (!m_category.name.empty()) fail("a second category line");
                requireArgument(argument);
                m_category.name = toLatin1(argument);
            } else if (keyword == "subsection") {
                requireCategory();
                requireArgument(argument);
                m_category.subsections.push_back({toLatin1(argument), {}});
            } else if (keyword == "table") {
                requireArgument(argument);
                if (m_tables.count(argument)) fail("table \"" + argument + "\" defined twice");
                m_tables[argument] = readTable();
            } else if (keyword == "question") {
                Subsection& subsection = currentSubsection();
                size_t line = m_next;
                ItemLines item = readItem();
                subsection.questions.push_back(makeQuestion(item, {}, nullptr, {}, line));
            } else if (keyword == "template") {
                expandTemplate(argument);
            } else {
                fail("unknown line \"" + line + "\"");
            }
        }
        requireCategory();
        if (m_category.subsections.empty()) fail("no subsection");
        return std::move(m_category);
    }

private:
    [[noreturn]] void fail(const std::string& message, size_t line = 0) const {
        throw ContentError(m_name + ":" + std::to_string(line ? line : m_next) + ": " + message);
    }

    void requireArgument(const std::string& argument) const {
        if (argument.empty()) fail("a name is missing");
    }
    void requireCategory() const {
        if (m_category.name.empty()) fail("the file must start with a category line");
    }

    Subsection& currentSubsection() {
        requireCategory();
        if (m_category.subsections.empty()) fail("an item before the first subsection");
        return m_category.subsections.back();
    }

    Table readTable() {
        Table table;
        size_t width = 0;
        while (true) {
            if (m_next >= m_lines.size()) fail("table without \"end\"");
            std::string line = trim(m_lines[m_next++]);
            if (line == "end") break;
            if (line.empty() || line[0] == '#') continue;
            Row row = splitFields(line);
            if (width == 0) width = row.size();
            if (row.size() != width)
                fail("a row of " + std::to_string(row.size()) + " fields, the table has " +
                     std::to_string(width));
            table.rows.push_back(std::move(row));
        }
        if (table.rows.empty()) fail("an empty table");
        return table;
    }

    ItemLines readItem() {
        ItemLines item;
        bool haveQuestion = false, haveRight = false, haveExplanation = false;
        while (true) {
            if (m_next >= m_lines.size()) fail("item without \"end\"");
            std::string line = trim(m_lines[m_next++]);
            if (line == "end") break;
            if (line.empty() || line[0] == '#') continue;
            if (line.size() < 2 || line[1] != ' ') fail("expected Q, A, W or E and a text");
            std::string text = trim(line.substr(2));
            if (text.empty()) fail("an empty text");
            switch (line[0]) {
                case 'Q':
                    if (haveQuestion) fail("a second Q line");
                    item.question = text, haveQuestion = true;
                    break;
                case 'A':
                    if (haveRight) fail("a second A line");
                    item.right = text, haveRight = true;
                    break;
                case 'W':
                    if (item.wrong.size() == 2) fail("a third W line");
                    item.wrong.push_back(text);
                    break;
                case 'E':
                    if (haveExplanation) fail("a second E line");
                    item.explanation = text, haveExplanation = true;
                    break;
                default:
                    fail("expected Q, A, W or E and a text");
            }
        }
        if (!haveQuestion || !haveRight || item.wrong.size() != 2 || !haveExplanation) {
            fail("an item needs one Q, one A, two W and one E line");
        }
        return item;
    }

    // Replaces {N}, {N^}, {OTHER.N} and {OTHER.N^}.
    std::string substitute(const std::string& pattern, const Row& row, const std::string& otherName,
                           const Row* other, size_t line) const {
        std::string out;
        for (size_t i = 0; i < pattern.size(); ++i) {
            if (pattern[i] != '{') {
                out += pattern[i];
                continue;
            }
            size_t close = pattern.find('}', i);
            if (close == std::string::npos) fail("an unclosed '{'", line);
            std::string key = pattern.substr(i + 1, close - i - 1);
            bool capital = !key.empty() && key.back() == '^';
            if (capital) key.pop_back();
            const Row* source = &row;
            size_t dot = key.find('.');
            if (dot != std::string::npos) {
                if (other == nullptr || key.substr(0, dot) != otherName)
                    fail("unknown table in {" + key + "}", line);
                source = other;
                key = key.substr(dot + 1);
            }
            if (key.empty() || key.size() > 2 ||
                !std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                fail("bad placeholder {" + key + "}", line);
            }
            size_t field = std::stoul(key);
            if (field == 0 || field > source->size()) fail("no field " + key + " in the table", line);
            std::string value = (*source)[field - 1];
            if (capital && !value.empty())
                value[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
            out += value;
            i = close;
        }
        return out;
    }

    Question makeQuestion(const ItemLines& item, const Row& row, const Row* other,
                          const std::string& otherName, size_t line) const {
        auto expand = [&](const std::string& pattern) {
            return toLatin1(substitute(pattern, row, otherName, other, line), line);
        };
        Question question;
        question.text = expand(item.question);
        question.right = expand(item.right);
        question.wrongFirst = expand(item.wrong[0]);
        question.wrongSecond = expand(item.wrong[1]);
        question.explanation = expand(item.explanation);
        question.origin = m_name + ":" + std::to_string(line);
        return question;
    }

    void expandTemplate(const std::string& argument) {
        Subsection& subsection = currentSubsection();
        size_t line = m_next;
        std::istringstream names(argument);
        std::string tableName, otherName, extra;
        names >> tableName >> otherName >> extra;
        if (tableName.empty() || !extra.empty()) fail("template needs one or two table names");
        const Table& table = findTable(tableName);
        const Table* other = otherName.empty() ? nullptr : &findTable(otherName);
        ItemLines item = readItem();
        // Rows of the second table are paired in turn, shifted by the template's position, so that two
        // templates over the same tables pair differently.
        size_t shift = m_templatesSeen++;
        for (size_t i = 0; i < table.rows.size(); ++i) {
            const Row* pairRow = other ? &other->rows[(i + shift) % other->rows.size()] : nullptr;
            subsection.questions.push_back(makeQuestion(item, table.rows[i], pairRow, otherName, line));
        }
    }

    const Table& findTable(const std::string& name) const {
        auto found = m_tables.find(name);
        if (found == m_tables.end()) fail("no table \"" + name + "\" above");
        return found->second;
    }

    // UTF-8 in, ISO-8859-1 out; any character above U+00FF is refused.
    std::string toLatin1(const std::string& text, size_t line = 0) const {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            unsigned char byte = static_cast<unsigned char>(text[i]);
            if (byte < 0x80) {
                out += static_cast<char>(byte);
            } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < text.size() &&
                       (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
                out += static_cast<char>(((byte & 0x03) << 6) |
                                         (static_cast<unsigned char>(text[i + 1]) & 0x3F));
                ++i;
            } else {
                fail("a character outside ISO-8859-1 in \"" + text + "\"", line);
            }
        }
        return out;
    }

    std::string m_name;
    std::vector<std::string> m_lines;
    size_t m_next = 0;
    Category m_category;
    std::map<std::string, Table> m_tables;
    size_t m_templatesSeen = 0;
};

}  // namespace

Category ContentReader::readCategory(const std::string& source, const std::string& name) {
    return CategoryParser(source, name).parse();
}

QuizContent ContentReader::readDirectory(const std::filesystem::path& directory) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        if (entry.is_regular_file() && entry.path().extension() == ".txt") files.push_back(entry.path());
    }
    if (error) throw ContentError(directory.string() + ": " + error.message());
    std::sort(files.begin(), files.end());
    QuizContent content;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) throw ContentError(file.string() + ": cannot be read");
        content.categories.push_back(readCategory(source, file.filename().string()));
    }
    return content;
}

}  // namespace resbuild
