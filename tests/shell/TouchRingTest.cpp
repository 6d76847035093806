#include "tests/shell/TouchRingTest.h"

namespace shelltest {

TEST_F(TouchRingFixture, FullRingDropsTheNewestAndKeepsTheUnread) {
    TouchRing ring;
    int accepted = 0;
    for (int i = 0; i < TouchRing::kSize + 10; ++i) accepted += ring.append(i, i, TouchRing::pressed) ? 1 : 0;
    EXPECT_EQ(accepted, TouchRing::kSize - 1);
    EXPECT_EQ(ring.unread(), TouchRing::kSize - 1) << "a full ring must not look empty";
    JavaPtr<TouchLogCanvas> c = showCanvas();
    ring.drain();
    ASSERT_EQ(c->touches.size(), static_cast<size_t>(TouchRing::kSize - 1));
    EXPECT_EQ(c->touches.front(), "p0,0");
    EXPECT_EQ(c->touches.back(), "p1022,1022");
    EXPECT_EQ(ring.unread(), 0);
}

TEST_F(TouchRingFixture, DrainKeepsOrderAcrossTheWrap) {
    TouchRing ring;
    ring.resetAt(1022);
    ring.append(1, 2, TouchRing::pressed);
    ring.append(3, 4, TouchRing::dragged);
    ring.append(5, 6, TouchRing::released);
    JavaPtr<TouchLogCanvas> c = showCanvas();
    ring.drain();
    EXPECT_EQ(c->touches, (std::vector<std::string>{"p1,2", "d3,4", "r5,6"}));
    EXPECT_EQ(ring.unread(), 0);
}

TEST_F(TouchRingFixture, DrainWithoutACanvasKeepsTheTouches) {
    TouchRing ring;
    ring.append(1, 1, TouchRing::pressed);
    ring.drain();  // must not crash
    EXPECT_EQ(ring.unread(), 1);
    JavaPtr<TouchLogCanvas> c = showCanvas();
    ring.drain();
    EXPECT_EQ(c->touches, (std::vector<std::string>{"p1,1"}));
}

}  // namespace shelltest
