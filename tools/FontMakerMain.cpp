// fontmaker: renders a TrueType/OpenType font into the bitmap font file that the runtime loads at
// start-up ("tsbmpfnt").
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/BitmapFontWriter.h"
#include "tools/FreeTypeGlyphSource.h"

namespace {

constexpr const char* kDefaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

const char* const kHelp =
    R"(Usage: fontmaker [options] OUTPUT

Renders a TrueType or OpenType font at one pixel height into a bitmap font file
(the "tsbmpfnt" resource), which the runtime reads at start-up and draws all
text with.

Options:
  --font PATH         the font to render (default: DejaVu Sans,
                      /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf)
  --size N            line height in pixels, 1 to 255 (default 16); ascent plus
                      descent of the font fill it, scaled down a little when
                      that is needed for every chosen character to fit
  --chars LIST        characters to include, comma separated: a code (65, 0x41
                      or U+0041), a range (0x41-0x5A), or "ascii" (0x21-0x7E) or
                      "latin1" (ascii and 0xA1-0xFF). Default: latin1
  --chars-from FILE   also include every character of this UTF-8 text file
  --encoding NAME     how the file is written:
                        plain     a zero byte instead of the marker;
                                  4-bit runs; 1 bit per pixel (the default)
                        coverage  marker, version 0, 8 value bits; 8-bit
                                  anti-aliased coverage
                        custom    marker with --version and --value-bits; 1
                                  bit per pixel
  --version N         the version written by the custom encoding (default 1)
  --value-bits N      value bits of the custom encoding, 1 to 8 (default 4);
                      8 writes (value, count) byte pairs, fewer one-byte runs.
                      Version 0 with 8 value bits is the coverage encoding.
  --columns N         glyph cells per sheet row (default: a near-square grid)
  --help              show this text

In the 1-bit encodings a pixel is set where the anti-aliased coverage is at
least 128. The space is not stored as a glyph: the reader adds it with the
font's space advance, so 0x20 in the list is ignored. Characters the font lacks
are left out and listed. Glyphs are at most 32 pixels wide; wider ones, and any
that still overrun the line, are cut and listed. Every character advances by
its box width plus one pixel.
)";

struct Options {
    std::string font = kDefaultFont;
    int size = 16;
    std::set<unsigned int> codes;
    bool codesGiven = false;
    std::string charsFrom;
    fonttools::EncodingSettings encoding;
    int customVersion = 1;
    int customValueBits = 4;
    int columns = 0;
    std::string output;
};

bool parseInteger(const std::string& text, long* value) {
    if (text.empty()) return false;
    std::string digits = text;
    int base = 10;
    if (digits.rfind("U+", 0) == 0 || digits.rfind("u+", 0) == 0) {
        digits = digits.substr(2);
        base = 16;
    }
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(digits.c_str(), &end, base == 16 ? 16 : 0);
    if (errno != 0 || end == digits.c_str() || *end != 0) return false;
    *value = parsed;
    return true;
}

bool addCharacterList(const std::string& list, std::set<unsigned int>* codes, std::string* error) {
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item == "ascii" || item == "latin1") {
            for (unsigned int c = 0x21; c <= 0x7E; ++c) codes->insert(c);
            if (item == "latin1")
                for (unsigned int c = 0xA1; c <= 0xFF; ++c) codes->insert(c);
            continue;
        }
        size_t dash = item.find('-', 1);
        long first = 0;
        long last = 0;
        bool ok = dash == std::string::npos ? parseInteger(item, &first) && (last = first, true)
                                            : parseInteger(item.substr(0, dash), &first) &&
                                                  parseInteger(item.substr(dash + 1), &last);
        if (!ok || first < 0 || last > 0xFFFF || first > last) {
            *error = "bad character item \"" + item + "\"";
            return false;
        }
        for (long c = first; c <= last; ++c) codes->insert(static_cast<unsigned int>(c));
    }
    return true;
}

// The characters of a UTF-8 file that fit one UTF-16 unit, except line ends and tabs.
bool addCharactersOfFile(const std::string& path, std::set<unsigned int>* codes, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80         ? 0
                    : (lead >> 5) == 6  ? 1
                    : (lead >> 4) == 14 ? 2
                    : (lead >> 3) == 30 ? 3
                                        : -1;
        if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) {
            *error = path + " is not UTF-8 text";
            return false;
        }
        unsigned int code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                *error = path + " is not UTF-8 text";
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        i += static_cast<size_t>(extra) + 1;
        if (code >= 0x20 && code <= 0xFFFF && code != 0x7F) codes->insert(code);
    }
    return true;
}

bool parseArguments(int argc, char** argv, Options* options, bool* help, std::string* error) {
    std::string encodingName = "plain";
    bool versionGiven = false;
    bool valueBitsGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        auto needValue = [&](std::string* value) {
            if (i + 1 >= argc) {
                *error = argument + " needs a value";
                return false;
            }
            *value = argv[++i];
            return true;
        };
        auto needInteger = [&](int low, int high, int* target) {
            std::string text;
            long value = 0;
            if (!needValue(&text)) return false;
            if (!parseInteger(text, &value) || value < low || value > high) {
                *error =
                    argument + " takes a number from " + std::to_string(low) + " to " + std::to_string(high);
                return false;
            }
            *target = static_cast<int>(value);
            return true;
        };
        std::string value;
        if (argument == "--help" || argument == "-h") {
            *help = true;
            return true;
        } else if (argument == "--font") {
            if (!needValue(&options->font)) return false;
        } else if (argument == "--size") {
            if (!needInteger(1, 255, &options->size)) return false;
        } else if (argument == "--chars") {
            if (!needValue(&value) || !addCharacterList(value, &options->codes, error)) return false;
            options->codesGiven = true;
        } else if (argument == "--chars-from") {
            if (!needValue(&options->charsFrom)) return false;
        } else if (argument == "--encoding") {
            if (!needValue(&encodingName)) return false;
        } else if (argument == "--version") {
            if (!needInteger(-32768, 32767, &options->customVersion)) return false;
            versionGiven = true;
        } else if (argument == "--value-bits") {
            if (!needInteger(1, 8, &options->customValueBits)) return false;
            valueBitsGiven = true;
        } else if (argument == "--columns") {
            if (!needInteger(1, 32767, &options->columns)) return false;
        } else if (!argument.empty() && argument[0] == '-') {
            *error = "unknown option " + argument;
            return false;
        } else if (options->output.empty()) {
            options->output = argument;
        } else {
            *error = "only one output file can be given";
            return false;
        }
    }
    if (encodingName == "plain") {
        options->encoding.encoding = fonttools::FontEncoding::Plain;
    } else if (encodingName == "coverage") {
        options->encoding.encoding = fonttools::FontEncoding::Coverage;
    } else if (encodingName == "custom") {
        options->encoding = {fonttools::FontEncoding::Custom, options->customVersion,
                             options->customValueBits};
    } else {
        *error = "unknown encoding " + encodingName + " (plain, coverage or custom)";
        return false;
    }
    if ((versionGiven || valueBitsGiven) && encodingName != "custom") {
        *error = "--version and --value-bits belong to --encoding custom";
        return false;
    }
    if (options->output.empty()) {
        *error = "no output file given";
        return false;
    }
    if (!options->codesGiven) addCharacterList("latin1", &options->codes, error);
    if (!options->charsFrom.empty() && !addCharactersOfFile(options->charsFrom, &options->codes, error))
        return false;
    options->codes.erase(0x20);
    return true;
}

// Written beside the target, flushed to disk and renamed over it, so a reader never sees half a font.
bool writeFileDurably(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    const std::string temporary = path + ".tmp";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = "cannot create " + temporary + ": " + std::strerror(errno);
        return false;
    }
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = "cannot write " + temporary + ": " + std::strerror(errno);
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        written += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        *error = "cannot flush " + temporary + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = "cannot rename " + temporary + " to " + path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    std::string directory = path.find('/') == std::string::npos ? "." : path.substr(0, path.rfind('/'));
    if (directory.empty()) directory = "/";
    int directoryFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd >= 0) {
        ::fsync(directoryFd);
        ::close(directoryFd);
    }
    return true;
}

std::string describeCodes(const std::vector<unsigned int>& codes) {
    std::string text;
    for (unsigned int code : codes) {
        char item[16];
        std::snprintf(item, sizeof item, "%sU+%04X", text.empty() ? "" : " ", code);
        text += item;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool help = false;
    std::string error;
    if (!parseArguments(argc, argv, &options, &help, &error)) {
        std::fprintf(stderr, "fontmaker: %s\n(fontmaker --help explains the options)\n", error.c_str());
        return 2;
    }
    if (help) {
        std::fputs(kHelp, stdout);
        return 0;
    }

    fonttools::FreeTypeGlyphSource source;
    if (!source.open(options.font, options.size, &error)) {
        std::fprintf(stderr, "fontmaker: %s\n", error.c_str());
        return 1;
    }
    fonttools::FontDescription font;
    font.fontHeight = options.size;
    font.columns = options.columns;
    std::vector<unsigned int> missing;
    std::vector<unsigned int> present;
    for (unsigned int code : options.codes) (source.hasGlyph(code) ? present : missing).push_back(code);
    if (!source.fitLine(present))
        std::fprintf(stderr,
                     "fontmaker: the characters do not all fit %d pixels even at three quarters scale\n",
                     options.size);
    font.spaceAdvance = source.advance(0x20) - 1;
    std::vector<unsigned int> cut;
    for (unsigned int code : present) {
        fonttools::GlyphMask glyph;
        bool clipped = false;
        if (!source.render(code, &glyph, &clipped, &error)) {
            std::fprintf(stderr, "fontmaker: %s\n", error.c_str());
            return 1;
        }
        if (clipped) cut.push_back(code);
        font.glyphs.push_back(std::move(glyph));
    }
    if (!missing.empty())
        std::fprintf(stderr, "fontmaker: not in the font, left out: %s\n", describeCodes(missing).c_str());
    if (!cut.empty())
        std::fprintf(stderr, "fontmaker: cut to the line or to 32 columns: %s\n", describeCodes(cut).c_str());

    std::vector<uint8_t> bytes = fonttools::writeBitmapFont(font, options.encoding, &error);
    if (bytes.empty()) {
        std::fprintf(stderr, "fontmaker: %s\n", error.c_str());
        return 1;
    }
    if (!writeFileDurably(options.output, bytes, &error)) {
        std::fprintf(stderr, "fontmaker: %s\n", error.c_str());
        return 1;
    }
    std::printf("fontmaker: %zu glyphs, line height %d, %zu bytes written to %s\n", font.glyphs.size(),
                options.size, bytes.size(), options.output.c_str());
    return 0;
}
