// Reads the question sources under content/questions: one UTF-8 text file per category, in file-name
// order, holding hand-written items and templates expanded over the file's word tables.
//
//   category NAME            once, first
//   subsection NAME          starts a subsection; items and templates below belong to it
//   table NAME               rows of fields separated by '|', up to "end"
//   question                 Q, A, W, W, E lines (question, right, two wrong, explanation), then "end"
//   template TABLE [OTHER]   the same five lines with {N} (field N of a TABLE row), {OTHER.N} (field
//                            N of the OTHER row paired with it) and {N^} (first letter capitalised);
//                            one question per row of TABLE
//
// Lines starting with '#' and blank lines between blocks are ignored.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "tools/resbuild/QuizContent.h"

namespace resbuild {

// "file:line: what is wrong".
class ContentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ContentReader {
public:
    // Reads every *.txt file of directory in name order; throws ContentError on a malformed source or a
    // character outside ISO-8859-1.
    static QuizContent readDirectory(const std::filesystem::path& directory);

    // One category's source; name is used in messages only.
    static Category readCategory(const std::string& source, const std::string& name);
};

}  // namespace resbuild
