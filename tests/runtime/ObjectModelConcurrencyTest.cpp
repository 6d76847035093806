#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "runtime/Object.h"

namespace {

std::atomic<int> destroyedCount{0};

class Shared : public java::lang::Object {
    TESL_CLASS(Shared, "tests.Shared", java::lang::Object)
public:
    ~Shared() override { destroyedCount.fetch_add(1); }
    int payload = 42;
};

TEST(ObjectModelConcurrency, CopyingOneSharedReferenceFromManyThreadsKeepsTheCountExact) {
    destroyedCount = 0;
    JavaPtr<Shared> shared = jnew<Shared>();
    std::atomic<long> seen{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            long local = 0;
            for (int i = 0; i < 20000; ++i) {
                JavaPtr<Shared> copy = shared;
                JavaPtr<java::lang::Object> up = copy;
                local += copy->payload;
            }
            seen += local;
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(seen.load(), 4L * 20000 * 42);
    EXPECT_EQ(shared->m_referenceCount.load(), 1);
    EXPECT_EQ(destroyedCount.load(), 0);
    shared = nullptr;
    EXPECT_EQ(destroyedCount.load(), 1);
}

TEST(ObjectModelConcurrency, LastReleaseOnAnotherThreadFreesOnce) {
    destroyedCount = 0;
    for (int round = 0; round < 200; ++round) {
        JavaPtr<Shared> a = jnew<Shared>();
        JavaPtr<Shared> b = a;
        std::thread other([moved = std::move(b)]() mutable { moved = nullptr; });
        a = nullptr;
        other.join();
    }
    EXPECT_EQ(destroyedCount.load(), 200);
}

}  // namespace
