// The location script of the desktop's location service: fixes, comments and refused lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/location/LocationScript.h"

namespace {

TEST(LocationScriptTest, ReadsFixesAndNamesEveryRefusedLine) {
    const platform::LocationScript script = platform::parseLocationScript(
        "# a walk\n"
        "0 51.5 -0.12 5 20 8 start of the walk\n"
        "\n"
        "   # indented comment\n"
        "1000 51.6 -0.13 5.5 21 9\n"
        "900 51.7 -0.14 5 20 8\n"
        "2000 91 0 5 20 8\n"
        "2000 10 180 5 20 8\n"
        "2000 10 20 5 20\n"
        "2000 10 2O 5 20 8\n"
        "-5 10 20 5 20 8\n"
        "2000 nan 20 5 20 8\n"
        "2500 -33.5 151.25 3 4 5   Sydney  \r\n");
    ASSERT_EQ(script.fixes.size(), 3u);
    EXPECT_EQ(script.fixes[0].timeMs, 0);
    EXPECT_EQ(script.fixes[0].latitude, 51.5);
    EXPECT_EQ(script.fixes[0].longitude, -0.12);
    EXPECT_EQ(script.fixes[0].horizontalAccuracy, 5.0);
    EXPECT_EQ(script.fixes[0].altitude, 20.0);
    EXPECT_EQ(script.fixes[0].verticalAccuracy, 8.0);
    EXPECT_TRUE(script.fixes[0].hasDescription);
    EXPECT_EQ(script.fixes[0].description, "start of the walk");
    EXPECT_FALSE(script.fixes[1].hasDescription);
    EXPECT_EQ(script.fixes[2].description, "Sydney");
    const std::vector<std::string> lines = {"line 6",  "line 7",  "line 8", "line 9",
                                            "line 10", "line 11", "line 12"};
    ASSERT_EQ(script.problems.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(script.problems[i].rfind(lines[i] + ":", 0), 0u) << script.problems[i];
}

}  // namespace
