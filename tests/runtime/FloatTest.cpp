#include "runtime/Float.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>

#include "runtime/Double.h"
#include "runtime/NumberFormatException.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using java::lang::Float;
using java::lang::NumberFormatException;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(java::lang::Float);

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

TEST(Float, ToStringFormatsTheWidenedValue) {
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {0.1f, "0.1"},          {0.5f, "0.5"}, {100.1f, "100.09999847412109375"},
        {-3.0f, "-3.0"},        {kNaN, "NaN"}, {-kInfinity, "-Infinity"},
        {3e9f, "3000000000.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(narrow(Float::toString(c.value)), c.text) << c.text;
        EXPECT_EQ(narrow(jnew<Float>(c.value)->toString()), c.text) << c.text;
    }
}

TEST(Float, ParseFloatRoundsTheDoubleParse) {
    EXPECT_EQ(Float::parseFloat(jstr("0.1")), 0.1f);
    EXPECT_EQ(Float::parseFloat(jstr("-2.5x")), -2.5f);
    EXPECT_EQ(Float::parseFloat(jstr("16777217")), 16777216.0f);
    // Beyond the float range the rounding gives an infinity.
    const std::string huge = "4" + std::string(39, '0');
    EXPECT_EQ(Float::parseFloat(jstr(huge.c_str())), kInfinity);
    EXPECT_EQ(Float::valueOf(jstr("1.5"))->floatValue(), 1.5f);
    EXPECT_THROW(Float::parseFloat(nullptr), NumberFormatException);
    EXPECT_THROW(Float::valueOf(nullptr), NumberFormatException);
}

TEST(Float, DoubleConstructorRoundsToNearestAndOverflowsToInfinity) {
    const struct {
        double value;
        float rounded;
    } cases[] = {
        {0.1, 0.1f},
        {static_cast<double>(FLT_MAX), FLT_MAX},
        // Just below half an ulp past FLT_MAX still rounds down; half an ulp rounds to infinity.
        {static_cast<double>(FLT_MAX) + 0x1p102, FLT_MAX},
        {static_cast<double>(FLT_MAX) + 0x1p103, kInfinity},
        {-1e300, -kInfinity},
        {1e-50, 0.0f},
    };
    for (const auto& c : cases) EXPECT_EQ(jnew<Float>(c.value)->floatValue(), c.rounded) << c.value;
}

TEST(Float, BitsHashAndEquality) {
    EXPECT_EQ(Float::floatToIntBits(1.0f), 127 << 23);
    const uint32_t patterns[] = {0, 0x7F800000u, 0x7FC00123u, 0xFF800001u, 0x80000000u, 1u};
    for (uint32_t pattern : patterns) {
        const auto bits = static_cast<int32_t>(pattern);
        EXPECT_EQ(Float::floatToIntBits(Float::intBitsToFloat(bits)), bits) << std::hex << pattern;
    }
    EXPECT_EQ(jnew<Float>(1.0f)->hashCode(), 0x3F800000);
    EXPECT_TRUE(jnew<Float>(0.0f)->equals(jnew<Float>(-0.0f)));
    JavaPtr<Float> nan = jnew<Float>(kNaN);
    EXPECT_FALSE(nan->equals(nan));
    EXPECT_FALSE(jnew<Float>(1.0f)->equals(jnew<java::lang::Double>(1.0)));
    EXPECT_FALSE(jnew<Float>(1.0f)->equals(nullptr));
    EXPECT_TRUE(nan->isNaN());
    EXPECT_TRUE(Float::isInfinite(-kInfinity));
    EXPECT_FALSE(Float::isInfinite(FLT_MAX));
}

TEST(Float, NarrowingTruncatesAndSaturates) {
    EXPECT_EQ(jnew<Float>(-2.7f)->intValue(), -2);
    EXPECT_EQ(jnew<Float>(kNaN)->intValue(), 0);
    EXPECT_EQ(jnew<Float>(3e9f)->intValue(), INT32_MAX);
    EXPECT_EQ(jnew<Float>(3e9f)->longValue(), 3000000000LL);
    EXPECT_EQ(jnew<Float>(1e30f)->longValue(), INT64_MAX);
    EXPECT_EQ(jnew<Float>(200.0f)->byteValue(), -56);
    EXPECT_EQ(jnew<Float>(40000.0f)->shortValue(), -25536);
    EXPECT_EQ(jnew<Float>(0.1f)->doubleValue(), static_cast<double>(0.1f));
}

}  // namespace
