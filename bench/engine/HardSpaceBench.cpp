// Hard-space replacement of the longest text an ENC string could once carry (32767 characters, a hard
// space in every word) beside a plain copy of the same String, in one run: every wrapped line passes
// through the replacement, so it should cost about what copying the line costs.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/HookCanvas.h"
#include "runtime/String.h"

using java::lang::String;

namespace {

constexpr int kLength = 32767;

// Words of two to seven letters, joined by ordinary spaces and by both hard spaces in turn.
const JavaPtr<String>& longText() {
    static const JavaPtr<String> text = [] {
        std::u16string units;
        static const char16_t kJoins[] = {u' ', u'\u00a0', u' ', u'\u00ac'};
        for (int word = 0; units.size() < static_cast<size_t>(kLength); ++word) {
            units.append(static_cast<size_t>(2 + word % 6), static_cast<char16_t>(u'a' + word % 26));
            units.push_back(kJoins[word % 4]);
        }
        units.resize(kLength);
        return jnew<String>(reinterpret_cast<const unsigned short*>(units.data()), kLength);
    }();
    return text;
}

void BM_ReplaceHardSpaces32767(benchmark::State& state) {
    const JavaPtr<String>& text = longText();
    for (auto _ : state) benchmark::DoNotOptimize(HookCanvas::replaceHardSpaces(text).get());
    state.SetItemsProcessed(state.iterations() * kLength);
}
BENCHMARK(BM_ReplaceHardSpaces32767);

void BM_BaselineStringCopy32767(benchmark::State& state) {
    const JavaPtr<String>& text = longText();
    for (auto _ : state) benchmark::DoNotOptimize(jnew<String>(text).get());
    state.SetItemsProcessed(state.iterations() * kLength);
}
BENCHMARK(BM_BaselineStringCopy32767);

}  // namespace
