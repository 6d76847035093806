// The sound and vibration operations the loop reaches. The channels themselves come with the sound
// issue; until then there is nothing to stop and no vibration to end.
#include "engine/HookCanvas.h"

void HookCanvas::vibrate(int32_t) {}

void HookCanvas::stopAllSounds() {}

void HookCanvas::playerUpdate(const JavaPtr<Player>&, const JavaPtr<String>&,
                              const JavaPtr<java::lang::Object>&) {}
