// The 2D-over-3D screen drawn from two threads, as the ticker (high-level screens) and the canvas
// thread (the application) draw it: each frame presented must be one thread's whole frame, and every
// frame a thread drew must be presented once, none that it did not draw.
#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/ScreenSize.h"
#include "platform/gl/EglOutput.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/Watchdog.h"

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::ScreenSize;

namespace {

constexpr int kWidth = 32;
constexpr int kHeight = 48;

// Records the colour of each frame handed over, or 0 for a frame that is not one colour throughout.
class FrameColoursHost : public testsupport::RecordingHost {
public:
    void presentFrame(const std::uint32_t* pixels, int width, int height, int stride) override {
        uint32_t colour = pixels[0] & 0x00FFFFFFu;
        for (int y = 0; y < height && colour != 0; ++y) {
            for (int x = 0; x < width; ++x) {
                if ((pixels[static_cast<size_t>(y) * stride + x] & 0x00FFFFFFu) != colour) {
                    colour = 0;
                    break;
                }
            }
        }
        std::lock_guard<std::mutex> lock(m_frames);
        ++framesByColour[colour];
    }
    std::map<uint32_t, int> counts() {
        std::lock_guard<std::mutex> lock(m_frames);
        return framesByColour;
    }

private:
    std::mutex m_frames;
    std::map<uint32_t, int> framesByColour;
};

// The screen's graphics as the shell makes it in this configuration: no pixels.
JavaPtr<Graphics> screenGraphics() {
    JavaPtr<Graphics> g = jnew<Graphics>();
    g->isScreen = true;
    g->pixels = nullptr;
    return g;
}

TEST(Graphics2DOver3DConcurrency, TwoDrawingThreadsEachPresentTheirOwnWholeFrames) {
    testsupport::Watchdog watchdog;
    ScreenSize::width = kWidth;
    ScreenSize::height = kHeight;
    platform::EglOutput::setOutputSize(kWidth, kHeight);
    std::string reason;
    ASSERT_TRUE(platform::EglOutput::probe(reason)) << "no OpenGL ES 1.1 here: " << reason;
    FrameColoursHost host;
    const uint64_t before = platform::EglOutput::framesPresented();

    constexpr int kFrames = 40;
    // Each thread paints its colour over the whole screen in pieces (rectangles, an image of its own
    // that it also draws into, text-free), so that a frame mixed from both threads shows.
    auto painter = [](uint32_t colour) {
        JavaPtr<Graphics> screen = screenGraphics();
        JavaPtr<Image> tile = Image::createImage(kWidth, kHeight / 2);
        for (int frame = 0; frame < kFrames; ++frame) {
            JavaPtr<Graphics> tileGraphics = tile->getGraphics();
            tileGraphics->setColor(static_cast<int>(colour));
            tileGraphics->fillRect(0, 0, kWidth, kHeight / 2);
            screen->setColor(static_cast<int>(colour));
            screen->fillRect(0, 0, kWidth, kHeight / 2);
            std::this_thread::yield();
            screen->drawImage(tile, 0, kHeight / 2, Graphics::TOP | Graphics::LEFT);
            screen->drawLine(0, 0, kWidth - 1, kHeight / 2 - 1);
            flushGraphics2DOver3D(nullptr);
            // A flush with nothing drawn since presents nothing.
            flushGraphics2DOver3D(nullptr);
        }
    };
    std::thread ticker(painter, 0xFF0000u);
    std::thread canvas(painter, 0x0000FFu);
    ticker.join();
    canvas.join();

    // Pixel words hold red in the low byte: red frames read 0x0000FF, blue ones 0xFF0000; a frame
    // mixed from both threads, or read back undrawn, would count under another colour (0: mixed).
    const std::map<uint32_t, int> expected = {{0x0000FFu, kFrames}, {0xFF0000u, kFrames}};
    EXPECT_EQ(host.counts(), expected);
    EXPECT_EQ(platform::EglOutput::framesPresented(), before + 2 * kFrames);
    EXPECT_EQ(platform::EglOutput::waitsAbandoned(), 0u);
}

// A thread that draws and then stops without flushing (its canvas was hidden) leaves the context to
// the next thread, and its frame is never presented.
TEST(Graphics2DOver3DConcurrency, ADroppedFrameFreesTheContextForAnotherThread) {
    testsupport::Watchdog watchdog;
    ScreenSize::width = kWidth;
    ScreenSize::height = kHeight;
    platform::EglOutput::setOutputSize(kWidth, kHeight);
    std::string reason;
    ASSERT_TRUE(platform::EglOutput::probe(reason)) << reason;
    FrameColoursHost host;
    std::thread hidden([] {
        JavaPtr<Graphics> screen = screenGraphics();
        screen->setColor(0x00FF00);
        screen->fillRect(0, 0, kWidth, kHeight);
        Graphics::discardFrame2DOver3D();
    });
    hidden.join();
    std::thread shown([] {
        JavaPtr<Graphics> screen = screenGraphics();
        screen->setColor(0xFFFFFF);
        screen->fillRect(0, 0, kWidth, kHeight);
        flushGraphics2DOver3D(nullptr);
    });
    shown.join();
    const std::map<uint32_t, int> counts = host.counts();
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts.begin()->first, 0xFFFFFFu);
    EXPECT_EQ(counts.begin()->second, 1);
}

}  // namespace
