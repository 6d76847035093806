// The form tests' stage: a 210 x 480 screen (rows 200 pixels wide, a 466-pixel viewport without a title),
// the device key codes, and a box item of fixed sizes that logs what the form canvas asks of it. Every
// pinned form is let go at the end of each case.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/Item.h"
#include "graphics/ScreenSize.h"
#include "screens/DisplayableCoreCanvas.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/EventLog.h"
#include "tests/support/StringText.h"

namespace formstest {

using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::FormCanvas;
using javax::microedition::lcdui::Item;

constexpr int kFormScreenWidth = 210;
constexpr int kFormScreenHeight = 480;
// Without a title: the soft-key bar takes the test font's height and 4.
constexpr int kViewHeight = kFormScreenHeight - testsupport::kTestFontHeight - 4;
constexpr int kUsable = kFormScreenWidth - 10;
constexpr int kPad = 2 * Item::HIGHLIGHT_BOX_PAD_X;

// An item whose item sizes (margins included) are given; logs traversal, keys, touches and ticks under a
// name. focusSteps: how many traversals it keeps the focus for before it lets it go.
class BoxItem : public Item {
    TESL_CLASS(BoxItem, "formstest.BoxItem", Item)
public:
    BoxItem() noexcept {}
    ~BoxItem() override { ++destroyed; }
    BoxItem* TESLinvokeconstructor(std::string name, int width, int height, int layout = 0,
                                   testsupport::EventLog* log = nullptr) {
        Item::TESLinvokeconstructor();
        m_name = std::move(name);
        m_log = log;
        prefWidth = minWidth = width;
        prefHeight = minHeight = height;
        setLayout(layout);
        return this;
    }

    int getMinContentWidth() override { return minWidth - kPad; }
    int getMinContentHeight() override { return minHeight - kPad; }
    int getPrefContentWidth(int) override { return prefWidth - kPad; }
    int getPrefContentHeight(int) override { return prefHeight - kPad; }
    bool traverse(int dir, int, int, const JavaPtr<JArray<int>>& visRect) override {
        record("traverse " + std::to_string(dir));
        if (focusRect.size() == 4) {
            for (int i = 0; i < 4; ++i) visRect->data[i] = focusRect[i];
        }
        if (focusSteps > 0) {
            --focusSteps;
            return true;
        }
        return false;
    }
    void traverseOut() override { record("traverseOut"); }
    const std::string& name() const { return m_name; }
    void keyPressed(int key) override { record("keyPressed " + std::to_string(key)); }
    void keyRepeated(int key) override { record("keyRepeated " + std::to_string(key)); }
    void keyReleased(int key) override { record("keyReleased " + std::to_string(key)); }
    void pointerPressed(int x, int y) override {
        record("pressed " + std::to_string(x) + "," + std::to_string(y));
    }
    void pointerReleased(int x, int y) override {
        record("released " + std::to_string(x) + "," + std::to_string(y));
    }
    void tick(long long) override { record("tick"); }
    void command(const JavaPtr<javax::microedition::lcdui::Command>& c) override {
        record("command " + testsupport::narrow(c->getLabel()));
    }

    int minWidth = 0;
    int minHeight = 0;
    int prefWidth = 0;
    int prefHeight = 0;
    int focusSteps = 0;
    // The visible rectangle the item asks for while it holds the focus, {x, y, w, h}; none when empty.
    std::vector<int> focusRect;
    static inline int destroyed = 0;

private:
    void record(const std::string& what) {
        if (m_log != nullptr) m_log->add(m_name + " " + what);
    }

    std::string m_name;
    testsupport::EventLog* m_log = nullptr;
};

class FormFixture : public FormsFixture {
public:
    void SetUp() override {
        FormsFixture::SetUp();
        javax::microedition::lcdui::ScreenSize::width = kFormScreenWidth;
        javax::microedition::lcdui::ScreenSize::height = kFormScreenHeight;
        javax::microedition::lcdui::DisplayableCoreCanvas::init();
        BoxItem::destroyed = 0;
    }
    void TearDown() override {
        // After the display has let go of its screens.
        FormsFixture::TearDown();
        Form::tidyUp();
    }

    static JavaPtr<Form> newForm(const char* title = nullptr) {
        return jnew<Form>(title ? testsupport::jstr(title) : nullptr);
    }
    JavaPtr<BoxItem> box(const char* name, int width, int height, int layout = 0) {
        return jnew<BoxItem>(name, width, height, layout, &log);
    }
    // Lays the form out as the display's tick does.
    static void layOutForm(const JavaPtr<Form>& form) { form->relayout(); }
    // The names of the form's items in order, the highlighted one in brackets.
    static std::string contents(const JavaPtr<Form>& form) {
        std::string text;
        JavaPtr<Form::ItemArray> items = form->getItems();
        for (int i = 0; i < items->length; ++i) {
            auto* item = static_cast<BoxItem*>(items->data[i].get());
            const bool highlighted = form->getHighlightedItem() == items->data[i];
            text += (i ? " " : "") + (highlighted ? "[" + item->name() + "]" : item->name());
        }
        return text;
    }

    testsupport::EventLog log;
};

}  // namespace formstest
