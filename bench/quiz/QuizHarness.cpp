#include "bench/quiz/QuizHarness.h"

#include <stdlib.h>

#include <atomic>

#include "platform/device/DeviceProfile.h"
#include "platform/files/FileSystemPaths.h"
#include "runtime/LockObject.h"
#include "shell/StartUp.h"
#include "tests/support/QuizLaunch.h"
#include "tests/support/QuizStatics.h"

namespace quizbench {

namespace {

platform::HostScreen screenFor(int scale) {
    platform::HostScreen screen;
    screen.widthPoints = 320;
    screen.heightPoints = 480;
    screen.scale = scale;
    return screen;
}

}  // namespace

JavaPtr<JArray<signed char>> BenchCanvas::loadFileFromJar(const JavaPtr<String>& name, int32_t length) {
    {
        std::lock_guard<std::mutex> lock(m_filesMutex);
        if (m_recording && name) m_files.push_back(toUtf8(name));
    }
    return HookCanvas::loadFileFromJar(name, length);
}

void BenchCanvas::startRecording() {
    std::lock_guard<std::mutex> lock(m_filesMutex);
    m_recording = true;
    m_files.clear();
}

std::vector<std::string> BenchCanvas::stopRecording() {
    std::lock_guard<std::mutex> lock(m_filesMutex);
    m_recording = false;
    return std::move(m_files);
}

JavaPtr<javax::microedition::midlet::MIDlet> BenchMidlet::create() {
    return jnew<BenchMidlet>();
}

void BenchMidlet::setAppCanvas() {
    JavaPtr<BenchCanvas> c = jnew<BenchCanvas>();
    setCanvas(c);
    c->midlet = JavaPtr<AppMidlet>(this);
}

QuizHarness::QuizHarness(int scale, Loop loop, ProxyMIDlet::MIDletFactory factory)
    : m_host(screenFor(scale)), m_manual(loop == Loop::Manual) {
    char pattern[] = "/tmp/quiz_bench_XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    m_data = pattern;
    resetStartUpForTests();
    testsupport::resetQuizRunStatics();
    std::string error;
    if (!platform::setUpFileSystemPaths(QUILL_FULL_BUNDLE_DIR, m_data.c_str(), error)) return;
    platform::DeviceProfile profile = platform::defaultDeviceProfile();
    profile.screenModeWidth = 320 * scale;
    platform::setDeviceProfile(profile);
    testsupport::prepareQuizLaunch(factory != nullptr ? factory : &BenchMidlet::create, m_manual);
    platform::setCurrentHost(&m_host);
    m_app = std::make_unique<xyzApp>(m_host);
    m_started = std::chrono::steady_clock::now();
    m_loop = std::thread([this] { m_host.run(*m_app); });
    m_launched = m_host.waitUntilRunning(std::chrono::seconds(10));
    // The passes begin once the program is ready for them.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_launched && m_manual && std::chrono::steady_clock::now() < end &&
           !testsupport::quizReadyForPasses())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

QuizHarness::~QuizHarness() {
    if (m_loop.joinable()) {
        m_host.terminate();
        m_host.waitUntilFinished(std::chrono::seconds(10));
        m_loop.join();
    }
    m_app.reset();
    platform::setCurrentHost(nullptr);
    testsupport::endQuizLaunch();
    std::error_code ignored;
    if (!m_data.empty()) std::filesystem::remove_all(m_data, ignored);
}

JavaPtr<BenchCanvas> QuizHarness::canvas() {
    return jcast<BenchCanvas>(AppMidlet::canvas());
}

void QuizHarness::pass(bool advance) {
    if (advance) testsupport::quizManualClock().fetch_add(HookCanvas::MS_PER_UPDATE);
    if (JavaPtr<HookCanvas> c = AppMidlet::canvas()) c->runOnce();
}

bool QuizHarness::settle(int32_t state, int limit) {
    for (int i = 0; i < limit; ++i) {
        JavaPtr<HookCanvas> c = AppMidlet::canvas();
        if (c && settledIn(*c, state)) return true;
        if ((HookCanvas::game_state.load() & HookCanvas::GAMESTATEFLAG_LOADING) != 0)
            HookCanvas::waitForLoading(10000);
        if (HookCanvas::thread_failed.load()) return false;
        pass();
    }
    return false;
}

bool QuizHarness::settledIn(HookCanvas& canvas, int32_t state) {
    JavaPtr<LockObject> lock(canvas.startSync());
    if (HookCanvas::game_state.load() != state || canvas.fade_active) return false;
    if (state == HookCanvas::GAMESTATE_GAME_RUNNING)
        return canvas.next_question_delay <= 0 && !canvas.question_slide_pending;
    return true;
}

}  // namespace quizbench
