// Arrays shared between threads: naming and instanceof tests on one array from many threads, and
// references read out of a shared array while other threads drop theirs.
#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

#include "runtime/JArray.h"
#include "runtime/String.h"

namespace {

using java::lang::Object;
using java::lang::String;

constexpr int kThreads = 8;

TEST(JArrayConcurrency, ThreadsTestTheDimensionsOfASharedArray) {
    using Grid = JArray<JavaPtr<JArray<int>>>;
    for (int round = 0; round < 200; ++round) {
        JavaPtr<Grid> grid = jnew<Grid>(2);
        std::vector<int> answers(kThreads, -1);
        std::latch start(kThreads);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                start.arrive_and_wait();  // all at once, so that several threads write the first count
                // Each test (typed casts too) names the array, writing its dimension count, then reads it.
                answers[t] = instanceofArray(grid.get(), JArray<int>::TESLclassTypeID, 2) &&
                             !instanceofArray(grid.get(), JArray<int>::TESLclassTypeID, 1) &&
                             instanceofArray(grid.get(), Object::TESLclassTypeID, 1) &&
                             jinstanceof<Grid>(grid) && !jinstanceof<JArray<int>>(grid);
            });
        }
        for (std::thread& thread : threads) thread.join();
        for (int answer : answers) EXPECT_EQ(answer, 1);
    }
}

TEST(JArrayConcurrency, ElementsReadFromManyThreadsKeepExactCounts) {
    JavaPtr<JArray<JavaPtr<String>>> names = jnew<JArray<JavaPtr<String>>>(4);
    for (int i = 0; i < names->length; ++i) names->data[i] = jnew<String>(i + 10);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int pass = 0; pass < 2000; ++pass) {
                JavaPtr<String> name = names->data[pass % 4];
                JavaPtr<Object> asObject = name;
                EXPECT_EQ(name->length(), 2);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (const JavaPtr<String>& name : *names) EXPECT_EQ(name->m_referenceCount.load(), 1);
}

}  // namespace
