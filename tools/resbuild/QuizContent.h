// The quiz's question content as the builder holds it: sixteen categories of subsections of questions,
// every text already in ISO-8859-1 bytes.
#pragma once

#include <string>
#include <vector>

namespace resbuild {

struct Question {
    std::string text;
    std::string right;
    std::string wrongFirst;
    std::string wrongSecond;
    std::string explanation;
    // "file:line" of the item or template that made it, for fault messages.
    std::string origin;
};

struct Subsection {
    std::string name;
    std::vector<Question> questions;
};

struct Category {
    std::string name;
    std::vector<Subsection> subsections;
};

struct QuizContent {
    std::vector<Category> categories;

    size_t questionCount() const;
};

inline constexpr size_t kCategoryCount = 16;

}  // namespace resbuild
