// String buffers and arrays of references beside the standard library doing the same work in the same run.
#include <benchmark/benchmark.h>

#include <charconv>
#include <memory>
#include <string>
#include <vector>

#include "runtime/JArray.h"
#include "runtime/String.h"
#include "runtime/StringBuffer.h"

namespace {

using java::lang::String;
using java::lang::StringBuffer;

// A line of state.range(0) units appended one at a time to a default buffer: past 16 units every append
// regrows to the exact size, as the buffer's growth rule has it.
void BM_AppendUnit_StringBuffer(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    for (auto _ : state) {
        JavaPtr<StringBuffer> buffer = jnew<StringBuffer>();
        for (int i = 0; i < units; ++i) buffer->append(static_cast<unsigned short>('a' + (i & 15)));
        benchmark::DoNotOptimize(buffer->unitData());
    }
    state.SetItemsProcessed(state.iterations() * units);
}
BENCHMARK(BM_AppendUnit_StringBuffer)->Arg(16)->Arg(64)->Arg(1024);

// The same with the final size passed to the capacity constructor, as callers that know it do.
void BM_AppendUnit_StringBufferSized(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    for (auto _ : state) {
        JavaPtr<StringBuffer> buffer = jnew<StringBuffer>(units);
        for (int i = 0; i < units; ++i) buffer->append(static_cast<unsigned short>('a' + (i & 15)));
        benchmark::DoNotOptimize(buffer->unitData());
    }
    state.SetItemsProcessed(state.iterations() * units);
}
BENCHMARK(BM_AppendUnit_StringBufferSized)->Arg(16)->Arg(64)->Arg(1024);

void BM_AppendUnit_U16String(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::u16string line;
        for (int i = 0; i < units; ++i) line.push_back(static_cast<char16_t>('a' + (i & 15)));
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(state.iterations() * units);
}
BENCHMARK(BM_AppendUnit_U16String)->Arg(16)->Arg(64)->Arg(1024);

constexpr int kNumbersPerLine = 16;

// Sixteen ints appended in decimal; each goes through Long::toString and a temporary String.
void BM_AppendNumber_StringBuffer(benchmark::State& state) {
    int value = -123456;
    for (auto _ : state) {
        JavaPtr<StringBuffer> buffer = jnew<StringBuffer>();
        for (int i = 0; i < kNumbersPerLine; ++i) {
            buffer->append(value);
            value += 7919;
        }
        benchmark::DoNotOptimize(buffer->unitData());
    }
    state.SetItemsProcessed(state.iterations() * kNumbersPerLine);
}
BENCHMARK(BM_AppendNumber_StringBuffer);

void BM_AppendNumber_U16String(benchmark::State& state) {
    int value = -123456;
    for (auto _ : state) {
        std::u16string line;
        for (int i = 0; i < kNumbersPerLine; ++i) {
            char digits[16];
            const auto result = std::to_chars(digits, digits + sizeof digits, value);
            for (const char* c = digits; c != result.ptr; ++c) line.push_back(static_cast<char16_t>(*c));
            value += 7919;
        }
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(state.iterations() * kNumbersPerLine);
}
BENCHMARK(BM_AppendNumber_U16String);

// A registry grown one element at a time: the array copies (moves) every element on each append.
void BM_ReferenceArrayAppend_JArray(benchmark::State& state) {
    const int elements = static_cast<int>(state.range(0));
    JavaPtr<String> item = jnew<String>("listener");
    for (auto _ : state) {
        JavaPtr<JArray<JavaPtr<String>>> array = jnew<JArray<JavaPtr<String>>>();
        for (int i = 0; i < elements; ++i) array->append(item);
        benchmark::DoNotOptimize(array->data);
    }
    state.SetItemsProcessed(state.iterations() * elements);
}
BENCHMARK(BM_ReferenceArrayAppend_JArray)->Arg(16)->Arg(256);

void BM_ReferenceArrayAppend_SharedPtrVector(benchmark::State& state) {
    const int elements = static_cast<int>(state.range(0));
    auto item = std::make_shared<std::u16string>(u"listener");
    for (auto _ : state) {
        std::vector<std::shared_ptr<std::u16string>> array;
        for (int i = 0; i < elements; ++i) array.push_back(item);
        benchmark::DoNotOptimize(array.data());
    }
    state.SetItemsProcessed(state.iterations() * elements);
}
BENCHMARK(BM_ReferenceArrayAppend_SharedPtrVector)->Arg(16)->Arg(256);

constexpr int kIterated = 1024;

// The numbers 0 to kIterated - 1 as text, each its own object, on both sides.
JavaPtr<JArray<JavaPtr<String>>> decimalStringArray() {
    JavaPtr<JArray<JavaPtr<String>>> array = jnew<JArray<JavaPtr<String>>>(kIterated);
    for (int i = 0; i < kIterated; ++i) array->data[i] = jnew<String>(i);
    return array;
}

std::vector<std::shared_ptr<std::u16string>> decimalStringVector() {
    std::vector<std::shared_ptr<std::u16string>> array;
    for (int i = 0; i < kIterated; ++i) {
        const std::string digits = std::to_string(i);
        array.push_back(std::make_shared<std::u16string>(digits.begin(), digits.end()));
    }
    return array;
}

// Reading each element into a reference of its own, as the class sources do (one acquire and one release
// per element).
void BM_ReferenceArrayIterate_JArray(benchmark::State& state) {
    JavaPtr<JArray<JavaPtr<String>>> array = decimalStringArray();
    for (auto _ : state) {
        long long total = 0;
        for (int i = 0; i < array->length; ++i) {
            JavaPtr<String> element = array->data[i];
            total += element->length();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kIterated);
}
BENCHMARK(BM_ReferenceArrayIterate_JArray);

void BM_ReferenceArrayIterate_SharedPtrVector(benchmark::State& state) {
    std::vector<std::shared_ptr<std::u16string>> array = decimalStringVector();
    for (auto _ : state) {
        long long total = 0;
        for (size_t i = 0; i < array.size(); ++i) {
            std::shared_ptr<std::u16string> element = array[i];
            total += static_cast<long long>(element->size());
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kIterated);
}
BENCHMARK(BM_ReferenceArrayIterate_SharedPtrVector);

// Without count traffic: elements read through const references on both sides.
void BM_ReferenceArrayIterateInPlace_JArray(benchmark::State& state) {
    JavaPtr<JArray<JavaPtr<String>>> array = decimalStringArray();
    for (auto _ : state) {
        long long total = 0;
        for (const JavaPtr<String>& element : *array) total += element->length();
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kIterated);
}
BENCHMARK(BM_ReferenceArrayIterateInPlace_JArray);

void BM_ReferenceArrayIterateInPlace_SharedPtrVector(benchmark::State& state) {
    std::vector<std::shared_ptr<std::u16string>> array = decimalStringVector();
    for (auto _ : state) {
        long long total = 0;
        for (const std::shared_ptr<std::u16string>& element : array)
            total += static_cast<long long>(element->size());
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kIterated);
}
BENCHMARK(BM_ReferenceArrayIterateInPlace_SharedPtrVector);

}  // namespace
