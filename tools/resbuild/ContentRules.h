// The rules every question bank obeys before the builder writes it: sixteen categories, short
// ISO-8859-1 fields, distinct answers, no repeated question, texts short enough for their boxes.
#pragma once

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

class ContentRules {
public:
    // Every fault found, each "origin: message"; empty when the content may be written.
    static std::vector<std::string> check(const QuizContent& content, const ContentLimits& limits = {});
};

}  // namespace resbuild
