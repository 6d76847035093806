// A date field in a real form: its calendar opens over the form as the form canvas's overlay, takes the
// touches and the soft-key commands there, and goes away on "Save". The calendar as painted is kept as
// a golden image (regenerate with QUILL_UPDATE_GOLDEN=1 after a deliberate change of the drawing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "forms/DateField.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "library/Date.h"
#include "platform/codecs/PngDecoder.h"
#include "platform/codecs/PngEncoder.h"
#include "screens/DisplayableCoreCanvas.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Command.h"
#include "shell/CommandListener.h"
#include "tests/forms/FormTestFixture.h"
#include "tests/support/EventLog.h"
#include "tests/support/StringText.h"

using java::util::Date;
using javax::microedition::lcdui::DateField;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::FormCanvas;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::TouchScreenAreaManager;
using testsupport::jstr;
using testsupport::narrow;

namespace {

constexpr long long kFeb15of2028 = 1834185600000LL;

class DateFieldOnFormTest : public formstest::FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        form = newForm("Dates");
        field = jnew<DateField>(nullptr, DateField::DATE);
        field->setDate(jnew<Date>(kFeb15of2028));
        form->append(JavaPtr<Item>(field));
        form->relayout();
        form->m_highlightItem(0, Form::HIGHLIGHT_AUTO);
        canvas = form->getFormCanvas();
    }
    void TearDown() override {
        canvas = nullptr;
        field = nullptr;
        form = nullptr;
        FormFixture::TearDown();
    }
    void pressFire() {
        canvas->keyPressed(DisplayableCoreCanvas::KEY_FIRE);
        canvas->keyReleased(DisplayableCoreCanvas::KEY_FIRE);
    }
    formstest::PaintTarget paintScreen() {
        formstest::PaintTarget target(formstest::kFormScreenWidth, formstest::kFormScreenHeight);
        canvas->paint(target.graphics);
        return target;
    }
    // The calendar's grid, placed as the view places it: centred on the form's viewport, below the title.
    struct Grid {
        int left, gy, cw, ch;
    };
    Grid grid() {
        JavaPtr<Font> font = Font::getFont(0, 0, 8);
        const int fh = font->getHeight();
        const int cw = font->stringWidth(jstr("88")) + 3;
        const int ch = fh + 3;
        JavaPtr<JArray<int>> area = jnew<JArray<int>>(4);
        canvas->getUnreservedArea(area);
        const int top = (form->getHeight() - (7 * ch + 6 + 2 * fh)) / 2 + area->data[1];
        return {(form->getWidth() - 7 * cw) / 2, top + 2 * (fh + 3), cw, ch};
    }

    JavaPtr<Form> form;
    JavaPtr<DateField> field;
    JavaPtr<FormCanvas> canvas;
};

TEST_F(DateFieldOnFormTest, TheCalendarOpensOverTheFormAndSaveClosesIt) {
    pressFire();
    ASSERT_EQ(field->view(), 1);
    formstest::PaintTarget open = paintScreen();
    const Grid g = grid();
    // Day 15 of February 2028 (row 3, a Tuesday) is highlighted over the form.
    EXPECT_EQ(open.pixel(g.left + 2 * g.cw + 1, g.gy + 3 * g.ch + 1), formstest::kHighlightedBackground);

    // The overlay takes the touch, in screen coordinates: day 24 is in row 4, column 4 (a Thursday).
    const int x = g.left + 4 * g.cw + g.cw / 2;
    const int y = g.gy + 4 * g.ch + g.ch / 2;
    canvas->pointerPressed(x, y);
    canvas->pointerReleased(x, y);
    EXPECT_EQ(field->m_calendarDay, 24);

    // "Save" from the soft keys reaches the item; the overlay and its areas go.
    canvas->triggerCommand(field->saveCommand());
    EXPECT_EQ(field->view(), 0);
    EXPECT_EQ(narrow(field->lines()->data[0]), "Thu Feb 24 2028");
    EXPECT_EQ(TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::ITEM_OVERLAYS), 0);
    form->relayout();
    formstest::PaintTarget closed = paintScreen();
    EXPECT_NE(closed.pixel(g.left + 4 * g.cw + 1, g.gy + 4 * g.ch + 1), formstest::kHighlightedBackground);
    EXPECT_NE(closed.pixel(g.left + 2 * g.cw + 1, g.gy + 3 * g.ch + 1), formstest::kHighlightedBackground);

    // "Cancel" of a later opening keeps the saved value.
    pressFire();
    ASSERT_EQ(field->view(), 1);
    JavaPtr<Date> saved = field->getDate();
    canvas->triggerCommand(field->cancelCommand());
    EXPECT_EQ(field->view(), 0);
    EXPECT_EQ(field->getDate().get(), saved.get());
}

class LabelLog : public java::lang::Object, public javax::microedition::lcdui::CommandListener {
    TESL_CLASS(LabelLog, "datefieldtest.LabelLog", java::lang::Object, CommandListener)
public:
    LabelLog() noexcept {}
    void commandAction(const JavaPtr<javax::microedition::lcdui::Command>& c,
                       const JavaPtr<javax::microedition::lcdui::Displayable>&) override {
        log->add(narrow(c->getLabel()));
    }
    testsupport::EventLog* log = nullptr;
};

TEST_F(DateFieldOnFormTest, AFieldLeavingTheFormTakesItsOpenViewWithIt) {
    JavaPtr<javax::microedition::lcdui::Command> formCommand =
        jnew<javax::microedition::lcdui::Command>(jstr("Back"), javax::microedition::lcdui::Command::BACK, 1);
    form->addCommand(formCommand);
    pressFire();
    ASSERT_EQ(field->view(), 1);
    paintScreen();
    ASSERT_GT(TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::ITEM_OVERLAYS), 0);
    JavaPtr<Date> before = field->getDate();
    form->deleteJ(0);
    EXPECT_EQ(field->view(), 0);
    EXPECT_EQ(field->getDate().get(), before.get());
    EXPECT_EQ(TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::ITEM_OVERLAYS), 0);
    form->relayout();
    const Grid g = grid();
    formstest::PaintTarget after = paintScreen();
    EXPECT_NE(after.pixel(g.left + 2 * g.cw + 1, g.gy + 3 * g.ch + 1), formstest::kHighlightedBackground);
    // The form's own command is back on the soft keys: the back key reaches the form's listener.
    testsupport::EventLog heard;
    JavaPtr<LabelLog> listener = jnew<LabelLog>();
    listener->log = &heard;
    form->setCommandListener(listener);
    canvas->keyPressed(DisplayableCoreCanvas::KEY_SOFTKEY_RIGHT);
    canvas->keyReleased(DisplayableCoreCanvas::KEY_SOFTKEY_RIGHT);
    canvas->keyPressed(DisplayableCoreCanvas::KEY_SOFTKEY_LEFT);
    canvas->keyReleased(DisplayableCoreCanvas::KEY_SOFTKEY_LEFT);
    EXPECT_EQ(heard.take(), std::vector<std::string>{"Back"});
}

std::vector<uint32_t> pixelsOf(formstest::PaintTarget& target, int width, int height) {
    JavaPtr<JArray<int>> rgb = jnew<JArray<int>>(width * height);
    target.image->getRGB(rgb, 0, width, 0, 0, width, height);
    std::vector<uint32_t> out(static_cast<size_t>(width) * height);
    // Pixel words with the bytes red, green, blue, alpha in memory, as the PNG coder takes them.
    for (int i = 0; i < width * height; ++i) {
        const uint32_t argb = static_cast<uint32_t>(rgb->data[i]);
        const uint8_t bytes[4] = {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                                  static_cast<uint8_t>(argb), 0xFF};
        out[i] = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                 static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    }
    return out;
}

TEST_F(DateFieldOnFormTest, CalendarMatchesItsGoldenImage) {
    pressFire();
    ASSERT_EQ(field->view(), 1);
    formstest::PaintTarget target = paintScreen();
    const int width = formstest::kFormScreenWidth;
    const int height = formstest::kFormScreenHeight;
    const std::vector<uint32_t> painted = pixelsOf(target, width, height);
    // Closed again, so that the overlay's hold on the field does not keep the form pinned past the test.
    canvas->triggerCommand(field->cancelCommand());
    ASSERT_EQ(field->view(), 0);

    const char* source = std::getenv("QUILL_TEST_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "run through ctest, which names the source tree";
    const std::string path = std::string(source) + "/tests/forms/golden/calendar-february-2028.png";
    if (std::getenv("QUILL_UPDATE_GOLDEN") != nullptr) {
        std::string error;
        ASSERT_TRUE(platform::writePNGFile(path, painted.data(), width, height, width, error)) << error;
        GTEST_SKIP() << "golden image written to " << path;
    }
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << "no golden image at " << path << " (QUILL_UPDATE_GOLDEN=1 writes it)";
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    int32_t goldenWidth = 0;
    int32_t goldenHeight = 0;
    uint32_t* golden = platform::decodePNG(bytes.data(), bytes.size(), &goldenWidth, &goldenHeight);
    ASSERT_NE(golden, nullptr);
    const std::vector<uint32_t> expected(golden, golden + static_cast<size_t>(goldenWidth) * goldenHeight);
    std::free(golden);
    ASSERT_EQ(goldenWidth, width);
    ASSERT_EQ(goldenHeight, height);
    int differing = 0;
    int firstX = -1;
    int firstY = -1;
    for (size_t i = 0; i < painted.size(); ++i) {
        if (painted[i] == expected[i]) continue;
        if (differing++ == 0) {
            firstX = static_cast<int>(i) % width;
            firstY = static_cast<int>(i) / width;
        }
    }
    EXPECT_EQ(differing, 0) << "first difference at (" << firstX << ", " << firstY << ")";
}

}  // namespace
