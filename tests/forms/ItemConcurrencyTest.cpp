// An item's three threads at once: the application changing a string item's text, font, label, size and
// commands, the ticker thread laying it out and painting it as the form canvas does, and the platform main
// thread pressing on it. The item's state must come out whole, its lines those of its last text.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "forms/StringItem.h"
#include "graphics/Font.h"
#include "shell/Command.h"
#include "shell/LCDUILock.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/StringText.h"
#include "tests/support/Watchdog.h"

using formstest::FakeForm;
using javax::microedition::lcdui::Command;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::LCDUIGuard;
using javax::microedition::lcdui::LCDUILock;
using javax::microedition::lcdui::StringItem;
using testsupport::jstr;
using testsupport::narrow;

namespace {

class ItemConcurrencyTest : public formstest::FormsFixture {};

TEST_F(ItemConcurrencyTest, ApplicationTickerAndTouchesShareAStringItem) {
    testsupport::Watchdog watchdog;
    JavaPtr<FakeForm> form = jnew<FakeForm>(60);
    JavaPtr<StringItem> item = jnew<StringItem>(jstr("Label"), jstr("start"));
    item->addToForm(form.get());
    const char* const texts[] = {"one two three four", "a\nb\nc", "", "wordwordwordword"};
    std::vector<JavaPtr<Command>> commands;
    for (int i = 0; i < 3; ++i) commands.push_back(jnew<Command>(jstr("c"), Command::ITEM, i));

    constexpr int kRounds = 300;
    std::thread application([&] {
        for (int i = 0; i < kRounds; ++i) {
            item->setText(jstr(texts[i % 4]));
            item->setLabel(i % 2 ? jstr("Label") : nullptr);
            item->setFont(i % 3 ? Font::getFont(0, 1, 8) : nullptr);
            item->setPreferredSize(i % 5 == 0 ? 40 : -1, -1);
            const JavaPtr<Command>& c = commands[i % commands.size()];
            if (i % 2) {
                item->addCommand(c);
            } else {
                item->removeCommand(c);
            }
        }
    });
    std::thread ticker([&] {
        formstest::PaintTarget target(100, 100);
        for (int i = 0; i < kRounds; ++i) {
            {
                // The form layout assigns the box under the screens' lock.
                LCDUIGuard lock(LCDUILock::mutex());
                formstest::layOut(*item, 5, 0, item->getPreferredWidth(), item->getPreferredHeight());
                item->contentSizeChanged();
            }
            item->paint(target.graphics);
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        item->pointerPressedInternal(i % 20, i % 30);
        item->pointerReleasedInternal(i % 20, i % 30);
    }
    application.join();
    ticker.join();

    // The last round (299) set the fourth text at the usable width: hyphenated into two lines.
    std::vector<std::string> lines;
    for (const auto& line : *item->getLines()) lines.push_back(narrow(line));
    EXPECT_EQ(lines, (std::vector<std::string>{"wordwordw-", "ordword"}));
    EXPECT_EQ(form->highlighted, item.get());
    item->removeFromForm();
}

}  // namespace
