// The canvas's text beside the platform's: word wrap of a 250-character explanation at the quiz's
// answer width beside Font::stringWidth of the same text, and a 40-character line drawn in a quiz-style
// bitmap font beside Graphics::drawString in the platform's bitmap font. Both fonts are made from the
// same glyph masks, so the two sides draw the same pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/HookCanvas.h"
#include "graphics/BitmapFontSystem.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "runtime/String.h"
#include "tools/BitmapFontWriter.h"
#include "tools/FontGroupWriter.h"

using java::lang::String;
using javax::microedition::lcdui::BitmapFontSystem;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;

namespace {

constexpr int kFontHeight = 16;
constexpr int kAnswerWidth = 208;
constexpr int kWidth = 640;
constexpr int kHeight = 64;
constexpr int kFontRes = 0;

// Printable ASCII, 5 to 9 pixels wide and 11 rows tall, about half of each box inked.
std::vector<fonttools::GlyphMask> benchGlyphs() {
    std::vector<fonttools::GlyphMask> glyphs;
    for (unsigned short code = 0x21; code < 0x7F; ++code) {
        fonttools::GlyphMask glyph;
        glyph.code = code;
        glyph.width = 5 + code % 5;
        glyph.height = 11;
        glyph.yOffset = 3;
        for (int y = 0; y < glyph.height; ++y) {
            for (int x = 0; x < glyph.width; ++x)
                glyph.coverage.push_back(((x + y + code) % 3) != 0 ? 255 : 0);
        }
        glyphs.push_back(glyph);
    }
    return glyphs;
}

// A canvas whose resources are in memory: the font group at ids 0 to 3.
class MemoryCanvas : public HookCanvas {
    TESL_CLASS(MemoryCanvas, "bench.MemoryCanvas", HookCanvas)
public:
    MemoryCanvas() noexcept {}
    JavaPtr<JArray<signed char>> getResourceByteArray(int32_t id) override {
        auto found = resources.find(id);
        if (found == resources.end()) return nullptr;
        auto bytes = jnew<JArray<signed char>>(static_cast<int>(found->second.size()));
        for (size_t i = 0; i < found->second.size(); ++i)
            bytes->data[i] = static_cast<signed char>(found->second[i]);
        return bytes;
    }
    std::map<int, std::vector<uint8_t>> resources;
};

JavaPtr<String> text(const std::string& s) {
    return jnew<String>(s.c_str());
}

struct TextStage {
    JavaPtr<MemoryCanvas> canvas;
    JavaPtr<Font> font;
    int slot = -1;
    std::vector<uint32_t> buffer = std::vector<uint32_t>(static_cast<size_t>(kWidth) * kHeight, 0xFF000000u);
    JavaPtr<Graphics> graphics = jnew<Graphics>();

    TextStage() {
        const auto glyphs = benchGlyphs();
        fonttools::FontDescription platform;
        platform.fontHeight = kFontHeight;
        platform.spaceAdvance = 4;
        platform.glyphs = glyphs;
        std::string error;
        const auto file =
            fonttools::writeBitmapFont(platform, {fonttools::FontEncoding::Coverage, 0, 8}, &error);
        if (file.empty() || !BitmapFontSystem::initFromData(file.data(), file.size())) std::abort();
        font = Font::getFont(Font::FACE_PROPORTIONAL, Font::STYLE_PLAIN, Font::SIZE_SMALL);

        restools::FontGroup quiz;
        quiz.fontHeight = kFontHeight;
        quiz.spaceAdvance = 4;
        quiz.glyphs = glyphs;
        restools::FontGroupWriter::Resources resources;
        if (!restools::FontGroupWriter::write(quiz, &resources, &error)) std::abort();
        HookCanvas::HookCanvas_globalStaticCreate();
        HookCanvas::PARAM_TS_BASE_SCREEN_HEIGHT.store(480);
        canvas = jnew<MemoryCanvas>();
        canvas->TESLinitconstructor();
        canvas->resources = {{kFontRes, resources.characterTable},
                             {kFontRes + 1, resources.widthTable},
                             {kFontRes + 2, resources.glyphSheet},
                             {kFontRes + 3, resources.palette}};
        slot = canvas->loadBitmapFont(kFontRes, -1);
        if (slot != 0) std::abort();

        graphics->pixels = buffer.data();
        graphics->width = kWidth;
        graphics->height = kHeight;
        graphics->setClip(0, 0, kWidth, kHeight);
        graphics->setColor(0xFFFFFF);
        graphics->setFont(font);
        canvas->setFont(graphics, slot);
    }
};

TextStage& stage() {
    static TextStage shared;
    return shared;
}

const JavaPtr<String>& explanation() {
    static const JavaPtr<String> s = text(
        "The present perfect joins a past action to the present moment: we use it for experiences, for "
        "changes that still matter now, and with words such as already, yet, ever and never. The past "
        "simple places an action at a finished time, such as last March.");
    return s;
}

const JavaPtr<String>& line40() {
    static const JavaPtr<String> s = text("Which sentence uses the article a or an?");
    return s;
}

void BM_SplitStringExplanation(benchmark::State& state) {
    TextStage& s = stage();
    for (auto _ : state) benchmark::DoNotOptimize(s.canvas->splitString(explanation(), s.slot, kAnswerWidth));
    state.SetLabel(std::to_string(explanation()->length()) + " characters");
}
BENCHMARK(BM_SplitStringExplanation);

void BM_FontStringWidthExplanation(benchmark::State& state) {
    TextStage& s = stage();
    for (auto _ : state) benchmark::DoNotOptimize(s.font->stringWidth(explanation()));
}
BENCHMARK(BM_FontStringWidthExplanation);

void BM_CanvasDrawStringLine(benchmark::State& state) {
    TextStage& s = stage();
    for (auto _ : state) s.canvas->drawString(s.graphics, line40(), 4, 8, Graphics::TOP | Graphics::LEFT, -1);
    benchmark::DoNotOptimize(s.buffer.data());
}
BENCHMARK(BM_CanvasDrawStringLine);

void BM_GraphicsDrawStringLine(benchmark::State& state) {
    TextStage& s = stage();
    for (auto _ : state) s.graphics->drawString(line40(), 4, 8, Graphics::TOP | Graphics::LEFT);
    benchmark::DoNotOptimize(s.buffer.data());
}
BENCHMARK(BM_GraphicsDrawStringLine);

}  // namespace
