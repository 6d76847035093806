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

struct Word {
    std::string text;
    // Whether it starts with a capital letter, as a name does.
    bool capital;
};

// The words of a text in lower case: letters (ISO-8859-1 ones too), digits and apostrophes. A gap
// "___" is a word of its own, so that no phrase matches across it.
std::vector<Word> casedWordsOf(const std::string& text) {
    std::vector<Word> words;
    Word word{{}, false};
    auto flush = [&] {
        if (!word.text.empty()) words.push_back(word);
        word = {{}, false};
    };
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (std::isalnum(byte) || byte == '\'' || byte >= 0xC0) {
            if (word.text.empty()) word.capital = std::isupper(byte) || (byte >= 0xC0 && byte < 0xDF);
            word.text += static_cast<char>(std::tolower(byte));
        } else if (byte == '_') {
            flush();
            while (i + 1 < text.size() && text[i + 1] == '_') ++i;
            words.push_back({"_", false});
        } else {
            flush();
        }
    }
    flush();
    return words;
}

std::vector<std::string> wordsOf(const std::string& text) {
    std::vector<std::string> words;
    for (const Word& word : casedWordsOf(text)) words.push_back(word.text);
    return words;
}

bool standsIn(const std::vector<std::string>& phrase, const std::vector<std::string>& words) {
    if (phrase.empty()) return false;
    return std::search(words.begin(), words.end(), phrase.begin(), phrase.end()) != words.end();
}

// A right answer of two words or more that the stem shows word for word, outside its gap, when
// neither wrong answer stands there: a player can pick it by matching. A single word may stand in
// the stem: the stem names the word to work on ("the plural of "sheep"") or asks which of its words
// is meant, and short words recur by chance.
bool givesAnswerAway(const Question& q) {
    std::vector<std::string> stem = wordsOf(q.text);
    std::vector<std::string> right = wordsOf(q.right);
    return right.size() >= 2 && standsIn(right, stem) && !standsIn(wordsOf(q.wrongFirst), stem) &&
           !standsIn(wordsOf(q.wrongSecond), stem);
}

// The first pronoun of the text that disagrees with the personal pronoun it refers back to, as
// "\"her\" after \"they\"", or empty. Within a clause (cut at . ? ! ; : , and quotation marks) a
// reflexive must match the last personal pronoun before it ("She taught herself."), and "his", "its"
// or a possessive "her" cannot refer back to pronouns that are all plural ("They are proud of her
// son."). A noun phrase in between ("the", "a", a possessive, a name) may be what the pronoun refers
// to, so it ends the reference.
std::string pronounDisagreement(const std::string& text) {
    static const std::map<std::string, std::string> personal = {
        {"i", "i"},     {"me", "i"},  {"you", "you"}, {"he", "he"},     {"him", "he"},   {"she", "she"},
        {"her", "she"}, {"we", "we"}, {"us", "we"},   {"they", "they"}, {"them", "they"}};
    static const std::map<std::string, std::string> reflexive = {
        {"myself", "i"},    {"yourself", "you"}, {"yourselves", "you"}, {"himself", "he"},
        {"herself", "she"}, {"ourselves", "we"}, {"themselves", "they"}};
    static const std::set<std::string> determiners = {"the",   "a",  "an",   "this", "these",
                                                      "those", "my", "your", "our",  "their"};
    // Words after which "her" is the object ("They asked her whether ..."), not a possessive.
    static const std::set<std::string> afterObject = {
        "the",   "a",      "an",      "to",        "that",  "if",       "whether", "what",  "where", "why",
        "how",   "when",   "who",     "whom",      "about", "at",       "for",     "from",  "in",    "on",
        "with",  "up",     "down",    "out",       "off",   "and",      "but",     "or",    "so",    "some",
        "any",   "my",     "your",    "his",       "her",   "its",      "our",     "their", "this",  "these",
        "those", "not",    "again",   "yesterday", "today", "tomorrow", "now",     "then",  "very",  "too",
        "back",  "home",   "later",   "there",     "here",  "by",       "into",    "onto",  "over",  "under",
        "after", "before", "because", "while",     "until", "since",    "as",      "than"};
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(".?!;:,\"", start);
        if (end == std::string::npos) end = text.size();
        std::string clause = text.substr(start, end - start);
        start = end + 1;
        std::vector<Word> words = casedWordsOf(clause);
        std::string last;
        std::set<std::string> seen;
        for (size_t i = 0; i < words.size(); ++i) {
            const std::string& word = words[i].text;
            // A capital inside the clause starts a name; the first word has one anyway.
            if (i > 0 && words[i].capital && word != "i") {
                last.clear();
                seen.clear();
                continue;
            }
            bool possessiveHer = word == "her" && i + 1 < words.size() && words[i + 1].text != "_" &&
                                 !afterObject.count(words[i + 1].text);
            if (possessiveHer || word == "his" || word == "its") {
                bool allPlural = !seen.empty() &&
                                 std::all_of(seen.begin(), seen.end(),
                                             [](const std::string& p) { return p == "we" || p == "they"; });
                if (allPlural) return "\"" + word + "\" after \"" + last + "\"";
                last.clear();
                seen.clear();
            } else if (auto self = reflexive.find(word); self != reflexive.end()) {
                if (!last.empty() && self->second != last) return "\"" + word + "\" after \"" + last + "\"";
            } else if (auto person = personal.find(word); person != personal.end()) {
                last = person->second;
                seen.insert(last);
            } else if (determiners.count(word)) {
                last.clear();
                seen.clear();
            }
        }
    }
    return {};
}

// The stem as the player reads it once answered: the gap filled with the right answer.
std::string answeredStem(const Question& q) {
    size_t gap = q.text.find("___");
    if (gap == std::string::npos || q.text.find("___", gap + 3) != std::string::npos) return q.text;
    size_t gapEnd = q.text.find_first_not_of('_', gap);
    if (gapEnd == std::string::npos) gapEnd = q.text.size();
    return q.text.substr(0, gap) + q.right + q.text.substr(gapEnd);
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

                if (givesAnswerAway(q)) fault("the right answer stands in the question word for word");
                for (const std::string* text : {&q.text, &q.right, &q.explanation}) {
                    std::string disagreement = pronounDisagreement(text == &q.text ? answeredStem(q) : *text);
                    if (!disagreement.empty()) {
                        fault("a pronoun disagrees with the one it refers back to: " + disagreement);
                        break;
                    }
                }

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
