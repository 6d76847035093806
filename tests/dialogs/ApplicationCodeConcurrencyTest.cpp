// Application code called by the screens runs with no library lock held. An application keeps its state
// under its own mutex, and a worker thread of it (a game or network thread) changes a screen while
// holding that mutex; each callback below takes the same mutex. Each case forces the interleaving that
// used to hang: the callback begins, then waits a bounded while for the worker's screen call to return
// before it takes the mutex. Under a library lock that wait runs out and the case fails instead of
// hanging; ThreadSanitizer (this file is part of its build) reports any lock-order inversion left.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "dialogs/Alert.h"
#include "forms/CustomItem.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/Gauge.h"
#include "forms/List.h"
#include "shell/Canvas.h"
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
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::ItemStateListener;
using javax::microedition::lcdui::List;
using screenstest::Command;
using screenstest::CommandListener;
using screenstest::Display;
using screenstest::Displayable;
using testsupport::jstr;
using testsupport::Signal;

// Long enough for any worker's screen call on a loaded machine, well below the watchdog.
constexpr std::chrono::seconds kHangGuard{30};

// The application: its mutex, and what its callbacks heard.
class Application : public java::lang::Object, public ItemStateListener {
    TESL_CLASS(Application, "dialogstest.CallbackApplication", java::lang::Object, ItemStateListener)
public:
    Application() noexcept {}
    Application* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    void itemStateChanged(const JavaPtr<Item>&) override { heard("item state"); }

    // A callback of the application: it says it has begun, lets the worker's screen call return, then
    // takes the application's mutex. Only while armed: building the screens calls back too.
    void heard(const std::string& what) {
        if (!armed.load()) return;
        callBegan.raise();
        if (!workerDone.wait(kHangGuard)) {
            hung.store(true);
            return;
        }
        std::lock_guard<std::mutex> lock(state);
        calls.insert(what);
    }

    std::atomic<bool> armed{false};
    std::atomic<bool> hung{false};
    std::mutex state;
    Signal workerHolds;
    Signal callBegan;
    Signal workerDone;
    // Under state.
    std::set<std::string> calls;
};

// A custom item whose callbacks of one kind report to the application.
class Probe : public CustomItem {
    TESL_CLASS(Probe, "dialogstest.Probe", CustomItem)
public:
    Probe() noexcept {}
    Probe* TESLinvokeconstructor(const JavaPtr<Application>& app, std::string reported) {
        CustomItem::TESLinvokeconstructor(nullptr);
        m_app = app;
        m_reported = std::move(reported);
        return this;
    }
    ~Probe() override { report("destroyed"); }

    int getMinContentWidth() override { return sized(); }
    int getMinContentHeight() override { return sized(); }
    int getPrefContentWidth(int) override { return sized(); }
    int getPrefContentHeight(int) override { return sized(); }
    using CustomItem::paint;
    void paint(const JavaPtr<Graphics>& g, int w, int h) override {
        report("paint");
        if (m_reported == "state" && m_app->armed.load()) notifyStateChanged();
        g->fillRect(0, 0, w, h);
    }
    void keyPressed(int) override {
        report("key");
        if (afterKey) afterKey();
    }
    void keyReleased(int) override { report("key"); }
    void pointerPressed(int, int) override { report("pointer"); }
    void pointerReleased(int, int) override { report("pointer"); }
    bool traverse(int, int, int, const JavaPtr<JArray<int>>&) override {
        report("traverse");
        return false;
    }
    void traverseOut() override { report("traverseOut"); }

    std::function<void()> afterKey;

private:
    int sized() {
        report("size");
        return 20;
    }
    void report(const std::string& kind) {
        if (kind == m_reported) m_app->heard(kind);
    }

    JavaPtr<Application> m_app;
    std::string m_reported;
};

// A command listener whose destructor is the application's code.
class DyingListener : public java::lang::Object, public CommandListener {
    TESL_CLASS(DyingListener, "dialogstest.DyingListener", java::lang::Object, CommandListener)
public:
    DyingListener() noexcept {}
    DyingListener* TESLinvokeconstructor(const JavaPtr<Application>& app) {
        Object::TESLinvokeconstructor();
        m_app = app;
        return this;
    }
    ~DyingListener() override { m_app->heard("listener destroyed"); }
    void commandAction(const JavaPtr<Command>&, const JavaPtr<Displayable>&) override {}

private:
    JavaPtr<Application> m_app;
};

// The application's own canvas, shown before the form.
class AppCanvas : public Canvas {
    TESL_CLASS(AppCanvas, "dialogstest.AppCanvas", Canvas)
public:
    AppCanvas() noexcept {}
    AppCanvas* TESLinvokeconstructor() {
        Canvas::TESLinvokeconstructor();
        return this;
    }
    void paint(const JavaPtr<Graphics>&) override {
        if (std::function<void()> once = std::exchange(insidePaint, nullptr)) once();
    }
    // Under the paint lock, which keeps it to one painter.
    std::function<void()> insidePaint;
};

class ApplicationCodeConcurrencyTest : public dialogstest::HighLevelScreensFixture {};

// Everything a case works with: the form on screen holds the worker's gauge and the probe, behind it
// the application's canvas.
struct Stage {
    JavaPtr<Application> app;
    JavaPtr<Form> form;
    JavaPtr<Gauge> progress;
    JavaPtr<Probe> probe;
    JavaPtr<AppCanvas> canvas;
    JavaPtr<FormCanvas> formCanvas() const { return form->getFormCanvas(); }
};

TEST_F(ApplicationCodeConcurrencyTest, ApplicationCodeRunsWithNoLibraryLockHeld) {
    testsupport::Watchdog watchdog;
    using Act = std::function<void(Stage&)>;
    // The worker's usual screen call, made while it holds the application's mutex.
    const Act setProgress = [](Stage& s) {
        s.app->workerHolds.raise();
        s.app->callBegan.wait(kHangGuard);
        s.progress->setValue(40);
    };
    // The worker repaints the application's own canvas instead: the paint lock.
    const Act repaintOwnCanvas = [](Stage& s) {
        s.app->workerHolds.raise();
        s.app->callBegan.wait(kHangGuard);
        s.canvas->repaint();
    };
    const auto tick = [](Stage& s) {
        s.formCanvas()->setNeedsRepaint();
        Display::tickLCDUI(50);
    };
    const auto highlightProbe = [this](Stage& s) { display->setCurrentItem(s.probe); };
    struct Case {
        const char* name;
        // What the probe reports; what else the application hangs on the stage before it is armed.
        const char* reported;
        Act prepare;
        // What the worker does while it holds the application's mutex, and what the user (or the
        // application's main thread) does meanwhile.
        Act worker;
        Act act;
        std::set<std::string> heard;
    };
    const Case cases[] = {
        {"a custom item paints", "paint", nullptr, setProgress, tick, {"paint"}},
        {"a custom item is sized for the layout",
         "size",
         nullptr,
         setProgress,
         [](Stage& s) {
             s.probe->invalidate();
             Display::tickLCDUI(50);
         },
         {"size"}},
        {"a key reaches a custom item",
         "key",
         highlightProbe,
         setProgress,
         [](Stage& s) { key(s.formCanvas(), Canvas::KEY_NUM5); },
         {"key"}},
        {"a touch reaches a custom item",
         "pointer",
         nullptr,
         setProgress,
         [](Stage& s) {
             const int x = s.probe->m_x + s.probe->m_contentX + 2;
             const int y =
                 s.probe->m_y + s.probe->m_contentY + 2 - s.formCanvas()->m_screenToLogicalOffsetY();
             s.formCanvas()->pointerPressed(x, y);
             s.formCanvas()->pointerReleased(x, y);
         },
         {"pointer"}},
        {"the highlight moves onto a custom item",
         "traverse",
         nullptr,
         setProgress,
         [](Stage& s) { key(s.formCanvas(), screenstest::DisplayableCoreCanvas::KEY_DOWN); },
         {"traverse"}},
        {"the highlight leaves a custom item",
         "traverseOut",
         highlightProbe,
         setProgress,
         [](Stage& s) { key(s.formCanvas(), screenstest::DisplayableCoreCanvas::KEY_UP); },
         {"traverseOut"}},
        {"a dropped form's item and listener die at the switch",
         "destroyed",
         [](Stage& s) {
             // The probe and a listener go with a form the application lets go of.
             JavaPtr<Form> doomed = jnew<Form>(jstr("Doomed"));
             doomed->append(jnew<Probe>(s.app, "destroyed"));
             doomed->setCommandListener(jnew<DyingListener>(s.app));
             Display::getDisplay(nullptr)->setCurrent(doomed);
             Display::tickLCDUI(50);
         },
         setProgress,
         [](Stage& s) {
             Display::getDisplay(nullptr)->setCurrent(s.form);
             Display::tickLCDUI(50);
         },
         {"destroyed", "listener destroyed"}},
        {"a form's listener is replaced",
         "none",
         [](Stage& s) { s.form->setCommandListener(jnew<DyingListener>(s.app)); },
         setProgress,
         [](Stage& s) { s.form->setCommandListener(nullptr); },
         {"listener destroyed"}},
        {"a list's listener is replaced",
         "none",
         nullptr,
         setProgress,
         [](Stage& s) {
             JavaPtr<List> list = jnew<List>(jstr("Pick"), Choice::EXCLUSIVE);
             list->setCommandListener(jnew<DyingListener>(s.app));
             list->setCommandListener(nullptr);
         },
         {"listener destroyed"}},
        {"an alert's listener is replaced",
         "none",
         nullptr,
         setProgress,
         [](Stage& s) {
             JavaPtr<Alert> alert = jnew<Alert>(jstr("Note"));
             alert->setCommandListener(jnew<DyingListener>(s.app));
             alert->setCommandListener(nullptr);
         },
         {"listener destroyed"}},
        {"a custom item's paint reports a state change",
         "state",
         [](Stage& s) { s.form->setItemStateListener(s.app); },
         repaintOwnCanvas,
         tick,
         {"item state"}},
        {"a custom item's key repaints the canvas another thread paints",
         "key",
         [this](Stage& s) {
             display->setCurrentItem(s.probe);
             // Not once the key has been found under a lock: the repaint would then wait for good.
             s.probe->afterKey = [app = s.app, canvas = s.canvas] {
                 if (!app->hung.load()) canvas->repaint();
             };
         },
         // The worker is inside its canvas's paint, which reads the form's title, when the key comes.
         [](Stage& s) {
             s.canvas->insidePaint = [&s] {
                 s.app->workerHolds.raise();
                 s.app->callBegan.wait(kHangGuard);
                 EXPECT_TRUE(s.form->getTitle());
             };
             s.canvas->repaint();
         },
         [](Stage& s) { key(s.formCanvas(), Canvas::KEY_NUM5); },
         {"key"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Stage s;
        s.app = jnew<Application>();
        s.canvas = jnew<AppCanvas>();
        show(s.canvas);
        s.form = jnew<Form>(jstr("Download"));
        s.progress = jnew<Gauge>(nullptr, false, 100, 0);
        s.form->append(s.progress);
        s.probe = jnew<Probe>(s.app, c.reported);
        s.form->append(s.probe);
        show(s.form);
        if (c.prepare) c.prepare(s);
        s.app->armed.store(true);

        std::thread worker([&] {
            std::lock_guard<std::mutex> lock(s.app->state);
            c.worker(s);
            s.app->workerDone.raise();
        });
        ASSERT_TRUE(s.app->workerHolds.wait(kHangGuard));
        c.act(s);
        worker.join();
        s.app->armed.store(false);
        EXPECT_FALSE(s.app->hung.load()) << "an application call ran under a library lock";
        std::lock_guard<std::mutex> lock(s.app->state);
        EXPECT_EQ(s.app->calls, c.heard);
    }
}

}  // namespace
