// The quiz's hooks on the frame loop. Until the quiz's own operations come they run the engine's
// versions, and render and the sound loads draw and load nothing.
#include "engine/HookCanvas.h"

void HookCanvas::fixedRateUpdate() {
    _FuSeD_mThD_1_fixedRateUpdate();
}

void HookCanvas::startLoading() {
    _FuSeD_mThD_1_startLoading();
}

void HookCanvas::render(const JavaPtr<Graphics>&) {}

void HookCanvas::loadSounds() {}

void HookCanvas::unloadSounds() {}

void HookCanvas::dataReceived(const JavaPtr<SensorConnection>&,
                              const JavaPtr<JArray<JavaPtr<javax::microedition::sensor::Data>>>&, bool) {}
