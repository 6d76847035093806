// The start-up step, run once in the first update step: the record-store prefix, the resource map, the
// resolution and its picture variants, the splash and loading pictures, the category names and the
// main menu's background, then the wipe into the main menu. Everything here is bundle data the quiz
// cannot run without, so a missing or unreadable piece is named and ends the application.
#include <string>

#include "engine/HookCanvas.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "library/PrintStream.h"
#include "library/System.h"
#include "runtime/Exception.h"
#include "runtime/IOException.h"

using java::lang::String;
using javax::microedition::lcdui::Image;

namespace {

[[noreturn]] void throwUnreadable() {
    throw java::io::IOException();
}

}  // namespace

JavaPtr<String> HookCanvas::reportMissingStartUpFile(const JavaPtr<String>& what) {
    JavaPtr<String> message = String("The quiz cannot start: ") + what + " is missing or unreadable";
    if (java::lang::System::err) java::lang::System::err->println(message);
    return message;
}

void HookCanvas::failMissingStartUpFile(const JavaPtr<String>& what) {
    java::io::IOException error;
    error.TESLinvokeconstructor(reportMissingStartUpFile(what));
    throw error;
}

void HookCanvas::startUpStep() {
    // A second step in the pass that failed must not start again.
    if (thread_failed.load()) return;
    // What is being read, for the report when it fails.
    std::string reading = "the resource map \"resmap\"";
    try {
        record_store_prefix = jnew<String>("QUILL");
        iPhoneTransitionSetup();
        prepForSteering();
        initTessel();
        state_timer_ms = 0;
        iPhoneGetDeviceDetails();
        decideResolution();

        reading = "the off-screen image";
        offscreen_image =
            Image::createImage(PARAM_TS_BASE_SCREEN_WIDTH.load(), PARAM_TS_BASE_SCREEN_HEIGHT.load());
        if (!offscreen_image) throwUnreadable();
        offscreen_graphics = offscreen_image->getGraphics();

        reading = high_resolution ? "/Default@2x.png" : "/Default.png";
        splash_image = Image::createImage(jnew<String>(reading.c_str()));
        if (!splash_image) throwUnreadable();
        JavaPtr<JArray<JavaPtr<Image>>> frames = jnewArray<JavaPtr<Image>>(8);
        for (int32_t i = 1; i <= 8; ++i) {
            reading = "/qv_loading_anim_0" + std::to_string(i) + toUtf8(resolution_suffix) + ".png";
            frames->data[i - 1] = Image::createImage(jnew<String>(reading.c_str()));
            if (!frames->data[i - 1]) throwUnreadable();
        }
        loading_anim_frames = frames;

        reading = "resource block 0";
        loadResourceBlock(0);
        if (category_questions_asked) {
            for (int32_t& asked : *category_questions_asked) asked = 48;
        }
        categoryStrings = jnewArray<JavaPtr<String>>(CATEGORY_COUNT);
        subsectionStrings = jnewArray<JavaPtr<JArray<JavaPtr<String>>>>(CATEGORY_COUNT);
        practicedDBs = jnewArray<JavaPtr<JArray<bool>>>(CATEGORY_COUNT);
        boxesToShow = jnewArray<int32_t>(CATEGORY_COUNT);
        reading = "\"topics.dat\"";
        loadTopics();

        if (!img_main_menu_bg) {
            reading = "the menu screens' wipe mask (resource " + std::to_string(RESID_MENU_BG_TRANS) + ")";
            menu_bg_trans = getResourceByteArray(RESID_MENU_BG_TRANS);
            if (!menu_bg_trans) throwUnreadable();
            const int32_t ids[] = {res_menu_bg_0, res_menu_bg_1, res_menu_bg_2, res_menu_bg_3};
            JavaPtr<JArray<int32_t>> backgrounds = jnewArray<int32_t>(4);
            for (int32_t i = 0; i < 4; ++i) {
                reading = "the main menu's background (resource " + std::to_string(ids[i]) + ")";
                const int32_t id = loadImageID(ids[i], -1, LOADIMAGETRANSFORM_NONE, false);
                if (!imageIdLoaded(id)) throwUnreadable();
                backgrounds->data[i] = id;
            }
            img_main_menu_bg = backgrounds;
        }
    } catch (java::lang::Exception&) {
        // Ended here rather than by the exception, so that the frame loop's thread, whichever runs the
        // step, closes the application with the failure status.
        failThread("start-up step", "missing start-up file",
                   reportMissingStartUpFile(jnew<String>(reading.c_str())));
        return;
    }
    startFade(FADE_IN, GAMESTATE_MAIN_MENU);
}
