// Greedy word wrap shared by the builder's two lettering paths: words are added to a line while the
// measured line stays within the width; a word wider than the width stands on a line of its own.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace resbuild {

template <class Measure>
std::vector<std::string> wrapWords(const std::string& text, int maxWidth, Measure measure) {
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word, line;
    while (words >> word) {
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && measure(candidate) > maxWidth) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace resbuild
