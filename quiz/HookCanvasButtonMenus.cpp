// The button menus of the main menu and the new-test confirmation: a column of buttons whose
// unpressed look is part of the screen's background; only the pressed and greyed states and the
// labels are drawn here.
#include <algorithm>

#include "engine/HookCanvas.h"
#include "graphics/Graphics.h"

using java::lang::String;

namespace {

constexpr const char* kMainMenuLabels[] = {"Continue Test", "New Test", "Practice", "Scores & Statistics"};
constexpr const char* kConfirmLabels[] = {"Yes", "No"};

}  // namespace

void HookCanvas::setupMenu(int32_t menu) {
    const int32_t n = menu == 1 ? PARAM_ITEMS_IN_MAIN_MENU : menu == 5 ? 2 : 0;
    JavaPtr<JArray<int32_t>> images = jnewArray<int32_t>(n);
    JavaPtr<JArray<int32_t>> xs = jnewArray<int32_t>(n);
    JavaPtr<JArray<int32_t>> ys = jnewArray<int32_t>(n);
    JavaPtr<JArray<JavaPtr<String>>> labels = jnewArray<JavaPtr<String>>(n);
    const int32_t width = n > 0 ? getImageDimension(img_answer_button_click, 0, 0, IMAGEDIMENSION_WIDTH) : 0;
    const int32_t top = getParam(menu == 1 ? PARAM_MAIN_MENU_TOP : PARAM_CONFIRM_MENU_TOP);
    for (int32_t i = 0; i < n; ++i) {
        images->data[i] = img_answer_button_click;
        xs->data[i] = getParam(PARAM_SCREEN_XCENTRE) - (width >> 1) - 1;
        ys->data[i] = top + i * getParam(PARAM_TEXT_SPACING);
        labels->data[i] = jnew<String>(menu == 1 ? kMainMenuLabels[i] : kConfirmLabels[i]);
    }
    menu_button_images = images;
    menu_button_x = xs;
    menu_button_y = ys;
    menu_button_labels = labels;
}

void HookCanvas::drawMenu(const JavaPtr<Graphics>& g) {
    if (!g || !menu_button_images || !menu_button_x || !menu_button_y || !menu_button_labels) return;
    // The arrays are replaced together by setupMenu; the shortest bounds the items drawn.
    const int32_t n = std::min({menu_button_images->length, menu_button_x->length, menu_button_y->length,
                                menu_button_labels->length});
    const int32_t height = getImageDimension(img_answer_button_click, 0, 0, IMAGEDIMENSION_HEIGHT);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t x = menu_button_x->data[i];
        const int32_t y = menu_button_y->data[i];
        const bool disabled = i == 0 && (no_test_running || level <= 0);
        if (finger_down && !disabled && pointerOverImage(menu_button_images->data[i], x, y))
            drawImageID(g, img_answer_button_click, 0, 0, x, y, Graphics::TOP | Graphics::LEFT);
        drawString(g, menu_button_labels->data[i], PARAM_TS_BASE_SCREEN_WIDTH.load() / 2, y + (height >> 1),
                   Graphics::HCENTER | Graphics::VCENTER, -1);
        if (disabled) drawImageID(g, img_answer_button_ghosted, 0, 0, x, y, Graphics::TOP | Graphics::LEFT);
    }
}
