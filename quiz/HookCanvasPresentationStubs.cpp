// Stand-ins for the presentation operations that answering and question choice call: the sound cues,
// the screen wipe, the particles and the layout scaling. The presentation area replaces this file.
#include "engine/HookCanvas.h"

// To be filled by the sound cues: nothing plays yet.
void HookCanvas::playSound(int32_t, int32_t, int32_t) {}

// To be filled by the screen transitions: no wipe runs yet and the state stays.
void HookCanvas::startFade(int32_t, int32_t) {}

// To be filled by the particles: no sparkle is shown yet.
void HookCanvas::particle_shower(int32_t, int32_t, int32_t, int32_t) {}

// To be filled by the layout scaling: the doubled layout of a high-resolution screen, already what the
// hit tests and the text wrap widths need.
int32_t HookCanvas::getParam(int32_t v) {
    if (!high_resolution) return v;
    const float f = static_cast<float>(v);
    return static_cast<int32_t>(f + f);
}
