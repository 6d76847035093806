#include "platform/host/HeadlessHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "platform/codecs/PngDecoder.h"
#include "platform/host/FrameHash.h"
#include "tests/support/Eventually.h"
#include "tests/support/RecordingHostEvents.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/Watchdog.h"

namespace {

using namespace std::chrono_literals;
using platform::HeadlessHost;
using platform::HostScreen;
using testsupport::RecordingHostEvents;

// Only catches a hang: a loaded machine under the sanitizers can stall a thread for seconds.
constexpr auto kLimit = 60000ms;

HostScreen screenOf(int widthPoints, int heightPoints, int scale) {
    HostScreen screen;
    screen.widthPoints = widthPoints;
    screen.heightPoints = heightPoints;
    screen.scale = scale;
    return screen;
}

// The host's loop on a thread of its own, as the program runs it on the process's first thread while
// a script drives it from another. Quits and joins at the end of the scope.
class HostThread {
public:
    HostThread(HeadlessHost& host, platform::HostEvents& events)
        : m_host(host), m_thread([this, &events] { m_status = m_host.run(events); }) {
        EXPECT_TRUE(m_host.waitUntilRunning(kLimit));
    }
    ~HostThread() {
        m_host.quit(0);
        m_thread.join();
    }

private:
    HeadlessHost& m_host;
    int m_status = -1;  // written by the loop's thread, read after the join
    std::thread m_thread;
};

std::vector<uint32_t> uniformFrame(int width, int height, uint32_t word) {
    return std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height), word);
}

// A pixel word from its bytes in memory order.
uint32_t pixelWord(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    uint32_t word;
    const uint8_t bytes[4] = {red, green, blue, alpha};
    std::memcpy(&word, bytes, 4);
    return word;
}

TEST(HeadlessHost, LaunchComesFirstAndEveryEventArrivesOnTheMainThreadInPoints) {
    testsupport::Watchdog watchdog;
    struct Case {
        int scale;
        int pixelX;
        int pixelY;
        const char* point;
    };
    // Output pixels reach the shell in points: halved on a high-resolution screen.
    for (const Case& c : {Case{1, 21, 41, "21 41"}, Case{2, 21, 41, "10 20"}, Case{2, 639, 959, "319 479"}}) {
        SCOPED_TRACE(c.scale);
        HeadlessHost host(screenOf(320, 480, c.scale));
        RecordingHostEvents events(host);
        {
            HostThread thread(host, events);
            EXPECT_TRUE(host.touchDown(c.pixelX, c.pixelY));
            EXPECT_TRUE(host.touchDrag(c.pixelX, c.pixelY));
            EXPECT_TRUE(host.touchUp(c.pixelX, c.pixelY));
            EXPECT_TRUE(host.tap(c.pixelX, c.pixelY));
            EXPECT_TRUE(host.keyPress(-5));
            EXPECT_TRUE(host.keyRelease(-5));
            EXPECT_TRUE(host.tilt(0.5, -0.25, -0.75));
            EXPECT_TRUE(host.pause());
            EXPECT_TRUE(host.resume());
            EXPECT_TRUE(host.terminate());
            EXPECT_TRUE(host.waitUntilFinished(kLimit));
        }
        const std::string point = c.point;
        EXPECT_EQ(events.log(),
                  (std::vector<std::string>{"launched", "down " + point, "drag " + point, "up " + point,
                                            "down " + point, "up " + point, "key-press -5", "key-release -5",
                                            "tilt 0.500 -0.250 -0.750", "paused", "resumed", "terminating"}));
        EXPECT_EQ(events.eventsOffMainThread(), 0);
        EXPECT_EQ(host.exitStatus(), 0);
    }
}

TEST(HeadlessHost, InputThatCannotBeDeliveredIsRefused) {
    testsupport::Watchdog watchdog;
    HeadlessHost host(screenOf(320, 480, 2));
    RecordingHostEvents events(host, false);
    EXPECT_FALSE(host.tap(1, 1)) << "the loop is not running yet";
    HostThread thread(host, events);
    for (auto [x, y] : {std::pair{-1, 0}, std::pair{0, -1}, std::pair{640, 0}, std::pair{0, 960}}) {
        EXPECT_FALSE(host.touchDown(x, y)) << x << "," << y << " lies outside the 640x960 output";
    }
    EXPECT_FALSE(host.changeSize(641, 960)) << "not a whole number of points";
    EXPECT_FALSE(host.changeSize(0, 960));
    EXPECT_TRUE(host.terminate());
    // Terminating closes the input gate; the loop itself still runs until the shell quits.
    EXPECT_FALSE(host.tap(1, 1));
    EXPECT_FALSE(host.keyPress(49));
    EXPECT_FALSE(host.terminate());
    EXPECT_EQ(events.log(), (std::vector<std::string>{"launched", "terminating"}));
}

TEST(HeadlessHost, SizeChangeTurnsTheScreenAndTheTouchBounds) {
    testsupport::Watchdog watchdog;
    HeadlessHost host(screenOf(320, 480, 2));
    RecordingHostEvents events(host);
    HostThread thread(host, events);
    ASSERT_TRUE(host.changeSize(960, 640));
    EXPECT_EQ(host.screen().widthPoints, 480);
    EXPECT_EQ(host.screen().heightPoints, 320);
    EXPECT_TRUE(host.tap(959, 0));
    EXPECT_FALSE(host.tap(0, 959));
    EXPECT_EQ(events.linesStartingWith("size"), std::vector<std::string>{"size 480 320"});
    EXPECT_EQ(events.linesStartingWith("down"), std::vector<std::string>{"down 479 0"});
}

TEST(HeadlessHost, FrameIsCountedHashedAndReadBackOpaque) {
    testsupport::Watchdog watchdog;
    HeadlessHost host(screenOf(4, 3, 1));
    RecordingHostEvents events(host);
    HostThread thread(host, events);
    EXPECT_EQ(host.frameCount(), 0u);
    EXPECT_EQ(host.pixel(0, 0), std::nullopt);
    EXPECT_TRUE(host.snapshotPNG().empty());

    // Alpha 0 throughout: the screen shows the colours as they are.
    auto frame = uniformFrame(4, 3, pixelWord(0x12, 0x34, 0x56, 0x00));
    frame[1 * 4 + 2] = pixelWord(0xAB, 0xCD, 0xEF, 0x00);
    host.presentFrame(frame.data(), 4, 3, 4);
    ASSERT_TRUE(host.waitForFrames(1, kLimit));
    EXPECT_EQ(host.frameCount(), 1u);
    EXPECT_EQ(host.pixel(0, 0), 0x123456u);
    EXPECT_EQ(host.pixel(2, 1), 0xABCDEFu);
    EXPECT_EQ(host.pixel(4, 0), std::nullopt);

    auto opaque = frame;
    for (uint32_t& word : opaque) word |= pixelWord(0, 0, 0, 0xFF);
    EXPECT_EQ(host.frameHash(), platform::hashFrameRgb(opaque.data(), 4, 3, 4)) << "alpha is not hashed";
    EXPECT_NE(host.frameHash(), platform::hashFrameRgb(uniformFrame(4, 3, 0).data(), 4, 3, 4));

    const std::vector<uint8_t> png = host.snapshotPNG();
    int32_t width = 0;
    int32_t height = 0;
    uint32_t* decoded = platform::decodePNG(png.data(), png.size(), &width, &height);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 3);
    EXPECT_EQ(std::vector<uint32_t>(decoded, decoded + 12), opaque);
    std::free(decoded);
}

TEST(HeadlessHost, SnapshotFileReadsBackAsTheFrame) {
    testsupport::Watchdog watchdog;
    testsupport::TemporaryDirectory directory;
    const std::string path = (directory.path() / "shot.png").string();
    HeadlessHost host(screenOf(2, 2, 1));
    RecordingHostEvents events(host);
    HostThread thread(host, events);
    std::string error;
    EXPECT_FALSE(host.writeSnapshot(path, error));
    EXPECT_EQ(error, "no frame has been shown yet");

    const std::vector<uint32_t> frame = {pixelWord(1, 2, 3, 255), pixelWord(4, 5, 6, 255),
                                         pixelWord(7, 8, 9, 255), pixelWord(10, 11, 12, 255)};
    host.presentFrame(frame.data(), 2, 2, 2);
    ASSERT_TRUE(host.waitForFrames(1, kLimit));
    ASSERT_TRUE(host.writeSnapshot(path, error)) << error;
    const std::string bytes = testsupport::readTextFile(path);
    int32_t width = 0;
    int32_t height = 0;
    uint32_t* decoded =
        platform::decodePNG(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &width, &height);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(std::vector<uint32_t>(decoded, decoded + 4), frame);
    std::free(decoded);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_FALSE(host.writeSnapshot((directory.path() / "missing" / "shot.png").string(), error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

TEST(HeadlessHost, StableFramesAreCountedFromTheLastChange) {
    testsupport::Watchdog watchdog;
    HeadlessHost host(screenOf(2, 2, 1));
    RecordingHostEvents events(host);
    HostThread thread(host, events);
    const auto red = uniformFrame(2, 2, pixelWord(255, 0, 0, 255));
    const auto blue = uniformFrame(2, 2, pixelWord(0, 0, 255, 255));
    // Each frame is waited for, so that none replaces another before it is shown.
    uint64_t shown = 0;
    auto show = [&](const std::vector<uint32_t>& frame) {
        host.presentFrame(frame.data(), 2, 2, 2);
        ASSERT_TRUE(host.waitForFrames(++shown, kLimit));
    };
    show(red);
    show(blue);
    show(blue);
    EXPECT_TRUE(host.waitForStableFrames(2, kLimit));
    EXPECT_FALSE(host.waitForStableFrames(3, 20ms)) << "only two blue frames so far";
    show(blue);
    EXPECT_TRUE(host.waitForStableFrames(3, kLimit));
    // The same picture with another alpha shows the same.
    show(uniformFrame(2, 2, pixelWord(0, 0, 255, 0)));
    EXPECT_TRUE(host.waitForStableFrames(4, kLimit));
    show(red);
    EXPECT_FALSE(host.waitForStableFrames(2, 20ms));
}

TEST(HeadlessHost, LatestFrameIsExactlyTheLastShownAcrossRepeatsAndSizes) {
    testsupport::Watchdog watchdog;
    HeadlessHost host(screenOf(4, 4, 1));
    RecordingHostEvents events(host);
    HostThread thread(host, events);
    auto large = uniformFrame(4, 4, pixelWord(1, 2, 3, 255));
    large[15] = pixelWord(9, 9, 9, 255);
    const auto small = uniformFrame(2, 2, pixelWord(1, 2, 3, 255));
    // The small frame's words laid out as one row: the same words are another picture.
    const auto row = uniformFrame(4, 1, pixelWord(1, 2, 3, 255));
    struct Step {
        const char* name;
        const std::vector<uint32_t>* frame;
        int width;
        int height;
        int stable;
    };
    const Step steps[] = {
        {"large", &large, 4, 4, 1},          {"small after large", &small, 2, 2, 1},
        {"small repeated", &small, 2, 2, 2}, {"the same words in a row", &row, 4, 1, 1},
        {"large again", &large, 4, 4, 1},    {"large repeated", &large, 4, 4, 2},
        {"small again", &small, 2, 2, 1},
    };
    uint64_t shown = 0;
    for (const Step& step : steps) {
        host.presentFrame(step.frame->data(), step.width, step.height, step.width);
        ASSERT_TRUE(host.waitForFrames(++shown, kLimit)) << step.name;
        const platform::HeadlessFrame latest = host.latestFrame();
        EXPECT_EQ(latest.width, step.width) << step.name;
        EXPECT_EQ(latest.height, step.height) << step.name;
        EXPECT_EQ(latest.pixels, *step.frame) << step.name;
        EXPECT_EQ(latest.hash,
                  platform::hashFrameRgb(step.frame->data(), step.width, step.height, step.width))
            << step.name;
        EXPECT_TRUE(host.waitForStableFrames(step.stable, kLimit)) << step.name;
        EXPECT_FALSE(host.waitForStableFrames(step.stable + 1, 20ms)) << step.name;
    }
}

TEST(HeadlessHost, FlushesNeverWaitForAStalledMainThreadAndTheLatestIsShown) {
    testsupport::Watchdog watchdog;
    HeadlessHost host(screenOf(4, 4, 1));
    RecordingHostEvents events(host);
    HostThread thread(host, events);
    std::mutex lock;
    std::condition_variable changed;
    bool stalled = false;
    bool release = false;
    host.runOnMain(
        [&] {
            std::unique_lock<std::mutex> guard(lock);
            stalled = true;
            changed.notify_all();
            changed.wait(guard, [&] { return release; });
        },
        false);
    {
        std::unique_lock<std::mutex> guard(lock);
        ASSERT_TRUE(changed.wait_for(guard, kLimit, [&] { return stalled; }));
    }
    std::atomic<bool> flushed{false};
    std::thread drawing([&] {
        for (uint8_t n = 1; n <= 200; ++n) {
            const auto frame = uniformFrame(4, 4, pixelWord(n, 0, 0, 255));
            host.presentFrame(frame.data(), 4, 4, 4);
        }
        flushed = true;
    });
    EXPECT_TRUE(testsupport::eventually([&] { return flushed.load(); }))
        << "a flush waited for the main thread";
    drawing.join();
    EXPECT_EQ(host.frameCount(), 0u);
    {
        std::lock_guard<std::mutex> guard(lock);
        release = true;
    }
    changed.notify_all();
    ASSERT_TRUE(host.waitForFrames(200, kLimit));
    EXPECT_EQ(host.pixel(3, 3), 200u << 16);
}

TEST(HeadlessHost, TasksRunOnTheMainThreadUntilTheShellQuits) {
    testsupport::Watchdog watchdog;
    HeadlessHost host(screenOf(2, 2, 1));
    RecordingHostEvents events(host, false);
    std::thread::id mainThread;
    std::thread loop([&] {
        mainThread = std::this_thread::get_id();
        EXPECT_EQ(host.run(events), 3);
    });
    ASSERT_TRUE(host.waitUntilRunning(kLimit));
    EXPECT_FALSE(host.isMainThread());
    ASSERT_TRUE(host.terminate());

    // The tear-down still reaches the main thread after terminating; a waiting call from the main
    // thread itself runs at once.
    std::vector<std::string> order;
    host.runOnMain(
        [&] {
            order.push_back("outer");
            EXPECT_TRUE(host.isMainThread());
            host.runOnMain([&] { order.push_back("queued"); }, false);
            host.runOnMain([&] { order.push_back("inline"); }, true);
        },
        true);
    host.runOnMain([&] { order.push_back("after"); }, true);
    EXPECT_EQ(order, (std::vector<std::string>{"outer", "inline", "queued", "after"}));

    // A task that throws: a waiting caller gets the exception, and the loop goes on either way.
    EXPECT_THROW(host.runOnMain([] { throw std::runtime_error("task failed"); }, true), std::runtime_error);
    host.runOnMain([] { throw std::runtime_error("nobody waits"); }, false);
    bool ran = false;
    host.runOnMain([&] { ran = true; }, true);
    EXPECT_TRUE(ran);

    host.quit(3);
    host.quit(4);
    loop.join();
    EXPECT_EQ(host.exitStatus(), 3) << "the first quit decides";
    // After the loop: nothing runs, nobody waits.
    bool ranAfterEnd = false;
    host.runOnMain([&] { ranAfterEnd = true; }, true);
    EXPECT_FALSE(ranAfterEnd);
    EXPECT_GE(host.droppedTasks(), 1u);
    EXPECT_FALSE(host.waitForFrames(1, kLimit)) << "gives up at once once the loop has ended";
}

TEST(HeadlessHost, QuitBeforeRunEndsTheLoopAtOnce) {
    testsupport::Watchdog watchdog;
    HeadlessHost host(screenOf(2, 2, 1));
    RecordingHostEvents events(host);
    host.quit(7);
    EXPECT_EQ(host.run(events), 7);
    EXPECT_EQ(events.log(), std::vector<std::string>{"launched"});
    EXPECT_EQ(host.run(events), -1) << "a host runs once";
}

TEST(HeadlessHost, RequestsOfTheProgramAreRecorded) {
    testsupport::TemporaryDirectory directory;
    HeadlessHost host(screenOf(2, 2, 1));
    EXPECT_TRUE(host.openUrl("https://example.org/a?b=c;d|e"));
    EXPECT_FALSE(host.openUrl(""));
    EXPECT_FALSE(host.openUrl("no scheme here"));
    EXPECT_EQ(host.openedUrls(), std::vector<std::string>{"https://example.org/a?b=c;d|e"});
    host.vibrate(200);
    host.vibrate(50);
    EXPECT_EQ(host.vibrations(), (std::vector<int>{200, 50}));
    const std::string missing = (directory.path() / "Default").string();
    EXPECT_FALSE(host.showLaunchImage(missing));
    EXPECT_EQ(host.launchImagePath(), missing);
}

}  // namespace
