// The rules every question bank obeys before the builder writes it: sixteen categories, short
// ISO-8859-1 fields, distinct answers, no repeated question, texts short enough for their boxes, and
// the wording faults a reader would otherwise have to catch by eye.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/resbuild/QuizContent.h"

namespace resbuild {

struct ContentLimits {
    // Every stored field has a one-byte length.
    size_t fieldBytes = 255;
    // Upper bounds that keep an answer within two lines of its button, an explanation within the
    // information box and a question within its box at the main font's widest average advance.
    size_t answerBytes = 44;
    size_t questionBytes = 170;
    size_t explanationBytes = 210;
};

// Where the quiz wraps each text, in low-resolution pixels of the main font, and how many lines fit.
struct LayoutLimits {
    int answerWidth = 208;
    size_t answerLines = 2;
    int questionWidth = 239 - 2 * 11;
    size_t questionLines = 5;
    int explanationWidth = 230 - 2 * 11;
    size_t explanationLines = 14;
};

// Splits a text into lines no wider than the width.
using TextWrapper = std::function<std::vector<std::string>(const std::string& text, int width)>;

class ContentRules {
public:
    // Every text that would not fit its box when wrapped in the main font.
    static std::vector<std::string> checkLayout(const QuizContent& content, const TextWrapper& wrap,
                                                const LayoutLimits& limits = {});

    // Every fault found, each "origin: message"; empty when the content may be written.
    static std::vector<std::string> check(const QuizContent& content, const ContentLimits& limits = {});

    // Wording faults, each "origin: message": a question that does not end with "?", "." or "!" (a
    // closing quotation mark may follow), or that asks with "Which", "How", "Is" ... and has no "?"
    // outside its quotations; an answer equal to another of its question up to case and
    // spaces (a case difference is allowed when the explanation is about capital letters); a right
    // answer of two words or more that the stem shows word for word outside its gap while neither wrong
    // answer stands there; a pronoun that disagrees with the personal pronoun of its clause it refers
    // back to, in the stem read with the right answer in its gap, the right answer or the explanation: a
    // reflexive unlike that pronoun ("She taught himself"), or "his", "its" or a possessive "her" after
    // plural pronouns only ("They are proud of her son"), unless a noun phrase comes between; and a
    // question asked in two categories: the same quoting or gapped stem, the same plain stem with the
    // same right answer, or the same three answers, all compared up to case and spaces.
    static std::vector<std::string> checkWording(const QuizContent& content);
};

}  // namespace resbuild
