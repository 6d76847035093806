// An alert over a form in the program as it runs: the headless host, the shell's ticker thread on the
// real clock, and a MIDlet that shows a form and then an alert with a short timeout. The alert must go
// by itself and give the screen back to the form.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "dialogs/Alert.h"
#include "dialogs/AlertType.h"
#include "dialogs/DialogHooks.h"
#include "forms/Form.h"
#include "forms/FormHooks.h"
#include "platform/host/HeadlessHost.h"
#include "screens/ScreenHooks.h"
#include "screens/ScreenStatics.h"
#include "shell/Display.h"
#include "shell/MIDlet.h"
#include "shell/ProxyMIDlet.h"
#include "shell/StartUp.h"
#include "shell/xyzApp.h"
#include "tests/support/Eventually.h"
#include "tests/support/StringText.h"
#include "tests/support/TestFont.h"

namespace {

using javax::microedition::lcdui::Alert;
using javax::microedition::lcdui::AlertType;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;
using javax::microedition::lcdui::Form;
using testsupport::eventually;
using testsupport::jstr;
using namespace std::chrono_literals;

// What the test reads while the program runs: set by the MIDlet on the main thread.
std::atomic<Displayable*> formShown{nullptr};
std::atomic<Displayable*> alertShown{nullptr};
std::atomic<int> alertShowings{0};

class CountingAlert : public Alert {
    TESL_CLASS(CountingAlert, "alerttest.CountingAlert", Alert)
public:
    CountingAlert() noexcept {}
    CountingAlert* TESLinvokeconstructor(const JavaPtr<java::lang::String>& title,
                                         const JavaPtr<java::lang::String>& text) {
        Alert::TESLinvokeconstructor(title, text, nullptr, AlertType::INFO);
        return this;
    }
    void showNotify() override {
        Alert::showNotify();
        alertShowings.fetch_add(1);
    }
};

class AlertMIDlet : public javax::microedition::midlet::MIDlet {
    TESL_CLASS(AlertMIDlet, "alerttest.AlertMIDlet", javax::microedition::midlet::MIDlet)
public:
    AlertMIDlet() noexcept {}
    AlertMIDlet* TESLinvokeconstructor() {
        MIDlet::TESLinvokeconstructor();
        return this;
    }
    void startApp() override {
        if (m_form) return;
        JavaPtr<Display> display = Display::getDisplay(JavaPtr<MIDlet>(this));
        m_form = jnew<Form>(jstr("Form"));
        m_form->append(jstr("Underneath"));
        display->setCurrent(m_form);
        m_alert = jnew<CountingAlert>(jstr("Alert"), jstr("Going soon"));
        m_alert->setTimeout(300);
        display->setCurrent(m_alert, m_form);
        formShown.store(m_form.get());
        alertShown.store(m_alert.get());
    }
    void pauseApp() override {}
    void destroyApp(bool) override {
        formShown.store(nullptr);
        alertShown.store(nullptr);
        notifyDestroyed();
    }

    static JavaPtr<MIDlet> create() { return jnew<AlertMIDlet>(); }

private:
    JavaPtr<Form> m_form;
    JavaPtr<CountingAlert> m_alert;
};

bool isCurrent(const std::atomic<Displayable*>& d) {
    Displayable* wanted = d.load();
    return wanted != nullptr && Display::currentDisplayable().get() == wanted;
}

TEST(AlertOnHeadlessHostConcurrencyTest, AlertOverAFormGoesByItselfAndTheFormReturns) {
    javax::microedition::lcdui::resetScreenStatics();
    ASSERT_TRUE(testsupport::loadTestFont());
    javax::microedition::lcdui::LCDUIHighLevelHooks hooks;
    javax::microedition::lcdui::fillScreenHooks(hooks);
    javax::microedition::lcdui::fillFormHooks(hooks);
    javax::microedition::lcdui::fillDialogHooks(hooks);
    javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
    resetStartUpForTests();
    alertShowings.store(0);

    platform::HostScreen screen;
    screen.widthPoints = 240;
    screen.heightPoints = 320;
    screen.scale = 1;
    platform::HeadlessHost host(screen);
    xyzApp app(host);
    platform::setCurrentHost(&host);
    ProxyMIDlet::setMIDletFactory(&AlertMIDlet::create);
    int status = -1;
    std::thread loop([&] { status = host.run(app); });
    ASSERT_TRUE(host.waitUntilRunning(5s));

    // The alert becomes current at a tick, stays at least its 300 ms, then the form comes back.
    EXPECT_TRUE(eventually([] { return alertShowings.load() >= 1; }, 10000ms));
    EXPECT_TRUE(eventually([] { return alertShowings.load() >= 1 && isCurrent(formShown); }, 10000ms));
    EXPECT_EQ(alertShowings.load(), 1);

    host.terminate();
    EXPECT_TRUE(host.waitUntilFinished(10s));
    loop.join();
    EXPECT_EQ(status, xyzApp::kExitClean);
    platform::setCurrentHost(nullptr);
    ProxyMIDlet::setMIDletFactory(nullptr);
    javax::microedition::lcdui::resetScreenStatics();
}

}  // namespace
