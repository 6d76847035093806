// Runtime threads that run: identity, liveness, join, reclaiming of finished threads, exceptions
// escaping run, concurrent creation, and tear-down while a thread still runs.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "runtime/IllegalStateException.h"
#include "runtime/String.h"
#include "tests/library/ThreadFixture.h"

namespace threadtest {
namespace {

using java::lang::String;

using ThreadConcurrencyTest = ThreadFixture;

// A thread without a target runs its subclass's run().
class CountingThread : public Thread {
    TESL_CLASS(CountingThread, "threadtest.CountingThread", Thread)
public:
    CountingThread() noexcept {}
    void run() override {
        runs.fetch_add(1);
        seenAsCurrent = Thread::currentThread().get() == this;
    }
    std::atomic<int> runs{0};
    std::atomic<bool> seenAsCurrent{false};
};

TEST_F(ThreadConcurrencyTest, RunSeesItsOwnThreadAsCurrentAndIsAliveOnlyWhileRunning) {
    std::atomic<bool> release{false};
    std::atomic<bool> running{false};
    JavaPtr<Thread> seen;
    JavaPtr<Thread> thread = jnew<Thread>(runnable([&] {
        seen = Thread::currentThread();
        running = true;
        waitUntil([&] { return release.load(); });
    }));
    EXPECT_FALSE(thread->isAlive());
    thread->start();
    waitUntil([&] { return running.load(); });
    EXPECT_TRUE(thread->isAlive());
    EXPECT_EQ(seen, thread);
    EXPECT_FALSE(Thread::currentThread());
    release = true;
    thread->join();
    EXPECT_FALSE(thread->isAlive());
    seen = nullptr;
}

TEST_F(ThreadConcurrencyTest, AThreadWithoutTargetRunsItsOwnRunOnceHoweverOftenStarted) {
    JavaPtr<CountingThread> thread = jnew<CountingThread>();
    thread->start();
    thread->start();
    thread->join();
    thread->start();
    thread->join();
    EXPECT_EQ(thread->runs.load(), 1);
    EXPECT_TRUE(thread->seenAsCurrent.load());
}

TEST_F(ThreadConcurrencyTest, AFinishedUnheldThreadIsReclaimedAndItsSlotAndNameReused) {
    bool destroyed = false;
    {
        JavaPtr<Thread> finished = startThread([] {});
        finished->join();
        EXPECT_EQ(ThreadImp::numTerminatedThreads.load(), 1);
    }
    // Only the pool holds it now; the next creation reclaims it first.
    EXPECT_EQ(Thread::activeCount(), 1);
    JavaPtr<Thread> next = jnew<Thread>(runnable([&] { destroyed = true; }));
    EXPECT_EQ(next->slot, 0);
    EXPECT_EQ(toUtf8(next->getName()), "Thread-0");
    EXPECT_EQ(Thread::activeCount(), 1);
    EXPECT_EQ(ThreadImp::numTerminatedThreads.load(), 0);
    EXPECT_EQ(Thread::numRunningThreads.load(), 0);
    EXPECT_FALSE(destroyed);
}

TEST_F(ThreadConcurrencyTest, AFinishedThreadStillHeldKeepsItsSlot) {
    JavaPtr<Thread> held = startThread([] {});
    held->join();
    JavaPtr<Thread> next = jnew<Thread>(runnable({}));
    EXPECT_EQ(held->slot, 0);
    EXPECT_EQ(next->slot, 1);
    EXPECT_EQ(Thread::activeCount(), 2);
    EXPECT_EQ(toUtf8(held->getName()), "Thread-0");
}

TEST_F(ThreadConcurrencyTest, AnExceptionEscapingRunEndsOnlyThatThread) {
    struct Case {
        const char* what;
        std::function<void()> body;
        const char* expectedReport;
    };
    const std::vector<Case> cases = {
        {"runtime exception", [] { throw java::lang::IllegalStateException(); },
         "uncaught java.lang.IllegalStateException"},
        {"C++ exception", [] { throw std::runtime_error("broken"); }, "uncaught C++ exception: broken"},
        {"anything else", [] { throw 42; }, "uncaught exception of unknown type"},
    };
    for (const Case& c : cases) {
        ::testing::internal::CaptureStderr();
        JavaPtr<Thread> failing = jnew<Thread>(runnable(c.body), jnew<String>("failing"));
        failing->start();
        failing->join();
        const std::string report = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(failing->isAlive()) << c.what;
        EXPECT_NE(report.find("failing"), std::string::npos) << report;
        EXPECT_NE(report.find(c.expectedReport), std::string::npos) << report;
    }
    // The process and the pool go on working.
    std::atomic<bool> ran{false};
    JavaPtr<Thread> after = startThread([&] { ran = true; });
    after->join();
    EXPECT_TRUE(ran.load());
}

TEST_F(ThreadConcurrencyTest, ThreadsCreatedFromManyThreadsAtOnceAllRunAndAreReclaimed) {
    constexpr int kCreators = 4;
    constexpr int kThreadsEach = 40;
    std::atomic<int> runs{0};
    std::vector<JavaPtr<Thread>> creators;
    for (int c = 0; c < kCreators; ++c) {
        creators.push_back(startThread([&] {
            for (int i = 0; i < kThreadsEach; ++i) {
                JavaPtr<Thread> child = startThread([&] {
                    runs.fetch_add(1);
                    EXPECT_TRUE(Thread::currentThread());
                });
                if (i % 2 == 0) child->join();
            }
        }));
    }
    for (auto& creator : creators) creator->join();
    creators.clear();
    waitUntil([] { return Thread::numRunningThreads.load() == ThreadImp::numTerminatedThreads.load(); });
    EXPECT_EQ(runs.load(), kCreators * kThreadsEach);
    // Every thread has finished and nobody holds one: a step reclaims them all.
    Thread::iterateThreads();
    EXPECT_EQ(Thread::activeCount(), 0);
    EXPECT_EQ(Thread::numRunningThreads.load(), 0);
    EXPECT_EQ(ThreadImp::numTerminatedThreads.load(), 0);
    EXPECT_LE(Thread::threadPoolSize.load(), kCreators * kThreadsEach + kCreators);
}

TEST_F(ThreadConcurrencyTest, TearDownWhileAThreadRunsLeavesItRunningOutsideThePool) {
    std::atomic<bool> release{false};
    std::atomic<bool> running{false};
    std::atomic<int> currentAfterTearDown{-1};
    JavaPtr<Thread> survivor = startThread([&] {
        running = true;
        waitUntil([&] { return release.load(); });
        currentAfterTearDown = Thread::currentThread() ? 1 : 0;
    });
    waitUntil([&] { return running.load(); });
    Thread::tidyUpNormal();

    JavaPtr<Thread> fresh = jnew<Thread>(runnable({}));
    EXPECT_EQ(fresh->slot, 0);
    release = true;
    survivor->join();
    EXPECT_EQ(currentAfterTearDown.load(), 0);
    EXPECT_FALSE(survivor->isAlive());
    // Its old slot now belongs to the fresh pool's thread, which the survivor's end did not disturb.
    EXPECT_EQ(Thread::activeCount(), 1);
    EXPECT_EQ(fresh->slot, 0);
}

TEST_F(ThreadConcurrencyTest, JoinWaitsForAThreadThatSleeps) {
    std::atomic<bool> finished{false};
    const auto start = std::chrono::steady_clock::now();
    JavaPtr<Thread> sleeper = startThread([&] {
        Thread::sleep(60);
        finished = true;
    });
    sleeper->join();
    EXPECT_TRUE(finished.load());
    EXPECT_GE(elapsedMillisSince(start), 60);
}

}  // namespace
}  // namespace threadtest
