// The 2D-over-3D back end on Mesa: the batching limits, the texture sweep, stopping and starting GL,
// size changes, and the same drawings through GL and software compared pixel by pixel. Fails, with
// the reason, where no GL context can be made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/ScreenSize.h"
#include "graphics/Texture2DOver3D.h"
#include "platform/gl/EglOutput.h"
#include "platform/gl/Gles1.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/graphics/PixelWords.h"

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::ScreenSize;
using javax::microedition::lcdui::Texture2DOver3D;
using testsupport::channelDifference;

namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 64;

class Graphics2DOver3D : public ::testing::Test {
protected:
    void SetUp() override {
        ScreenSize::width = kWidth;
        ScreenSize::height = kHeight;
        platform::EglOutput::setOutputSize(kWidth, kHeight);
        std::string reason;
        ASSERT_TRUE(platform::EglOutput::probe(reason)) << "no OpenGL ES 1.1 here: " << reason;
        platform::setCurrentHost(&host);
        // A frame left over from another test is finished first.
        flushGraphics2DOver3D(nullptr);
        // The screen's graphics as the shell makes it in this configuration: no pixels of its own.
        screen = jnew<Graphics>();
        screen->isScreen = true;
        screen->pixels = nullptr;
        software = jnew<Graphics>();
        software->pixels = softwareBuffer.data();
    }
    void TearDown() override { platform::setCurrentHost(nullptr); }

    // The GL frame after a flush, top row first.
    std::vector<uint32_t> presentFrame() {
        flushGraphics2DOver3D(nullptr);
        int w = 0, h = 0;
        std::vector<uint32_t> frame = platform::EglOutput::lastFrame(w, h);
        EXPECT_EQ(w, kWidth);
        EXPECT_EQ(h, kHeight);
        return frame;
    }

    // Pixels whose colours differ by more than tolerance, with the first one described.
    int differences(const std::vector<uint32_t>& frame, int tolerance, std::string& first) {
        int count = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                uint32_t gl = frame[static_cast<size_t>(y) * kWidth + x];
                uint32_t sw = softwareBuffer[static_cast<size_t>(y) * kWidth + x];
                if (channelDifference(gl, sw) <= tolerance) continue;
                if (count++ == 0) {
                    char text[96];
                    std::snprintf(text, sizeof text, "(%d, %d): GL %08x, software %08x", x, y, gl, sw);
                    first = text;
                }
            }
        }
        return count;
    }

    // Both graphics draw the same thing.
    template <class Draw>
    void both(Draw draw) {
        draw(*screen);
        draw(*software);
    }

    testsupport::RecordingHost host;
    std::vector<uint32_t> softwareBuffer = std::vector<uint32_t>(kWidth * kHeight, 0);
    JavaPtr<Graphics> screen;
    JavaPtr<Graphics> software;
};

// An image whose every pixel differs, so that a wrong transform or a flipped row shows.
JavaPtr<Image> patternImage(int w, int h, uint32_t alpha) {
    std::vector<int> argb(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            argb[static_cast<size_t>(y) * w + x] =
                static_cast<int>(alpha << 24 | static_cast<uint32_t>(x * 40 + 10) << 16 |
                                 static_cast<uint32_t>(y * 30 + 20) << 8 | 0x80u);
        }
    }
    return Image::createRGBImage(argb.data(), w, h, alpha != 0xFF);
}

TEST_F(Graphics2DOver3D, ShapesAndOpaqueImagesMatchSoftwareExactly) {
    JavaPtr<Image> image = patternImage(5, 3, 0xFF);
    both([&](Graphics& g) {
        g.setColor(0x3366CC);
        g.fillRect(2, 3, 20, 10);
        g.setColor(0xFF8000);
        g.drawRect(30, 2, 10, 6);
        g.drawLine(1, 60, 40, 60);
        g.setClip(0, 20, 48, 40);
        g.fillRoundRect(-5, 15, 30, 12, 6, 6);
        g.fillTriangle(10, 30, 40, 34, 20, 50);
        for (int transform = 0; transform < 8; ++transform) {
            g.drawRegion(image, 0, 0, 5, 3, transform, 2 + (transform % 4) * 11, 36 + (transform / 4) * 8, 0);
        }
        // Half outside the clip: only the visible half, from the matching half of the image.
        g.drawImage(image, 45, 50, 0);
        const uint32_t values[] = {0xFF102030u, 0x00405060u, 0x12708090u, 0xFFA0B0C0u};
        JavaPtr<JArray<int>> rgb = jnew<JArray<int>>(4);
        for (int i = 0; i < 4; ++i) rgb->data[i] = static_cast<int>(values[i]);
        g.drawRGB(rgb, 0, 2, 44, 21, 2, 2, false);
    });
    std::string first;
    EXPECT_EQ(differences(presentFrame(), 0, first), 0) << first;
}

TEST_F(Graphics2DOver3D, BlendsMatchSoftwareWithinOneStep) {
    JavaPtr<Image> translucent = patternImage(6, 4, 0x7F);
    const int binaryPixels[] = {0, static_cast<int>(0xFFFF0000u), static_cast<int>(0xFF00FF00u), 0};
    JavaPtr<Image> binary = Image::createRGBImage(binaryPixels, 2, 2, true);
    both([&](Graphics& g) {
        g.setColor(0x204060);
        g.fillRect(0, 0, kWidth, kHeight);
        g.drawImage(translucent, 3, 5, 0);
        g.drawRegion(translucent, 1, 1, 4, 3, 5, 20, 5, 0);
        g.drawImage(binary, 30, 30, 0);
        JavaPtr<JArray<int>> rgb = jnew<JArray<int>>(3);
        rgb->data[0] = static_cast<int>(0x80FF0000u);
        rgb->data[1] = static_cast<int>(0xFE00FF00u);
        rgb->data[2] = 0x010000FF;
        g.drawRGB(rgb, 0, 3, 10, 40, 3, 1, true);
    });
    std::string first;
    std::vector<uint32_t> frame = presentFrame();
    EXPECT_EQ(differences(frame, 1, first), 0) << first;
    // The binary-alpha image is exact: its transparent pixels leave the background.
    EXPECT_EQ(channelDifference(frame[30 * kWidth + 30], softwareBuffer[30 * kWidth + 30]), 0);
    EXPECT_EQ(channelDifference(frame[30 * kWidth + 31], 0xFF0000FFu), 0);
}

TEST_F(Graphics2DOver3D, DiagonalLinesLightExactlyTheSoftwarePixels) {
    both([](Graphics& g) {
        g.setColor(0xFFFFFF);
        g.drawLine(0, 0, 10, 4);
        g.drawLine(40, 2, 20, 50);
        g.drawLine(3, 63, 47, 19);
        g.setClip(5, 5, 30, 30);
        g.drawLine(0, 10, 47, 30);
    });
    std::vector<uint32_t> frame = presentFrame();
    std::string first;
    EXPECT_EQ(differences(frame, 0, first), 0) << first;
    EXPECT_EQ(frame[static_cast<size_t>(10) * kWidth + 4] & 0xFFFFFFu, 0u)
        << "the clipped line reached outside the clip";
}

TEST_F(Graphics2DOver3D, BatchesHoldAtMost256EntriesAndFlushOnAKindChange) {
    screen->setColor(0x00FF00);
    screen->fillRect(0, 0, 1, 1);  // prepares the frame
    const uint64_t before = platform::gles1::drawCallCount();
    for (int i = 1; i < 256; ++i) screen->fillRect(i % kWidth, i / kWidth, 1, 1);
    EXPECT_EQ(Graphics::pendingEntries2DOver3D(), 256);
    EXPECT_EQ(platform::gles1::drawCallCount(), before);
    screen->fillRect(0, 10, 1, 1);
    EXPECT_EQ(platform::gles1::drawCallCount(), before + 1);
    EXPECT_EQ(Graphics::pendingEntries2DOver3D(), 1);

    // A slanted line joins the coloured batch as the runs of its steps: rows 20 to 25, six quads.
    screen->drawLine(0, 20, 10, 25);
    EXPECT_EQ(platform::gles1::drawCallCount(), before + 1);
    EXPECT_EQ(Graphics::pendingKind2DOver3D(), 1);
    EXPECT_EQ(Graphics::pendingEntries2DOver3D(), 7);

    // Textured quads: the change of kind flushes, another texture flushes, the same one batches.
    JavaPtr<Image> a = patternImage(2, 2, 0xFF);
    JavaPtr<Image> b = patternImage(2, 2, 0xFF);
    screen->drawImage(a, 0, 30, 0);
    EXPECT_EQ(platform::gles1::drawCallCount(), before + 2);
    EXPECT_EQ(Graphics::pendingKind2DOver3D(), 2);
    screen->drawImage(a, 4, 30, 0);
    EXPECT_EQ(Graphics::pendingEntries2DOver3D(), 2);
    const uint64_t uploads = platform::gles1::uploadCount();
    screen->drawImage(b, 8, 30, 0);
    EXPECT_EQ(Graphics::pendingEntries2DOver3D(), 1);
    EXPECT_EQ(platform::gles1::uploadCount(), uploads + 1);
    // Drawing into an image uploads it again before its next use, once.
    a->getGraphics()->fillRect(0, 0, 1, 1);
    screen->drawImage(a, 12, 30, 0);
    screen->drawImage(b, 16, 30, 0);
    screen->drawImage(a, 20, 30, 0);
    EXPECT_EQ(platform::gles1::uploadCount(), uploads + 2);
    const uint64_t frames = platform::EglOutput::framesPresented();
    presentFrame();
    EXPECT_EQ(platform::EglOutput::framesPresented(), frames + 1);
}

TEST_F(Graphics2DOver3D, TexturesOfDeadImagesAreSweptByTheNextFrame) {
    EXPECT_EQ(static_cast<uint32_t>(Texture2DOver3D::TESLclassTypeID), 0x776d0049u);
    // Power-of-two sides of at least 2 that hold the image.
    JavaPtr<Texture2DOver3D> odd = jnew<Texture2DOver3D>(5, 1);
    EXPECT_EQ(odd->width, 8);
    EXPECT_EQ(odd->height, 2);
    screen->fillRect(0, 0, 1, 1);
    const int live = Graphics::liveTextures2DOver3D();
    {
        JavaPtr<Image> image = patternImage(3, 3, 0xFF);
        screen->drawImage(image, 0, 0, 0);
        EXPECT_EQ(Graphics::liveTextures2DOver3D(), live + 1);
    }
    // drawRGB's temporary texture lives until the sweep as well.
    JavaPtr<JArray<int>> rgb = jnew<JArray<int>>(1);
    rgb->data[0] = -1;
    screen->drawRGB(rgb, 0, 1, 5, 5, 1, 1, false);
    EXPECT_EQ(Graphics::liveTextures2DOver3D(), live + 2);
    JavaPtr<Image> kept = patternImage(3, 3, 0xFF);
    screen->drawImage(kept, 8, 0, 0);
    presentFrame();
    EXPECT_EQ(Graphics::liveTextures2DOver3D(), live + 3);
    // The next frame's first primitive sweeps; a texture in use stays, and still draws.
    screen->setColor(0);
    screen->fillRect(0, 0, kWidth, kHeight);
    EXPECT_EQ(Graphics::liveTextures2DOver3D(), live + 1);
    screen->drawImage(kept, 0, 0, 0);
    std::vector<uint32_t> frame = presentFrame();
    EXPECT_EQ(channelDifference(frame[0], kept->m_pixels[0]), 0);
}

TEST_F(Graphics2DOver3D, FramesReachTheHostTopRowFirst) {
    const int before = host.framesPresented;
    screen->setColor(0xFF0000);
    screen->fillRect(0, 0, kWidth, 1);
    std::vector<uint32_t> frame = presentFrame();
    EXPECT_EQ(host.framesPresented, before + 1);
    EXPECT_FALSE(platform::EglOutput::in2dMode());
    EXPECT_EQ(channelDifference(frame[0], 0xFF0000FFu), 0);
    EXPECT_EQ(channelDifference(frame[static_cast<size_t>(kHeight - 1) * kWidth], 0), 0);
    // A flush with nothing drawn since presents nothing.
    flushGraphics2DOver3D(nullptr);
    EXPECT_EQ(host.framesPresented, before + 1);
}

TEST_F(Graphics2DOver3D, BufferDepthFollowsTheRequest) {
    ASSERT_TRUE(_EGLstart());
    _setGLBufferDepth(24);
    EXPECT_EQ(platform::EglOutput::depthBits(), 24);
    _setGLBufferDepth(16);
    EXPECT_EQ(platform::EglOutput::depthBits(), 16);
    // Drawing still works on the new buffer.
    screen->setColor(0x00FF00);
    screen->fillRect(0, 0, 2, 2);
    EXPECT_EQ(channelDifference(presentFrame()[0], 0xFF00FF00u), 0);
}

TEST_F(Graphics2DOver3D, EveryPrimitiveReachesTheScreenWithoutPixels) {
    // One table row per primitive family, each drawn alone on a fresh frame of black.
    JavaPtr<Image> image = patternImage(4, 4, 0xFF);
    JavaPtr<JArray<int>> rgb = jnew<JArray<int>>(1);
    rgb->data[0] = static_cast<int>(0xFFFF0000u);
    struct Case {
        const char* name;
        int x, y;  // a pixel the primitive must light
        std::function<void(Graphics&)> draw;
    };
    const std::vector<Case> cases = {
        {"fillRect", 0, 0, [](Graphics& g) { g.fillRect(0, 0, kWidth, kHeight); }},
        {"drawLine", 20, 10, [](Graphics& g) { g.drawLine(0, 0, 40, 20); }},
        {"fillTriangle", 10, 10, [](Graphics& g) { g.fillTriangle(0, 0, 30, 0, 0, 30); }},
        {"fillArc", 10, 10, [](Graphics& g) { g.fillArc(0, 0, 20, 20, 0, 360); }},
        {"drawImage", 1, 1, [&](Graphics& g) { g.drawImage(image, 0, 0, 0); }},
        {"drawRGB", 3, 3, [&](Graphics& g) { g.drawRGB(rgb, 0, 1, 3, 3, 1, 1, false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        software->pixels = softwareBuffer.data();
        std::fill(softwareBuffer.begin(), softwareBuffer.end(), 0xFF000000u);
        both([&](Graphics& g) {
            g.setClip(0, 0, kWidth, kHeight);
            g.setColor(0xFF0000);
            c.draw(g);
        });
        std::vector<uint32_t> frame = presentFrame();
        ASSERT_EQ(frame.size(), softwareBuffer.size());
        const size_t at = static_cast<size_t>(c.y) * kWidth + c.x;
        EXPECT_NE(frame[at] & 0xFFFFFFu, 0u) << "nothing drawn at (" << c.x << ", " << c.y << ")";
        EXPECT_EQ(channelDifference(frame[at], softwareBuffer[at]), 0);
    }
}

TEST_F(Graphics2DOver3D, TextAppearsOnTheGLScreen) {
    // Coverage 255, 128 and 0 in white over black: the software blend floors, GL rounds.
    const uint8_t coverage[3] = {255, 128, 0};
    both([&](Graphics& g) {
        g.setColor(0xFFFFFF);
        g.myBlitChar(coverage, 5, 5, 3, 1);
    });
    std::vector<uint32_t> frame = presentFrame();
    EXPECT_EQ(channelDifference(frame[5 * kWidth + 5], 0xFFFFFFFFu), 0);
    EXPECT_LE(channelDifference(frame[5 * kWidth + 6], softwareBuffer[5 * kWidth + 6]), 1);
    EXPECT_EQ(frame[5 * kWidth + 7] & 0xFFFFFFu, 0u);
}

TEST_F(Graphics2DOver3D, DrawingAfterAStopStartsGLAgain) {
    JavaPtr<Image> image = patternImage(3, 3, 0xFF);
    screen->setColor(0x00FF00);
    screen->fillRect(0, 0, kWidth, kHeight);
    screen->drawImage(image, 0, 0, 0);
    presentFrame();
    const uint64_t generation = platform::EglOutput::contextGeneration();
    _EGLstop();
    EXPECT_TRUE(platform::EglOutput::in2dMode());
    EXPECT_EQ(platform::EglOutput::depthBits(), 0) << "the pbuffer outlived the stop";

    // The next frame makes a new context, sets GL up again and uploads the image anew.
    const int before = host.framesPresented;
    screen->setColor(0x0000FF);
    screen->fillRect(0, 0, kWidth, kHeight);
    screen->drawImage(image, 0, 0, 0);
    std::vector<uint32_t> frame = presentFrame();
    EXPECT_EQ(host.framesPresented, before + 1);
    EXPECT_GT(platform::EglOutput::contextGeneration(), generation);
    EXPECT_FALSE(platform::EglOutput::in2dMode());
    EXPECT_EQ(channelDifference(frame[static_cast<size_t>(kHeight - 1) * kWidth + kWidth - 1], 0xFFFF0000u),
              0);
    EXPECT_EQ(channelDifference(frame[0], image->m_pixels[0]), 0);
}

TEST_F(Graphics2DOver3D, PbufferAndViewportFollowASizeChange) {
    screen->setColor(0xFFFFFF);
    screen->fillRect(0, 0, kWidth, kHeight);
    presentFrame();
    // As the shell does on a turn: the new size everywhere, then the flag.
    ScreenSize::width = kHeight;
    ScreenSize::height = kWidth;
    platform::EglOutput::setOutputSize(kHeight, kWidth);
    _sizeChangedResetGLView.store(true);
    JavaPtr<Graphics> turned = jnew<Graphics>();
    turned->isScreen = true;
    turned->setColor(0xFF0000);
    turned->fillRect(0, 0, kHeight, kWidth);
    turned->setColor(0x0000FF);
    turned->fillRect(kHeight - 1, kWidth - 1, 1, 1);
    flushGraphics2DOver3D(nullptr);
    int w = 0, h = 0;
    std::vector<uint32_t> frame = platform::EglOutput::lastFrame(w, h);
    ScreenSize::width = kWidth;
    ScreenSize::height = kHeight;
    platform::EglOutput::setOutputSize(kWidth, kHeight);
    _sizeChangedResetGLView.store(true);
    ASSERT_EQ(w, kHeight);
    ASSERT_EQ(h, kWidth);
    // The whole new frame is covered: the top left corner red, the bottom right pixel blue.
    EXPECT_EQ(channelDifference(frame[0], 0xFF0000FFu), 0);
    EXPECT_EQ(channelDifference(frame[frame.size() - 1], 0xFFFF0000u), 0);
    EXPECT_EQ(channelDifference(frame[frame.size() - 2], 0xFF0000FFu), 0);
}

}  // namespace
