// The stage of the canvas tests: a small screen buffer with the display's master Graphics over it, a
// host that records the frames handed to it, and a canvas that logs its paints.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "shell/Canvas.h"
#include "shell/DeviceKeyCodes.h"
#include "shell/Display.h"
#include "shell/FrameBufferUpdate.h"
#include "shell/MIDlet.h"
#include "shell/ShellGlobals.h"
#include "tests/shell/DisplayFixtures.h"
#include "tests/support/RecordingHost.h"

namespace shelltest {

using javax::microedition::lcdui::Graphics;

// Records each frame handed over: its size, where its pixels came from, and whether it was one colour.
class FrameRecordingHost : public testsupport::RecordingHost {
public:
    struct Frame {
        const uint32_t* source;
        int width;
        int height;
        int stride;
        bool uniform;
    };

    void presentFrame(const uint32_t* pixels, int width, int height, int stride) override {
        bool uniform = true;
        for (int row = 0; row < height && uniform; ++row)
            for (int col = 0; col < width && uniform; ++col)
                uniform = pixels[row * stride + col] == pixels[0];
        std::lock_guard<std::mutex> lock(m_framesMutex);
        m_frames.push_back(Frame{pixels, width, height, stride, uniform});
    }
    std::vector<Frame> frames() {
        std::lock_guard<std::mutex> lock(m_framesMutex);
        return m_frames;
    }
    size_t frameCount() { return frames().size(); }
    void clearFrames() {
        std::lock_guard<std::mutex> lock(m_framesMutex);
        m_frames.clear();
    }

private:
    std::mutex m_framesMutex;
    std::vector<Frame> m_frames;
};

// Logs "<name>.paint x y w h" with the clip it was given, fills the clip with its colour, and runs an
// optional body inside the paint.
class PaintingCanvas : public Canvas {
    TESL_CLASS(PaintingCanvas, "shelltest.PaintingCanvas", Canvas)
public:
    PaintingCanvas() noexcept {}
    PaintingCanvas* TESLinvokeconstructor(const std::string& name, int colour) {
        Canvas::TESLinvokeconstructor();
        m_name = name;
        m_colour = colour;
        return this;
    }
    void paint(const JavaPtr<Graphics>& g) override {
        if (logPaints)
            eventLog().add(m_name + ".paint " + std::to_string(g->getClipX()) + " " +
                           std::to_string(g->getClipY()) + " " + std::to_string(g->getClipWidth()) + " " +
                           std::to_string(g->getClipHeight()));
        g->setColor(m_colour);
        g->fillRect(g->getClipX(), g->getClipY(), g->getClipWidth(), g->getClipHeight());
        if (insidePaint) insidePaint();
        paints.fetch_add(1);
    }

    std::function<void()> insidePaint;
    bool logPaints = true;
    std::atomic<int> paints{0};

private:
    std::string m_name;
    int m_colour = 0;
};

// The display with a master Graphics over an 8 x 6 screen buffer, a recording host, no key codes, and
// the MIDlet not quitting. Everything goes back at the end.
class CanvasFixture : public DisplayFixture {
protected:
    static constexpr int kWidth = 8;
    static constexpr int kHeight = 6;

    void SetUp() override {
        DisplayFixture::SetUp();
        resetCanvasStage();
        host.clearFrames();
        _outputWidth.store(kWidth);
        _outputHeight.store(kHeight);
        screenBuffer.assign(kWidth * kHeight, 0xFF000000u);
        _frameBufferPixels.store(screenBuffer.data());
        _frameBufferPixelCount.store(screenBuffer.size());
    }
    void TearDown() override {
        resetCanvasStage();
        DisplayFixture::TearDown();
    }

    static void resetCanvasStage() {
        javax::microedition::midlet::MIDlet::quitInvoked.store(false);
        javax::microedition::lcdui::DeviceKeyCodes::clear();
        _frameBufferPixels.store(nullptr);
        _frameBufferPixelCount.store(0);
        _in2dmode.store(true);
        _frameBufferUpdatesDropped.store(0);
    }

    // The display (screen size from the output) and its master Graphics over the screen buffer.
    JavaPtr<Graphics> installMasterGraphics() {
        display();
        JavaPtr<Graphics> g = jnew<Graphics>();
        g->pixels = screenBuffer.data();
        Display::setMasterGraphics(g);
        return g;
    }

    static JavaPtr<PaintingCanvas> paintingCanvas(const std::string& name, int colour = 0x102030) {
        return jnew<PaintingCanvas>(name, colour);
    }

    FrameRecordingHost host;
    std::vector<uint32_t> screenBuffer;
};

}  // namespace shelltest
