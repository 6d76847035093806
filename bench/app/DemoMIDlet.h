// The idle benchmark's MIDlet: shows DemoCanvas and quits when destroyed.
#pragma once

#include <mutex>

#include "bench/app/DemoCanvas.h"
#include "shell/MIDlet.h"

class DemoMIDlet : public javax::microedition::midlet::MIDlet {
    TESL_CLASS(DemoMIDlet, "DemoMIDlet", javax::microedition::midlet::MIDlet)
public:
    DemoMIDlet() noexcept {}
    DemoMIDlet* TESLinvokeconstructor() {
        MIDlet::TESLinvokeconstructor();
        return this;
    }
    void startApp() override;
    void pauseApp() override {}
    void destroyApp(bool unconditional) override;

    // The program's default MIDlet factory.
    static JavaPtr<javax::microedition::midlet::MIDlet> create();

private:
    // startApp runs on the MIDlet thread, resume and destroy on the main thread.
    std::mutex m_mutex;
    JavaPtr<DemoCanvas> m_canvas;
};
