#include "tools/resbuild/ContentRules.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace resbuild {

namespace {

std::string folded(const std::string& text) {
    std::string out = text;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return out;
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
