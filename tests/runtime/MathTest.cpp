#include "runtime/Math.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

#include "runtime/Long.h"
#include "tests/support/ClassRegistry.h"

using java::lang::Math;

QUILL_REGISTER_CLASSES(java::lang::Math);

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Bit patterns, so that -0.0 and 0.0 differ and NaNs compare.
uint64_t bits(double value) {
    return std::bit_cast<uint64_t>(value);
}

TEST(Math, SeriesGiveTheirKnownValuesBitForBit) {
    const double pi = Math::PI;
    const struct {
        const char* expression;
        double actual;
        double expected;
    } cases[] = {
        {"sin(PI)", Math::sin(pi), 0.0},
        {"sin(-PI)", Math::sin(-pi), -0.0},
        {"cos(PI)", Math::cos(pi), -1.0},
        {"sin(PI/2)", Math::sin(pi / 2), 1.0},
        {"cos(PI/2)", Math::cos(pi / 2), 0.0},
        {"sin(PI/6)", Math::sin(pi / 6), 0.4999999918690232},
        {"sin(1.0)", Math::sin(1.0), 0.84147070635119},
        {"sin(PI/4)", Math::sin(pi / 4), 0.7071064695751781},
        {"cos(PI/4)", Math::cos(pi / 4), 0.7071032148228457},
        {"sin(0.0)", Math::sin(0.0), 0.0},
        {"sin(-0.0)", Math::sin(-0.0), -0.0},
        {"cos(0.0)", Math::cos(0.0), 1.0},
        {"tan(0.0)", Math::tan(0.0), 0.0},
        {"sqrt(0.0)", Math::sqrt(0.0), 0.0},
        {"sqrt(-0.0)", Math::sqrt(-0.0), -0.0},
        {"sqrt(9.0)", Math::sqrt(9.0), 3.0},
        {"sqrt(0.25)", Math::sqrt(0.25), 0.5},
        {"sqrt(2.0)", Math::sqrt(2.0), 1.414213562373095},
        {"floor(1.5)", Math::floor(1.5), 1.0},
        {"floor(-1.5)", Math::floor(-1.5), -2.0},
        {"floor(-1.0)", Math::floor(-1.0), -1.0},
        {"ceil(1.5)", Math::ceil(1.5), 2.0},
        {"ceil(-1.5)", Math::ceil(-1.5), -1.0},
        {"max(0.0, -0.0)", Math::max(0.0, -0.0), -0.0},
        {"min(0.0, -0.0)", Math::min(0.0, -0.0), -0.0},
        {"abs(-0.0)", Math::abs(-0.0), 0.0},
        {"toRadians(180.0)", Math::toRadians(180.0), pi},
        {"toDegrees(PI)", Math::toDegrees(pi), 180.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bits(c.actual), bits(c.expected)) << c.expression << " = " << c.actual;
}

TEST(Math, SinAndCosStayWithinTheirSeriesErrorOfTheTrueValues) {
    for (double x = -40.0; x <= 40.0; x += 0.000731) {
        ASSERT_NEAR(Math::sin(x), std::sin(x), 3.7e-6) << x;
        ASSERT_NEAR(Math::cos(x), std::cos(x), 3.7e-6) << x;
    }
    EXPECT_NEAR(Math::tan(1.0), std::tan(1.0), 2e-5);
}

TEST(Math, NonFiniteAndHugeArgumentsEndWithSensibleResults) {
    for (double x : {kNaN, kInfinity, -kInfinity}) {
        EXPECT_TRUE(std::isnan(Math::sin(x))) << x;
        EXPECT_TRUE(std::isnan(Math::cos(x))) << x;
        EXPECT_TRUE(std::isnan(Math::tan(x))) << x;
    }
    // Beyond some 2^56 subtracting 2PI no longer changes the argument; the results still lie on the circle.
    for (double x : {1048577.0, -3e6, 1e15, 7.2e16, 1e22, -1e300, DBL_MAX}) {
        const double s = Math::sin(x);
        const double c = Math::cos(x);
        EXPECT_LE(std::fabs(s), 1.0) << x;
        EXPECT_NEAR(s * s + c * c, 1.0, 1e-5) << x;
    }
    // Around the point where the reduction changes method the function stays continuous.
    EXPECT_NEAR(Math::sin(1048576.0), Math::sin(std::nextafter(1048576.0, 2e6)), 1e-5);
    EXPECT_NEAR(Math::sin(1048576.0), std::sin(1048576.0), 1e-5);
    EXPECT_NEAR(Math::sin(1048577.0), std::sin(1048577.0), 1e-5);
}

TEST(Math, SqrtIsWithinOneUlpEverywhereAndIeeeAtTheEdges) {
    std::mt19937_64 random(11);
    for (int i = 0; i < 3000; ++i) {
        // Random bit patterns cover subnormals and both ends of the exponent range.
        double x = std::bit_cast<double>(random() & 0x7FEFFFFFFFFFFFFFull);
        if (i == 0) x = DBL_TRUE_MIN;
        if (i == 1) x = DBL_MAX;
        if (i == 2) x = DBL_MIN;
        const double expected = std::sqrt(x);
        const double actual = Math::sqrt(x);
        ASSERT_LE(std::fabs(actual - expected), std::nextafter(expected, kInfinity) - expected) << x;
    }
    EXPECT_EQ(Math::sqrt(kInfinity), kInfinity);
    for (double x : {-1.0, -DBL_TRUE_MIN, -kInfinity, kNaN}) EXPECT_TRUE(std::isnan(Math::sqrt(x))) << x;
}

// Floor and ceil agree with the C library bit for bit, at every magnitude and for NaN and infinities.
TEST(Math, FloorAndCeilAgreeWithTheCLibrary) {
    std::mt19937_64 random(5);
    const double edges[] = {0.0,
                            -0.0,
                            0.5,
                            -0.5,
                            1e10,
                            -1e10 - 0.5,
                            3e9 + 0.5,
                            -3e9 - 0.5,
                            2147483647.5,
                            -2147483648.5,
                            4503599627370495.5,
                            -4503599627370495.5,
                            1e300,
                            DBL_TRUE_MIN,
                            -DBL_TRUE_MIN,
                            kInfinity,
                            -kInfinity};
    for (double x : edges) {
        EXPECT_EQ(bits(Math::floor(x)), bits(std::floor(x))) << x;
        EXPECT_EQ(bits(Math::ceil(x)), bits(std::ceil(x))) << x;
    }
    EXPECT_TRUE(std::isnan(Math::floor(kNaN)));
    EXPECT_TRUE(std::isnan(Math::ceil(kNaN)));
    for (int i = 0; i < 5000; ++i) {
        // Exponents around the integral range, where truncation matters.
        const double x =
            std::ldexp(static_cast<double>(static_cast<int64_t>(random())), -(int)(random() % 90));
        ASSERT_EQ(bits(Math::floor(x)), bits(std::floor(x))) << x;
        ASSERT_EQ(bits(Math::ceil(x)), bits(std::ceil(x))) << x;
    }
}

TEST(Math, IntegerAbsMinAndMax) {
    EXPECT_EQ(Math::abs(INT32_MIN), INT32_MIN);
    EXPECT_EQ(Math::abs(-5), 5);
    EXPECT_EQ(Math::abs(java::lang::Long::MIN_VALUE), java::lang::Long::MIN_VALUE);
    EXPECT_EQ(Math::abs(-5LL), 5LL);
    EXPECT_EQ(bits(Math::abs(-kInfinity)), bits(kInfinity));
    EXPECT_EQ(std::bit_cast<uint32_t>(Math::abs(-0.0f)), 0u);
    EXPECT_EQ(Math::max(3, -4), 3);
    EXPECT_EQ(Math::min(3, -4), -4);
    EXPECT_EQ(Math::max(3LL, 1LL << 40), 1LL << 40);
    EXPECT_EQ(Math::min(-(1LL << 40), 3LL), -(1LL << 40));
    EXPECT_TRUE(std::isnan(Math::max(1.0, kNaN)));
    EXPECT_EQ(Math::max(kNaN, 1.0), 1.0);
    EXPECT_TRUE(std::isnan(Math::min(1.0f, std::numeric_limits<float>::quiet_NaN())));
    EXPECT_EQ(Math::min(2.0f, 1.5f), 1.5f);
}

}  // namespace
