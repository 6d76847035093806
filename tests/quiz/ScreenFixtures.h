// The stage of the screen tests: a canvas over the test bundle the build writes (flat pictures, one
// colour each), at the base or the doubled resolution, with every picture of every screen loaded, a
// frame rendered into a screen-sized image, and probes that name a picture by the colour it shows.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/CanvasClock.h"
#include "engine/HookCanvas.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "library/System.h"
#include "media/Player.h"
#include "platform/files/FileSystemPaths.h"
#include "rms/RecordStore.h"
#include "sensor/SensorConnection.h"
#include "tests/support/QuizStatics.h"
#include "tests/support/StringText.h"
#include "tests/support/TemporaryDirectory.h"

namespace quiztest {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using H = HookCanvas;

inline std::filesystem::path builtTestBundleDir() {
    return QUILL_TEST_BUNDLE_DIR;
}

// The canvas as the screens see it: silent, switching states without a loading thread, and keeping
// every text it draws.
class ScreenCanvas : public HookCanvas {
    TESL_CLASS(ScreenCanvas, "quiztest.ScreenCanvas", HookCanvas)
public:
    ScreenCanvas() noexcept {}
    ScreenCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        return this;
    }
    void playSound(int32_t, int32_t, int32_t) override {}
    // The state is switched without a loading thread: the fixture runs the loads itself.
    void changeGameStateTo(int32_t state) override { game_state.store(state); }
    // Every text drawn, with where and how it was anchored, then drawn as usual.
    struct DrawnText {
        std::string text;
        int x, y, anchor;
    };
    void drawCharsOrString(const JavaPtr<Graphics>& g, const JavaPtr<java::lang::String>& s,
                           const JavaPtr<JArray<unsigned short>>& chars, int32_t offset, int32_t length,
                           int32_t x, int32_t y, int32_t anchor, int32_t spacing) override {
        if (s) texts.push_back({testsupport::narrow(s->substring(offset, offset + length)), x, y, anchor});
        HookCanvas::drawCharsOrString(g, s, chars, offset, length, x, y, anchor, spacing);
    }
    // The first text drawn that reads so, or null.
    const DrawnText* drawn(const std::string& text) const {
        for (const DrawnText& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }
    std::vector<DrawnText> texts;
};

inline void resetScreenStatics() {
    H::game_state.store(0);
    H::current_mode_practice = false;
    H::want_category_to_be = -1;
    H::pointer_x.store(0);
    H::pointer_y.store(0);
    H::pointer_pressed = false;
    H::pointer_repeated = false;
    H::scrolly_menu_yoffset = 0;
    H::scroller_buttonClickHeight = 0;
    H::scroller_buttonClickWidth = 0;
    H::scroller_items_in_menu = 0;
    H::scroller_menu_drag_distance = 0;
    H::scroller_static_menus = 0;
    H::practice_menu_back_normal = 0;
    H::practice_menu_back_click = 0;
    H::little_starwidth = 0;
    H::msfy = 0;
    H::weight_decay = 0;
    H::was_dragging = false;
    H::set_font = -1;
    H::thread_failed.store(false);
    testsupport::resetResourceStatics();
}

class ScreenFixture : public testing::Test {
protected:
    // high: the doubled layout on a 640 x 960 screen.
    void setUpScreens(bool high) {
        m_savedBundle = _appPathIs;
        m_savedData = _savePathIs;
        System_staticInit();
        resetScreenStatics();
        H::HookCanvas_globalStaticCreate();
        ASSERT_TRUE(std::filesystem::exists(builtTestBundleDir() / "resmap")) << builtTestBundleDir();
        platform::setFileSystemPaths((builtTestBundleDir().string() + "/").c_str(), m_data.path().c_str());
        width = high ? 640 : 320;
        height = high ? 960 : 480;
        H::PARAM_TS_BASE_SCREEN_WIDTH.store(width);
        H::PARAM_TS_BASE_SCREEN_HEIGHT.store(height);
        canvas = jnew<ScreenCanvas>();
        loadEverything();
        if (HasFatalFailure()) return;
        ASSERT_EQ(canvas->high_resolution, high);
        screen = Image::createImage(width, height);
        screenGraphics = screen->getGraphics();
    }
    void TearDown() override {
        screenGraphics = nullptr;
        screen = nullptr;
        if (canvas) {
            canvas->unloadSounds();
            // Each player holds the canvas as its listener until it is closed, as the media tidy-up
            // does at shut-down.
            for (int ch = 0; ch < canvas->sound_players->length; ++ch) {
                if (canvas->sound_players->data[ch]) canvas->sound_players->data[ch]->close();
                canvas->sound_players->data[ch] = nullptr;
            }
            // The tilt sensor holds the canvas as its listener: the pair would keep each other alive.
            if (canvas->tilt_sensor) canvas->tilt_sensor->removeDataListener();
            canvas->tilt_sensor = nullptr;
        }
        canvas = nullptr;
        H::HookCanvas_globalStaticDestroy();
        javax::microedition::rms::RecordStore::tidyUp();
        resetScreenStatics();
        System_staticDestroy();
        _appPathIs = m_savedBundle;
        _savePathIs = m_savedData;
    }

    // The start-up step, the first load of the main menu and the load of every other screen, as the
    // loading thread would run them (here on the test's thread, one after the other).
    void loadEverything() {
        ScreenCanvas& c = *canvas;
        c.startUpStep();
        ASSERT_FALSE(H::thread_failed.load());
        ASSERT_EQ(H::game_state.load(), H::GAMESTATE_MAIN_MENU | H::GAMESTATEFLAG_LOADING);
        c.startLoading();
        ASSERT_FALSE(c.first_load_pending);
        for (int state : {H::GAMESTATE_ABOUT, H::GAMESTATE_STATS, H::GAMESTATE_CONFIRM, H::GAMESTATE_PROMOTED,
                          H::GAMESTATE_DEMOTED, H::GAMESTATE_COMPLETE, H::GAMESTATE_CHOOSE_CATEGORY}) {
            H::game_state.store(state | H::GAMESTATEFLAG_LOADING);
            c.startLoading();
        }
        H::current_mode_practice = true;
        H::game_state.store(H::GAMESTATE_COMPLETE | H::GAMESTATEFLAG_LOADING);
        c.startLoading();
        H::current_mode_practice = false;
        c.setupMenu(1);
        c.fade_active = false;
        H::game_state.store(H::GAMESTATE_MAIN_MENU);
    }

    // One frame of the state with no wipe running.
    void renderState(int state) {
        H::game_state.store(state);
        canvas->texts.clear();
        canvas->render(screenGraphics);
    }
    // Settles every segment's wipe: eight frames reveal a segment whole.
    void renderSettled(int state) {
        canvas->fade_active = false;
        for (int i = 0; i < 9; ++i) renderState(state);
    }

    // Probes at base-layout points, scaled to the resolution in use.
    int s(int v) const { return width == 640 ? 2 * v : v; }
    uint32_t at(int x, int y) {
        JavaPtr<JArray<int>> pixel = jnewArray<int>(1);
        screen->getRGB(pixel, 0, 1, x, y, 1, 1);
        return static_cast<uint32_t>(pixel->data[0]) | 0xFF000000u;
    }
    uint32_t atBase(int x, int y) { return at(s(x), s(y)); }
    // The colour an image id shows in its middle: every picture of the test bundle is one colour.
    uint32_t colourOf(int imageId) {
        JavaPtr<JArray<JavaPtr<Image>>> row = canvas->image_cache->data[imageId];
        EXPECT_TRUE(row && row->length > 0 && row->data[0]) << "image " << imageId << " is not loaded";
        if (!row || row->length == 0 || !row->data[0]) return 0;
        const JavaPtr<Image> image = row->data[0];
        JavaPtr<JArray<int>> pixel = jnewArray<int>(1);
        image->getRGB(pixel, 0, 1, image->getWidth() / 2, image->getHeight() / 2, 1, 1);
        return static_cast<uint32_t>(pixel->data[0]) | 0xFF000000u;
    }
    // Fills the whole frame buffer with a colour no picture has, so what a frame leaves is seen.
    void paintOffscreen(uint32_t colour) {
        canvas->offscreen_graphics->setClip(0, 0, width, height);
        canvas->offscreen_graphics->setColor(static_cast<int>(colour & 0xFFFFFF));
        canvas->offscreen_graphics->fillRect(0, 0, width, height);
    }
    // Whether any pixel of the base-layout rectangle differs from the colour.
    bool anyPixelDiffers(int x, int y, int w, int h, uint32_t colour) {
        JavaPtr<JArray<int>> pixels = jnewArray<int>(s(w) * s(h));
        screen->getRGB(pixels, 0, s(w), s(x), s(y), s(w), s(h));
        for (int i = 0; i < pixels->length; ++i)
            if ((static_cast<uint32_t>(pixels->data[i]) | 0xFF000000u) != colour) return true;
        return false;
    }
    bool anyPixelEquals(int x, int y, int w, int h, uint32_t colour) {
        JavaPtr<JArray<int>> pixels = jnewArray<int>(s(w) * s(h));
        screen->getRGB(pixels, 0, s(w), s(x), s(y), s(w), s(h));
        for (int i = 0; i < pixels->length; ++i)
            if ((static_cast<uint32_t>(pixels->data[i]) | 0xFF000000u) == colour) return true;
        return false;
    }
    static JavaPtr<JArray<JavaPtr<java::lang::String>>> lines(std::initializer_list<const char*> texts) {
        JavaPtr<JArray<JavaPtr<java::lang::String>>> out =
            jnewArray<JavaPtr<java::lang::String>>(static_cast<int>(texts.size()));
        int i = 0;
        for (const char* t : texts) out->data[i++] = testsupport::jstr(t);
        return out;
    }

    JavaPtr<ScreenCanvas> canvas;
    JavaPtr<Image> screen;
    JavaPtr<Graphics> screenGraphics;
    int width = 320;
    int height = 480;

private:
    testsupport::TemporaryDirectory m_data;
    const char* m_savedBundle = nullptr;
    const char* m_savedData = nullptr;
};

// Runs a test body at both resolutions.
class BothResolutions : public ScreenFixture, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override { setUpScreens(GetParam()); }
};

inline std::string resolutionName(const testing::TestParamInfo<bool>& info) {
    return info.param ? "High" : "Low";
}

}  // namespace quiztest
