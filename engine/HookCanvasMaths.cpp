// The engine's integer maths: fixed point with 10 fraction bits, roots, trigonometry, angle conversion
// and the 48-bit generator. Products that could overflow are formed in 64 bits or unsigned, and the
// 32-bit result is the wrapped one, so no input is undefined behaviour.
#include <cstdint>

#include "engine/HookCanvas.h"

namespace {

// The magnitude of a as an unsigned number: exact for -2^31 too.
uint32_t magnitude(int32_t a) {
    return a < 0 ? 0u - static_cast<uint32_t>(a) : static_cast<uint32_t>(a);
}

int32_t wrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

int32_t wrapShl(int32_t a, int shift) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) << shift);
}

int32_t squareRootGuess(int32_t n) {
    if (n > 65536) return n > 16777216 ? n >> 12 : n >> 8;
    return n > 256 ? n >> 4 : n;
}

// Newton iterations from a guess chosen by size; the loop returns its last estimate.
int32_t squareRootFrom(int32_t n) {
    int32_t g = squareRootGuess(n);
    for (;;) {
        int32_t r = (g + n / g) >> 1;
        if (r < g && r > 0) {
            g = r;
            continue;
        }
        return r;
    }
}

// The same iteration over 64 bits with a 64-bit square; used by Fcbrt, whose shifted arguments pass
// 2^31. Where the 32-bit square does not wrap it gives the same estimates.
int64_t cubeRootFrom(int64_t n, int64_t guess, bool wrapSquare) {
    int64_t g = guess;
    for (;;) {
        int64_t square = wrapSquare ? wrapMul(static_cast<int32_t>(g), static_cast<int32_t>(g)) : g * g;
        // A wrapped square of 0 would divide by zero; the estimate is then too large, so step down.
        int64_t r = square == 0 ? g - 1 : g + (n / square - g) / 3;
        if (r < g && r > 0) {
            g = r;
            continue;
        }
        return r;
    }
}

int64_t cubeRootGuess64(int64_t n) {
    if (n > 32768) return n > 5931641 ? n >> 15 : n >> 10;
    return n > 181 ? n >> 5 : n;
}

}  // namespace

int32_t HookCanvas::iToF(int32_t i) {
    return wrapShl(i, 10);
}

int32_t HookCanvas::FToi(int32_t f) {
    if (f >= 0) return f >> 10;
    return -static_cast<int32_t>(magnitude(f) >> 10);
}

int32_t HookCanvas::FToiNearest(int32_t f) {
    if (f >= 0) return static_cast<int32_t>((static_cast<int64_t>(f) + 512) >> 10);
    return -static_cast<int32_t>((512 + static_cast<int64_t>(magnitude(f))) >> 10);
}

int32_t HookCanvas::Fmul(int32_t a, int32_t b) {
    uint64_t product = static_cast<uint64_t>(magnitude(a)) * magnitude(b);
    uint32_t shifted = static_cast<uint32_t>(product >> 10);
    bool negative = (a < 0) != (b < 0);
    return static_cast<int32_t>(negative ? 0u - shifted : shifted);
}

int64_t HookCanvas::FmulToLong(int32_t a, int32_t b) {
    return (static_cast<int64_t>(a) * b) >> 10;
}

int32_t HookCanvas::Fdiv(int32_t a, int32_t b) {
    bool negative = (a < 0) != (b < 0);
    if (b == 0) {
        // Division by zero answers the largest magnitude with a's sign instead of trapping.
        if (a == 0) return 0;
        return a < 0 ? INT32_MIN : INT32_MAX;
    }
    uint64_t q = (uint64_t{1} << 30) / magnitude(b);
    uint32_t result = static_cast<uint32_t>((static_cast<uint64_t>(magnitude(a)) * q) >> 20);
    return static_cast<int32_t>(negative ? 0u - result : result);
}

int32_t HookCanvas::max(int32_t a, int32_t b) {
    return b >= a ? b : a;
}

int32_t HookCanvas::min(int32_t a, int32_t b) {
    return b < a ? b : a;
}

int32_t HookCanvas::abs(int32_t a) {
    // -2^31 stays itself, as the 32-bit negation wraps.
    return a < 0 ? static_cast<int32_t>(magnitude(a)) : a;
}

int32_t HookCanvas::sqrt(int32_t n) {
    if (n <= 0) return n;
    return squareRootFrom(n);
}

int32_t HookCanvas::cbrt(int32_t n) {
    if (n <= 0) return n;
    return static_cast<int32_t>(cubeRootFrom(n, cubeRootGuess64(n), true));
}

int32_t HookCanvas::Fsqrt(int32_t f) {
    if (f <= 0) return f;
    if (f < (1 << 20)) return sqrt(f << 10);
    return sqrt(f) << 5;
}

int32_t HookCanvas::Fcbrt(int32_t f) {
    if (f <= 0) return f;
    if (f < 1024) return cbrt(f << 20);
    // f << 11 passes 2^31 from f = 2^20 and f << 2 from 2^29: those roots are taken of the 64-bit value,
    // so every f gets the root of what the shift means instead of a wrapped one.
    int64_t wide = f;
    if (f < (1 << 25)) {
        int64_t n = wide << 11;
        return static_cast<int32_t>(cubeRootFrom(n, cubeRootGuess64(n), false) << 3);
    }
    int64_t n = wide << 2;
    return static_cast<int32_t>(cubeRootFrom(n, cubeRootGuess64(n), false) << 6);
}

int32_t HookCanvas::Fcos(int32_t x) {
    while (x > 3217) x -= 6434;
    while (x < -3217) x += 6434;
    if (x > 2412) return -Fcos(3217 - x);
    if (x > 804) return Fsin(1608 - x);
    if (x < -2412) return -Fcos(x + 3217);
    if (x < -804) return Fsin(x + 1608);
    int32_t x2 = x * x;
    int32_t t = x2 >> 11;
    return 1024 - t + ((x2 * t) / 3 >> 22);
}

int32_t HookCanvas::Fsin(int32_t x) {
    for (;;) {
        while (x > 3217) x -= 6434;
        while (x < -3217) x += 6434;
        if (x <= 2412) break;
        x = 3217 - x;
    }
    if (x > 804) return Fcos(x - 1608);
    if (x < -2412) return -Fsin(x + 3217);
    if (x < -804) return -Fcos(x + 1608);
    int32_t x2 = x * x;
    int32_t a = (x * x2) / 3 >> 21;
    return x - a + ((x2 * a) / 5 >> 22);
}

namespace {

// The degree series: whole degrees folded into +-180, to FP radians, then the Taylor terms 1 to 9.
void degreeTerms(int32_t d, int32_t (&t)[10]) {
    while (d > 180) d -= 360;
    while (d < -180) d += 360;
    int32_t x = (d * 143) >> 3;
    t[1] = x;
    for (int k = 2; k <= 9; ++k) t[k] = ((x * t[k - 1]) / k) >> 10;
}

}  // namespace

int32_t HookCanvas::sin(int32_t d) {
    int32_t t[10];
    degreeTerms(d, t);
    return t[1] - t[3] + t[5] - t[7] + t[9];
}

int32_t HookCanvas::cos(int32_t d) {
    int32_t t[10];
    degreeTerms(d, t);
    return 1024 - t[2] + t[4] - t[6] + t[8];
}

namespace {

// Over 64 bits, so that negating -2^31 on the way in gives its true magnitude.
int32_t vectorAngle(int64_t a, int64_t b) {
    if (a < 0 && b < 0) return vectorAngle(-a, -b) - 3217;
    if (a < 0) return -vectorAngle(-a, b);
    if (b < 0) return 3217 - vectorAngle(a, -b);
    if (a > b) return 1608 - vectorAngle(b, a);
    if (a == 0 && b == 0) return 0;
    while (a < 2048 && b < 2048) {
        a <<= 1;
        b <<= 1;
    }
    while (a > 4096 || b > 4096) {
        a >>= 1;
        b >>= 1;
    }
    int32_t r = HookCanvas::sqrt(static_cast<int32_t>(a * a + b * b));
    int32_t s = static_cast<int32_t>((a << 10) / r);
    int32_t s2 = s * s;
    int32_t p = ((s2 * 46) >> 20) + 77;
    p = ((s2 * p) >> 20) + 171;
    p = ((s2 * p) >> 20) + 1024;
    return (s * p) >> 10;
}

}  // namespace

int32_t HookCanvas::vectorToFRad(int32_t a, int32_t b) {
    return vectorAngle(a, b);
}

int32_t HookCanvas::vectorToFDeg(int32_t a, int32_t b) {
    return FradToFDeg(vectorToFRad(a, b));
}

int32_t HookCanvas::vectorToiDeg(int32_t a, int32_t b) {
    return FToiNearest(vectorToFDeg(a, b));
}

int32_t HookCanvas::FradToFDeg(int32_t r) {
    if (r < 0) return -FradToFDeg(static_cast<int32_t>(magnitude(r) % 6434u));
    int64_t folded = r - (r / 6434) * 6434;
    return static_cast<int32_t>((folded * 184320 + 1608) / 3217);
}

int32_t HookCanvas::FradToiDeg(int32_t r) {
    return FToiNearest(FradToFDeg(r));
}

int32_t HookCanvas::FdegToFRad(int32_t f) {
    if (f < 0) return -FdegToFRad(static_cast<int32_t>(magnitude(f) % 368640u));
    int64_t folded = f - (f / 368640) * 368640;
    return static_cast<int32_t>((folded * 3217 + 92160) / 184320);
}

int32_t HookCanvas::idegToFRad(int32_t d) {
    return FdegToFRad(wrapShl(d, 10));
}

int32_t HookCanvas::FsinFromFDeg(int32_t f) {
    return Fsin(FdegToFRad(f));
}

int32_t HookCanvas::FcosFromFDeg(int32_t f) {
    return Fcos(FdegToFRad(f));
}

int32_t HookCanvas::FsinFromiDeg(int32_t d) {
    return Fsin(FdegToFRad(wrapShl(d, 10)));
}

int32_t HookCanvas::FcosFromiDeg(int32_t d) {
    return Fcos(FdegToFRad(wrapShl(d, 10)));
}

void HookCanvas::setRandomNumberSeed(int64_t s) {
    random_seed.store(s, std::memory_order_relaxed);
}

int64_t HookCanvas::nextRandomSeed(int64_t seed) {
    constexpr uint64_t kMask = (uint64_t{1} << 48) - 1;
    return static_cast<int64_t>((static_cast<uint64_t>(seed) * 0x5DEECE66Dull + 11) & kMask);
}

int32_t HookCanvas::random(int32_t n) {
    int64_t seed = random_seed.load(std::memory_order_relaxed);
    int64_t next;
    do {
        next = nextRandomSeed(seed);
    } while (!random_seed.compare_exchange_weak(seed, next, std::memory_order_relaxed));
    if (n == 0) return 0;
    int32_t v = static_cast<int32_t>(next >> 17);
    // The remainder keeps v's sign, and v is never negative, so 0 to |n| - 1 for either sign of n.
    return static_cast<int32_t>(static_cast<int64_t>(v) % static_cast<int64_t>(n));
}

void HookCanvas::randomAddToIntSeed(int32_t v) {
    // The unsigned 64-bit sum the signed-word carrying works out to.
    uint64_t sum = (static_cast<uint64_t>(static_cast<uint32_t>(random_seed_high)) << 32) |
                   static_cast<uint32_t>(random_seed_low);
    sum += static_cast<uint32_t>(v);
    random_seed_high = static_cast<int32_t>(static_cast<uint32_t>(sum >> 32));
    random_seed_low = static_cast<int32_t>(static_cast<uint32_t>(sum));
}
