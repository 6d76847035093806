// The application launched on the headless host through the test driver: stepped pass by pass, and
// ended with a failure status when its loading thread throws.
#include <gtest/gtest.h>

#include "runtime/RuntimeException.h"
#include "tests/support/QuizDriver.h"

namespace {

using H = HookCanvas;

TEST(QuizLaunch, DriverStepsTheLoopAndEndsCleanly) {
    // A state without work: the quiz's start-up step needs a bundle, and this is about the loop.
    H::game_state.store(8);
    testsupport::QuizDriver driver;
    ASSERT_TRUE(driver.canvas());
    driver.runPasses(1);
    EXPECT_TRUE(H::render_after_update.load());
    EXPECT_EQ(H::PARAM_TS_BASE_SCREEN_WIDTH.load(), 320);
    driver.tap(10, 10);
    EXPECT_TRUE(driver.waitForLoading());
    EXPECT_EQ(driver.finish(), xyzApp::kExitClean);
    H::game_state.store(0);
}

class ThrowingCanvas : public HookCanvas {
    TESL_CLASS(ThrowingCanvas, "enginetest.ThrowingCanvas", HookCanvas)
public:
    ThrowingCanvas() noexcept {}
    ThrowingCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        return this;
    }
    void startLoading() override { throw java::lang::RuntimeException(); }
};

class ThrowingMidlet : public AppMidlet {
    TESL_CLASS(ThrowingMidlet, "enginetest.ThrowingMidlet", AppMidlet)
public:
    ThrowingMidlet() noexcept {}
    ThrowingMidlet* TESLinvokeconstructor() {
        AppMidlet::TESLinvokeconstructor();
        return this;
    }
    void setAppCanvas() override {
        JavaPtr<HookCanvas> c = jnew<ThrowingCanvas>();
        setCanvas(c);
        c->midlet = JavaPtr<AppMidlet>(this);
    }
    static JavaPtr<javax::microedition::midlet::MIDlet> create() { return jnew<ThrowingMidlet>(); }
};

TEST(QuizLaunch, ThrowingLoaderEndsTheProgramWithTheFailureStatus) {
    H::game_state.store(0);
    testsupport::QuizDriver driver({}, &ThrowingMidlet::create);
    driver.canvas()->changeGameStateTo(H::GAMESTATEFLAG_LOADING | 1);
    EXPECT_EQ(driver.waitForExit(), AppMidlet::kExitApplicationFailed);
    H::game_state.store(0);
}

}  // namespace
