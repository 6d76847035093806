// Strings and primitive arrays beside the standard library doing the same work in the same run.
#include <benchmark/benchmark.h>

#include <charconv>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "runtime/JArray.h"
#include "runtime/String.h"

namespace {

using java::lang::String;

const char* const kQuestion =
    "Choose the word that best completes the sentence: she has lived here since 2009.";

std::u16string widen(const char* text) {
    std::u16string out;
    for (const char* c = text; *c != 0; ++c) out.push_back(static_cast<unsigned char>(*c));
    return out;
}

void appendDecimal(std::u16string& out, int value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    for (const char* c = digits; c != result.ptr; ++c) out.push_back(static_cast<char16_t>(*c));
}

// "Score: " + int + "/" + int, with the literals made anew each time as the class sources make them.
void BM_ScoreLine_String(benchmark::State& state) {
    int score = 0;
    for (auto _ : state) {
        JavaPtr<String> line = jnew<String>("Score: ") + score + jnew<String>("/") + 250;
        benchmark::DoNotOptimize(line.get());
        score = (score + 7) & 255;
    }
}
BENCHMARK(BM_ScoreLine_String);

void BM_ScoreLine_U16String(benchmark::State& state) {
    int score = 0;
    for (auto _ : state) {
        std::u16string line = u"Score: ";
        appendDecimal(line, score);
        line += u"/";
        appendDecimal(line, 250);
        benchmark::DoNotOptimize(line.data());
        score = (score + 7) & 255;
    }
}
BENCHMARK(BM_ScoreLine_U16String);

// The first hash of each string (the result is cached afterwards): a pool of fresh copies is hashed
// once each and rebuilt outside the timing when used up.
void BM_HashCode_FirstCall_String(benchmark::State& state) {
    JavaPtr<String> text = jnew<String>(kQuestion);
    std::vector<JavaPtr<String>> pool;
    size_t next = 0;
    for (auto _ : state) {
        if (next == pool.size()) {
            state.PauseTiming();
            pool.clear();
            for (int i = 0; i < 4096; ++i) pool.push_back(jnew<String>(text));
            next = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(pool[next++]->hashCode());
    }
}
BENCHMARK(BM_HashCode_FirstCall_String);

void BM_HashCode_Cached_String(benchmark::State& state) {
    JavaPtr<String> text = jnew<String>(kQuestion);
    for (auto _ : state) benchmark::DoNotOptimize(text->hashCode());
}
BENCHMARK(BM_HashCode_Cached_String);

void BM_Hash_U16String(benchmark::State& state) {
    const std::u16string text = widen(kQuestion);
    const std::hash<std::u16string> hash;
    for (auto _ : state) benchmark::DoNotOptimize(hash(text));
}
BENCHMARK(BM_Hash_U16String);

void BM_Equals_String(benchmark::State& state) {
    JavaPtr<String> left = jnew<String>(kQuestion);
    JavaPtr<String> right = jnew<String>(kQuestion);
    for (auto _ : state) benchmark::DoNotOptimize(left->equals(right));
}
BENCHMARK(BM_Equals_String);

void BM_Equals_U16String(benchmark::State& state) {
    const std::u16string left = widen(kQuestion);
    const std::u16string right = widen(kQuestion);
    for (auto _ : state) benchmark::DoNotOptimize(left == right);
}
BENCHMARK(BM_Equals_U16String);

void BM_IndexOf_String(benchmark::State& state) {
    JavaPtr<String> text = jnew<String>(kQuestion);
    JavaPtr<String> word = jnew<String>("since");
    for (auto _ : state) benchmark::DoNotOptimize(text->indexOf(word));
}
BENCHMARK(BM_IndexOf_String);

void BM_Find_U16String(benchmark::State& state) {
    const std::u16string text = widen(kQuestion);
    const std::u16string word = u"since";
    for (auto _ : state) benchmark::DoNotOptimize(text.find(word));
}
BENCHMARK(BM_Find_U16String);

// The element count comes from the run's argument for both, so that neither loop is specialised for a
// count the compiler can see.
constexpr int kElements = 4096;

void BM_IntArraySum_JArray(benchmark::State& state) {
    JavaPtr<JArray<int>> array = jnew<JArray<int>>(static_cast<int>(state.range(0)));
    for (int i = 0; i < array->length; ++i) array->data[i] = i * 3 - 100;
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < array->length; ++i) sum += array->data[i];
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_IntArraySum_JArray)->Arg(kElements);

void BM_IntArraySum_JArrayRange(benchmark::State& state) {
    JavaPtr<JArray<int>> array = jnew<JArray<int>>(static_cast<int>(state.range(0)));
    for (int i = 0; i < array->length; ++i) array->data[i] = i * 3 - 100;
    for (auto _ : state) benchmark::DoNotOptimize(std::accumulate(array->begin(), array->end(), 0));
}
BENCHMARK(BM_IntArraySum_JArrayRange)->Arg(kElements);

void BM_IntArraySum_Vector(benchmark::State& state) {
    std::vector<int> vector(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < vector.size(); ++i) vector[i] = static_cast<int>(i) * 3 - 100;
    for (auto _ : state) {
        int sum = 0;
        for (size_t i = 0; i < vector.size(); ++i) sum += vector[i];
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_IntArraySum_Vector)->Arg(kElements);

}  // namespace
