// The tear-down under a paint in progress, with canvases painted by the one repaint thread: the painter
// is that thread, which the tear-down asks to stop and then waits for.
#include "tests/shell/HeldPaintTearDownTests.h"

static_assert(kThreadedRepaint, "this test is built with the threaded repaint");
