#include "forms/Form.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/FormCanvas.h"
#include "forms/FormHooks.h"
#include "forms/StringItem.h"
#include "graphics/Image.h"
#include "runtime/IllegalStateException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "shell/Command.h"
#include "shell/Display.h"
#include "shell/ItemStateListener.h"
#include "shell/LCDUIHooks.h"
#include "tests/forms/FormTestFixture.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using formstest::BoxItem;
using javax::microedition::lcdui::Command;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::FormCanvas;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::ItemStateListener;
using testsupport::jstr;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::Form, javax::microedition::lcdui::FormCanvas);

namespace {

// The highlighted item's commands as the core canvas holds them.
struct CorePeek : DisplayableCoreCanvas {
    static JavaPtr<CommandArray> itemCommands(DisplayableCoreCanvas* canvas) {
        return canvas->*(&CorePeek::m_formItemCommands);
    }
};

class Listener : public java::lang::Object, public ItemStateListener {
    TESL_CLASS(Listener, "formstest.Listener", java::lang::Object, ItemStateListener)
public:
    Listener() noexcept {}
    Listener* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }
    void itemStateChanged(const JavaPtr<Item>& item) override { changed.push_back(item.get()); }
    std::vector<Item*> changed;
};

class FormTest : public formstest::FormFixture {
public:
    // A form holding a, b and c (each with a command of its own), in this order.
    JavaPtr<Form> abc() {
        a = box("a", 50, 20);
        b = box("b", 50, 20);
        c = box("c", 50, 20);
        d = box("d", 50, 20);
        for (const JavaPtr<BoxItem>& item : {a, b, c, d})
            item->addCommand(jnew<Command>(jstr(item->name().c_str()), Command::ITEM, 1));
        JavaPtr<Form::ItemArray> items = jnew<Form::ItemArray>(3);
        items->data[0] = a;
        items->data[1] = b;
        items->data[2] = c;
        return jnew<Form>(jstr("abc"), items);
    }

    JavaPtr<BoxItem> a, b, c, d;
};

TEST_F(FormTest, ANewFormHighlightsItsFirstItemAndOffersItsCommands) {
    JavaPtr<Form> form = abc();
    EXPECT_EQ(form->size(), 3);
    EXPECT_EQ(contents(form), "[a] b c");
    for (const JavaPtr<BoxItem>& item : {a, b, c}) EXPECT_EQ(item->getContainingForm().get(), form.get());
    EXPECT_EQ(CorePeek::itemCommands(form->getFormCanvas().get()), a->getCommands());
    EXPECT_EQ(testsupport::narrow(form->getTitle()), "abc");
    EXPECT_TRUE(form->needsRelayout());
}

// Each step starts from [a] b c; d is a free item.
TEST_F(FormTest, HighlightRules) {
    struct Case {
        const char* name;
        std::function<void(FormTest&, Form&)> change;
        const char* contents;
        std::vector<std::string> events;
    };
    const std::vector<Case> cases = {
        {"append keeps the highlight",
         [](FormTest& t, Form& f) { EXPECT_EQ(f.append(t.d), 3); },
         "[a] b c d",
         {}},
        {"insert at the end appends", [](FormTest& t, Form& f) { f.insert(3, t.d); }, "[a] b c d", {}},
        {"insert first keeps the highlight on its item",
         [](FormTest& t, Form& f) { f.insert(0, t.d); },
         "d [a] b c",
         {}},
        {"set of a plain item highlights the new one",
         [](FormTest& t, Form& f) { f.set(1, t.d); },
         "a [d] c",
         {"a traverseOut", "d traverse 0"}},
        {"set of the highlighted item",
         [](FormTest& t, Form& f) { f.set(0, t.d); },
         "[d] b c",
         {"a traverseOut", "d traverse 0"}},
        {"deleteJ of a plain item keeps the highlight",
         [](FormTest&, Form& f) { f.deleteJ(1); },
         "[a] c",
         {}},
        {"deleteJ of the highlighted item moves to its successor",
         [](FormTest&, Form& f) { f.deleteJ(0); },
         "[b] c",
         {"a traverseOut", "b traverse 0"}},
        {"deleteJ of the highlighted last item moves to the new last",
         [](FormTest& t, Form& f) {
             t.c->requestHighlight();
             t.log.take();
             f.deleteJ(2);
         },
         "a [b]",
         {"c traverseOut", "b traverse 0"}},
        {"deleteAll leaves no highlight", [](FormTest&, Form& f) { f.deleteAll(); }, "", {"a traverseOut"}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        JavaPtr<Form> form = abc();
        log.take();
        testCase.change(*this, *form);
        EXPECT_EQ(contents(form), testCase.contents);
        EXPECT_EQ(log.take(), testCase.events);
        JavaPtr<Form::ItemArray> items = form->getItems();
        for (int i = 0; i < items->length; ++i)
            EXPECT_EQ(items->data[i]->getContainingForm().get(), form.get());
        JavaPtr<Item> highlighted = form->getHighlightedItem();
        EXPECT_EQ(CorePeek::itemCommands(form->getFormCanvas().get()),
                  highlighted ? highlighted->getCommands() : nullptr);
        // Whatever left the form is free again.
        for (const JavaPtr<BoxItem>& item : {a, b, c, d}) {
            if (form->m_indexForItem(item.get()) < 0) {
                EXPECT_FALSE(item->getContainingForm());
            }
        }
        EXPECT_TRUE(form->needsRelayout());
    }
}

TEST_F(FormTest, AppendToAnEmptyFormHighlightsAndTheLastDeletionLeavesNone) {
    JavaPtr<Form> form = newForm();
    JavaPtr<BoxItem> only = box("x", 10, 10);
    EXPECT_EQ(form->append(only), 0);
    EXPECT_EQ(contents(form), "[x]");
    form->deleteJ(0);
    EXPECT_EQ(form->size(), 0);
    EXPECT_FALSE(form->getHighlightedItem());
    EXPECT_EQ(form->append(jstr("text")), 0);
    EXPECT_TRUE(form->get(0)->castAsTypeID(javax::microedition::lcdui::StringItem::TESLclassTypeID));
    EXPECT_EQ(form->append(javax::microedition::lcdui::Image::createImage(4, 4)), 1);
}

TEST_F(FormTest, EveryFailedCheckLeavesTheFormUnchanged) {
    JavaPtr<Form> other = newForm();
    JavaPtr<BoxItem> foreign = box("foreign", 10, 10);
    other->append(foreign);
    struct Case {
        const char* name;
        std::function<void(FormTest&, Form&)> change;
        const char* thrown;
    };
    auto throws = [](const std::function<void()>& call) -> std::string {
        try {
            call();
        } catch (java::lang::IndexOutOfBoundsException&) {
            return "IndexOutOfBounds";
        } catch (java::lang::NullPointerException&) {
            return "NullPointer";
        } catch (java::lang::IllegalStateException&) {
            return "IllegalState";
        }
        return "nothing";
    };
    const std::vector<Case> cases = {
        {"append null", [](FormTest&, Form& f) { f.append(JavaPtr<Item>()); }, "NullPointer"},
        {"append a null text", [](FormTest&, Form& f) { f.append(JavaPtr<java::lang::String>()); },
         "NullPointer"},
        {"append a null image",
         [](FormTest&, Form& f) { f.append(JavaPtr<javax::microedition::lcdui::Image>()); }, "NullPointer"},
        {"append another form's item", [&](FormTest&, Form& f) { f.append(foreign); }, "IllegalState"},
        {"append an item of this form", [](FormTest& t, Form& f) { f.append(t.b); }, "IllegalState"},
        {"insert before the start", [](FormTest& t, Form& f) { f.insert(-1, t.d); }, "IndexOutOfBounds"},
        {"insert beyond the end", [](FormTest& t, Form& f) { f.insert(4, t.d); }, "IndexOutOfBounds"},
        {"insert null", [](FormTest&, Form& f) { f.insert(0, nullptr); }, "NullPointer"},
        {"insert an item of this form", [](FormTest& t, Form& f) { f.insert(0, t.c); }, "IllegalState"},
        {"insert another form's item at the end", [&](FormTest&, Form& f) { f.insert(3, foreign); },
         "IllegalState"},
        {"set beyond the end", [](FormTest& t, Form& f) { f.set(3, t.d); }, "IndexOutOfBounds"},
        {"set null", [](FormTest&, Form& f) { f.set(0, nullptr); }, "NullPointer"},
        {"set an item of this form", [](FormTest& t, Form& f) { f.set(0, t.b); }, "IllegalState"},
        {"set another form's item", [&](FormTest&, Form& f) { f.set(1, foreign); }, "IllegalState"},
        {"deleteJ before the start", [](FormTest&, Form& f) { f.deleteJ(-1); }, "IndexOutOfBounds"},
        {"deleteJ beyond the end", [](FormTest&, Form& f) { f.deleteJ(3); }, "IndexOutOfBounds"},
        {"get beyond the end", [](FormTest&, Form& f) { f.get(3); }, "IndexOutOfBounds"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        JavaPtr<Form> form = abc();
        JavaPtr<Form::ItemArray> before = form->getItems();
        log.take();
        EXPECT_EQ(throws([&] { testCase.change(*this, *form); }), testCase.thrown);
        EXPECT_EQ(form->getItems(), before) << "the item array itself stays";
        EXPECT_EQ(contents(form), "[a] b c");
        EXPECT_EQ(log.take(), std::vector<std::string>{});
        for (const JavaPtr<BoxItem>& item : {a, b, c}) EXPECT_EQ(item->getContainingForm().get(), form.get());
        EXPECT_FALSE(d->getContainingForm());
        EXPECT_EQ(foreign->getContainingForm().get(), other.get());
    }
}

TEST_F(FormTest, AnItemTwiceWouldLoseItsOwnerWithOneCopy) {
    JavaPtr<Form> form = newForm();
    JavaPtr<Listener> listener = jnew<Listener>();
    form->setItemStateListener(listener);
    JavaPtr<BoxItem> item = box("x", 10, 10);
    form->append(item);
    EXPECT_THROW(form->append(item), java::lang::IllegalStateException);
    EXPECT_THROW(form->insert(0, item), java::lang::IllegalStateException);
    ASSERT_EQ(form->size(), 1);
    // The one copy still belongs to the form, so the user's change reaches the listener.
    item->notifyStateChanged();
    EXPECT_EQ(listener->changed, std::vector<Item*>{item.get()});
    form->deleteJ(0);
    EXPECT_THROW(item->notifyStateChanged(), java::lang::IllegalStateException);
    EXPECT_EQ(listener->changed.size(), 1u);
}

TEST_F(FormTest, ANeverHighlightingFormHighlightsNothing) {
    JavaPtr<Form> form = newForm();
    form->setNeverHighlightItems(true);
    EXPECT_EQ(form->append(box("x", 10, 10)), 0);
    EXPECT_EQ(form->append(box("y", 10, 10)), 1);
    form->set(0, box("z", 10, 10));
    form->get(1)->requestHighlight();
    EXPECT_EQ(contents(form), "z y");
    EXPECT_FALSE(CorePeek::itemCommands(form->getFormCanvas().get()));
}

TEST_F(FormTest, ViewportIsTheUnreservedArea) {
    JavaPtr<Form> form = newForm();
    EXPECT_EQ(form->getWidth(), formstest::kFormScreenWidth);
    EXPECT_EQ(form->getHeight(), formstest::kViewHeight);
    form->setTitle(jstr("title"));
    EXPECT_EQ(form->getHeight(), formstest::kViewHeight - testsupport::kTestFontHeight - 4);
    EXPECT_EQ(form->usableWidth(), formstest::kUsable);
}

// ---- Keep-alive ----

class FormTidyUpTest : public formstest::FormFixture {
protected:
    static int pinned() { return Form::pinnedForms()->length; }
};

TEST_F(FormTidyUpTest, DropsAFormNothingHoldsAndKeepsOneHeldOrWithAnItemHeld) {
    JavaPtr<BoxItem> held = box("held", 10, 10);
    JavaPtr<Form> current = newForm();
    {
        JavaPtr<Form> loose = newForm();
        // The highlighted item holds the focus: neither the highlight nor the traversal counts as a hold.
        JavaPtr<BoxItem> focused = box("focused", 10, 10);
        focused->focusSteps = 1;
        loose->append(focused);
        ASSERT_EQ(loose->getFormCanvas()->getTraversedItem(), focused);
        loose->append(box("plain", 10, 10));

        JavaPtr<Form> holding = newForm();
        holding->append(box("first", 10, 10));
        holding->append(held);
    }
    current->append(box("in current", 10, 10));
    ASSERT_EQ(pinned(), 3);
    Form::tidyUp();
    EXPECT_EQ(pinned(), 2) << "the loose form goes";
    EXPECT_EQ(BoxItem::destroyed, 2) << "and its items with it";
    ASSERT_TRUE(held->getContainingForm());

    // Once the item is let go, its form goes too, and so does the last one once nothing holds it.
    held = nullptr;
    Form::tidyUp();
    EXPECT_EQ(pinned(), 1);
    EXPECT_EQ(BoxItem::destroyed, 4);
    current = nullptr;
    Form::tidyUp();
    EXPECT_EQ(pinned(), 0);
    EXPECT_EQ(BoxItem::destroyed, 5);

    // The next form starts a new list.
    JavaPtr<Form> next = newForm();
    EXPECT_EQ(pinned(), 1);
}

TEST_F(FormTidyUpTest, KeepsTheCurrentForm) {
    JavaPtr<Display> display = Display::getDisplay(nullptr);
    {
        JavaPtr<Form> form = newForm();
        form->append(box("x", 10, 10));
        display->setCurrent(form);
        Display::fulfilSetCurrentRequest();
    }
    ASSERT_TRUE(Display::currentDisplayable());
    Form::tidyUp();
    EXPECT_EQ(pinned(), 1);
    EXPECT_EQ(BoxItem::destroyed, 0);
}

TEST_F(FormTidyUpTest, AFormThatFailsToBuildFreesTheItemsItTook) {
    JavaPtr<BoxItem> first = box("first", 10, 10);
    JavaPtr<Form::ItemArray> items = jnew<Form::ItemArray>(2);
    items->data[0] = first;
    EXPECT_THROW(jnew<Form>(jstr("t"), items), java::lang::NullPointerException);
    EXPECT_EQ(pinned(), 0);
    // The form is gone: the item must not point at it.
    EXPECT_FALSE(first->getContainingForm());
    JavaPtr<Form> other = newForm();
    EXPECT_EQ(other->append(first), 0);
}

TEST_F(FormTidyUpTest, TheDisplayReachesFormsThroughTheHooks) {
    javax::microedition::lcdui::LCDUIHighLevelHooks hooks;
    javax::microedition::lcdui::fillFormHooks(hooks);
    javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
    JavaPtr<Display> display = Display::getDisplay(nullptr);
    JavaPtr<BoxItem> wanted = box("wanted", 10, 10);
    {
        JavaPtr<Form> form = newForm();
        form->append(box("first", 10, 10));
        form->append(wanted);
        JavaPtr<Form> loose = newForm();
        loose->append(box("loose", 10, 10));
    }
    ASSERT_EQ(pinned(), 2);
    display->setCurrentItem(wanted);
    Display::fulfilSetCurrentRequest();
    JavaPtr<javax::microedition::lcdui::Displayable> current = Display::currentDisplayable();
    ASSERT_TRUE(current);
    auto* form = static_cast<Form*>(current->castAsTypeID(Form::TESLclassTypeID));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->getHighlightedItem(), wanted);
    // The change of the current displayable tidied up: the loose form is gone.
    EXPECT_EQ(pinned(), 1);
    EXPECT_EQ(BoxItem::destroyed, 1);
}

}  // namespace
