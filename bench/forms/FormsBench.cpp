// The word wrap of the forms: every line of a 20 KB paragraph cut at 300 pixels, beside one
// Font::stringWidth of the same text, the least any wrap must do. The wrap measures each character once
// per line it looks at, so the two should stay within a small factor; a wrap that measured each line
// prefix again would grow with the square of the line length.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/graphics/BenchFont.h"
#include "forms/ItemOwner.h"
#include "forms/StringItem.h"
#include "forms/TextField.h"
#include "graphics/Font.h"
#include "runtime/String.h"
#include "screens/DisplayableCoreCanvas.h"
#include "shell/Displayable.h"

using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::StringItem;

namespace {

constexpr int kParagraphUnits = 20 * 1024;
constexpr int kWrapWidth = 300;

// Words of 1 to 10 letters from a fixed sequence, one space apart, so every run wraps the same text.
JavaPtr<java::lang::String> paragraph() {
    std::vector<unsigned short> units;
    uint32_t state = 2024;
    while (static_cast<int>(units.size()) < kParagraphUnits) {
        state = state * 1103515245u + 12345u;
        const int letters = 1 + static_cast<int>((state >> 16) % 10);
        for (int i = 0; i < letters && static_cast<int>(units.size()) < kParagraphUnits; ++i) {
            state = state * 1103515245u + 12345u;
            units.push_back(static_cast<unsigned short>('a' + (state >> 16) % 26));
        }
        if (static_cast<int>(units.size()) < kParagraphUnits) units.push_back(' ');
    }
    return jnew<java::lang::String>(units.data(), static_cast<int>(units.size()));
}

struct Text {
    Text() {
        if (!benchfont::loadBenchFont("plain")) font = nullptr;
    }
    JavaPtr<java::lang::String> text = paragraph();
    JavaPtr<Font> font = Font::getFont(0, 0, 8);
};

Text& text() {
    static Text shared;
    return shared;
}

// A form of the wrap width for the string item's own wrap.
class BenchForm : public javax::microedition::lcdui::Displayable,
                  public javax::microedition::lcdui::ItemOwner {
    TESL_CLASS(BenchForm, "bench.BenchForm", javax::microedition::lcdui::Displayable)
public:
    BenchForm() noexcept {}
    BenchForm* TESLinvokeconstructor() {
        Displayable::TESLinvokeconstructor();
        return this;
    }
    javax::microedition::lcdui::Displayable* ownerDisplayable() override { return this; }
    javax::microedition::lcdui::Item* highlightedItem() override { return nullptr; }
    void highlightItem(javax::microedition::lcdui::Item*) override {}
    void itemStateChanged(const JavaPtr<javax::microedition::lcdui::Item>&) override {}
    int usableWidth() override { return kWrapWidth; }
    void setCanvasNeedsRepaint() override {}
};

void BM_StringWidthBaseline(benchmark::State& state) {
    Text& t = text();
    if (!t.font) return state.SkipWithError("bench font not loaded");
    for (auto _ : state) benchmark::DoNotOptimize(t.font->stringWidth(t.text));
    state.SetBytesProcessed(state.iterations() * kParagraphUnits * 2);
}
BENCHMARK(BM_StringWidthBaseline);

void BM_WrapTextLineParagraph(benchmark::State& state) {
    Text& t = text();
    if (!t.font) return state.SkipWithError("bench font not loaded");
    int lines = 0;
    for (auto _ : state) {
        lines = 0;
        int start = 0;
        while (start != -1) {
            int next = -1;
            benchmark::DoNotOptimize(
                StringItem::wrapTextLine(start, kWrapWidth, &next, nullptr, t.text, t.font));
            ++lines;
            start = next;
        }
    }
    state.counters["lines"] = lines;
    state.SetBytesProcessed(state.iterations() * kParagraphUnits * 2);
}
BENCHMARK(BM_WrapTextLineParagraph);

// The string item's whole wrap: the lines, their positions and the arrays that hold them.
void BM_StringItemWrap(benchmark::State& state) {
    Text& t = text();
    if (!t.font) return state.SkipWithError("bench font not loaded");
    JavaPtr<BenchForm> form = jnew<BenchForm>();
    JavaPtr<StringItem> item = jnew<StringItem>(nullptr, t.text);
    item->addToForm(form.get());
    for (auto _ : state) item->wrapTextLines(-1);
    state.counters["lines"] = item->getLines()->length;
    item->removeFromForm();
    state.SetBytesProcessed(state.iterations() * kParagraphUnits * 2);
}
BENCHMARK(BM_StringItemWrap);

// A key typed into a text field of 5,000 characters beside one wrapTextLine pass over the same text: the
// field rewraps once per key, so the two should stay close (within 1.5 times).
constexpr int kFieldUnits = 5000;

JavaPtr<java::lang::String> fieldText() {
    return text().text->substring(0, kFieldUnits);
}

void BM_WrapTextLine5000Baseline(benchmark::State& state) {
    Text& t = text();
    if (!t.font) return state.SkipWithError("bench font not loaded");
    const JavaPtr<java::lang::String> body = fieldText();
    for (auto _ : state) {
        int start = 0;
        while (start != -1) {
            int next = -1;
            benchmark::DoNotOptimize(
                StringItem::wrapTextLine(start, kWrapWidth, &next, nullptr, body, t.font));
            start = next;
        }
    }
}
BENCHMARK(BM_WrapTextLine5000Baseline);

void BM_TextFieldTypeOneKey5000(benchmark::State& state) {
    using javax::microedition::lcdui::DisplayableCoreCanvas;
    using javax::microedition::lcdui::TextField;
    Text& t = text();
    if (!t.font) return state.SkipWithError("bench font not loaded");
    const JavaPtr<java::lang::String> body = fieldText();
    JavaPtr<TextField> field = jnew<TextField>(nullptr, body, kFieldUnits + 1, TextField::ANY);
    field->m_contentWidth = kWrapWidth;
    field->sizeChanged(kWrapWidth, 0);
    field->setString(body);
    for (auto _ : state) {
        state.PauseTiming();
        // Back to the same 5,000 characters; the caret stays after the first one.
        field->setString(body);
        state.ResumeTiming();
        field->keyReleased(DisplayableCoreCanvas::KEY_a);
    }
    state.counters["lines"] = field->getLines()->length;
}
BENCHMARK(BM_TextFieldTypeOneKey5000);

}  // namespace
