// The touch ring's cases, shared by the shell suite and the threaded-input build: a full ring keeps
// its unread touches, the drain keeps order across the wrap and waits for a canvas.
#pragma once

#include <string>
#include <vector>

#include "shell/TouchRing.h"
#include "tests/shell/DisplayFixtures.h"

namespace shelltest {

class TouchLogCanvas : public Canvas {
    TESL_CLASS(TouchLogCanvas, "shelltest.TouchLogCanvas", Canvas)
public:
    TouchLogCanvas() noexcept {}
    TouchLogCanvas* TESLinvokeconstructor() {
        Canvas::TESLinvokeconstructor();
        return this;
    }
    void pointerPressed(int x, int y) override {
        touches.push_back("p" + std::to_string(x) + "," + std::to_string(y));
    }
    void pointerDragged(int x, int y) override {
        touches.push_back("d" + std::to_string(x) + "," + std::to_string(y));
    }
    void pointerReleased(int x, int y) override {
        touches.push_back("r" + std::to_string(x) + "," + std::to_string(y));
    }
    std::vector<std::string> touches;
};

class TouchRingFixture : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        TouchRing::shared().reset();
    }
    JavaPtr<TouchLogCanvas> showCanvas() {
        JavaPtr<TouchLogCanvas> c = jnew<TouchLogCanvas>();
        display()->setCurrent(c);
        return c;
    }
};

}  // namespace shelltest
