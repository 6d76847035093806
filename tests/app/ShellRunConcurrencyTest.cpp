// The shell run as the program runs it: a headless host, the delegate and a scripted MIDlet, from
// launch to tear-down, driven from the test thread.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "graphics/Graphics.h"
#include "platform/device/DeviceProfile.h"
#include "platform/host/HeadlessHost.h"
#include "runtime/IllegalStateException.h"
#include "sensor/SensorManager.h"
#include "shell/Display.h"
#include "shell/MIDlet.h"
#include "shell/ShellGlobals.h"
#include "shell/StartUp.h"
#include "shell/TSlibs.h"
#include "shell/xyzApp.h"
#include "tests/sensor/SensorTestSupport.h"
#include "tests/support/Eventually.h"
#include "tests/support/ScriptedMIDlet.h"

using javax::microedition::lcdui::Display;
using testsupport::eventually;
using testsupport::ScriptedRecord;
using namespace std::chrono_literals;

namespace {

std::mutex callLogMutex;
std::vector<std::string> callLog;

void recordCall(const char* hook) {
    std::lock_guard<std::mutex> lock(callLogMutex);
    callLog.emplace_back(hook);
}

std::vector<std::string> calls() {
    std::lock_guard<std::mutex> lock(callLogMutex);
    return callLog;
}

int count(const std::vector<std::string>& log, const std::string& entry) {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

platform::HostScreen screenOf(int width, int height, int scale) {
    platform::HostScreen screen;
    screen.widthPoints = width;
    screen.heightPoints = height;
    screen.scale = scale;
    return screen;
}

// The program's loop on a thread of its own, with the scripted MIDlet.
class RunningShell {
public:
    explicit RunningShell(const platform::HostScreen& screen) : host(screen), app(host) {
        resetStartUpForTests();
        ScriptedRecord::get().reset();
        {
            std::lock_guard<std::mutex> lock(callLogMutex);
            callLog.clear();
        }
        setTSlibsCallLog(recordCall);
        platform::setCurrentHost(&host);
        ProxyMIDlet::setMIDletFactory(testsupport::ScriptedMIDlet::create);
        loop = std::thread([this] { status = host.run(app); });
        EXPECT_TRUE(host.waitUntilRunning(5s));
    }
    ~RunningShell() {
        finish();
        setTSlibsCallLog(nullptr);
        platform::setCurrentHost(nullptr);
    }
    // Terminates (if still running) and answers the loop's status.
    int finish() {
        if (loop.joinable()) {
            host.terminate();
            EXPECT_TRUE(host.waitUntilFinished(10s));
            loop.join();
        }
        return status;
    }
    bool canvasShown() {
        return eventually(
            [] { return Display::currentCanvas() && ScriptedRecord::get().showNotifies.load() >= 2; });
    }
    // Waits for n more polls of the ticker thread: the loop goes on.
    bool tickerPasses(int n) {
        const int start = count(calls(), "Manager.tick");
        return eventually([&] { return count(calls(), "Manager.tick") >= start + n; });
    }

    platform::HeadlessHost host;
    xyzApp app;
    std::thread loop;
    int status = -1;
};

}  // namespace

TEST(ShellLaunchTest, OutputSizeScaleLaunchImageAndFreshBufferPerMode) {
    struct Mode {
        const char* device;
        int width, height, scale;
        int outputWidth, outputHeight, shift;
        const char* launchImage;
    };
    const Mode modes[] = {
        {"iPhone", 320, 480, 2, 640, 960, 1, "Default"},
        {"iPhone", 320, 480, 1, 320, 480, 0, "Default.png"},
        {"iPad", 768, 1024, 1, 768, 1024, 0, "Default-Portrait.png"},
        {"iPad", 600, 800, 1, 600, 800, 0, "Default.png"},
    };
    for (const Mode& mode : modes) {
        SCOPED_TRACE(std::string(mode.device) + " scale " + std::to_string(mode.scale));
        platform::DeviceProfile profile = platform::defaultDeviceProfile();
        profile.modelName = mode.device;
        platform::setDeviceProfile(profile);
        ScriptedRecord::get().quitOnDestroy = true;
        RunningShell shell(screenOf(mode.width, mode.height, mode.scale));
        ASSERT_TRUE(eventually([] { return tickerPhase() == TickerPhase::running; }));
        EXPECT_EQ(_outputWidth.load(), mode.outputWidth);
        EXPECT_EQ(_outputHeight.load(), mode.outputHeight);
        EXPECT_EQ(_shiftScale.load(), mode.shift);
        const std::string image = shell.host.launchImagePath();
        EXPECT_EQ(image.substr(image.rfind('/') + 1), mode.launchImage);
        const uint32_t* pixels = _frameBufferPixels.load();
        ASSERT_NE(pixels, nullptr);
        const size_t words = static_cast<size_t>(mode.outputWidth) * mode.outputHeight;
        EXPECT_EQ(std::count(pixels, pixels + words, 0xFF000000u), static_cast<long>(words));
        EXPECT_EQ(shell.finish(), xyzApp::kExitClean);
        EXPECT_EQ(_frameBufferPixels.load(), nullptr) << "freed after the tear-down";
    }
    platform::setDeviceProfile(platform::defaultDeviceProfile());
}

TEST(ShellLaunchTest, HooksRunInOrderAndTheTearDownOnce) {
    RunningShell shell(screenOf(320, 480, 1));
    ASSERT_TRUE(shell.canvasShown());
    ASSERT_TRUE(shell.tickerPasses(1));
    const std::vector<std::string> log = calls();
    ASSERT_GE(log.size(), 14u);
    const std::vector<std::string> startUp(log.begin(), log.begin() + 14);
    EXPECT_EQ(startUp, (std::vector<std::string>{
                           "System", "HttpConnection", "Manager", "PlayerListener", "MetaDataControl",
                           "Condition", "SensorInfo", "SensorManager", "LocationProvider",
                           "MessageConnection", "LCDUI", "StaticProxy", "BitmapFontSystem", "Manager.tick"}));
    EXPECT_EQ(shell.finish(), xyzApp::kExitClean);
    EXPECT_EQ(ScriptedRecord::get().destroyApps.load(), 1);

    std::vector<std::string> all = calls();
    all.erase(std::remove_if(all.begin(), all.end(),
                             [](const std::string& s) {
                                 return s == "Manager.tick" || s == "SensorManager.checkListeners" ||
                                        s == "LocationProvider.checkListeners";
                             }),
              all.end());
    ASSERT_GE(all.size(), 13u);
    const std::vector<std::string> tearDown(all.begin() + 13, all.end());
    EXPECT_EQ(tearDown, (std::vector<std::string>{"Manager.tidyUp",
                                                  "Display.tidyUp",
                                                  "StaticProxy.destroy",
                                                  "RecordStore.tidyUp",
                                                  "System.gc",
                                                  "Thread.tidyUpNormal",
                                                  "FileSystem.destroy",
                                                  "BitmapFontSystem.destroy",
                                                  "OnScreenKeyboard.staticDestroy",
                                                  "System",
                                                  "HttpConnection",
                                                  "TSHttpConnectionThread",
                                                  "Display",
                                                  "Manager",
                                                  "PlayerListener",
                                                  "MetaDataControl",
                                                  "Condition",
                                                  "SensorInfo",
                                                  "SensorManager",
                                                  "LocationProvider",
                                                  "MessageConnection"}));
    EXPECT_EQ(tickerPhase(), TickerPhase::finished);
}

TEST(ShellLaunchTest, TickerShowsTheCanvasOnceAndGoesOn) {
    RunningShell shell(screenOf(320, 480, 1));
    ASSERT_TRUE(shell.canvasShown());
    ASSERT_TRUE(shell.tickerPasses(20));
    // One show from the display's first swap, one from the ticker, never more.
    EXPECT_EQ(ScriptedRecord::get().showNotifies.load(), 2);
}

TEST(ShellLaunchTest, QuitByTheMIDletEndsTheProgramAfterOneTearDown) {
    RunningShell shell(screenOf(320, 480, 1));
    ASSERT_TRUE(shell.canvasShown());
    _myMidlet()->notifyDestroyed();
    _myMidlet() ? _myMidlet()->notifyDestroyed() : void();
    ASSERT_TRUE(shell.host.waitUntilFinished(10s));
    EXPECT_EQ(shell.host.exitStatus(), xyzApp::kExitClean);
    EXPECT_EQ(count(calls(), "Manager.tidyUp"), 1);
    EXPECT_EQ(count(calls(), "Display.tidyUp"), 1);
}

TEST(ShellLaunchTest, TerminationRightAfterLaunchStillReachesTheMIDlet) {
    RunningShell shell(screenOf(320, 480, 1));
    // No wait for the MIDlet thread: the destroy may come before the MIDlet exists.
    EXPECT_EQ(shell.finish(), xyzApp::kExitClean);
    EXPECT_EQ(ScriptedRecord::get().destroyApps.load(), 1);
}

TEST(ShellLaunchTest, TerminationGivesUpWhenTheApplicationNeverQuits) {
    RunningShell shell(screenOf(320, 480, 1));
    ASSERT_TRUE(shell.canvasShown());
    ScriptedRecord::get().quitOnDestroy = false;
    EXPECT_EQ(shell.finish(), xyzApp::kExitTearDownTimedOut);
    EXPECT_NE(_frameBufferPixels.load(), nullptr) << "kept while the ticker may still draw";
    javax::microedition::midlet::MIDlet::quitInvoked = true;  // lets the ticker end before the process
    EXPECT_TRUE(eventually([] { return tickerPhase() == TickerPhase::finished; }));
}

TEST(ShellLaunchTest, CleanupTwiceFreesOnce) {
    resetStartUpForTests();
    platform::HeadlessHost host(screenOf(4, 4, 1));
    xyzApp app(host);
    ASSERT_TRUE(allocateFrameBuffers(4, 4));
    app.cleanup();
    EXPECT_EQ(_frameBufferPixels.load(), nullptr);
    ASSERT_TRUE(allocateFrameBuffers(4, 4));
    app.cleanup();  // the second call frees nothing (these buffers are freed below)
    EXPECT_NE(_frameBufferPixels.load(), nullptr);
    freeFrameBuffers();
}

TEST(ShellEntryTest, TouchesReachTheCanvasInOutputPixelsAtBothScales) {
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        RunningShell shell(screenOf(320, 480, scale));
        ASSERT_TRUE(shell.canvasShown());
        // The host takes output pixels and hands the shell points: (21, 41) is point (10, 20) at scale 2.
        ASSERT_TRUE(shell.host.touchDown(10 * scale + scale - 1, 20 * scale + scale - 1));
        ASSERT_TRUE(shell.host.touchDrag(12 * scale, 22 * scale));
        ASSERT_TRUE(shell.host.touchUp(12 * scale, 22 * scale));
        const int s = scale;
        const std::vector<std::string> expected = {
            "down " + std::to_string(10 * s) + "," + std::to_string(20 * s),
            "drag " + std::to_string(12 * s) + "," + std::to_string(22 * s),
            "up " + std::to_string(12 * s) + "," + std::to_string(22 * s)};
        EXPECT_TRUE(eventually([&] { return ScriptedRecord::get().input() == expected; }));
    }
}

TEST(ShellEntryTest, GateDropsInputWhilePausedAndPauseReachesTheMIDletOnce) {
    RunningShell shell(screenOf(320, 480, 1));
    ASSERT_TRUE(shell.canvasShown());
    ASSERT_TRUE(shell.host.pause());
    ASSERT_TRUE(shell.host.pause());
    ASSERT_TRUE(shell.host.tap(5, 5));
    ASSERT_TRUE(shell.host.resume());
    ASSERT_TRUE(shell.host.tap(7, 7));
    EXPECT_TRUE(eventually([] { return ScriptedRecord::get().input().size() == 2; }));
    EXPECT_EQ(ScriptedRecord::get().input(), (std::vector<std::string>{"down 7,7", "up 7,7"}));
    EXPECT_EQ(ScriptedRecord::get().pauseApps.load(), 1);
    EXPECT_EQ(ScriptedRecord::get().startApps.load(), 2) << "the start and one resume";
    ASSERT_TRUE(shell.host.resume());
    ASSERT_TRUE(shell.host.keyPress(-5));
    EXPECT_TRUE(eventually([] { return ScriptedRecord::get().input().size() == 3; }));
    EXPECT_EQ(ScriptedRecord::get().startApps.load(), 2) << "a resume without a pause does nothing";
}

TEST(ShellEntryTest, SizeChangeReachesDisplayAndCanvasButNeverOutgrowsTheBuffers) {
    RunningShell shell(screenOf(320, 480, 2));
    ASSERT_TRUE(shell.canvasShown());
    ASSERT_TRUE(shell.host.changeSize(960, 640));
    EXPECT_TRUE(eventually([] { return ScriptedRecord::get().sizeChanges.load() == 1; }));
    EXPECT_EQ(ScriptedRecord::get().sizeWidth.load(), 960);
    EXPECT_EQ(ScriptedRecord::get().sizeHeight.load(), 640);
    EXPECT_EQ(Display::screenWidth, 960);
    EXPECT_EQ(Display::getMasterGraphics()->width, 960);
    shell.host.changeSize(1280, 960);   // more pixels than the buffers hold
    ASSERT_TRUE(shell.host.tap(2, 2));  // the tap is delivered after the size change was handled
    EXPECT_TRUE(eventually([] { return !ScriptedRecord::get().input().empty(); }));
    EXPECT_EQ(ScriptedRecord::get().sizeChanges.load(), 1);
    EXPECT_EQ(_outputWidth.load(), 960);
}

TEST(ShellTickerTest, ThrowingSensorListenerDoesNotStopTheTicker) {
    RunningShell shell(screenOf(320, 480, 1));
    ASSERT_TRUE(shell.canvasShown());
    JavaPtr<javax::microedition::sensor::SensorConnection> connection = sensortest::openTiltConnection();
    JavaPtr<sensortest::RecordingDataListener> listener = jnew<sensortest::RecordingDataListener>();
    std::atomic<int> throws{0};
    listener->onReceive = [&] {
        throws.fetch_add(1);
        throw java::lang::IllegalStateException();
    };
    connection->setDataListener(listener, 1);
    for (int i = 0; i < 3; ++i) {
        const int before = throws.load();
        ASSERT_TRUE(shell.host.tilt(0.1 * i, 0.0, -1.0));
        ASSERT_TRUE(eventually([&] { return throws.load() > before; }));
    }
    ASSERT_TRUE(shell.tickerPasses(5));
    connection->removeDataListener();
    connection->close();
    EXPECT_EQ(shell.finish(), xyzApp::kExitClean) << "the ticker is still there to tear down";
}
