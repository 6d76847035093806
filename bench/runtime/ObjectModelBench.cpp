// Object model costs beside the standard library's nearest equivalents.
#include <benchmark/benchmark.h>

#include <memory>

#include "runtime/Object.h"
#include "runtime/Runnable.h"

namespace {

class Base : public java::lang::Object {
    TESL_CLASS(Base, "bench.Base", java::lang::Object)
public:
    int value = 1;
};
class Middle : public Base {
    TESL_CLASS(Middle, "bench.Middle", Base)
};
class Leaf : public Middle, public java::lang::Runnable {
    TESL_CLASS(Leaf, "bench.Leaf", Middle, java::lang::Runnable)
public:
    void run() override {}
};
class Other : public Base {
    TESL_CLASS(Other, "bench.Other", Base)
};

void JavaPtrCopyAndDrop(benchmark::State& state) {
    JavaPtr<Base> source = jnew<Leaf>();
    for (auto _ : state) {
        JavaPtr<Base> copy = source;
        benchmark::DoNotOptimize(copy.get());
    }
}
BENCHMARK(JavaPtrCopyAndDrop);

void SharedPtrCopyAndDrop(benchmark::State& state) {
    std::shared_ptr<Base> source = std::make_shared<Leaf>();
    for (auto _ : state) {
        std::shared_ptr<Base> copy = source;
        benchmark::DoNotOptimize(copy.get());
    }
}
BENCHMARK(SharedPtrCopyAndDrop);

void JavaPtrMove(benchmark::State& state) {
    JavaPtr<Base> a = jnew<Leaf>();
    JavaPtr<Base> b;
    for (auto _ : state) {
        b = std::move(a);
        a = std::move(b);
        benchmark::DoNotOptimize(a.get());
    }
}
BENCHMARK(JavaPtrMove);

void SharedPtrMove(benchmark::State& state) {
    std::shared_ptr<Base> a = std::make_shared<Leaf>();
    std::shared_ptr<Base> b;
    for (auto _ : state) {
        b = std::move(a);
        a = std::move(b);
        benchmark::DoNotOptimize(a.get());
    }
}
BENCHMARK(SharedPtrMove);

void JnewCreate(benchmark::State& state) {
    for (auto _ : state) {
        JavaPtr<Leaf> object = jnew<Leaf>();
        benchmark::DoNotOptimize(object.get());
    }
}
BENCHMARK(JnewCreate);

void MakeSharedCreate(benchmark::State& state) {
    for (auto _ : state) {
        std::shared_ptr<Leaf> object = std::make_shared<Leaf>();
        benchmark::DoNotOptimize(object.get());
    }
}
BENCHMARK(MakeSharedCreate);

void CastByTypeIdSucceeds(benchmark::State& state) {
    JavaPtr<java::lang::Object> object = jnew<Leaf>();
    java::lang::Smart* counted = object.counted();
    benchmark::DoNotOptimize(counted);
    for (auto _ : state) benchmark::DoNotOptimize(recastObj(counted, java::lang::Runnable::TESLclassTypeID));
}
BENCHMARK(CastByTypeIdSucceeds);

void DynamicCastSucceeds(benchmark::State& state) {
    std::unique_ptr<java::lang::Object> object(new Leaf());
    java::lang::Object* p = object.get();
    benchmark::DoNotOptimize(p);
    for (auto _ : state) benchmark::DoNotOptimize(dynamic_cast<java::lang::Runnable*>(p));
}
BENCHMARK(DynamicCastSucceeds);

void CastByTypeIdFails(benchmark::State& state) {
    JavaPtr<java::lang::Object> object = jnew<Leaf>();
    java::lang::Smart* counted = object.counted();
    benchmark::DoNotOptimize(counted);
    for (auto _ : state) benchmark::DoNotOptimize(recastObj(counted, Other::TESLclassTypeID));
}
BENCHMARK(CastByTypeIdFails);

void DynamicCastFails(benchmark::State& state) {
    std::unique_ptr<java::lang::Object> object(new Leaf());
    java::lang::Object* p = object.get();
    benchmark::DoNotOptimize(p);
    for (auto _ : state) benchmark::DoNotOptimize(dynamic_cast<Other*>(p));
}
BENCHMARK(DynamicCastFails);

// The full reference cast (count traffic included) against a dynamic_pointer_cast.
void JcastReference(benchmark::State& state) {
    JavaPtr<java::lang::Object> object = jnew<Leaf>();
    for (auto _ : state) {
        JavaPtr<Middle> middle = jcast<Middle>(object);
        benchmark::DoNotOptimize(middle.get());
    }
}
BENCHMARK(JcastReference);

void DynamicPointerCast(benchmark::State& state) {
    std::shared_ptr<java::lang::Object> object = std::make_shared<Leaf>();
    for (auto _ : state) {
        std::shared_ptr<Middle> middle = std::dynamic_pointer_cast<Middle>(object);
        benchmark::DoNotOptimize(middle.get());
    }
}
BENCHMARK(DynamicPointerCast);

}  // namespace
