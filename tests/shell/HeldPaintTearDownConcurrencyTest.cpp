// The tear-down under a paint in progress, with repaints painted on the thread that asks for them: the
// painter is the MIDlet's own frame-loop thread.
#include "tests/shell/HeldPaintTearDownTests.h"

static_assert(!kThreadedRepaint, "this test is built with repaints on the caller's thread");
