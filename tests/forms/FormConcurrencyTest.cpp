// A form changed by the application while input arrives on another thread and a third lays it out, ticks
// and paints it, as the ticker thread does: every one of them goes through the screens' lock, so the
// form's invariants hold throughout and ThreadSanitizer sees no race.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/StringItem.h"
#include "shell/Display.h"
#include "tests/forms/FormTestFixture.h"
#include "tests/support/StringText.h"
#include "tests/support/Watchdog.h"

using formstest::BoxItem;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::FormCanvas;
using javax::microedition::lcdui::Item;
using testsupport::jstr;

namespace {

class FormConcurrencyTest : public formstest::FormFixture {};

TEST_F(FormConcurrencyTest, ChangesInputLayoutAndPaintingMeetUnderTheLock) {
    testsupport::Watchdog watchdog;
    JavaPtr<Form> form = newForm("busy");
    JavaPtr<FormCanvas> canvas = form->getFormCanvas();
    for (int i = 0; i < 4; ++i) form->append(jnew<BoxItem>("start", 60, 40));
    std::atomic<bool> changing{true};

    std::thread application([&] {
        for (int i = 0; i < 300; ++i) {
            if (i % 3 == 0)
                form->append(jnew<BoxItem>("new", 40 + i % 50, 20 + i % 60, i % 7 == 0 ? 0x100 : 0));
            if (i % 5 == 0)
                form->append(jstr("some text that may well flow through a row or two of the form"));
            if (i % 4 == 1 && form->size() > 3) form->deleteJ(i % form->size());
            if (i % 11 == 2 && form->size() > 0) form->set(0, jnew<BoxItem>("set", 50, 30));
            if (i % 97 == 50) form->deleteAll();
        }
        changing.store(false);
    });
    std::thread input([&] {
        int i = 0;
        while (changing.load()) {
            const int key = i % 3 == 0 ? DisplayableCoreCanvas::KEY_UP : DisplayableCoreCanvas::KEY_DOWN;
            canvas->keyPressed(key);
            canvas->keyRepeated(key);
            canvas->keyReleased(key);
            canvas->pointerPressed(10 + i % 150, 20 + (i * 37) % 400);
            canvas->pointerReleased(10 + i % 150, 20 + (i * 37) % 400);
            ++i;
        }
    });
    std::thread ticker([&] {
        formstest::PaintTarget target(formstest::kFormScreenWidth, formstest::kFormScreenHeight);
        long long now = 0;
        while (changing.load()) {
            if (form->needsRelayout()) form->relayout();
            canvas->tick(now += 20);
            canvas->paint(target.graphics);
        }
    });
    application.join();
    input.join();
    ticker.join();

    form->relayout();
    JavaPtr<Form::ItemArray> items = form->getItems();
    JavaPtr<Item> highlighted = form->getHighlightedItem();
    EXPECT_EQ(items->length > 0, static_cast<bool>(highlighted));
    if (highlighted) {
        EXPECT_GE(form->m_indexForItem(highlighted.get()), 0);
    }
    for (int i = 0; i < items->length; ++i) EXPECT_EQ(items->data[i]->getContainingForm().get(), form.get());
    EXPECT_FALSE(javax::microedition::lcdui::Display::lcdUIEventInProgress.load());
}

}  // namespace
