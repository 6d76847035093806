// Input: the pointer and key handlers, which run on the platform thread and only set the internal
// input statics (the frame loop latches them before each step), key flags through the resource
// map's key table, the pause key, the keypress buffer and cheat codes, and the pointer hit tests.
#include <mutex>

#include "engine/HookCanvas.h"

namespace {

constexpr int32_t kCheatCodes[10] = {HookCanvas::PARAM_TS_CORE_CHEAT0, HookCanvas::PARAM_TS_CORE_CHEAT1,
                                     HookCanvas::PARAM_TS_CORE_CHEAT2, HookCanvas::PARAM_TS_CORE_CHEAT3,
                                     HookCanvas::PARAM_TS_CORE_CHEAT4, HookCanvas::PARAM_TS_CORE_CHEAT5,
                                     HookCanvas::PARAM_TS_CORE_CHEAT6, HookCanvas::PARAM_TS_CORE_CHEAT7,
                                     HookCanvas::PARAM_TS_CORE_CHEAT8, HookCanvas::PARAM_TS_CORE_CHEAT9};

// Each code compares as many of the last keys as it has hexadecimal digits; -1 keeps mask 0 and
// can never match.
JavaPtr<JArray<int32_t>> buildCheatTable() {
    auto table = jnew<JArray<int32_t>>(20);
    for (int i = 0; i < 10; ++i) {
        const int32_t code = kCheatCodes[i];
        int32_t mask = 0;
        if (code != -1) {
            int digits = 0;
            for (uint32_t rest = static_cast<uint32_t>(code); rest != 0; rest >>= 4) ++digits;
            mask = digits >= 8 ? -1 : static_cast<int32_t>((1u << (4 * digits)) - 1);
        }
        table->data[2 * i] = mask;
        table->data[2 * i + 1] = code;
    }
    return table;
}

int lowestSetBit(int32_t flags) {
    int index = 0;
    while ((flags & (1 << index)) == 0) ++index;
    return index;
}

}  // namespace

void HookCanvas::pointerPressed(int x, int y) {
    pointerAction(x, y, true);
}

void HookCanvas::pointerReleased(int x, int y) {
    pointerAction(x, y, false);
}

void HookCanvas::pointerDragged(int x, int y) {
    if (!internal_pointer_repeated.load()) return;
    pointer_x.store(x);
    pointer_y.store(y);
}

void HookCanvas::pointerAction(int32_t x, int32_t y, bool pressed) {
    // The position first, so that a step latching this press reads where it happened.
    pointer_x.store(x);
    pointer_y.store(y);
    if (pressed) {
        internal_pointer_repeated.store(true);
        internal_pointer_pressed.store(true);
    } else {
        internal_pointer_repeated.store(false);
    }
}

void HookCanvas::keyPressed(int keyCode) {
    keyAction(findKeyBitflag(keyCode), true);
}

void HookCanvas::keyReleased(int keyCode) {
    keyAction(findKeyBitflag(keyCode), false);
}

int32_t HookCanvas::findKeyBitflag(int32_t keyCode) {
    JavaPtr<JArray<int32_t>> mappings = internal_key_mappings;
    if (!mappings) return -1;
    for (int32_t i = 0; i + 1 < mappings->length; i += 2) {
        if (mappings->data[i] == keyCode) return mappings->data[i + 1];
    }
    return -1;
}

void HookCanvas::keyAction(int32_t flags, bool pressed) {
    if (flags == -1) return;
    if (flags == KEYFLAG_PAUSE_KEY) {
        if (pressed) hideNotify();
        return;
    }
    if (!pressed) {
        internal_keys_repeated.fetch_and(~flags);
        return;
    }
    if (PARAM_TS_SOFTKEYS_IGNORE_NULL_SOFTKEY_PRESSES != 0) {
        if ((flags & KEYFLAG_SOFTKEYBACK) != 0 && !backSoftkeyString()) return;
        if ((flags & KEYFLAG_SOFTKEYFWRD) != 0 && !fwrdSoftkeyString()) return;
    }
    internal_keys_repeated.fetch_or(flags);
    internal_keys_pressed.fetch_or(flags);
    if ((flags & 0xFFFF) == 0) return;
    const int32_t index = lowestSetBit(flags);
    int32_t buffer = internal_keypress_buffer.load();
    while (!internal_keypress_buffer.compare_exchange_weak(
        buffer, static_cast<int32_t>(static_cast<uint32_t>(buffer) << 4) | index)) {
    }
    if (CHEATS_ENABLED == 0) return;
    JavaPtr<JArray<int32_t>> codes;
    {
        std::lock_guard<std::mutex> lock(cheat_mutex);
        if (!internal_cheat_codes) internal_cheat_codes = buildCheatTable();
        codes = internal_cheat_codes;
    }
    const int32_t typed = internal_keypress_buffer.load();
    for (int32_t i = 0; i < 10; ++i) {
        if ((typed & codes->data[2 * i]) == codes->data[2 * i + 1]) cheats_triggered.fetch_or(1 << i);
    }
}

void HookCanvas::releaseAllKeys() {
    internal_keys_pressed.store(0);
    internal_keys_repeated.store(0);
    internal_pointer_pressed.store(false);
    internal_pointer_repeated.store(false);
    internal_regions_pressed.store(0);
    internal_regions_repeated.store(0);
    keys_pressed = 0;
    keys_repeated = 0;
    pointer_pressed = false;
    pointer_repeated = false;
    regions_pressed = 0;
    regions_repeated = 0;
}

bool HookCanvas::pointerOverArea(int32_t x, int32_t y, int32_t w, int32_t h) {
    const int64_t px = pointer_x.load();
    const int64_t py = pointer_y.load();
    return px >= x && px <= int64_t{x} + w && py >= y && py <= int64_t{y} + h;
}

bool HookCanvas::pointerOverImage(int32_t imageId, int32_t x, int32_t y) {
    // The id of a failed load measures 0 x 0, which would still answer for the single point (x, y).
    if (imageId < 0) return false;
    const int64_t px = pointer_x.load();
    const int64_t py = pointer_y.load();
    if (px < x) return false;
    if (px > int64_t{x} + getImageDimension(imageId, 0, 0, IMAGEDIMENSION_WIDTH)) return false;
    if (py < y) return false;
    return py <= int64_t{y} + getImageDimension(imageId, 0, 0, IMAGEDIMENSION_HEIGHT);
}

int32_t HookCanvas::setTouchscreenRegion(int32_t, int32_t, int32_t, int32_t, int32_t) {
    return -1;
}

void HookCanvas::clearTouchscreenRegion(int32_t) {}

JavaPtr<java::lang::String> HookCanvas::backSoftkeyString() {
    std::lock_guard<std::mutex> lock(softkey_mutex);
    return back_softkey_string;
}

JavaPtr<java::lang::String> HookCanvas::fwrdSoftkeyString() {
    std::lock_guard<std::mutex> lock(softkey_mutex);
    return fwrd_softkey_string;
}
