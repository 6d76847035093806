#include "runtime/Math.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace java::lang {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kThreeQuarterPi = 2.356194490192345;
constexpr double kQuarterPi = 0.7853981633974483;
constexpr double kHalfPi = 1.5707963267948966;

// Up to here the reduction subtracts 2PI once per period, as the values the application has always
// shown were computed (at most some 170000 steps). Beyond it that loop would take too long, and from
// about 2^56 on it would never end, since subtracting 2PI no longer changes the value: such arguments
// first take their exact remainder modulo the same double 2PI.
constexpr double kLargestLoopReduced = 1048576.0;

// Past this many steps Heron's iteration is cycling instead of converging (normal arguments settle
// within some 540 steps).
constexpr int kMaxSqrtSteps = 2048;

double sinReduced(double x);

double cosReduced(double x) {
    double r = x;
    while (r > kPi) r = r - kTwoPi;
    while (r < -kPi) r = r + kTwoPi;
    if (r > kThreeQuarterPi) return -cosReduced(kPi - r);
    if (r > kQuarterPi) return sinReduced(kHalfPi - r);
    if (r < -kThreeQuarterPi) return -cosReduced(r + kPi);
    if (r < -kQuarterPi) return sinReduced(r + kHalfPi);
    const double s = r * r;
    double p = s / -30.0 + 1.0;
    p = (s * p) / -12.0 + 1.0;
    const double q = s * p;
    return 1.0 + q * -0.5;
}

double sinReduced(double x) {
    double r = x;
    for (;;) {
        while (r > kPi) r = r - kTwoPi;
        while (r < -kPi) r = r + kTwoPi;
        if (!(r > kThreeQuarterPi)) break;
        r = kPi - r;
    }
    if (r > kQuarterPi) return cosReduced(r - kHalfPi);
    if (r < -kThreeQuarterPi) return -sinReduced(r + kPi);
    if (r < -kQuarterPi) return -cosReduced(r + kHalfPi);
    const double s = r * r;
    double p = s / -42.0 + 1.0;
    p = (s * p) / -20.0 + 1.0;
    p = (s * p) / -6.0 + 1.0;
    return p * r;
}

double reduceLarge(double x) {
    return x > kLargestLoopReduced || x < -kLargestLoopReduced ? std::fmod(x, kTwoPi) : x;
}

double heronSqrt(double x) {
    double a = x * 0.5;
    for (int step = 0; step < kMaxSqrtSteps; ++step) {
        const double r = (x / a + a) * 0.5;
        if (r == a) return r;
        a = r;
    }
    return a;
}

}  // namespace

double Math::sin(double x) {
    if (x != x) return x;
    if (x - x != 0.0) return std::numeric_limits<double>::quiet_NaN();
    return sinReduced(reduceLarge(x));
}

double Math::cos(double x) {
    if (x != x) return x;
    if (x - x != 0.0) return std::numeric_limits<double>::quiet_NaN();
    return cosReduced(reduceLarge(x));
}

double Math::tan(double x) {
    return sin(x) / cos(x);
}

double Math::sqrt(double x) {
    if (x == 0.0) return x;
    if (x != x) return x;
    if (x < 0.0) return std::numeric_limits<double>::quiet_NaN();
    if (x == std::numeric_limits<double>::infinity()) return x;
    // A subnormal x would halve to a first guess of 0 (sqrt(5e-324) came out as infinity): scale by
    // an even power of two into the normal range and back, which is exact.
    if (x < DBL_MIN) return heronSqrt(x * 0x1p108) * 0x1p-54;
    return heronSqrt(x);
}

double Math::floor(double x) {
    // From 2^52 on every double is integral; NaN and the infinities come back unchanged. Below it a
    // 64-bit truncation is exact, and within the int range it is the 32-bit one.
    if (!(abs(x) < 4503599627370496.0)) return x;
    const auto t = static_cast<double>(static_cast<int64_t>(x));
    if (t == x) return x;
    if (!(x < 0)) return t;
    return t - 1.0;
}

}  // namespace java::lang
