// Input operations the loop reaches. The touch regions and key latching come with the input issue.
#include "engine/HookCanvas.h"

void HookCanvas::releaseAllKeys() {
    internal_keys_pressed.store(0);
    internal_keys_repeated.store(0);
    internal_pointer_pressed.store(false);
    internal_pointer_repeated.store(false);
    internal_regions_pressed.store(0);
    internal_regions_repeated.store(0);
}
