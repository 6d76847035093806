// The stage of the quiz's flow tests: the whole application on the headless host through the quiz
// driver, over the test bundle the resource builder makes, with a canvas that records the cues, image
// loads, button menus, showers and drawings it makes (and still makes them), and can serve a crafted
// progress record or lose a resource.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/AppMidlet.h"
#include "engine/HookCanvas.h"
#include "tests/quiz/QuizFixtures.h"
#include "tests/support/QuizDriver.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/tools/BuiltBundles.h"

namespace quiztest {

struct Drawn {
    int32_t image;
    int32_t x;
    int32_t y;
};

class FlowCanvas : public HookCanvas {
    TESL_CLASS(FlowCanvas, "quiztest.FlowCanvas", HookCanvas)
public:
    using HookCanvas::loadImageID;

    FlowCanvas() noexcept {}
    FlowCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        return this;
    }

    void playSound(int32_t id, int32_t priority, int32_t loops) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            cues.push_back(id);
        }
        HookCanvas::playSound(id, priority, loops);
    }
    int32_t loadImageID(int32_t id, int32_t palette, int32_t transforms, bool split) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            imageLoads.push_back(id);
        }
        return HookCanvas::loadImageID(id, palette, transforms, split);
    }
    void setupMenu(int32_t menu) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            menus.push_back(menu);
        }
        HookCanvas::setupMenu(menu);
    }
    void loadSounds() override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++soundLoads;
        }
        HookCanvas::loadSounds();
    }
    void particle_shower(int32_t x, int32_t y, int32_t colour, int32_t count) override {
        showers.push_back(colour);
        HookCanvas::particle_shower(x, y, colour, count);
    }
    void drawImageID(const JavaPtr<Graphics>& g, int32_t image, int32_t cell, int32_t transform, int32_t x,
                     int32_t y, int32_t anchor) override {
        drawn.push_back({image, x, y});
        HookCanvas::drawImageID(g, image, cell, transform, x, y, anchor);
    }
    JavaPtr<JArray<signed char>> getRecordStoreData(int32_t index) override {
        return servedRecord ? servedRecord : HookCanvas::getRecordStoreData(index);
    }
    JavaPtr<RecordList> getRecordStoreDataMult(int32_t index) override {
        if (!servedRecord) return HookCanvas::getRecordStoreDataMult(index);
        JavaPtr<RecordList> records = jnewArray<JavaPtr<JArray<signed char>>>(1);
        records->data[0] = servedRecord;
        return records;
    }
    JavaPtr<JArray<int32_t>> getResourceIntArray(int32_t id) override {
        return id == lostResource ? nullptr : HookCanvas::getResourceIntArray(id);
    }

    // What was recorded since the last take, then cleared.
    std::vector<int32_t> takeCues() { return take(cues); }
    std::vector<int32_t> takeImageLoads() { return take(imageLoads); }
    std::vector<int32_t> takeMenus() { return take(menus); }
    int takeSoundLoads() {
        std::lock_guard<std::mutex> lock(mutex);
        return std::exchange(soundLoads, 0);
    }

    // Set before the application starts.
    static inline JavaPtr<JArray<signed char>> servedRecord;
    static inline int32_t lostResource = -100;

    std::vector<int32_t> showers;
    std::vector<Drawn> drawn;

private:
    std::vector<int32_t> take(std::vector<int32_t>& from) {
        std::lock_guard<std::mutex> lock(mutex);
        return std::exchange(from, {});
    }

    std::mutex mutex;  // guards what the loading thread records: cues, image loads, menus, sound loads
    std::vector<int32_t> cues;
    std::vector<int32_t> imageLoads;
    std::vector<int32_t> menus;
    int soundLoads = 0;
};

class FlowMidlet : public AppMidlet {
    TESL_CLASS(FlowMidlet, "quiztest.FlowMidlet", AppMidlet)
public:
    FlowMidlet() noexcept {}
    FlowMidlet* TESLinvokeconstructor() {
        AppMidlet::TESLinvokeconstructor();
        return this;
    }
    void setAppCanvas() override {
        JavaPtr<HookCanvas> c = jnew<FlowCanvas>();
        setCanvas(c);
        c->midlet = JavaPtr<AppMidlet>(this);
    }
    static JavaPtr<javax::microedition::midlet::MIDlet> create() { return jnew<FlowMidlet>(); }
};

// The test bundle, written once per test process.
inline const std::filesystem::path& testBundleDir() {
    static testsupport::TemporaryDirectory dir;
    static const bool written = [] {
        resbuild::BundleBuilder::writeFiles(toolstest::testBundle(), dir.path());
        return true;
    }();
    (void)written;
    return dir.path();
}

inline bool contains(const std::vector<int32_t>& values, int32_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

class FlowFixture : public ::testing::Test {
protected:
    using H = HookCanvas;

    void TearDown() override {
        driver.reset();
        FlowCanvas::servedRecord = nullptr;
        FlowCanvas::lostResource = -100;
        resetQuizStatics();
    }

    // Starts the application over bundle without running a pass.
    void launch(const platform::HostScreen& screen = testsupport::QuizDriver::defaultScreen(),
                const std::filesystem::path& bundle = testBundleDir()) {
        resetQuizStatics();
        driver = std::make_unique<testsupport::QuizDriver>(bundle, &FlowMidlet::create, screen);
    }
    // Starts it and runs the start-up step and the first load: the main menu is live.
    void boot(const platform::HostScreen& screen = testsupport::QuizDriver::defaultScreen()) {
        launch(screen);
        ASSERT_TRUE(canvasPtr());
        driver->runPasses(1);
        ASSERT_TRUE(driver->waitForLoading());
        ASSERT_EQ(H::game_state.load(), H::GAMESTATE_MAIN_MENU);
    }
    JavaPtr<FlowCanvas> canvasPtr() {
        JavaPtr<HookCanvas> c = driver->canvas();
        return jcast<FlowCanvas>(c);
    }
    FlowCanvas& canvas() { return *canvasPtr(); }

    // Enters a state as a screen change does (with the loading bit) and waits for its load.
    void enter(int32_t state) {
        ASSERT_TRUE(driver->waitForLoading());
        canvas().changeGameStateTo(state | H::GAMESTATEFLAG_LOADING);
        ASSERT_TRUE(driver->waitForLoading());
    }
    // A tap at layout point (x, y): press for two steps, release for one step.
    void tapAt(int32_t x, int32_t y) {
        driver->host.touchDown(x, y);
        driver->runPasses(2);
        driver->host.touchUp(x, y);
        driver->runPasses(1);
    }
    int32_t state() { return H::game_state.load() & ~H::GAMESTATEFLAG_LOADING; }
    // The point 5 pixels into the image at (x, y).
    static std::pair<int32_t, int32_t> inside(int32_t x, int32_t y) { return {x + 5, y + 5}; }

    std::unique_ptr<testsupport::QuizDriver> driver;
};

}  // namespace quiztest
