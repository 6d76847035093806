// The threaded-input build: the touch entries queue for the ticker thread instead of calling the
// canvas, and queue nothing while no canvas is current. Keys are never queued.
#include "shell/EntryFunctions.h"
#include "tests/shell/TouchRingTest.h"

namespace shelltest {

static_assert(kThreadedInputs, "this test is built with threaded inputs");

TEST_F(TouchRingFixture, TouchEntriesQueueForTheTickerThread) {
    _xyzMouseDown(1, 1);
    EXPECT_EQ(TouchRing::shared().unread(), 0) << "no canvas, nothing queued";
    JavaPtr<TouchLogCanvas> c = showCanvas();
    _xyzMouseDown(2, 3);
    _xyzMouseDragged(4, 5);
    _xyzMouseUp(6, 7);
    EXPECT_TRUE(c->touches.empty());
    EXPECT_EQ(TouchRing::shared().unread(), 3);
    TouchRing::shared().drain();
    EXPECT_EQ(c->touches, (std::vector<std::string>{"p2,3", "d4,5", "r6,7"}));
}

}  // namespace shelltest
