// The fake MIDlet launched in-process on the headless host, with the least set-up a shell needs (the
// display, the master Graphics over a screen buffer, the MIDlet started on the main thread) and the
// host's events passed straight to the current canvas. Its frames go through the canvas's flush, the
// frame hand-over and the host's mailbox; the test reads them back as pixels and as a PNG.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "graphics/Graphics.h"
#include "platform/codecs/PngDecoder.h"
#include "platform/host/HeadlessHost.h"
#include "tests/shell/CanvasFixtures.h"
#include "tests/support/FakeMIDlet.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/Watchdog.h"

using javax::microedition::lcdui::Display;
using testsupport::FakeCanvas;
using testsupport::FakeMIDlet;

namespace {

using namespace std::chrono_literals;
constexpr auto kLimit = 5000ms;

// The shell side of the host, cut down to what the launch needs. Runs on the host's main thread.
class DirectShell : public platform::HostEvents {
public:
    DirectShell(platform::HeadlessHost& host, std::vector<uint32_t>& screenBuffer)
        : m_host(host), m_screenBuffer(screenBuffer) {}

    void launched() override {
        const platform::HostScreen screen = m_host.screen();
        m_scale = screen.scale;
        _outputWidth.store(screen.widthPoints * m_scale);
        _outputHeight.store(screen.heightPoints * m_scale);
        m_screenBuffer.assign(
            static_cast<size_t>(_outputWidth.load()) * static_cast<size_t>(_outputHeight.load()),
            0xFF000000u);
        _frameBufferPixels.store(m_screenBuffer.data());
        _frameBufferPixelCount.store(m_screenBuffer.size());
        Display::getDisplay(nullptr);
        JavaPtr<javax::microedition::lcdui::Graphics> g = jnew<javax::microedition::lcdui::Graphics>();
        g->pixels = m_screenBuffer.data();
        Display::setMasterGraphics(g);
        m_midlet = jnew<FakeMIDlet>();
        m_midlet->startApp();
    }
    void touchDown(int x, int y) override {
        if (auto canvas = Display::currentCanvas()) canvas->pointerPressed(x * m_scale, y * m_scale);
    }
    void touchDragged(int x, int y) override {
        if (auto canvas = Display::currentCanvas()) canvas->pointerDragged(x * m_scale, y * m_scale);
    }
    void touchUp(int x, int y) override {
        if (auto canvas = Display::currentCanvas()) canvas->pointerReleased(x * m_scale, y * m_scale);
    }
    void keyPressed(int keyCode) override {
        if (auto canvas = Display::currentCanvas()) canvas->keyPressed(keyCode);
    }
    void keyReleased(int keyCode) override {
        if (auto canvas = Display::currentCanvas()) canvas->keyReleased(keyCode);
    }
    void accelerated(double, double, double) override {}
    void sizeChanged(int, int) override {}
    void paused() override {}
    void resumed() override {}
    void terminating() override {
        m_midlet->destroyApp(true);
        m_midlet = nullptr;
        m_host.quit(0);
    }

private:
    platform::HeadlessHost& m_host;
    std::vector<uint32_t>& m_screenBuffer;
    int m_scale = 1;
    JavaPtr<FakeMIDlet> m_midlet;
};

// The host's loop on a thread of its own, installed as the current host; at the end of the scope the loop
// is asked to end and joined, and the fixture's host is put back.
class HostOnItsThread {
public:
    HostOnItsThread(platform::HeadlessHost& host, platform::HostEvents& events, platform::Host& restore)
        : m_host(host), m_restore(restore) {
        platform::setCurrentHost(&m_host);
        m_thread = std::thread([this, &events] { m_host.run(events); });
    }
    ~HostOnItsThread() {
        m_host.quit(0);
        m_thread.join();
        platform::setCurrentHost(&m_restore);
    }

private:
    platform::HeadlessHost& m_host;
    platform::Host& m_restore;
    std::thread m_thread;
};

class HeadlessLaunchConcurrencyTest : public shelltest::CanvasFixture {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        FakeMIDlet::resetCounts();
    }
};

uint32_t rgbOf(uint32_t pixelWord) {
    return javax::microedition::lcdui::Graphics::pixelToArgb(pixelWord) & 0xFFFFFFu;
}

TEST_F(HeadlessLaunchConcurrencyTest, TapShowsTheMarkerAndTheSnapshotReadsBackAsShown) {
    testsupport::Watchdog watchdog;
    testsupport::TemporaryDirectory directory;
    platform::HostScreen screen;
    screen.widthPoints = 160;
    screen.heightPoints = 240;
    screen.scale = 2;
    platform::HeadlessHost headless(screen);
    DirectShell shell(headless, screenBuffer);
    HostOnItsThread running(headless, shell, host);
    ASSERT_TRUE(headless.waitUntilRunning(kLimit));

    // Shown at once: the first frame is the canvas's background.
    ASSERT_TRUE(headless.waitForFrames(1, kLimit));
    EXPECT_EQ(headless.pixel(5, 5), static_cast<uint32_t>(FakeCanvas::kBackground));
    EXPECT_EQ(headless.pixel(319, 479), static_cast<uint32_t>(FakeCanvas::kBackground));

    // Output pixel (101, 203) is point (50, 101), which reaches the canvas as pixel (100, 202).
    const uint64_t before = headless.frameCount();
    ASSERT_TRUE(headless.tap(101, 203));
    ASSERT_TRUE(headless.waitForFrames(before + 1, kLimit));
    EXPECT_EQ(headless.pixel(100, 202), static_cast<uint32_t>(FakeCanvas::kMarker));
    EXPECT_EQ(headless.pixel(92, 194), static_cast<uint32_t>(FakeCanvas::kMarker)) << "the square's corner";
    EXPECT_EQ(headless.pixel(91, 193), static_cast<uint32_t>(FakeCanvas::kBackground));

    // A held game key shows in the corner.
    const uint64_t beforeKey = headless.frameCount();
    ASSERT_TRUE(headless.keyPress(-5));
    ASSERT_TRUE(headless.waitForFrames(beforeKey + 1, kLimit));
    EXPECT_EQ(headless.pixel(2, 2), static_cast<uint32_t>(FakeCanvas::kKeyHeld));

    const std::string path = (directory.path() / "launch.png").string();
    std::string error;
    ASSERT_TRUE(headless.writeSnapshot(path, error)) << error;
    const std::string bytes = testsupport::readTextFile(path);
    int32_t width = 0;
    int32_t height = 0;
    uint32_t* decoded =
        platform::decodePNG(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &width, &height);
    ASSERT_NE(decoded, nullptr);
    const platform::HeadlessFrame frame = headless.latestFrame();
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(std::vector<uint32_t>(decoded, decoded + frame.pixels.size()), frame.pixels);
    EXPECT_EQ(rgbOf(decoded[202 * 320 + 100]), static_cast<uint32_t>(FakeCanvas::kMarker));
    std::free(decoded);

    ASSERT_TRUE(headless.terminate());
    ASSERT_TRUE(headless.waitUntilFinished(kLimit));
    EXPECT_EQ(headless.exitStatus(), 0);
    EXPECT_EQ(FakeMIDlet::started.load(), 1);
    EXPECT_EQ(FakeMIDlet::destroyed.load(), 1);
    EXPECT_EQ(_frameBufferUpdatesDropped.load(), 0u);
}

}  // namespace
