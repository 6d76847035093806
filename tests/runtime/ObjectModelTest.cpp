#include <gtest/gtest.h>
#include "runtime/String.h"
TEST(Tmp, Builds) { EXPECT_EQ(1, 1); }
