// Vector and Hashtable beside the standard containers doing the same work on the same references in
// the same run. The Hashtable baseline uses the keys' own hashCode and equals.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "library/Enumeration.h"
#include "library/Hashtable.h"
#include "library/Vector.h"
#include "runtime/String.h"

namespace {

using java::lang::Object;
using java::lang::String;
using java::util::Hashtable;
using java::util::Vector;

std::vector<JavaPtr<Object>> objects(int64_t n) {
    std::vector<JavaPtr<Object>> out;
    for (int64_t i = 0; i < n; ++i) out.push_back(jnew<Object>());
    return out;
}

// Keys like the resource names and record keys of the application.
std::vector<JavaPtr<String>> stringKeys(int64_t n) {
    std::vector<JavaPtr<String>> out;
    for (int64_t i = 0; i < n; ++i) {
        std::string text = "question_" + std::to_string(i * 7919 % 100003) + "_text";
        out.push_back(jnew<String>(text.c_str()));
    }
    return out;
}

void BM_Add_Vector(benchmark::State& state) {
    auto items = objects(state.range(0));
    for (auto _ : state) {
        JavaPtr<Vector> v = jnew<Vector>();
        for (const auto& item : items) v->addElement(item);
        benchmark::DoNotOptimize(v.get());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Add_Vector)->Arg(16)->Arg(1000)->Arg(10000);

void BM_Add_StdVector(benchmark::State& state) {
    auto items = objects(state.range(0));
    for (auto _ : state) {
        std::vector<JavaPtr<Object>> v;
        for (const auto& item : items) v.push_back(item);
        benchmark::DoNotOptimize(v.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Add_StdVector)->Arg(16)->Arg(1000)->Arg(10000);

void BM_Get_Vector(benchmark::State& state) {
    auto items = objects(state.range(0));
    JavaPtr<Vector> v = jnew<Vector>();
    for (const auto& item : items) v->addElement(item);
    for (auto _ : state) {
        for (int i = 0; i < v->size(); ++i) {
            JavaPtr<Object> element = v->elementAt(i);
            benchmark::DoNotOptimize(element.get());
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Get_Vector)->Arg(1000);

void BM_Get_StdVector(benchmark::State& state) {
    auto items = objects(state.range(0));
    std::vector<JavaPtr<Object>> v(items.begin(), items.end());
    for (auto _ : state) {
        for (size_t i = 0; i < v.size(); ++i) {
            JavaPtr<Object> element = v.at(i);
            benchmark::DoNotOptimize(element.get());
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Get_StdVector)->Arg(1000);

// Removal from the front until empty: every removal shifts the rest.
void BM_RemoveFront_Vector(benchmark::State& state) {
    auto items = objects(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        JavaPtr<Vector> v = jnew<Vector>(static_cast<int>(items.size()));
        for (const auto& item : items) v->addElement(item);
        state.ResumeTiming();
        while (!v->isEmpty()) v->removeElementAt(0);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RemoveFront_Vector)->Arg(1000);

void BM_RemoveFront_StdVector(benchmark::State& state) {
    auto items = objects(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<JavaPtr<Object>> v(items.begin(), items.end());
        state.ResumeTiming();
        while (!v.empty()) v.erase(v.begin());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RemoveFront_StdVector)->Arg(1000);

struct KeyHash {
    size_t operator()(const JavaPtr<Object>& key) const { return static_cast<uint32_t>(key->hashCode()); }
};
struct KeyEquals {
    bool operator()(const JavaPtr<Object>& a, const JavaPtr<Object>& b) const { return a->equals(b); }
};
using StdTable = std::unordered_map<JavaPtr<Object>, JavaPtr<Object>, KeyHash, KeyEquals>;

void BM_Put_Hashtable(benchmark::State& state) {
    auto keys = stringKeys(state.range(0));
    JavaPtr<Object> value = jnew<Object>();
    for (auto _ : state) {
        JavaPtr<Hashtable> table = jnew<Hashtable>();
        for (const auto& key : keys) table->put(key, value);
        benchmark::DoNotOptimize(table.get());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Put_Hashtable)->Arg(16)->Arg(1000)->Arg(10000);

void BM_Put_StdUnorderedMap(benchmark::State& state) {
    auto keys = stringKeys(state.range(0));
    JavaPtr<Object> value = jnew<Object>();
    for (auto _ : state) {
        StdTable table;
        for (const auto& key : keys) table[key] = value;
        benchmark::DoNotOptimize(&table);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Put_StdUnorderedMap)->Arg(16)->Arg(1000)->Arg(10000);

// Lookups with equal keys that are other String objects, as callers that build a key make them.
void BM_Get_Hashtable(benchmark::State& state) {
    auto keys = stringKeys(state.range(0));
    auto probes = stringKeys(state.range(0));
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    for (const auto& key : keys) table->put(key, key);
    for (auto _ : state) {
        for (const auto& probe : probes) {
            JavaPtr<Object> found = table->get(probe);
            benchmark::DoNotOptimize(found.get());
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Get_Hashtable)->Arg(16)->Arg(1000)->Arg(10000);

void BM_Get_StdUnorderedMap(benchmark::State& state) {
    auto keys = stringKeys(state.range(0));
    auto probes = stringKeys(state.range(0));
    StdTable table;
    for (const auto& key : keys) table[key] = key;
    for (auto _ : state) {
        for (const auto& probe : probes) {
            auto found = table.find(probe);
            benchmark::DoNotOptimize(found->second.get());
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Get_StdUnorderedMap)->Arg(16)->Arg(1000)->Arg(10000);

}  // namespace
