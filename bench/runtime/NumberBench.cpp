// Number text and maths of the runtime beside the standard library doing the same work.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "runtime/Integer.h"
#include "runtime/Long.h"
#include "runtime/Math.h"
#include "runtime/String.h"

namespace {

using java::lang::Integer;
using java::lang::Long;
using java::lang::Math;
using java::lang::String;

constexpr size_t kValueCount = 1024;

// Scores and counters: values up to a few million, some negative.
std::vector<long long> integerValues() {
    std::mt19937_64 random(1);
    std::vector<long long> values(kValueCount);
    for (auto& value : values) value = static_cast<long long>(random() % 4000000) - 200000;
    return values;
}

std::vector<double> doubleValues(double low, double high, bool logarithmic) {
    std::mt19937_64 random(2);
    std::vector<double> values(kValueCount);
    for (auto& value : values) {
        const double t = std::uniform_real_distribution<double>(0.0, 1.0)(random);
        value = logarithmic ? std::exp(std::log(low) + t * (std::log(high) - std::log(low)))
                            : low + t * (high - low);
    }
    return values;
}

void LongToString(benchmark::State& state) {
    const auto values = integerValues();
    size_t i = 0;
    for (auto _ : state) {
        JavaPtr<String> text = Long::toString(values[i++ % kValueCount]);
        benchmark::DoNotOptimize(text.get());
    }
}
BENCHMARK(LongToString);

void StdToChars(benchmark::State& state) {
    const auto values = integerValues();
    size_t i = 0;
    char buffer[24];
    for (auto _ : state) {
        auto result = std::to_chars(buffer, buffer + sizeof buffer, values[i++ % kValueCount]);
        benchmark::DoNotOptimize(result.ptr);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(StdToChars);

void IntegerParseInt(benchmark::State& state) {
    const auto values = integerValues();
    std::vector<JavaPtr<String>> texts;
    for (long long value : values) texts.push_back(Long::toString(value));
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(Integer::parseInt(texts[i++ % kValueCount]));
}
BENCHMARK(IntegerParseInt);

void StdFromChars(benchmark::State& state) {
    const auto values = integerValues();
    std::vector<std::string> texts;
    for (long long value : values) texts.push_back(std::to_string(value));
    size_t i = 0;
    for (auto _ : state) {
        const std::string& text = texts[i++ % kValueCount];
        int value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(StdFromChars);

// Angles as the application's geometry uses them, within a few turns.
void MathSin(benchmark::State& state) {
    const auto values = doubleValues(-20.0, 20.0, false);
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(Math::sin(values[i++ % kValueCount]));
}
BENCHMARK(MathSin);

void StdSin(benchmark::State& state) {
    const auto values = doubleValues(-20.0, 20.0, false);
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(std::sin(values[i++ % kValueCount]));
}
BENCHMARK(StdSin);

// Argument 0: distances of the screen's scale (1e-2 to 1e6); 1: the whole double range (1e-300 to 1e300),
// where the iteration takes hundreds of steps.
std::vector<double> sqrtValues(const benchmark::State& state) {
    return state.range(0) == 0 ? doubleValues(1e-2, 1e6, true) : doubleValues(1e-300, 1e300, true);
}

void MathSqrt(benchmark::State& state) {
    const auto values = sqrtValues(state);
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(Math::sqrt(values[i++ % kValueCount]));
}
BENCHMARK(MathSqrt)->Arg(0)->Arg(1);

void StdSqrt(benchmark::State& state) {
    const auto values = sqrtValues(state);
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(std::sqrt(values[i++ % kValueCount]));
}
BENCHMARK(StdSqrt)->Arg(0)->Arg(1);

}  // namespace
