// The screen turns while an application thread changes a form's title, as the main thread turns the
// screen under a game thread: every layout reads one whole screen size (its content area is the width
// and height of the same turn), and ThreadSanitizer (this file is part of its build) sees no race
// between the turn's write and the layout's read.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <utility>

#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "runtime/JArray.h"
#include "shell/EntryFunctions.h"
#include "tests/dialogs/HighLevelScreensFixture.h"
#include "tests/support/Watchdog.h"

namespace {

using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::FormCanvas;
using testsupport::jstr;

class ScreenTurnLayoutConcurrencyTest : public dialogstest::HighLevelScreensFixture {};

TEST_F(ScreenTurnLayoutConcurrencyTest, EveryLayoutDuringTurnsSeesOneWholeScreenSize) {
    testsupport::Watchdog watchdog;
    constexpr int kTurns = 300;
    constexpr int kLayouts = 300;
    JavaPtr<Form> form = jnew<Form>(jstr("Turning"));
    show(form);
    JavaPtr<FormCanvas> canvas = form->getFormCanvas();
    JavaPtr<JArray<int>> area = jnew<JArray<int>>(4);
    canvas->getUnreservedArea(area);
    // Upright, the content area takes the whole width and the height less the title and soft-key bars.
    ASSERT_EQ(area->data[2], kWidth);
    const int bars = kHeight - (area->data[3] - area->data[1]);

    std::atomic<bool> turning{true};
    std::atomic<int> layouts{0};
    std::set<std::pair<int, int>> seen;
    // The application's thread: a title change lays the form's chrome out at the size it reads.
    std::thread application([&] {
        JavaPtr<JArray<int>> mine = jnew<JArray<int>>(4);
        for (int i = 0; turning.load(); ++i) {
            form->setTitle(jstr(i % 2 == 0 ? "Turning" : "Turned"));
            canvas->getUnreservedArea(mine);
            seen.insert({mine->data[2], mine->data[3] - mine->data[1] + bars});
            layouts.fetch_add(1);
        }
    });
    // Turns go on until both sides have done their share; an even count leaves the screen upright.
    for (int i = 0; i < kTurns || layouts.load() < kLayouts || i % 2 != 0; ++i) {
        if (i % 2 == 0)
            changeOutputSize(kHeight, kWidth);
        else
            changeOutputSize(kWidth, kHeight);
    }
    turning.store(false);
    application.join();

    const std::set<std::pair<int, int>> whole{{kWidth, kHeight}, {kHeight, kWidth}};
    for (const auto& size : seen)
        EXPECT_TRUE(whole.count(size)) << "a layout saw " << size.first << " x " << size.second;
    form->setTitle(jstr("Upright"));
    canvas->getUnreservedArea(area);
    EXPECT_EQ(area->data[2], kWidth);
    EXPECT_EQ(area->data[3] - area->data[1], kHeight - bars);
}

}  // namespace
