// The screens' lock against the application's own locks and the paint lock. An application keeps its
// state under its own mutex and changes screens while holding it; its listeners take the same mutex. And
// an application canvas may go on painting behind a form while the ticker thread lays the form out and
// paints it. Each case forces the interleaving that used to deadlock; the watchdog turns a hang into a
// failure, and ThreadSanitizer (this file is part of its build) reports any lock-order inversion left.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dialogs/Alert.h"
#include "forms/CustomItem.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/Gauge.h"
#include "forms/List.h"
#include "forms/StringItem.h"
#include "runtime/Runnable.h"
#include "shell/Canvas.h"
#include "shell/ItemCommandListener.h"
#include "shell/ItemStateListener.h"
#include "tests/dialogs/HighLevelScreensFixture.h"
#include "tests/support/Signal.h"
#include "tests/support/Watchdog.h"

namespace {

using javax::microedition::lcdui::Alert;
using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Choice;
using javax::microedition::lcdui::CustomItem;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::FormCanvas;
using javax::microedition::lcdui::Gauge;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::ItemCommandListener;
using javax::microedition::lcdui::ItemStateListener;
using javax::microedition::lcdui::List;
using javax::microedition::lcdui::StringItem;
using screenstest::Command;
using screenstest::CommandListener;
using screenstest::Display;
using screenstest::Displayable;
using screenstest::DisplayableCoreCanvas;
using testsupport::jstr;
using testsupport::Signal;

// The application: its state under its own mutex, and every kind of call the screens make into it.
// Each call says that it has begun, then takes the application's mutex, as real listeners do.
class Application : public java::lang::Object,
                    public CommandListener,
                    public ItemCommandListener,
                    public ItemStateListener,
                    public java::lang::Runnable {
    TESL_CLASS(Application, "dialogstest.Application", java::lang::Object, CommandListener,
               ItemCommandListener, ItemStateListener, java::lang::Runnable)
public:
    Application() noexcept {}
    Application* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    void commandAction(const JavaPtr<Command>& c, const JavaPtr<Displayable>&) override {
        heard("command " + testsupport::narrow(c->getLabel()));
    }
    void commandAction(const JavaPtr<Command>& c, const JavaPtr<Item>&) override {
        heard("item command " + testsupport::narrow(c->getLabel()));
    }
    void itemStateChanged(const JavaPtr<Item>& item) override {
        heard("state " + testsupport::narrow(item->getLabel()));
    }
    void run() override { heard("serial call"); }

    std::mutex state;
    Signal callBegan;
    // Under state.
    std::vector<std::string> calls;

private:
    void heard(const std::string& what) {
        callBegan.raise();
        std::lock_guard<std::mutex> lock(state);
        calls.push_back(what);
    }
};

class ScreenLocksConcurrencyTest : public dialogstest::HighLevelScreensFixture {};

TEST_F(ScreenLocksConcurrencyTest, ApplicationCallsRunWithNoScreenLockHeld) {
    testsupport::Watchdog watchdog;
    struct Case {
        const char* name;
        // Builds the screen around the application's listener and answers what the user does.
        std::function<std::function<void()>(const JavaPtr<Form>&, const JavaPtr<Application>&)> prepare;
        const char* heard;
    };
    const Case cases[] = {
        {"the user presses Cancel",
         [](const JavaPtr<Form>& form, const JavaPtr<Application>& app) {
             form->addCommand(jnew<Command>(jstr("Cancel"), Command::CANCEL, 1));
             form->setCommandListener(app);
             JavaPtr<FormCanvas> canvas = form->getFormCanvas();
             return std::function<void()>([canvas] { key(canvas, DisplayableCoreCanvas::KEY_SOFTKEY_LEFT); });
         },
         "command Cancel"},
        {"the user opens the highlighted item",
         [](const JavaPtr<Form>& form, const JavaPtr<Application>& app) {
             JavaPtr<Item> item = form->get(0);
             item->setDefaultCommand(jnew<Command>(jstr("Open"), Command::ITEM, 1));
             item->setItemCommandListener(app);
             JavaPtr<FormCanvas> canvas = form->getFormCanvas();
             return std::function<void()>(
                 [canvas] { key(canvas, DisplayableCoreCanvas::KEY_SOFTKEY_RIGHT); });
         },
         "item command Open"},
        {"the user moves the volume gauge",
         [](const JavaPtr<Form>& form, const JavaPtr<Application>& app) {
             form->setItemStateListener(app);
             JavaPtr<FormCanvas> canvas = form->getFormCanvas();
             return std::function<void()>([canvas] { key(canvas, DisplayableCoreCanvas::KEY_RIGHT); });
         },
         "state volume"},
        {"a serial call after the tick's repaint",
         [](const JavaPtr<Form>& form, const JavaPtr<Application>& app) {
             Display::getDisplay(nullptr)->callSerially(app);
             JavaPtr<FormCanvas> canvas = form->getFormCanvas();
             return std::function<void()>([canvas] {
                 canvas->setNeedsRepaint();
                 Display::tickLCDUI(50);
             });
         },
         "serial call"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<Application> app = jnew<Application>();
        JavaPtr<Form> form = jnew<Form>(jstr("Download"));
        form->append(jnew<Gauge>(jstr("volume"), true, 10, 3));
        JavaPtr<Gauge> progress = jnew<Gauge>(nullptr, false, 100, 0);
        form->append(progress);
        const std::function<void()> userAct = c.prepare(form, app);
        show(form);

        // The worker holds the application's mutex, and changes the screen once the application's call
        // has begun, which then waits for the worker's mutex.
        Signal workerHolds;
        std::thread worker([&] {
            std::lock_guard<std::mutex> lock(app->state);
            workerHolds.raise();
            app->callBegan.wait();
            progress->setValue(40);
        });
        workerHolds.wait();
        userAct();
        worker.join();
        std::lock_guard<std::mutex> lock(app->state);
        EXPECT_EQ(app->calls, std::vector<std::string>{c.heard});
        EXPECT_EQ(progress->getValue(), 40);
    }
}

TEST_F(ScreenLocksConcurrencyTest, AnAlertsTimeoutReachesItsListenerWithNoScreenLockHeld) {
    testsupport::Watchdog watchdog;
    JavaPtr<Application> app = jnew<Application>();
    JavaPtr<Form> form = jnew<Form>(jstr("Download"));
    JavaPtr<Gauge> progress = jnew<Gauge>(nullptr, false, 100, 0);
    form->append(progress);
    show(form);
    JavaPtr<Alert> alert = jnew<Alert>(jstr("Done"));
    alert->addCommand(jnew<Command>(jstr("OK"), Command::OK, 1));
    alert->setCommandListener(app);
    display->setCurrent(alert, form);
    Display::tickLCDUI(50);
    ASSERT_EQ(Display::currentDisplayable().get(), static_cast<Displayable*>(alert.get()));

    Signal workerHolds;
    std::thread worker([&] {
        std::lock_guard<std::mutex> lock(app->state);
        workerHolds.raise();
        app->callBegan.wait();
        progress->setValue(40);
        alert->setString(jstr("still here"));
    });
    workerHolds.wait();
    clock->advance(Alert::DEFAULT_TIMEOUT_MS + 1);
    Display::tickLCDUI(50);
    worker.join();
    std::lock_guard<std::mutex> lock(app->state);
    EXPECT_EQ(app->calls, std::vector<std::string>{"command OK"});
    EXPECT_EQ(progress->getValue(), 40);
}

// ---- The paint lock ----

// Tells when the form is laid out: its size queries run inside the tick's hold of the screens' lock.
class LayoutProbe : public CustomItem {
    TESL_CLASS(LayoutProbe, "dialogstest.LayoutProbe", CustomItem)
public:
    LayoutProbe() noexcept {}
    LayoutProbe* TESLinvokeconstructor() {
        CustomItem::TESLinvokeconstructor(nullptr);
        return this;
    }
    int getMinContentWidth() override { return 20; }
    int getMinContentHeight() override { return sized(); }
    int getPrefContentWidth(int) override { return 20; }
    int getPrefContentHeight(int) override { return sized(); }
    using CustomItem::paint;
    void paint(const JavaPtr<javax::microedition::lcdui::Graphics>&, int, int) override {
        paints.fetch_add(1);
    }

    Signal laidOut;
    std::atomic<int> paints{0};

private:
    int sized() {
        laidOut.raise();
        return 20;
    }
};

// The application's own canvas, shown before the form and still painted by the application behind it.
class BehindCanvas : public Canvas {
    TESL_CLASS(BehindCanvas, "dialogstest.BehindCanvas", Canvas)
public:
    BehindCanvas() noexcept {}
    BehindCanvas* TESLinvokeconstructor() {
        Canvas::TESLinvokeconstructor();
        return this;
    }
    void paint(const JavaPtr<javax::microedition::lcdui::Graphics>&) override {
        if (insidePaint) insidePaint();
    }
    std::function<void()> insidePaint;
};

TEST_F(ScreenLocksConcurrencyTest, APaintBehindAFormAndTheTickTakeThePaintLockFirst) {
    testsupport::Watchdog watchdog;
    struct Case {
        const char* name;
        // What the application's paint does that needs the screens' lock.
        std::function<void(const JavaPtr<Form>&)> inPaint;
    };
    const Case cases[] = {
        {"reads the form's title", [](const JavaPtr<Form>& form) { EXPECT_TRUE(form->getTitle()); }},
        {"drops the last reference to an item",
         [](const JavaPtr<Form>&) { jnew<StringItem>(jstr("x"), jstr("y")); }},
        {"drops the last reference to a list",
         [](const JavaPtr<Form>&) { jnew<List>(jstr("pick"), Choice::EXCLUSIVE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<BehindCanvas> behind = jnew<BehindCanvas>();
        show(behind);
        JavaPtr<Form> form = jnew<Form>(jstr("Front"));
        JavaPtr<LayoutProbe> probe = jnew<LayoutProbe>();
        form->append(probe);
        show(form);
        JavaPtr<FormCanvas> canvas = form->getFormCanvas();

        // The application's painter holds the paint lock and needs the screens' lock once the ticker
        // thread holds that one and is on its way to paint the form.
        JavaPtr<LayoutProbe> fresh = jnew<LayoutProbe>();
        Signal painting;
        behind->insidePaint = [&] {
            painting.raise();
            fresh->laidOut.wait();
            c.inPaint(form);
        };
        std::thread painter([&] { behind->repaint(); });
        painting.wait();
        form->append(fresh);
        canvas->setNeedsRepaint();
        Display::tickLCDUI(50);
        painter.join();
        EXPECT_GT(fresh->paints.load(), 0) << "the tick painted the form";
        behind->insidePaint = nullptr;
    }
}

}  // namespace
