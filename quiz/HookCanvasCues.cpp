// The quiz's sound cues over the engine's sound channels, muted by the player's sound-off option.
#include "engine/HookCanvas.h"

namespace {

// The cues in the order they are loaded and dropped, which fixes their channels at the first load.
constexpr int32_t kCues[] = {HookCanvas::RESID_SOUND_ALMOST_OUT_OF_TIME,
                             HookCanvas::RESID_CLICK_ON_BACKGROUND,
                             HookCanvas::RESID_CLICK_ON_BUTTON,
                             293,
                             294,
                             295,
                             296,
                             297,
                             298,
                             299,
                             300,
                             301,
                             302,
                             303,
                             304,
                             305,
                             306,
                             307,
                             308,
                             309,
                             310};

}  // namespace

bool HookCanvas::soundSwitchedOff() {
    return options != nullptr && options->length > 3 && (*options)[3];
}

void HookCanvas::playSound(int32_t id, int32_t priority, int32_t loops) {
    if (id == -1 || soundSwitchedOff()) return;
    _FuSeD_mThD_1_playSound(id, priority, loops);
}

void HookCanvas::loadSounds() {
    if (soundSwitchedOff()) return;
    // Whole, so that two threads showing the canvas at once do not interleave their channels.
    std::lock_guard<std::recursive_mutex> lock(sound_mutex);
    for (const int32_t id : kCues) loadSound(id);
    sounds_loaded = true;
}

void HookCanvas::unloadSounds() {
    for (const int32_t id : kCues) unloadSound(id);
}
