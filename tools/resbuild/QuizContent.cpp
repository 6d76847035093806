#include "tools/resbuild/QuizContent.h"

namespace resbuild {

size_t QuizContent::questionCount() const {
    size_t count = 0;
    for (const Category& category : categories) {
        for (const Subsection& subsection : category.subsections) count += subsection.questions.size();
    }
    return count;
}

}  // namespace resbuild
