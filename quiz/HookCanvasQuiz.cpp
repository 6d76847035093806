// The quiz's hooks on the frame loop. Until the quiz's own operations come they run the engine's
// versions.
#include "engine/HookCanvas.h"

void HookCanvas::fixedRateUpdate() {
    _FuSeD_mThD_1_fixedRateUpdate();
}

void HookCanvas::startLoading() {
    _FuSeD_mThD_1_startLoading();
}
