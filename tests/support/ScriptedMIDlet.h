// A MIDlet for the start-up and entry tests: shows a canvas that counts what reaches it, and records
// its own life-cycle calls. Counters are static, since the shell creates the MIDlet itself.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "shell/Canvas.h"
#include "shell/Display.h"
#include "shell/MIDlet.h"

namespace testsupport {

struct ScriptedRecord {
    std::atomic<int> startApps{0};
    std::atomic<int> pauseApps{0};
    std::atomic<int> destroyApps{0};
    std::atomic<int> showNotifies{0};
    std::atomic<int> sizeWidth{0};
    std::atomic<int> sizeHeight{0};
    std::atomic<int> sizeChanges{0};
    // Whether destroyApp calls notifyDestroyed (a well-behaved application does).
    std::atomic<bool> quitOnDestroy{true};

    void add(const std::string& event) {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(event);
    }
    std::vector<std::string> input() {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }

    void reset() {
        startApps = 0;
        pauseApps = 0;
        destroyApps = 0;
        showNotifies = 0;
        sizeWidth = 0;
        sizeHeight = 0;
        sizeChanges = 0;
        quitOnDestroy = true;
        std::lock_guard<std::mutex> lock(mutex);
        events.clear();
    }

    static ScriptedRecord& get() {
        static ScriptedRecord record;
        return record;
    }

private:
    std::mutex mutex;
    std::vector<std::string> events;
};

class ScriptedCanvas : public javax::microedition::lcdui::Canvas {
    TESL_CLASS(ScriptedCanvas, "testsupport.ScriptedCanvas", javax::microedition::lcdui::Canvas)
public:
    ScriptedCanvas() noexcept {}
    ScriptedCanvas* TESLinvokeconstructor() {
        Canvas::TESLinvokeconstructor();
        return this;
    }
    void showNotify() override { ScriptedRecord::get().showNotifies.fetch_add(1); }
    void pointerPressed(int x, int y) override { log("down", x, y); }
    void pointerDragged(int x, int y) override { log("drag", x, y); }
    void pointerReleased(int x, int y) override { log("up", x, y); }
    void keyPressed(int code) override { ScriptedRecord::get().add("key " + std::to_string(code)); }
    void sizeChanged(int w, int h) override {
        ScriptedRecord& record = ScriptedRecord::get();
        record.sizeWidth.store(w);
        record.sizeHeight.store(h);
        record.sizeChanges.fetch_add(1);
    }

private:
    static void log(const char* kind, int x, int y) {
        ScriptedRecord::get().add(std::string(kind) + " " + std::to_string(x) + "," + std::to_string(y));
    }
};

class ScriptedMIDlet : public javax::microedition::midlet::MIDlet {
    TESL_CLASS(ScriptedMIDlet, "testsupport.ScriptedMIDlet", javax::microedition::midlet::MIDlet)
public:
    ScriptedMIDlet() noexcept {}
    ScriptedMIDlet* TESLinvokeconstructor() {
        MIDlet::TESLinvokeconstructor();
        return this;
    }
    void startApp() override {
        if (ScriptedRecord::get().startApps.fetch_add(1) == 0) {
            javax::microedition::lcdui::Display::getDisplay(JavaPtr<MIDlet>(this))
                ->setCurrent(jnew<ScriptedCanvas>());
        }
    }
    void pauseApp() override { ScriptedRecord::get().pauseApps.fetch_add(1); }
    void destroyApp(bool) override {
        ScriptedRecord::get().destroyApps.fetch_add(1);
        if (ScriptedRecord::get().quitOnDestroy.load()) notifyDestroyed();
    }

    static JavaPtr<javax::microedition::midlet::MIDlet> create() { return jnew<ScriptedMIDlet>(); }
};

}  // namespace testsupport
