// Strings and arrays shared between threads: the lazily made parts (8-bit copy, hash, array name) must be
// made without a data race and be the same for every thread.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "runtime/JArray.h"
#include "runtime/String.h"

namespace {

using java::lang::String;

constexpr int kThreads = 8;

TEST(StringConcurrency, ThreadsShareOneEightBitCopyAndOneHash) {
    for (int round = 0; round < 50; ++round) {
        JavaPtr<String> text = jnew<String>("shared question text");
        std::vector<char*> copies(kThreads);
        std::vector<int32_t> hashes(kThreads);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                copies[t] = text->val();
                hashes[t] = text->hashCode();
            });
        }
        for (std::thread& thread : threads) thread.join();
        for (int t = 0; t < kThreads; ++t) {
            EXPECT_EQ(copies[t], copies[0]);
            EXPECT_STREQ(copies[t], "shared question text");
            EXPECT_EQ(hashes[t], hashes[0]);
        }
    }
}

TEST(StringConcurrency, ThreadsNameASharedArray) {
    for (int round = 0; round < 50; ++round) {
        JavaPtr<JArray<unsigned int>> glyphs = jnew<JArray<unsigned int>>(4);
        std::vector<const char*> names(kThreads);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] { names[t] = glyphs->getClassTypeName(); });
        }
        for (std::thread& thread : threads) thread.join();
        for (const char* name : names) EXPECT_STREQ(name, "[UI");
    }
}

}  // namespace
