// Round trips through the fontmaker tool: DejaVu Sans rendered in every encoding loads, and the
// encodings agree with each other glyph by glyph.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/BitmapFontSystem.h"
#include "graphics/Graphics.h"
#include "tests/graphics/FontFixtures.h"
#include "tests/support/graphics/PixelCanvas.h"

using javax::microedition::lcdui::BitmapFontSystem;
using javax::microedition::lcdui::Graphics;
using testsupport::PixelCanvas;

namespace {

struct ToolResult {
    int exitCode = -1;
    std::string output;
};

ToolResult runTool(const std::string& arguments) {
    ToolResult result;
    std::string command = std::string(QUILL_FONTMAKER_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) result.output += buffer;
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What a loaded font holds, glyph by glyph, for comparing two loads.
struct LoadedFont {
    int bpp = 0;
    int height = 0;
    std::vector<int> characterTable;
    std::vector<int> widths;
    std::vector<int> offsets;
    std::vector<std::vector<uint8_t>> masks;
};

LoadedFont captureLoadedFont() {
    LoadedFont font;
    font.bpp = BitmapFontSystem::m_bpp->data[0];
    font.height = BitmapFontSystem::fontHeight(0);
    const JArray<int>& table = *BitmapFontSystem::m_charToIndex->data[0];
    font.characterTable.assign(table.begin(), table.end());
    for (int entry : table) {
        int glyph = static_cast<int>(static_cast<uint32_t>(entry) >> 16);
        font.widths.push_back(BitmapFontSystem::glyphWidth(0, glyph));
        font.offsets.push_back(BitmapFontSystem::glyphYOffset(0, glyph));
        font.masks.push_back(fontfixtures::loadedGlyph(static_cast<unsigned short>(entry & 0xFFFF)));
    }
    return font;
}

class FontMakerTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/fontmaker-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_directory = pattern;
    }
    void TearDown() override { std::system(("rm -rf " + m_directory).c_str()); }

    LoadedFont makeAndLoad(const std::string& name, const std::string& options) {
        const std::string path = m_directory + "/" + name;
        ToolResult result = runTool("--size 14 --chars ascii,0xE9,0x20AC " + options + " " + path);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        std::vector<uint8_t> bytes = readFile(path);
        EXPECT_TRUE(BitmapFontSystem::initFromData(bytes.data(), bytes.size())) << name;
        return captureLoadedFont();
    }

    std::string m_directory;
};

TEST_F(FontMakerTest, AllEncodingsOfDejaVuLoadAndAgree) {
    LoadedFont plain = makeAndLoad("plain", "--encoding plain");
    LoadedFont coverage = makeAndLoad("coverage", "--encoding coverage");
    LoadedFont fourBits = makeAndLoad("custom4", "--encoding custom --version 1 --value-bits 4");
    LoadedFont eightBits = makeAndLoad("custom8", "--encoding custom --version 3 --value-bits 8");
    LoadedFont oneBit = makeAndLoad("custom1", "--encoding custom --version 0 --value-bits 1");

    EXPECT_EQ(plain.bpp, 1);
    EXPECT_EQ(coverage.bpp, 8);
    EXPECT_EQ(plain.height, 14);
    // 94 ASCII characters, e acute, the euro sign and the appended space.
    ASSERT_EQ(plain.characterTable.size(), 97u);
    for (const LoadedFont* other : {&fourBits, &eightBits, &oneBit}) {
        EXPECT_EQ(other->bpp, 1);
        EXPECT_EQ(other->characterTable, plain.characterTable);
        EXPECT_EQ(other->widths, plain.widths);
        EXPECT_EQ(other->offsets, plain.offsets);
        EXPECT_EQ(other->masks, plain.masks);
    }
    EXPECT_EQ(coverage.characterTable, plain.characterTable);
    EXPECT_EQ(coverage.widths, plain.widths);
    EXPECT_EQ(coverage.offsets, plain.offsets);

    int grey = 0;
    int set = 0;
    for (size_t i = 0; i < plain.masks.size(); ++i) {
        ASSERT_EQ(coverage.masks[i].size(), plain.masks[i].size());
        for (size_t k = 0; k < plain.masks[i].size(); ++k) {
            uint8_t value = coverage.masks[i][k];
            ASSERT_EQ(plain.masks[i][k], value >= fonttools::kOneBitThreshold ? 255 : 0) << "glyph " << i;
            grey += value != 0 && value != 255;
            set += plain.masks[i][k] != 0;
        }
    }
    EXPECT_GT(grey, 100);
    EXPECT_GT(set, 500);
}

TEST_F(FontMakerTest, GlyphsHaveTheShapesOfTheirCharacters) {
    LoadedFont font = makeAndLoad("plain", "");
    auto glyphOf = [&](unsigned short code) {
        for (size_t i = 0; i < font.characterTable.size(); ++i)
            if ((font.characterTable[i] & 0xFFFF) == code) return i;
        return font.characterTable.size();
    };
    auto inkRows = [&](unsigned short code) {
        size_t i = glyphOf(code);
        int first = -1;
        int last = -1;
        for (int row = 0; row < font.height; ++row)
            for (int x = 0; x < font.widths[i]; ++x)
                if (font.masks[i][static_cast<size_t>(row) * font.widths[i] + x] != 0) {
                    if (first < 0) first = row;
                    last = row;
                }
        return std::pair{first + font.offsets[i], last + font.offsets[i]};
    };
    // Capitals and x-height letters share a baseline; descenders go below it, and 'W' is wider than 'i'.
    EXPECT_EQ(inkRows('A').second, inkRows('x').second);
    EXPECT_LT(inkRows('A').first, inkRows('x').first);
    EXPECT_GT(inkRows('g').second, inkRows('x').second);
    EXPECT_GT(font.widths[glyphOf('W')], 2 * font.widths[glyphOf('i')]);
    // The space is the appended one, with no pixels, and its width is the font's space advance less 1.
    size_t space = glyphOf(' ');
    EXPECT_EQ(static_cast<uint32_t>(font.characterTable[space]) >> 16, 96u);
    EXPECT_GT(font.widths[space], 1);
}

// White text on black: a one-bit pixel is set exactly where the coverage drawn is at least 128,
// which the blend turns into a red of at least 127.
TEST_F(FontMakerTest, OneBitAndCoverageFontsDrawTheSameTextInTheSamePlaces) {
    auto draw = [&](const std::string& name, const std::string& options, PixelCanvas& canvas) {
        makeAndLoad(name, options);
        JavaPtr<Graphics> g = canvas.makeGraphics();
        g->setColor(0xFFFFFF);
        g->drawString(jnew<java::lang::String>("Quick, jumpy fox: 42 \\u00e9t\\u00e9s!"), 120, 3,
                      Graphics::HCENTER | Graphics::TOP);
    };
    PixelCanvas oneBit(240, 20);
    PixelCanvas coverage(240, 20);
    draw("plain", "", oneBit);
    draw("coverage", "--encoding coverage", coverage);
    int set = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 240; ++x) {
            const uint32_t red = coverage.at(x, y) & 0xFF;
            ASSERT_EQ(oneBit.at(x, y), red >= 127 ? 0xFFFFFFFFu : PixelCanvas::kBackground) << x << "," << y;
            set += red >= 127;
        }
    }
    EXPECT_GT(set, 150);
}

TEST_F(FontMakerTest, HelpExplainsAndBadArgumentsFail) {
    ToolResult help = runTool("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"--encoding", "plain", "coverage", "custom", "--value-bits", "--size", "DejaVu"})
        EXPECT_NE(help.output.find(word), std::string::npos) << word;

    const std::string out = " " + m_directory + "/out";
    for (std::string arguments :
         {std::string(), "--bogus" + out, "--size 0" + out, "--encoding other" + out,
          "--encoding custom --value-bits 9" + out, "--value-bits 4" + out,
          "--encoding custom --version 0 --value-bits 8" + out, "--chars 0x30-0x20" + out}) {
        ToolResult result = runTool(arguments);
        EXPECT_NE(result.exitCode, 0) << arguments;
        EXPECT_FALSE(result.output.empty()) << arguments;
    }
    EXPECT_TRUE(readFile(m_directory + "/out").empty());
    ToolResult missingFont = runTool("--font " + m_directory + "/none.ttf " + m_directory + "/out");
    EXPECT_EQ(missingFont.exitCode, 1);
    EXPECT_NE(missingFont.output.find("cannot open"), std::string::npos);
}

}  // namespace
