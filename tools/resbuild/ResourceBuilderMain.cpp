// resbuild: builds the quiz's bundle from the sources under content/, or checks a built bundle.
#include <cstdio>
#include <cstring>
#include <string>

#include <chrono>

#include "tools/resbuild/BundleBuilder.h"
#include "tools/resbuild/BundleCheck.h"
#include "tools/resbuild/ContentReader.h"
#include "tools/resbuild/ContentRules.h"

namespace {

const char* const kHelp =
    R"(Usage: resbuild --content DIR --out DIR [--profile full|test] [--font PATH]
       resbuild --check DIR
       resbuild --content DIR --stats | --dump

Builds the quiz's bundle from the question sources in DIR/questions (one text
file per category; the format is described in tools/resbuild/ContentReader.h):
the resource map and pack with the pictures, fonts, masks, level thresholds and
sound cues, the language table, topics.dat, the practice banks, shuffle_db.dat,
the start-up pictures and the runtime's font "tsbmpfnt". The content is checked
first: ISO-8859-1 only, every field within 255 bytes, answers within two lines
of their button, no wrong answer equal to the right one, no repeated question,
every question ending with "?", "." or "!", no two answers of a question equal
up to case and spaces (except where capital letters are asked), no right
answer of two words or more standing word for word in its question, no
pronoun disagreeing with the one it refers back to ("They are proud of her
son"), and no question asked in two categories.

Options:
  --content DIR   the content sources
  --out DIR       the bundle folder to write (made when missing; files of the
                  same names are replaced, others left alone)
  --profile NAME  "full" (default) or "test": the small bundle the tests use,
                  with the same ids and picture sizes, flat-colour art, level
                  thresholds of 2, one or two subsections of three questions a
                  category and a test bank of 436 questions
  --font PATH     the TrueType font the bitmap fonts are rendered from
                  (default: /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf)
  --stats         print the question counts per category and any content fault
  --dump          print every question with its source line
  --check DIR     read a built bundle back as the quiz reads it, with the
                  wording checks above over its practice banks; exit 1 naming
                  the first fault
  --help          show this text
)";

int printQuestions(const std::string& contentDir) {
    resbuild::QuizContent content = resbuild::ContentReader::readDirectory(contentDir + "/questions");
    for (const resbuild::Category& category : content.categories) {
        for (const resbuild::Subsection& subsection : category.subsections) {
            for (const resbuild::Question& q : subsection.questions) {
                std::printf("%s | %s | %s\n  Q %s\n  A %s\n  W %s\n  W %s\n  E %s\n", q.origin.c_str(),
                            category.name.c_str(), subsection.name.c_str(), q.text.c_str(), q.right.c_str(),
                            q.wrongFirst.c_str(), q.wrongSecond.c_str(), q.explanation.c_str());
            }
        }
    }
    return 0;
}

int printStats(const std::string& contentDir) {
    resbuild::QuizContent content = resbuild::ContentReader::readDirectory(contentDir + "/questions");
    size_t index = 0;
    for (const resbuild::Category& category : content.categories) {
        size_t count = 0;
        for (const resbuild::Subsection& subsection : category.subsections)
            count += subsection.questions.size();
        std::printf("%2zu %-32s %zu subsections, %zu questions\n", index++, category.name.c_str(),
                    category.subsections.size(), count);
    }
    std::printf("total %zu questions\n", content.questionCount());
    std::vector<std::string> faults = resbuild::ContentRules::check(content);
    std::vector<std::string> wording = resbuild::ContentRules::checkWording(content);
    faults.insert(faults.end(), wording.begin(), wording.end());
    for (const std::string& fault : faults) std::fprintf(stderr, "%s\n", fault.c_str());
    return faults.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string contentDir;
    std::string outDir;
    std::string checkDir;
    std::string fontPath;
    resbuild::BundleProfile profile = resbuild::BundleProfile::Full;
    bool stats = false;
    bool dump = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (arg == "--content" && i + 1 < argc) {
            contentDir = argv[++i];
        } else if (arg == "--out" && i + 1 < argc) {
            outDir = argv[++i];
        } else if (arg == "--check" && i + 1 < argc) {
            checkDir = argv[++i];
        } else if (arg == "--font" && i + 1 < argc) {
            fontPath = argv[++i];
        } else if (arg == "--profile" && i + 1 < argc) {
            std::string name = argv[++i];
            if (name != "full" && name != "test") {
                std::fprintf(stderr, "resbuild: unknown profile \"%s\" (full or test)\n", name.c_str());
                return 64;
            }
            profile = name == "test" ? resbuild::BundleProfile::Test : resbuild::BundleProfile::Full;
        } else if (arg == "--dump") {
            dump = true;
        } else if (arg == "--stats") {
            stats = true;
        } else {
            std::fprintf(stderr, "resbuild: unknown argument \"%s\" (see --help)\n", arg.c_str());
            return 64;
        }
    }
    try {
        if (!checkDir.empty()) {
            std::string fault = resbuild::BundleCheck::check(checkDir);
            if (!fault.empty()) {
                std::fprintf(stderr, "resbuild: %s: %s\n", checkDir.c_str(), fault.c_str());
                return 1;
            }
            std::printf("resbuild: %s passes the check\n", checkDir.c_str());
            return 0;
        }
        if (contentDir.empty()) {
            std::fputs(kHelp, stderr);
            return 64;
        }
        if (dump) return printQuestions(contentDir);
        if (stats) return printStats(contentDir);
        if (!outDir.empty()) {
            auto started = std::chrono::steady_clock::now();
            resbuild::BundleOptions options;
            options.contentDir = contentDir;
            options.profile = profile;
            if (!fontPath.empty()) options.fontPath = fontPath;
            resbuild::BundleFiles files = resbuild::BundleBuilder::build(options);
            resbuild::BundleBuilder::writeFiles(files, outDir);
            size_t bytes = 0;
            for (const auto& [name, data] : files) bytes += data.size();
            auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                            started);
            std::printf("resbuild: %zu files, %zu bytes written to %s in %lld ms\n", files.size(), bytes,
                        outDir.c_str(), static_cast<long long>(ms.count()));
            return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "resbuild: %s\n", error.what());
        return 1;
    }
    std::fputs(kHelp, stderr);
    return 64;
}
