// The start-up step, run once in the first update step: the record-store prefix, the resource map, the
// resolution and its picture variants, the splash and loading pictures, the category names and the
// main menu's background, then the wipe into the main menu. Everything here is bundle data the quiz
// cannot run without, so a missing or unreadable piece is named and ends the application.
#include <cstdint>
#include <string>

#include "engine/AppMidlet.h"
#include "engine/HookCanvas.h"
#include "engine/ResourceLayout.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "library/DataInputStream.h"
#include "library/PrintStream.h"
#include "library/System.h"
#include "runtime/Exception.h"
#include "runtime/IOException.h"

using java::lang::String;
using javax::microedition::lcdui::Image;

namespace {

namespace layout = resourcelayout;

[[noreturn]] void throwUnreadable() {
    throw java::io::IOException();
}

// A bundle file whose contents the quiz cannot trust; carries the line that names it.
struct DamagedFile {
    std::string message;
};

[[noreturn]] void failDamaged(const std::string& file, const std::string& what) {
    throw DamagedFile{file + " is damaged: " + what};
}

uint32_t u32At(const JArray<signed char>& bytes, int32_t at) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes.data[at + i]);
    return value;
}

constexpr int32_t kLevelCount = 30;

// The checks the bundle builder makes that cost next to nothing here, with the start-up block already
// read: the map names every resource the quiz asks for, block 0's pack file holds the whole block and
// every resource kept in it, and the level thresholds are thirty, positive and rising. A pack cut short
// is otherwise padded with zeros, and garbage thresholds promote after one right answer.
void checkStartUpBlock(HookCanvas& canvas) {
    const JArray<signed char>& blocks = *HookCanvas::block_pack_mappings;
    const JArray<signed char>& resources = *HookCanvas::res_block_mappings;
    const int64_t resourceCount = resources.length / layout::kRecordBytes;
    if (resourceCount <= HookCanvas::RESID_CLICK_ON_BUTTON)
        failDamaged("resmap", "it maps " + std::to_string(resourceCount) + " resources, the quiz needs " +
                                  std::to_string(HookCanvas::RESID_CLICK_ON_BUTTON + 1));
    if (blocks.length < layout::kRecordBytes) failDamaged("resmap", "it has no block 0");
    const int pack = blocks.data[layout::kRecordOwner];
    if (pack == layout::kNoOwner) failDamaged("resmap", "block 0 lies in no pack");
    const std::string packName = "pk" + std::to_string(pack);
    const int64_t blockStart = u32At(blocks, layout::kRecordIndex);
    const int64_t blockLength = u32At(blocks, layout::kRecordLength);
    JavaPtr<java::io::DataInputStream> packFile =
        canvas.getFileFromJarAsDataInputStream(jnew<String>(packName.c_str()));
    const int64_t packLength = packFile ? packFile->available() : 0;
    if (packFile) packFile->close();
    if (packLength < blockStart + blockLength)
        failDamaged(packName, std::to_string(packLength) + " bytes, block 0 needs " +
                                  std::to_string(blockStart + blockLength));
    for (int64_t id = 0; id < resourceCount; ++id) {
        const int32_t at = static_cast<int32_t>(id * layout::kRecordBytes);
        if (resources.data[at + layout::kRecordOwner] != 0) continue;
        if (int64_t{u32At(resources, at + layout::kRecordIndex)} +
                u32At(resources, at + layout::kRecordLength) >
            blockLength)
            failDamaged("resmap", "resource " + std::to_string(id) + " runs past the end of block 0");
    }
    const int32_t owner = canvas.getBlockOfResource(HookCanvas::RESID_LEVEL_THRESHOLDS);
    const std::string thresholdsFile =
        owner == layout::kNoOwner ? "ur" + std::to_string(HookCanvas::RESID_LEVEL_THRESHOLDS) : packName;
    if (owner != layout::kNoOwner && owner != 0)
        failDamaged("resmap", "the level thresholds lie in block " + std::to_string(owner) +
                                  ", which is not loaded at start-up");
    const JavaPtr<JArray<int32_t>> thresholds =
        canvas.getResourceIntArray(HookCanvas::RESID_LEVEL_THRESHOLDS);
    if (!thresholds || thresholds->length != kLevelCount)
        failDamaged(thresholdsFile, "it holds " + std::to_string(thresholds ? thresholds->length : 0) +
                                        " level thresholds, not " + std::to_string(kLevelCount));
    int32_t previous = 0;
    for (int32_t level = 0; level < kLevelCount; ++level) {
        const int32_t value = thresholds->data[level];
        if (value <= 0 || value < previous)
            failDamaged(thresholdsFile, "level threshold " + std::to_string(level) + " is " +
                                            std::to_string(value) + ", not positive and rising");
        previous = value;
    }
}

}  // namespace

JavaPtr<String> HookCanvas::reportMissingStartUpFile(const JavaPtr<String>& what) {
    JavaPtr<String> message = String("The quiz cannot start: ") + what + " is missing or unreadable";
    // A read cut short by the tear-down does not mean the file is missing.
    if (java::lang::System::err && !AppMidlet::app_terminating.load())
        java::lang::System::err->println(message);
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

        // The tear-down can begin at any point of the start-up: the bundle's larger reads are left
        // alone once it has.
        if (AppMidlet::app_terminating.load()) return;
        reading = "resource block 0";
        loadResourceBlock(0);
        checkStartUpBlock(*this);
        if (category_questions_asked) {
            for (int32_t& asked : *category_questions_asked) asked = 48;
        }
        categoryStrings = jnewArray<JavaPtr<String>>(CATEGORY_COUNT);
        subsectionStrings = jnewArray<JavaPtr<JArray<JavaPtr<String>>>>(CATEGORY_COUNT);
        practicedDBs = jnewArray<JavaPtr<JArray<bool>>>(CATEGORY_COUNT);
        boxesToShow = jnewArray<int32_t>(CATEGORY_COUNT);
        if (AppMidlet::app_terminating.load()) return;
        reading = "\"topics.dat\"";
        loadTopics();

        if (AppMidlet::app_terminating.load()) return;
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
    } catch (const DamagedFile& damaged) {
        if (AppMidlet::app_terminating.load()) return;
        JavaPtr<String> message = String("The quiz cannot start: ") + jnew<String>(damaged.message.c_str());
        if (java::lang::System::err) java::lang::System::err->println(message);
        failStartUp(message);
        return;
    } catch (java::lang::Exception&) {
        // Ended here rather than by the exception, so that the frame loop's thread, whichever runs the
        // step, closes the application with the failure status.
        failStartUp(reportMissingStartUpFile(jnew<String>(reading.c_str())));
        return;
    }
    startFade(FADE_IN, GAMESTATE_MAIN_MENU);
}
