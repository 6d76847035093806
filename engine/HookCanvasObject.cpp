// The canvas object: construction with its field initial values, the class statics' creation and
// release, and destruction (members go from the last declared to the first, then the GameCanvas part).
#include "engine/HookCanvas.h"

#include "engine/AppMidlet.h"
#include "graphics/Font.h"
#include "graphics/Image.h"
#include "media/Player.h"
#include "net/HttpWorkerControl.h"
#include "sensor/SensorConnection.h"

using java::lang::String;

namespace {

template <class E>
JavaPtr<JArray<E>> newArray(int length) {
    return jnew<JArray<E>>(length);
}

JavaPtr<String> text(const char* s) {
    return jnew<String>(s);
}

}  // namespace

HookCanvas::~HookCanvas() = default;

HookCanvas* HookCanvas::TESLinvokeconstructor() {
    GameCanvas::TESLinvokeconstructor(false);
    TESLinitconstructor();
    setFullScreenMode(true);
    return this;
}

void HookCanvas::TESLinitconstructor() {
    record_store_prefix = text("TSRS");
    record_store_cache = newArray<JavaPtr<JArray<JavaPtr<JArray<signed char>>>>>(2);
    image_keys = newArray<int32_t>(512);
    image_dimensions = newArray<int32_t>(512);
    image_cache = newArray<JavaPtr<JArray<JavaPtr<Image>>>>(256);
    image_cell_tables = newArray<JavaPtr<JArray<signed char>>>(256);
    image_cells_split = newArray<bool>(256);
    sound_volume = 100;
    static constexpr int32_t kMagic[14] = {0x2321414d, -1, 0x4d546864, -1, 0x52494646, -1, 0x63616666, -1,
                                           0x4f676753, -1, 0x56414770, -1, 0x4d4d4d44, -1};
    sound_magic_table = newArray<int32_t>(14);
    for (int i = 0; i < 14; ++i) sound_magic_table->data[i] = kMagic[i];
    static constexpr const char* kMimeTypes[8] = {
        "audio/amr",       "audio/midi",  "audio/x-wav",          "audio/x-caf",
        "application/ogg", "audio/x-vag", "application/vnd.smaf", "audio/mpeg"};
    sound_mime_types = newArray<JavaPtr<String>>(8);
    for (int i = 0; i < 8; ++i) sound_mime_types->data[i] = text(kMimeTypes[i]);
    sound_data = newArray<JavaPtr<JArray<signed char>>>(21);
    sound_resource_ids = newArray<int32_t>(21);
    sound_players = newArray<JavaPtr<Player>>(21);
    sound_loop_counts = newArray<int32_t>(21);
    sound_priorities = newArray<int32_t>(21);
    scroller_chosen_item = -1;
    scroller_pressed_item = -1;
    scroller_choice_pending = false;
    first_load_pending = true;
    no_test_running = true;
    static constexpr int32_t kTimerDots[24] = {46, 9,  55, 18, 58, 30, 55, 43, 46, 52, 34, 55,
                                               22, 52, 13, 43, 9,  30, 12, 18, 22, 9,  34, 6};
    timer_dot_positions = newArray<int32_t>(24);
    for (int i = 0; i < 24; ++i) timer_dot_positions->data[i] = kTimerDots[i];
    fade_segments = newArray<int32_t>(8);
    options = newArray<bool>(6);
    database_loaded = false;
    repeat_ring_pos = 0;
    repeat_ring_b = newArray<int16_t>(REPEAT_FILM_ARRAY_LENGTH);
    high_resolution = false;
    resolution_suffix = text("");
    res_twinkle1_white = 1;
}

void HookCanvas::HookCanvas_globalStaticCreate() {
    TS_TEXT_GUIDELINE_TYPE_MASK = static_cast<int32_t>(0xFF000000u);
    system_fonts = newArray<JavaPtr<Font>>(2);
    system_font_colours = newArray<int32_t>(2);
    bitmap_font_image_ids = newArray<int32_t>(2);
    bitmap_font_info = newArray<JavaPtr<JArray<int16_t>>>(2);
    version_string = text("v1.3");
    category_scores = newArray<int32_t>(17);
    category_questions_asked = newArray<int32_t>(17);
    category_completed = newArray<bool>(17);
    particles = newArray<int32_t>(128);
    bitmap_font_metrics = newArray<JavaPtr<JArray<int16_t>>>(2);
}

void HookCanvas::HookCanvas_globalStaticDestroy() {
    res_block_mappings = nullptr;
    block_pack_mappings = nullptr;
    resource_packs = nullptr;
    times_resource_pack_reference = nullptr;
    languages = nullptr;
    internal_key_mappings = nullptr;
    rtclass = nullptr;
    crc_table = nullptr;
    system_fonts = nullptr;
    system_font_colours = nullptr;
    bitmap_font_image_ids = nullptr;
    bitmap_font_info = nullptr;
    enc_strings = nullptr;
    setMainThread(nullptr);
    back_softkey_string = nullptr;
    fwrd_softkey_string = nullptr;
    softkey_add_back = nullptr;
    softkey_add_fwrd = nullptr;
    internal_cheat_codes = nullptr;
    // A worker still running is stopped: it would otherwise go on using the HTTP statics torn down
    // after these.
    net::stopHttpWorker(conn_class);
    version_string = nullptr;
    shuffle_db_preloaded = nullptr;
    category_scores = nullptr;
    category_questions_asked = nullptr;
    category_completed = nullptr;
    scroller_category_list = nullptr;
    practice_menu_extra_borders = nullptr;
    categoryStrings = nullptr;
    subsectionStrings = nullptr;
    practicedDBs = nullptr;
    boxesToShow = nullptr;
    levelThresholds = nullptr;
    particles = nullptr;
    twinkle_ids = nullptr;
    bitmap_font_metrics = nullptr;
}
