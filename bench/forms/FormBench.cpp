// The form's layout and scrolling, each beside what it cannot do without. A relayout of a 300-item form
// (taller than the screen, so two passes) beside asking every item its preferred width and height once,
// and beside that with each text measured once: the layout wraps the texts in each pass, so it is
// compared with the second. One scroll
// step of a never-highlighting form with its repaint beside drawing the same visible lines with plain
// Graphics calls: the form adds the items' frames and the chrome, which should stay under twice the text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/graphics/BenchFont.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/ImageItem.h"
#include "forms/StringItem.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/ScreenSize.h"
#include "screens/DisplayableCoreCanvas.h"

using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::FormCanvas;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::ImageItem;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::ScreenSize;
using javax::microedition::lcdui::StringItem;

namespace {

constexpr int kItems = 300;
constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;

JavaPtr<java::lang::String> text(const std::string& s) {
    std::vector<unsigned short> units(s.begin(), s.end());
    return jnew<java::lang::String>(units.data(), static_cast<int>(units.size()));
}

bool setUp() {
    static const bool ready = [] {
        ScreenSize::width = kScreenWidth;
        ScreenSize::height = kScreenHeight;
        DisplayableCoreCanvas::init();
        return benchfont::loadBenchFont("plain");
    }();
    return ready;
}

// Short texts, words that flow over a row, and small images, in a fixed mix.
JavaPtr<Form> mixedForm(bool neverHighlight) {
    JavaPtr<Form> form = jnew<Form>(text("Bench"));
    if (neverHighlight) form->setNeverHighlightItems(true);
    JavaPtr<Image> image = Image::createImage(24, 24);
    for (int i = 0; i < kItems; ++i) {
        switch (i % 4) {
            case 0:
                form->append(text("item " + std::to_string(i)));
                break;
            case 1:
                form->append(text("a longer line of words that will not fit beside the item before it " +
                                  std::to_string(i)));
                break;
            case 2:
                form->append(image);
                break;
            default:
                form->append(
                    JavaPtr<Item>(jnew<StringItem>(text("Label"), text("labelled " + std::to_string(i)))));
                break;
        }
    }
    form->relayout();
    return form;
}

void BM_PreferredSizesBaseline(benchmark::State& state) {
    if (!setUp()) return state.SkipWithError("bench font not loaded");
    JavaPtr<Form> form = mixedForm(false);
    JavaPtr<Form::ItemArray> items = form->getItems();
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < items->length; ++i)
            sum += items->data[i]->getPreferredWidth() + items->data[i]->getPreferredHeight();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_PreferredSizesBaseline);

// The same, with each string item's text measured once: a string item's size is its text's, and no
// layout of text can do less.
void BM_PreferredSizesWithTextBaseline(benchmark::State& state) {
    if (!setUp()) return state.SkipWithError("bench font not loaded");
    JavaPtr<Form> form = mixedForm(false);
    JavaPtr<Form::ItemArray> items = form->getItems();
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < items->length; ++i) {
            Item* item = items->data[i].get();
            sum += item->getPreferredWidth() + item->getPreferredHeight();
            if (auto* s = static_cast<StringItem*>(item->castAsTypeID(StringItem::TESLclassTypeID)))
                sum += s->getFont()->stringWidth(s->getText());
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_PreferredSizesWithTextBaseline);

void BM_FormRelayout(benchmark::State& state) {
    if (!setUp()) return state.SkipWithError("bench font not loaded");
    JavaPtr<Form> form = mixedForm(false);
    for (auto _ : state) form->relayout();
    state.counters["height"] = form->getFormCanvas()->m_formHeight;
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_FormRelayout);

// A scroll step alternating down and up through the first screens, so every step moves 20 pixels.
struct Scroller {
    explicit Scroller(FormCanvas* c) : canvas(c) {}
    void step() {
        const int key = down ? DisplayableCoreCanvas::KEY_DOWN : DisplayableCoreCanvas::KEY_UP;
        canvas->keyRepeated(key);
        const int position = canvas->getVerticalScrollPos();
        if (position >= 400) down = false;
        if (position <= 0) down = true;
    }
    FormCanvas* canvas;
    bool down = true;
};

void BM_PlainTextDrawingBaseline(benchmark::State& state) {
    if (!setUp()) return state.SkipWithError("bench font not loaded");
    JavaPtr<Form> form = mixedForm(true);
    FormCanvas* canvas = form->getFormCanvas().get();
    JavaPtr<Image> screen = Image::createImage(kScreenWidth, kScreenHeight);
    JavaPtr<Graphics> g = screen->getGraphics();
    JavaPtr<Form::ItemArray> items = form->getItems();
    JavaPtr<Font> font = Font::getFont(0, 0, 8);
    Scroller scroller(canvas);
    const int view = form->getHeight();
    for (auto _ : state) {
        scroller.step();
        // The same texts at the same places, straight onto the screen's image.
        const int offset = canvas->getVerticalScrollPos();
        g->setColor(0xCCCCCC);
        g->fillRect(0, 0, kScreenWidth, kScreenHeight);
        g->setColor(0);
        g->setFont(font);
        for (int i = 0; i < items->length; ++i) {
            Item* item = items->data[i].get();
            if (item->m_y + item->m_height < offset || item->m_y > offset + view) continue;
            auto* s = static_cast<StringItem*>(item->castAsTypeID(StringItem::TESLclassTypeID));
            if (s == nullptr || !s->m_lines) continue;
            for (int l = 0; l < s->m_lines->length; ++l)
                g->drawString(s->m_lines->data[l], item->m_x + s->m_lineX->data[l],
                              item->m_y - offset + s->m_lineY->data[l], Graphics::TOP | Graphics::LEFT);
        }
    }
}
BENCHMARK(BM_PlainTextDrawingBaseline);

void BM_FormScrollStepWithRepaint(benchmark::State& state) {
    if (!setUp()) return state.SkipWithError("bench font not loaded");
    JavaPtr<Form> form = mixedForm(true);
    FormCanvas* canvas = form->getFormCanvas().get();
    JavaPtr<Image> screen = Image::createImage(kScreenWidth, kScreenHeight);
    JavaPtr<Graphics> g = screen->getGraphics();
    Scroller scroller(canvas);
    for (auto _ : state) {
        scroller.step();
        canvas->paint(g);
    }
}
BENCHMARK(BM_FormScrollStepWithRepaint);

}  // namespace
