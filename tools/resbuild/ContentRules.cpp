#include "tools/resbuild/ContentRules.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace resbuild {

namespace {

std::string folded(const std::string& text) {
    std::string out = text;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return out;
}

// Lower case, runs of spaces as one, no spaces at either end.
std::string loose(const std::string& text) {
    std::string out;
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte == ' ' || byte == '\t') {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += static_cast<char>(std::tolower(byte));
        }
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// What is wrong with the end of a stem, or empty. It ends with "?", "." or "!", and closing
// quotation marks may follow, a bracketed hint may not. A stem that asks a question must carry its
// own "?" outside the quotation marks: the full stop of a quoted answer does not end it.
std::string stemEndFault(const std::string& text) {
    size_t end = text.find_last_not_of(" \t\"'");
    if (end == std::string::npos || (text[end] != '?' && text[end] != '.' && text[end] != '!'))
        return "the question does not end with \"?\", \".\" or \"!\"";
    static const std::set<std::string> asking = {"which", "what", "who", "whom",  "whose", "where",
                                                 "when",  "why",  "how", "is",    "are",   "do",
                                                 "does",  "did",  "can", "could", "will",  "would"};
    std::string first = loose(text.substr(0, text.find_first_of(" \t")));
    if (!asking.count(first)) return {};
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (c == '?' && !quoted) return {};
    }
    return "the question has no \"?\" of its own outside the quotation";
}

// A stem that quotes a sentence or leaves a gap is a question by itself; "Which sentence is correct?"
// is only an instruction, and its answers make the question.
bool specificStem(const std::string& text) {
    return text.find('"') != std::string::npos || text.find("___") != std::string::npos;
}

bool printableLatin1(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        unsigned char byte = static_cast<unsigned char>(c);
        return (byte >= 0x20 && byte < 0x7F) || byte >= 0xA0;
    });
}

}  // namespace

std::vector<std::string> ContentRules::check(const QuizContent& content, const ContentLimits& limits) {
    std::vector<std::string> faults;
    if (content.categories.size() != kCategoryCount) {
        faults.push_back("content: " + std::to_string(content.categories.size()) + " categories, not " +
                         std::to_string(kCategoryCount));
    }
    auto checkName = [&](const std::string& name, const std::string& what) {
        if (name.empty() || name.size() > limits.fieldBytes || !printableLatin1(name)) {
            faults.push_back("content: " + what + " \"" + name + "\" is empty, too long or unprintable");
        }
    };
    std::set<std::string> seenQuestions;
    for (const Category& category : content.categories) {
        checkName(category.name, "category name");
        if (category.subsections.empty())
            faults.push_back("content: category \"" + category.name + "\" is empty");
        for (const Subsection& subsection : category.subsections) {
            checkName(subsection.name, "subsection name");
            if (subsection.questions.empty()) {
                faults.push_back("content: subsection \"" + subsection.name + "\" has no question");
            }
            for (const Question& q : subsection.questions) {
                auto fault = [&](const std::string& message) {
                    faults.push_back(q.origin + ": " + message + " (\"" + q.text + "\")");
                };
                struct Field {
                    const std::string* text;
                    const char* name;
                    size_t limit;
                };
                const Field fields[] = {{&q.text, "question", limits.questionBytes},
                                        {&q.right, "right answer", limits.answerBytes},
                                        {&q.wrongFirst, "first wrong answer", limits.answerBytes},
                                        {&q.wrongSecond, "second wrong answer", limits.answerBytes},
                                        {&q.explanation, "explanation", limits.explanationBytes}};
                for (const Field& field : fields) {
                    if (field.text->empty()) fault(std::string(field.name) + " is empty");
                    if (field.text->size() > std::min(field.limit, limits.fieldBytes)) {
                        fault(std::string(field.name) + " is " + std::to_string(field.text->size()) +
                              " bytes, over " + std::to_string(std::min(field.limit, limits.fieldBytes)));
                    }
                    if (!printableLatin1(*field.text))
                        fault(std::string(field.name) + " has a control character");
                }
                // Exact comparison: a punctuation question may differ from its wrong answers only in
                // capitals.
                const std::string& right = q.right;
                const std::string& first = q.wrongFirst;
                const std::string& second = q.wrongSecond;
                if (first == right || second == right) fault("a wrong answer equals the right one");
                if (first == second) fault("the two wrong answers are equal");
                // A stem such as "Which sentence is correct?" recurs; with the same right answer it is a
                // repeat.
                if (!seenQuestions.insert(folded(q.text) + '\n' + right).second)
                    fault("the question is asked twice");
            }
        }
    }
    return faults;
}

std::vector<std::string> ContentRules::checkWording(const QuizContent& content) {
    std::vector<std::string> faults;
    // Loose stem (and, for a plain stem, loose right answer) to the first category that asked it.
    std::map<std::string, size_t> askedIn;
    // The three answers, loose and sorted, to the first category that offered them.
    std::map<std::string, size_t> offeredIn;
    for (size_t c = 0; c < content.categories.size(); ++c) {
        const Category& category = content.categories[c];
        for (const Subsection& subsection : category.subsections) {
            for (const Question& q : subsection.questions) {
                auto fault = [&](const std::string& message) {
                    faults.push_back(q.origin + ": " + message + " (\"" + q.text + "\")");
                };
                std::string endFault = stemEndFault(q.text);
                if (!endFault.empty()) fault(endFault);

                bool aboutCapitals = loose(q.explanation).find("capital") != std::string::npos;
                auto same = [&](const std::string& a, const std::string& b) {
                    if (loose(a) != loose(b)) return false;
                    // Answers that differ in capitals alone are a fair choice where capitals are asked.
                    return !(aboutCapitals && a != b && folded(a) == folded(b));
                };
                if (same(q.wrongFirst, q.right) || same(q.wrongSecond, q.right))
                    fault("a wrong answer equals the right one up to case and spaces");
                if (same(q.wrongFirst, q.wrongSecond))
                    fault("the two wrong answers are equal up to case and spaces");

                std::string key = loose(q.text);
                if (!specificStem(q.text)) key += '\n' + loose(q.right);
                auto [first, inserted] = askedIn.emplace(key, c);
                if (!inserted && first->second != c) {
                    fault("the question is also asked in \"" + content.categories[first->second].name + "\"");
                }
                // The same three choices offered in two categories drill the same confusion twice.
                std::vector<std::string> choices = {loose(q.right), loose(q.wrongFirst),
                                                    loose(q.wrongSecond)};
                std::sort(choices.begin(), choices.end());
                auto [offered, fresh] =
                    offeredIn.emplace(choices[0] + '\n' + choices[1] + '\n' + choices[2], c);
                if (!fresh && offered->second != c) {
                    fault("the same three answers are offered in \"" +
                          content.categories[offered->second].name + "\"");
                }
            }
        }
    }
    return faults;
}

std::vector<std::string> ContentRules::checkLayout(const QuizContent& content, const TextWrapper& wrap,
                                                   const LayoutLimits& limits) {
    std::vector<std::string> faults;
    for (const Category& category : content.categories) {
        for (const Subsection& subsection : category.subsections) {
            for (const Question& q : subsection.questions) {
                auto check = [&](const std::string& text, const char* what, int width, size_t lines) {
                    size_t used = wrap(text, width).size();
                    if (used > lines) {
                        faults.push_back(q.origin + ": " + what + " takes " + std::to_string(used) +
                                         " lines, over " + std::to_string(lines) + " (\"" + text + "\")");
                    }
                };
                check(q.text, "question", limits.questionWidth, limits.questionLines);
                check(q.right, "right answer", limits.answerWidth, limits.answerLines);
                check(q.wrongFirst, "first wrong answer", limits.answerWidth, limits.answerLines);
                check(q.wrongSecond, "second wrong answer", limits.answerWidth, limits.answerLines);
                check(q.explanation, "explanation", limits.explanationWidth, limits.explanationLines);
            }
        }
    }
    return faults;
}

}  // namespace resbuild
