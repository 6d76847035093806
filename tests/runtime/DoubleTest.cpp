#include "runtime/Double.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "runtime/Float.h"
#include "runtime/NumberFormatException.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using java::lang::Double;
using java::lang::NumberFormatException;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(java::lang::Double);

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(Double, ToStringWritesTheDriftingDigitLoop) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0.0"},
        {-0.0, "0.0"},
        {1.5, "1.5"},
        {-1.25, "-1.25"},
        {-0.5, "-0.5"},
        {0.1, "0.1"},
        {123.456, "123.456"},
        {100.0, "100.0"},
        {1e-7, "0.0000001"},
        {1e-8, "0.0"},
        {1.0 / 3, "0.33333333333333330"},
        {3.141592653589793, "3.14159265358979311"},
        {2147483647.0, "2147483647.0"},
        {-2147483647.5, "-2147483647.5"},
        {0.3, "0.3"},
        {-7.0, "-7.0"},
    };
    for (const auto& c : cases) EXPECT_EQ(narrow(Double::toString(c.value)), c.text) << c.text;
}

TEST(Double, ToStringGivesIeeeTextsAndExactIntegerPartsBeyondTheIntRange) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {kNaN, "NaN"},
        {-kNaN, "NaN"},
        {kInfinity, "Infinity"},
        {-kInfinity, "-Infinity"},
        {2147483648.0, "2147483648.0"},
        {-2147483648.5, "-2147483648.5"},
        {1e10, "10000000000.0"},
        {-1e10, "-10000000000.0"},
        {4294967296.25, "4294967296.25"},
        {1e20, "100000000000000000000.0"},
        {9007199254740993.0, "9007199254740992.0"},
        {18446744073709551616.0, "18446744073709551616.0"},
    };
    for (const auto& c : cases) EXPECT_EQ(narrow(Double::toString(c.value)), c.text) << c.text;
}

// Integer parts of every magnitude up to DBL_MAX agree with the exact fixed-point text of to_chars.
TEST(Double, IntegerPartsMatchToCharsAtEveryMagnitude) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 3000; ++i) {
        double value = std::bit_cast<double>(random() & 0x7FEFFFFFFFFFFFFFull);
        if (i == 0) value = DBL_MAX;
        if (value < 1.0) continue;
        value = std::trunc(value);
        if (random() % 2) value = -value;
        char expected[400];
        auto end =
            std::to_chars(expected, expected + sizeof expected, value, std::chars_format::fixed, 0).ptr;
        ASSERT_EQ(narrow(Double::toString(value)), std::string(expected, end) + ".0");
    }
}

TEST(Double, ParseDoubleReadsSignDigitsAndPointsOnly) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"12.5", 12.5},
        {"-2.5", -2.5},
        {"-.5", -0.5},
        {"1.5.5", 2.0},
        {"12x", 12.0},
        {"1e5", 1.0},
        {"", 0.0},
        {"+5", 0.0},
        {"-", -0.0},
        {"0.3", 0.30000000000000004},
        {"0.7", 0.7000000000000001},
        {"NaN", 0.0},
        {"Infinity", 0.0},
        {"5-", 5.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::bit_cast<uint64_t>(Double::parseDouble(jstr(c.text))),
                  std::bit_cast<uint64_t>(c.value))
            << '"' << c.text << '"';
    }
    EXPECT_EQ(Double::valueOf(jstr("-3.25"))->doubleValue(), -3.25);
    EXPECT_THROW(Double::parseDouble(nullptr), NumberFormatException);
    EXPECT_THROW(Double::valueOf(nullptr), NumberFormatException);
}

TEST(Double, ParseDoubleKeepsVeryLongFractionsSmall) {
    // The fraction weight underflows to 0 after some 320 digits; later digits must not count as integer
    // digits.
    std::string text = "0." + std::string(400, '0') + "5";
    EXPECT_EQ(Double::parseDouble(jstr(text.c_str())), 0.0);
    text = "7." + std::string(400, '3') + "9";
    EXPECT_NEAR(Double::parseDouble(jstr(text.c_str())), 7.333333333333333, 1e-14);
}

TEST(Double, BitConversionsKeepEveryPattern) {
    EXPECT_EQ(Double::doubleToLongBits(1.0), int64_t{1023} << 52);
    EXPECT_EQ(Double::doubleToLongBits(-0.0), std::numeric_limits<int64_t>::min());
    const uint64_t patterns[] = {0,
                                 0x7FF0000000000000ull,
                                 0x7FF8000000000123ull,
                                 0xFFF0000000000001ull,
                                 0x0000000000000001ull,
                                 0x8000000000000000ull,
                                 0x400921FB54442D18ull};
    for (uint64_t pattern : patterns) {
        const auto bits = static_cast<int64_t>(pattern);
        EXPECT_EQ(Double::doubleToLongBits(Double::longBitsToDouble(bits)), bits) << std::hex << pattern;
    }
}

TEST(Double, WrapperComparesAsNumbersAndHashesTheHighWord) {
    EXPECT_TRUE(jnew<Double>(0.0)->equals(jnew<Double>(-0.0)));
    JavaPtr<Double> nan = jnew<Double>(kNaN);
    EXPECT_FALSE(nan->equals(nan));
    EXPECT_FALSE(jnew<Double>(1.0)->equals(jnew<java::lang::Float>(1.0f)));
    EXPECT_FALSE(jnew<Double>(1.0)->equals(nullptr));
    EXPECT_EQ(jnew<Double>(1.0)->hashCode(), 1072693248);
    EXPECT_EQ(narrow(jnew<Double>(-0.5)->toString()), "-0.5");
    EXPECT_EQ(jnew<Double>(0.1)->floatValue(), 0.1f);
    EXPECT_EQ(jnew<Double>(1e300)->floatValue(), std::numeric_limits<float>::infinity());
}

TEST(Double, NarrowingTruncatesAndSaturates) {
    const struct {
        double value;
        int intValue;
        short shortValue;
        signed char byteValue;
        long long longValue;
    } cases[] = {
        {-2.7, -2, -2, -2, -2},
        {2.7, 2, 2, 2, 2},
        {kNaN, 0, 0, 0, 0},
        {1e10, INT32_MAX, -1, -1, 10000000000LL},
        {-1e10, INT32_MIN, 0, 0, -10000000000LL},
        {kInfinity, INT32_MAX, -1, -1, INT64_MAX},
        {-kInfinity, INT32_MIN, 0, 0, INT64_MIN},
        {1e19, INT32_MAX, -1, -1, INT64_MAX},
        {40000.5, 40000, -25536, 64, 40000},
    };
    for (const auto& c : cases) {
        JavaPtr<Double> number = jnew<Double>(c.value);
        EXPECT_EQ(number->intValue(), c.intValue) << c.value;
        EXPECT_EQ(number->shortValue(), c.shortValue) << c.value;
        EXPECT_EQ(number->byteValue(), c.byteValue) << c.value;
        EXPECT_EQ(number->longValue(), c.longValue) << c.value;
    }
}

TEST(Double, ClassifiesByIeee) {
    const double values[] = {0.0, -1.5, DBL_MAX, DBL_TRUE_MIN, kNaN, kInfinity, -kInfinity};
    for (double value : values) {
        EXPECT_EQ(Double::isNaN(value), std::isnan(value)) << value;
        EXPECT_EQ(Double::isInfinite(value), std::isinf(value)) << value;
        EXPECT_EQ(jnew<Double>(value)->isNaN(), std::isnan(value)) << value;
        EXPECT_EQ(jnew<Double>(value)->isInfinite(), std::isinf(value)) << value;
    }
}

}  // namespace
