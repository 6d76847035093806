// The quiz as the program runs it, headless on the full bundle with a fresh data directory, for the
// quiz's benchmarks: either on its own threads and the real clock, or with the frame loop and the
// canvas clock in the benchmark's hands (manual passes).
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/AppMidlet.h"
#include "engine/HookCanvas.h"
#include "platform/host/HeadlessHost.h"
#include "shell/ProxyMIDlet.h"
#include "shell/xyzApp.h"

namespace quizbench {

// The application canvas, noting the bundle files it reads while recording is on.
class BenchCanvas : public HookCanvas {
    TESL_CLASS(BenchCanvas, "quizbench.BenchCanvas", HookCanvas)
public:
    BenchCanvas() noexcept {}
    BenchCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        return this;
    }
    JavaPtr<JArray<signed char>> loadFileFromJar(const JavaPtr<String>& name, int32_t length) override;

    void startRecording();
    std::vector<std::string> stopRecording();

private:
    std::mutex m_filesMutex;  // guards m_recording and m_files (the loading thread reads files)
    bool m_recording = false;
    std::vector<std::string> m_files;
};

class BenchMidlet : public AppMidlet {
    TESL_CLASS(BenchMidlet, "quizbench.BenchMidlet", AppMidlet)
public:
    BenchMidlet() noexcept {}
    BenchMidlet* TESLinvokeconstructor() {
        AppMidlet::TESLinvokeconstructor();
        return this;
    }
    static JavaPtr<javax::microedition::midlet::MIDlet> create();
    void setAppCanvas() override;
};

class QuizHarness {
public:
    enum class Loop { Threaded, Manual };

    // scale 1: 320 x 480 pixels; 2: 640 x 960. factory null: the quiz (BenchMidlet).
    QuizHarness(int scale, Loop loop, ProxyMIDlet::MIDletFactory factory = nullptr);
    ~QuizHarness();
    QuizHarness(const QuizHarness&) = delete;
    QuizHarness& operator=(const QuizHarness&) = delete;

    // When the program was started.
    std::chrono::steady_clock::time_point started() const { return m_started; }
    platform::HeadlessHost& host() { return m_host; }
    JavaPtr<BenchCanvas> canvas();
    bool launched() const { return m_launched; }

    // Manual loop: one pass, the canvas clock a step further (or not, with advance false).
    void pass(bool advance = true);
    // Manual loop: passes until the quiz shows state settled (no loading bit, no wipe, and on the game
    // screen no answer delay or slide), at most limit passes; loads are waited for.
    bool settle(int32_t state, int limit = 2000);

    // The screen is the state without the loading bit, no wipe runs, and on the game screen no answer
    // delay or slide is pending; read under the canvas's monitor.
    static bool settledIn(HookCanvas& canvas, int32_t state);

private:
    platform::HeadlessHost m_host;
    std::filesystem::path m_data;
    std::unique_ptr<xyzApp> m_app;
    std::thread m_loop;
    std::chrono::steady_clock::time_point m_started;
    bool m_manual;
    bool m_launched = false;
};

}  // namespace quizbench
