#include "platform/host/WindowSizing.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WindowSizing, FullSizeWhenItFitsElseTheLargestWholeFactorElseTheShapeThatFits) {
    struct Case {
        int points[2], pixelsPerPoint, desktop[2];
        int width, height;
        double pixelsPerPointShown;
        bool shrunk;
    };
    for (const Case& c : {
             Case{{320, 480}, 2, {1920, 1080}, 640, 960, 2, false},
             Case{{320, 480}, 4, {0, 0}, 1280, 1920, 4, false},     // desktop unknown
             Case{{320, 480}, 4, {1920, 1080}, 640, 960, 2, true},  // zoom 2 at scale 2 on 1080 lines
             Case{{320, 480}, 2, {1024, 768}, 320, 480, 1, true},   // 960 lines do not fit 768
             Case{{320, 480}, 2, {640, 960}, 640, 960, 2, false},   // exactly fits
             Case{{320, 480}, 1, {300, 1000}, 300, 450, 300.0 / 320, true},  // narrower than the points
         }) {
        SCOPED_TRACE(std::to_string(c.points[0]) + "x" + std::to_string(c.points[1]) + " x" +
                     std::to_string(c.pixelsPerPoint) + " on " + std::to_string(c.desktop[0]) + "x" +
                     std::to_string(c.desktop[1]));
        const platform::WindowSizing size = platform::chooseWindowSize(
            c.points[0], c.points[1], c.pixelsPerPoint, c.desktop[0], c.desktop[1]);
        EXPECT_EQ(size.width, c.width);
        EXPECT_EQ(size.height, c.height);
        EXPECT_DOUBLE_EQ(size.pixelsPerPoint, c.pixelsPerPointShown);
        EXPECT_EQ(size.shrunk, c.shrunk);
    }
}

}  // namespace
