// The engine's integer maths against hand-worked values and against double arithmetic, and the 48-bit
// generator against a hand computation.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/HookCanvas.h"

namespace {

using H = HookCanvas;

struct Case {
    const char* name;
    std::function<int64_t()> compute;
    int64_t expected;
};

TEST(FixedPoint, WorkedValues) {
    const Case cases[] = {
        {"iToF(3)", [] { return H::iToF(3); }, 3072},
        {"FToi(-1536)", [] { return H::FToi(-1536); }, -1},
        {"FToiNearest(-1536)", [] { return H::FToiNearest(-1536); }, -2},
        {"FToiNearest(512)", [] { return H::FToiNearest(512); }, 1},
        {"FToiNearest(511)", [] { return H::FToiNearest(511); }, 0},
        {"Fmul(-1, 1)", [] { return H::Fmul(-1, 1); }, 0},
        {"FmulToLong(-1, 1)", [] { return H::FmulToLong(-1, 1); }, -1},
        {"Fmul(1.5, -2)", [] { return H::Fmul(1536, -2048); }, -3072},
        {"Fdiv(3, 2)", [] { return H::Fdiv(3072, 2048); }, 1536},
        {"Fdiv(-3, 2)", [] { return H::Fdiv(-3072, 2048); }, -1536},
        {"Fdiv by more than 2^30", [] { return H::Fdiv(1024, (1 << 30) + 1); }, 0},
        {"max(2, 2)", [] { return H::max(2, 2); }, 2},
        {"min(-1, 5)", [] { return H::min(-1, 5); }, -1},
        {"abs(-7)", [] { return H::abs(-7); }, 7},
        {"sqrt(0)", [] { return H::sqrt(0); }, 0},
        {"sqrt(-9)", [] { return H::sqrt(-9); }, -9},
        {"sqrt(16)", [] { return H::sqrt(16); }, 4},
        {"sqrt(15)", [] { return H::sqrt(15); }, 4},
        {"cbrt(-8)", [] { return H::cbrt(-8); }, -8},
        {"cbrt(7)", [] { return H::cbrt(7); }, 2},
        {"cbrt(27)", [] { return H::cbrt(27); }, 3},
        {"Fsqrt(4)", [] { return H::Fsqrt(4096); }, 2048},
        {"Fsqrt(2048)", [] { return H::Fsqrt(2048 << 10); }, 1448 << 5},
        {"Fcbrt(8)", [] { return H::Fcbrt(8192); }, 2048},
        {"Fcos(0)", [] { return H::Fcos(0); }, 1024},
        {"Fsin(0)", [] { return H::Fsin(0); }, 0},
        {"Fsin(pi/2)", [] { return H::Fsin(1608); }, 1024},
        {"Fcos(pi)", [] { return H::Fcos(3217); }, -1024},
        {"cos(0)", [] { return H::cos(0); }, 1024},
        {"sin(90)", [] { return H::sin(90); }, 1025},
        {"sin(-90)", [] { return H::sin(-90); }, -1023},
        {"cos(180)", [] { return H::cos(180); }, -1000},
        {"sin(450)", [] { return H::sin(450); }, 1025},
        {"vectorToFRad(0, 0)", [] { return H::vectorToFRad(0, 0); }, 0},
        {"vectorToFRad(1, 0)", [] { return H::vectorToFRad(1, 0); }, 1608},
        {"vectorToFRad(0, -5)", [] { return H::vectorToFRad(0, -5); }, 3217},
        {"vectorToFRad(-1, 0)", [] { return H::vectorToFRad(-1, 0); }, -1608},
        {"FradToFDeg(pi)", [] { return H::FradToFDeg(3217); }, 184320},
        {"FradToFDeg(-pi)", [] { return H::FradToFDeg(-3217); }, -184320},
        {"FdegToFRad(180)", [] { return H::FdegToFRad(184320); }, 3217},
        {"FradToiDeg(pi/2)", [] { return H::FradToiDeg(1608); }, 90},
        {"idegToFRad(180)", [] { return H::idegToFRad(180); }, 3217},
        {"FsinFromiDeg(90)", [] { return H::FsinFromiDeg(90); }, 1024},
        {"FcosFromFDeg(180)", [] { return H::FcosFromFDeg(184320); }, -1024},
        {"vectorToiDeg(1, 1)", [] { return H::vectorToiDeg(1, 1); }, 45},
    };
    for (const Case& c : cases) EXPECT_EQ(c.compute(), c.expected) << c.name;
}

// The values at -2^31 and a zero divisor are defined: nothing traps or is undefined behaviour (the
// sanitizer build would stop on it).
TEST(FixedPoint, ExtremeArgumentsGiveDefinedResults) {
    const Case cases[] = {
        {"abs(INT_MIN) wraps to itself", [] { return H::abs(INT_MIN); }, INT_MIN},
        {"Fdiv(5, 0)", [] { return H::Fdiv(5, 0); }, INT_MAX},
        {"Fdiv(-5, 0)", [] { return H::Fdiv(-5, 0); }, INT_MIN},
        {"Fdiv(0, 0)", [] { return H::Fdiv(0, 0); }, 0},
        {"Fmul(INT_MIN, 1024)", [] { return H::Fmul(INT_MIN, 1024); }, INT_MIN},
        {"Fdiv(INT_MIN, 1024)", [] { return H::Fdiv(INT_MIN, 1024); }, INT_MIN},
        {"FToi(INT_MIN)", [] { return H::FToi(INT_MIN); }, -(1 << 21)},
        {"vectorToFRad(INT_MIN, 0)", [] { return H::vectorToFRad(INT_MIN, 0); }, -1608},
        {"FmulToLong(INT_MIN, INT_MIN)", [] { return H::FmulToLong(INT_MIN, INT_MIN); }, int64_t{1} << 52},
    };
    for (const Case& c : cases) EXPECT_EQ(c.compute(), c.expected) << c.name;
}

// Against double: roots within one unit of the last place plus the estimate's rounding, the series
// within the error of their few terms.
TEST(FixedPoint, SweepAgainstDouble) {
    for (int64_t n = 1; n < INT_MAX; n = n * 3 / 2 + 1) {
        const int32_t v = static_cast<int32_t>(n);
        EXPECT_NEAR(H::sqrt(v), std::sqrt(static_cast<double>(v)), 1.0) << "sqrt " << v;
        EXPECT_NEAR(H::cbrt(v), std::cbrt(static_cast<double>(v)), 1.0) << "cbrt " << v;
        const double real = v / 1024.0;
        EXPECT_NEAR(H::Fsqrt(v) / 1024.0, std::sqrt(real), std::sqrt(real) * 0.002 + 0.04) << "Fsqrt " << v;
        EXPECT_NEAR(H::Fcbrt(v) / 1024.0, std::cbrt(real), std::cbrt(real) * 0.01 + 0.01) << "Fcbrt " << v;
    }
    for (int32_t x = -20000; x <= 20000; x += 37) {
        const double radians = x / 1024.0;
        EXPECT_NEAR(H::Fsin(x) / 1024.0, std::sin(radians), 0.01) << "Fsin " << x;
        EXPECT_NEAR(H::Fcos(x) / 1024.0, std::cos(radians), 0.01) << "Fcos " << x;
    }
    for (int d = -720; d <= 720; ++d) {
        const double radians = d * M_PI / 180.0;
        EXPECT_NEAR(H::sin(d) / 1024.0, std::sin(radians), 0.03) << "sin " << d;
        EXPECT_NEAR(H::cos(d) / 1024.0, std::cos(radians), 0.03) << "cos " << d;
    }
    for (int a = -300; a <= 300; a += 7) {
        for (int b = -300; b <= 300; b += 11) {
            if (a == 0 && b == 0) continue;
            EXPECT_NEAR(H::vectorToFRad(a, b) / 1024.0, std::atan2(a, b), 0.01) << a << ", " << b;
        }
    }
}

// The generator's steps worked by hand: seed' = (seed * 0x5DEECE66D + 11) mod 2^48, output bits 17-47.
TEST(FixedPoint, GeneratorFromTwoSeeds) {
    H::setRandomNumberSeed(0);
    EXPECT_EQ(H::random(100), 0);
    EXPECT_EQ(H::random_seed.load(), 11);
    // 11 * 0x5DEECE66D + 11 = 0x40942DE6BA; >> 17 = 2116118; mod 100 = 18.
    EXPECT_EQ(H::random(100), 18);
    EXPECT_EQ(H::random_seed.load(), 0x40942DE6BALL);
    // A negative bound gives the same remainder as its magnitude.
    H::setRandomNumberSeed(0);
    H::random(0);
    EXPECT_EQ(H::random(-100), 18);

    // Bits above 47 of the seed take no part; 2^48 + 1 steps as 1.
    H::setRandomNumberSeed((int64_t{1} << 48) + 1);
    EXPECT_EQ(H::random(0), 0);
    // 1 * 0x5DEECE66D + 11 = 0x5DEECE678; >> 17 = 192374.
    EXPECT_EQ(H::random_seed.load(), 0x5DEECE678LL);
    H::setRandomNumberSeed((int64_t{1} << 48) + 1);
    EXPECT_EQ(H::random(1000), 374);
    H::setRandomNumberSeed(0);
}

TEST(FixedPoint, AddToIntSeedCarriesAcrossTheWords) {
    struct AddCase {
        int32_t high, low, add, wantHigh, wantLow;
    };
    const AddCase cases[] = {
        {0, 5, 7, 0, 12}, {0, -1, 1, 1, 0}, {0, 0, -1, 0, -1}, {0, INT_MIN, INT_MIN, 1, 0}, {-1, -1, 1, 0, 0},
    };
    for (const AddCase& c : cases) {
        H::random_seed_high = c.high;
        H::random_seed_low = c.low;
        H::randomAddToIntSeed(c.add);
        EXPECT_EQ(H::random_seed_high, c.wantHigh) << c.high << ":" << c.low << " + " << c.add;
        EXPECT_EQ(H::random_seed_low, c.wantLow) << c.high << ":" << c.low << " + " << c.add;
    }
    H::random_seed_high = 0;
    H::random_seed_low = 0;
}

}  // namespace
