// quill: the program a person runs. It sets up the file layer and the device, picks a host (a window,
// or none with --headless) and hands the loop to the shell's delegate; a script, when given, drives
// the headless host from a thread of its own.
#include <signal.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "app/ProgramOptions.h"
#include "app/QuizScriptSteps.h"
#include "app/ScriptRunner.h"
#include "dialogs/DialogHooks.h"
#include "engine/AppMidlet.h"
#include "engine/HookCanvas.h"
#include "forms/FormHooks.h"
#include "forms/List.h"
#include "graphics/Switch2DOver3D.h"
#include "platform/device/DeviceProfile.h"
#include "platform/files/DirectoryLock.h"
#include "platform/files/FileSystemPaths.h"
#if _ATTEMPTS_2D_OVER_3D
#include "platform/gl/EglOutput.h"
#endif
#include "platform/host/HeadlessHost.h"
#include "platform/host/Sdl2Host.h"
#include "platform/location/LocationReplay.h"
#include "platform/messaging/SmsOutbox.h"
#include "screens/ScreenHooks.h"
#include "shell/ProxyMIDlet.h"
#include "shell/StartUp.h"
#include "shell/StaticProxy.h"
#include "shell/xyzApp.h"

namespace {

// The application's MIDlet.
constexpr ProxyMIDlet::MIDletFactory kMIDletFactory = &AppMidlet::create;

void initialiseApplicationStatics() {
    HookCanvas::HookCanvas_globalStaticCreate();
}

void destroyApplicationStatics() {
    AppMidlet::AppMidlet_globalStaticDestroy();
    HookCanvas::HookCanvas_globalStaticDestroy();
}

platform::DeviceProfile profileFor(const std::string& device, int scale) {
    platform::DeviceProfile profile = platform::defaultDeviceProfile();
    if (device == "iphone") {
        profile.modelName = "iPhone";
        profile.machineName = scale == 2 ? "iPhone3,1" : "iPhone2,1";
    } else if (device == "ipod") {
        profile.modelName = "iPod touch";
        profile.machineName = scale == 2 ? "iPod4,1" : "iPod3,1";
    } else if (device == "ipad") {
        profile.modelName = "iPad";
        profile.machineName = "iPad1,1";
    } else {
        profile.modelName = "Unknown";
        profile.machineName = "unknown";
    }
    return profile;
}

// Turns SIGINT and SIGTERM into the host's termination, on a thread of its own.
class SignalWatcher {
public:
    explicit SignalWatcher(platform::HeadlessHost& host) {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        m_thread = std::thread([this, &host, set] {
            const timespec step{0, 100'000'000};
            while (!m_stop.load()) {
                if (sigtimedwait(&set, nullptr, &step) > 0) host.terminate();
            }
        });
    }
    ~SignalWatcher() {
        m_stop.store(true);
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Writes every Nth frame shown into a folder as frame-NNNNNN.png, polling the headless host.
class FrameDumper {
public:
    FrameDumper(platform::HeadlessHost& host, const std::string& directory, int every) {
        if (directory.empty()) return;
        m_thread = std::thread([this, &host, directory, every] {
            const auto step = static_cast<uint64_t>(every);
            uint64_t written = 0;
            while (!m_stop.load()) {
                const uint64_t shown = host.frameCount();
                if (shown >= written + step) {
                    written = shown - shown % step;
                    char name[32];
                    std::snprintf(name, sizeof name, "/frame-%06llu.png",
                                  static_cast<unsigned long long>(written));
                    std::string error;
                    if (!host.writeSnapshot(directory + name, error))
                        std::fprintf(stderr, "quill: %s\n", error.c_str());
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    ~FrameDumper() {
        m_stop.store(true);
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

int runHeadless(const platform::HostScreen& screen, const ScriptRunner* script,
                std::chrono::milliseconds timeout, const ProgramOptions& options) {
    platform::HeadlessHost host(screen);
    platform::setCurrentHost(&host);
    SignalWatcher signals(host);
    FrameDumper dumper(host, options.framesDirectory, options.dumpEvery);
    int scriptResult = ScriptRunner::kPassed;
    std::thread runner;
    if (script != nullptr) {
        runner = std::thread([&] {
            scriptResult = script->run(host, timeout);
            host.terminate();
        });
    }
    int status;
    {
        xyzApp app(host);
        status = host.run(app);
    }
    exitNowIfRuntimeThreadsRun(status);
    if (runner.joinable()) runner.join();
    platform::setCurrentHost(nullptr);
    if (status == xyzApp::kExitLaunchFailed) return status;
    // A script stopped short by the application's failure reports that failure, not its own.
    if (AppMidlet::exitStatusFor(status) == AppMidlet::kExitApplicationFailed)
        return AppMidlet::kExitApplicationFailed;
    // Ended by a signal, the program reports its tear-down, as it does without a script.
    if (scriptResult == ScriptRunner::kPassed || scriptResult == ScriptRunner::kTerminated) return status;
    return scriptResult;
}

int runWindowed(const platform::HostScreen& screen, const ProgramOptions& options) {
    platform::Sdl2HostOptions hostOptions;
    hostOptions.screen = screen;
    hostOptions.zoom = options.zoom;
    hostOptions.title = "Quill";
    hostOptions.midpKeys = options.midpKeys;
    hostOptions.urlOpener = options.urlOpener;
    std::string error;
    std::unique_ptr<platform::Sdl2Host> host = platform::Sdl2Host::open(hostOptions, error);
    if (!host) {
        std::fprintf(stderr, "quill: %s\n", error.c_str());
        return xyzApp::kExitLaunchFailed;
    }
    platform::setCurrentHost(host.get());
    int status;
    {
        xyzApp app(*host);
        status = host->run(app);
    }
    exitNowIfRuntimeThreadsRun(status);
    platform::setCurrentHost(nullptr);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    ProgramOptions options;
    std::string error;
    if (!ProgramOptions::parse(argc, argv, options, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return ProgramOptions::kUsageError;
    }
    if (options.help) {
        std::fputs(ProgramOptions::usage().c_str(), stdout);
        std::fputs(("\n" + QuizScriptSteps::usage()).c_str(), stdout);
        return 0;
    }
    if ((!options.scriptPath.empty() || !options.framesDirectory.empty()) && !options.headless) {
        std::fprintf(stderr, "quill: --script and --frames-dir need --headless\n");
        return ProgramOptions::kUsageError;
    }
    if (!options.framesDirectory.empty()) {
        std::error_code made;
        std::filesystem::create_directories(options.framesDirectory, made);
        if (made) {
            std::fprintf(stderr, "quill: cannot make '%s': %s\n", options.framesDirectory.c_str(),
                         made.message().c_str());
            return ProgramOptions::kUsageError;
        }
    }
    if (!options.smsOutboxDirectory.empty()) {
        std::error_code made;
        std::filesystem::create_directories(options.smsOutboxDirectory, made);
        if (made || !std::filesystem::is_directory(options.smsOutboxDirectory, made)) {
            std::fprintf(stderr, "quill: cannot use '%s' as the message outbox: %s\n",
                         options.smsOutboxDirectory.c_str(),
                         made ? made.message().c_str() : "not a directory");
            return ProgramOptions::kUsageError;
        }
        platform::setSmsOutboxDirectory(options.smsOutboxDirectory);
    }
    // The replay reports an unreadable script itself, in one line.
    if (!options.locationScriptPath.empty() && !platform::setLocationScriptFile(options.locationScriptPath))
        return ProgramOptions::kUsageError;
    // OpenAL's own error lines stay off stderr unless the user asks for them; a missing sound device
    // is said in one line of the program's own. Set before any thread reads the environment.
    setenv("ALSOFT_LOGLEVEL", "0", 0);
#if _ATTEMPTS_2D_OVER_3D
    // Likewise EGL's: a missing driver is said in one line below, not in the loader's words.
    setenv("EGL_LOG_LEVEL", "fatal", 0);
#endif
    // The application reads its locale from the environment.
    if (!options.locale.empty()) setenv("LC_ALL", (options.locale + ".UTF-8").c_str(), 1);
    ScriptRunner script;
    script.addApplicationSteps(QuizScriptSteps::steps());
    if (!options.scriptPath.empty()) {
        std::ifstream file(options.scriptPath);
        if (!file) {
            std::fprintf(stderr, "quill: cannot read the script '%s'\n", options.scriptPath.c_str());
            return ProgramOptions::kUsageError;
        }
        std::stringstream text;
        text << file.rdbuf();
        if (!script.parse(text.str(), error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return ScriptRunner::kFailed;
        }
    }
    if (!platform::setUpFileSystemPaths(
            options.bundleDirectory.empty() ? nullptr : options.bundleDirectory.c_str(),
            options.dataDirectory.empty() ? nullptr : options.dataDirectory.c_str(), error)) {
        std::fprintf(stderr, "quill: %s\n", error.c_str());
        return xyzApp::kExitLaunchFailed;
    }
    // Held for the whole run: a second copy on the same saved files would find its record stores
    // locked and show an empty profile, so it is refused here with the reason instead.
    platform::DirectoryLock dataLock;
    const char* dataDirectory = *_savePathIs != 0 ? _savePathIs : "/";
    if (!dataLock.acquire(dataDirectory)) {
        if (errno == EWOULDBLOCK)
            std::fprintf(stderr, "quill: the data directory %s is in use by another quill\n", dataDirectory);
        else
            std::fprintf(stderr, "quill: cannot lock the data directory %s: %s\n", dataDirectory,
                         std::strerror(errno));
        return xyzApp::kExitLaunchFailed;
    }
    platform::DeviceProfile profile = profileFor(options.device, options.scale);
    profile.screenModeWidth = options.widthPoints * options.scale;
    platform::setDeviceProfile(profile);
    ProxyMIDlet::setMIDletFactory(kMIDletFactory);
    javax::microedition::lcdui::LCDUIHighLevelHooks screenHooks;
    javax::microedition::lcdui::fillScreenHooks(screenHooks);
    javax::microedition::lcdui::fillFormHooks(screenHooks);
    javax::microedition::lcdui::List::fillListHooks(screenHooks);
    javax::microedition::lcdui::fillDialogHooks(screenHooks);
    javax::microedition::lcdui::setLCDUIHighLevelHooks(screenHooks);
    StaticProxy::setHooks({&initialiseApplicationStatics, &destroyApplicationStatics});

    platform::HostScreen screen;
    screen.widthPoints = options.widthPoints;
    screen.heightPoints = options.heightPoints;
    screen.scale = options.scale;
    screen.modelName = profile.modelName;
    screen.machineName = profile.machineName;
    const std::chrono::milliseconds timeout(options.timeoutMilliseconds);
#if _ATTEMPTS_2D_OVER_3D
    // Every frame goes through GL: without a context the program would show nothing at all, so it does
    // not start, as without a display. The context made here is the one the first frame takes.
    platform::EglOutput::setOutputSize(options.widthPoints * options.scale,
                                       options.heightPoints * options.scale);
    if (std::string reason; !platform::EglOutput::probe(reason)) {
        std::fprintf(stderr, "quill: no OpenGL ES 1.1 driver: %s\n", reason.c_str());
        return xyzApp::kExitLaunchFailed;
    }
#endif
    int status = options.headless
                     ? runHeadless(screen, options.scriptPath.empty() ? nullptr : &script, timeout, options)
                     : runWindowed(screen, options);
    return AppMidlet::exitStatusFor(status);
}
