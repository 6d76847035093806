// The monitor's compare-and-swap fast path against its ticket queue: sections stay exclusive, no thread
// is left queued when an owner leaves without the mutex, and a monitor ends free with no ticket out.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "runtime/LockObject.h"
#include "runtime/Object.h"
#include "runtime/ObjectMonitor.h"
#include "tests/support/Eventually.h"
#include "tests/support/Watchdog.h"

namespace {

using java::lang::Object;
using java::lang::ObjectMonitor;
using java::lang::Smart;

// A plain counter guarded only by the monitor: ThreadSanitizer sees a race if a fast entry or exit
// does not order the sections.
TEST(MonitorFastPathConcurrency, SectionsStayExclusiveAcrossFastAndQueuedEntries) {
    testsupport::Watchdog watchdog;
    constexpr int kThreads = 4;
    constexpr int kSections = 4000;
    JavaPtr<Object> lock = jnew<Object>();
    long long counter = 0;
    std::atomic<int> inside{0};
    std::atomic<bool> overlap{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kSections; ++i) {
                JavaPtr<LockObject> token(lock->startSync());
                if (inside.fetch_add(1) != 0) overlap = true;
                counter = counter + 1;
                inside.fetch_sub(1);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(counter, static_cast<long long>(kThreads) * kSections);
    EXPECT_FALSE(overlap.load());
    EXPECT_EQ(lock->m_monitorOwner.load(), Smart::kMonitorFree);
    EXPECT_EQ(lock->m_nowServing.load(), 0);
    EXPECT_EQ(lock->m_nextTicket.load(), 0);
}

// Over and over, a holder that took the monitor by the fast path leaves while another thread queues:
// the queued thread always gets in, whichever of the two sees the other first.
TEST(MonitorFastPathConcurrency, AThreadQueuedWhileTheOwnerLeavesWithoutTheMutexGetsIn) {
    testsupport::Watchdog watchdog;
    constexpr int kRounds = 300;
    std::atomic<int> inside{0};
    for (int round = 0; round < kRounds; ++round) {
        JavaPtr<Object> lock = jnew<Object>();
        std::atomic<bool> entered{false};
        std::atomic<bool> ready{false};
        std::atomic<bool> entering{false};
        std::thread holder([&] {
            JavaPtr<LockObject> token(lock->startSync());
            ready = true;
            while (!entering.load()) std::this_thread::yield();
            // Leave after a delay that differs from round to round, so that the leave falls before,
            // during and after the other thread's ticket.
            for (int spin = (round * 37) % 3000; spin > 0; --spin) inside.fetch_add(0);
        });
        ASSERT_TRUE(testsupport::eventually([&] { return ready.load(); }));
        std::thread entrant([&] {
            entering = true;
            JavaPtr<LockObject> token(lock->startSync());
            entered = true;
        });
        entrant.join();
        holder.join();
        EXPECT_TRUE(entered.load()) << "round " << round;
        EXPECT_EQ(lock->m_monitorOwner.load(), Smart::kMonitorFree) << "round " << round;
        EXPECT_EQ(lock->m_nextTicket.load(), 0) << "round " << round;
    }
}

// Re-entry on the fast path gives no token, and the outer token's exit frees the monitor.
TEST(MonitorFastPathConcurrency, ReentryOnTheFastPathGivesNoTokenAndTheOuterExitFrees) {
    JavaPtr<Object> lock = jnew<Object>();
    std::thread([&] {
        JavaPtr<LockObject> outer(lock->startSync());
        EXPECT_EQ(lock->m_monitorOwner.load(), ObjectMonitor::currentThreadToken());
        JavaPtr<LockObject> inner(lock->startSync());
        EXPECT_FALSE(inner);
    }).join();
    EXPECT_EQ(lock->m_monitorOwner.load(), Smart::kMonitorFree);
}

}  // namespace
