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
#include "platform/FileSystemPaths.h"
#include "tests/support/StringText.h"
#include "tests/support/TemporaryDirectory.h"

namespace quiztest {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using H = HookCanvas;

inline std::filesystem::path testBundleDir() {
    return QUILL_TEST_BUNDLE_DIR;
}

// The canvas as the screens see it; it records wipes asked for instead of starting them.
class ScreenCanvas : public HookCanvas {
    TESL_CLASS(ScreenCanvas, "quiztest.ScreenCanvas", HookCanvas)
public:
    ScreenCanvas() noexcept {}
    ScreenCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        return this;
    }
    void playSound(int32_t, int32_t, int32_t) override {}
    // Every text drawn, with where and how it was anchored, then drawn as usual.
    struct DrawnText {
        std::string text;
        int x, y, anchor;
    };
    void drawCharsOrString(const JavaPtr<Graphics>& g, const JavaPtr<java::lang::String>& s,
                           const JavaPtr<JArray<unsigned short>>& chars, int32_t offset, int32_t length, int32_t x,
                           int32_t y, int32_t anchor, int32_t spacing) override {
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
    H::res_block_mappings = nullptr;
    H::block_pack_mappings = nullptr;
    H::resource_packs = nullptr;
    H::times_resource_pack_reference = nullptr;
    H::languages = nullptr;
    H::internal_key_mappings = nullptr;
    H::rtclass = nullptr;
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
        ASSERT_TRUE(std::filesystem::exists(testBundleDir() / "resmap")) << testBundleDir();
        platform::setFileSystemPaths((testBundleDir().string() + "/").c_str(), m_data.path().c_str());
        width = high ? 640 : 320;
        height = high ? 960 : 480;
        H::PARAM_TS_BASE_SCREEN_WIDTH.store(width);
        H::PARAM_TS_BASE_SCREEN_HEIGHT.store(height);
        canvas = jnew<ScreenCanvas>();
        canvas->initTessel();
        canvas->decideResolution();
        ASSERT_EQ(canvas->high_resolution, high);
        canvas->offscreen_image = Image::createImage(width, height);
        canvas->offscreen_graphics = canvas->offscreen_image->getGraphics();
        canvas->loadResourceBlock(0);
        loadEverything();
        canvas->first_load_pending = false;
        screen = Image::createImage(width, height);
        screenGraphics = screen->getGraphics();
    }
    void TearDown() override {
        screenGraphics = nullptr;
        screen = nullptr;
        canvas = nullptr;
        H::HookCanvas_globalStaticDestroy();
        resetScreenStatics();
        System_staticDestroy();
        _appPathIs = m_savedBundle;
        _savePathIs = m_savedData;
    }

    int load(int res) { return canvas->loadImageID(res, -1, H::LOADIMAGETRANSFORM_NONE, false); }
    int loadSplit(int res) { return canvas->loadImageID(res, -1, H::LOADIMAGETRANSFORM_NONE, true); }
    JavaPtr<JArray<int32_t>> loadAll(std::initializer_list<int> resources) {
        JavaPtr<JArray<int32_t>> ids = jnewArray<int32_t>(static_cast<int>(resources.size()));
        int i = 0;
        for (int res : resources) ids->data[i++] = load(res);
        return ids;
    }

    // Every picture the screens draw, as the loads of the menu, the first load and each screen leave them.
    void loadEverything() {
        ScreenCanvas& c = *canvas;
        c.menu_bg_trans = c.getResourceByteArray(H::RESID_MENU_BG_TRANS);
        c.img_main_menu_bg = loadAll({c.high_resolution ? H::RESID_MENU_BG_0_HIGH : H::RESID_MENU_BG_0_LOW,
                                      c.high_resolution ? H::RESID_MENU_BG_1_HIGH : H::RESID_MENU_BG_1_LOW,
                                      c.high_resolution ? H::RESID_MENU_BG_2_HIGH : H::RESID_MENU_BG_2_LOW,
                                      c.high_resolution ? H::RESID_MENU_BG_3_HIGH : H::RESID_MENU_BG_3_LOW});
        c.font_main = c.loadBitmapFont(c.res_main_font, -1);
        c.font_numbers = c.loadBitmapFont(c.res_numbers_font, -1);
        ASSERT_GE(c.font_main, 0);
        ASSERT_GE(c.font_numbers, 0);
        c.about_bg_trans = c.getResourceByteArray(H::RESID_ABOUT_BG_TRANS);
        c.stats_bg_trans = c.getResourceByteArray(H::RESID_STATS_BG_TRANS);
        c.confirm_bg_trans = c.getResourceByteArray(H::RESID_CONFIRM_BG_TRANS);
        c.game_bg_trans = c.getResourceByteArray(H::RESID_GAME_BG_TRANS);
        c.img_game_bg = loadAll({c.res_game_bg_0, c.res_game_bg_1, c.res_game_bg_2, c.res_game_bg_3, c.res_game_bg_4});
        c.img_game_infobox = load(c.res_game_infobox);
        c.img_answer_button_click = load(c.res_answer_button_click);
        c.img_answer_button_correct = load(c.res_answer_button_correct);
        c.img_answer_button_wrong = load(c.res_answer_button_wrong);
        c.img_answer_button_ghosted = load(c.res_answer_button_ghosted);
        c.img_answer_button_normal = load(c.res_answer_button_normal);
        c.img_wide_button_normal = load(c.res_wide_button_normal);
        c.img_wide_button_click = load(c.res_wide_button_click);
        c.answer_button_width = c.getImageDimension(c.img_answer_button_click, 0, 0, H::IMAGEDIMENSION_WIDTH);
        c.answer_button_height = c.getImageDimension(c.img_answer_button_click, 0, 0, H::IMAGEDIMENSION_HEIGHT);
        c.img_three_boxes = loadAll({c.res_three_boxes_0, c.res_three_boxes_1, c.res_three_boxes_2, c.res_three_boxes_3});
        c.img_one_box_on = load(c.res_one_box_on);
        c.img_one_box_off = load(c.res_one_box_off);
        c.img_stats_star = loadAll({c.res_stats_star_bronze, c.res_stats_star_silver, c.res_stats_star_gold});
        c.img_big_star = loadAll({c.res_big_star_bronze, c.res_big_star_silver, c.res_big_star_gold});
        H::little_starwidth = c.getImageDimension(c.img_stats_star->data[0], 0, 0, H::IMAGEDIMENSION_WIDTH);
        c.img_timer_dot = load(c.res_timer_dot);
        c.img_game_buttons = loadAll(
            {c.res_button_hint, c.res_button_skip, c.res_button_info, c.res_button_menu, c.res_button_menu_alt});
        c.img_icon_number = loadAll({c.res_icon_number_0, c.res_icon_number_1, c.res_icon_number_2,
                                     c.res_icon_number_3, c.res_icon_number_4, c.res_icon_number_5,
                                     c.res_icon_number_6, c.res_icon_number_7, c.res_icon_number_8,
                                     c.res_icon_number_9});
        c.img_icon_number_flash = load(c.res_icon_number_flash);
        c.img_icon_about = load(c.res_icon_about);
        c.img_icon_click_about = load(c.res_icon_click_about);
        c.img_web_base_strip = load(c.res_web_base_strip);
        c.img_web_base_back_icon_click = load(c.res_web_base_back_icon_click);
        H::practice_menu_extra_borders = loadAll({c.res_practice_menu_header, c.res_practice_menu_footer});
        H::practice_menu_back_normal = load(c.res_practice_menu_back_off);
        H::practice_menu_back_click = load(c.res_practice_menu_back_on);
        c.img_ranking = jnewArray<int32_t>(30);
        for (int i = 0; i < 30; ++i) c.img_ranking->data[i] = -1;
        for (int i = 0; i < 29; ++i) c.img_ranking->data[i] = loadSplit(c.res_ranking->data[i]);
        c.img_generic = jnewArray<int32_t>(2);
        for (int i = 0; i < 2; ++i) c.img_generic->data[i] = loadSplit(c.res_generic->data[i]);
        c.img_about_bg = loadAll({c.res_about_bg_0, c.res_about_bg_1, c.res_about_bg_2, c.res_about_bg_3,
                                  c.res_about_bg_4, c.res_about_bg_5});
        c.img_stats_bg = loadAll({c.res_stats_bg_0, c.res_stats_bg_1, c.res_stats_bg_2, c.res_stats_bg_3,
                                  c.res_stats_bg_4, c.res_stats_bg_5});
        c.img_stats_box_overlay = load(c.res_stats_box_overlay);
        c.img_confirm_bg = loadAll(
            {c.res_confirm_bg_0, c.res_confirm_bg_1, c.res_confirm_bg_2, c.res_confirm_bg_3, c.res_confirm_bg_4});
        c.img_promoted_bg = load(c.res_promoted_bg);
        c.img_demoted_bg = load(c.res_demoted_bg);
        c.img_ranking_button_normal = load(c.res_ranking_button_normal);
        c.img_ranking_button_click = load(c.res_ranking_button_click);
        c.img_complete_bg = load(c.res_complete_bg);
        c.img_complete_bg_practice = load(c.res_complete_bg_practice);
        c.img_ranking_button_menu_click = load(c.res_ranking_button_menu_click);
        c.img_units_button_normal = load(c.res_units_button_normal);
        c.img_units_button_click = load(c.res_units_button_click);
        c.img_menu_bg = loadAll({c.res_menu_bg_0, c.res_menu_bg_1, c.res_chooser_bg_2, c.res_menu_bg_3});
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
