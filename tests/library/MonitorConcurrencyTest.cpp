// Monitors shared between threads: mutual exclusion for runtime and other threads alike, fair
// hand-over, wait and notify with the orders and timeouts they promise, and a bounded buffer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "runtime/IllegalMonitorStateException.h"
#include "runtime/ObjectMonitor.h"
#include "tests/library/ThreadFixture.h"

namespace threadtest {
namespace {

using java::lang::IllegalMonitorStateException;
using java::lang::ObjectMonitor;
using java::lang::Smart;

using MonitorConcurrencyTest = ThreadFixture;

// Keeps track of the order in which threads did something.
class Order {
public:
    void add(int who) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_order.push_back(who);
    }
    std::vector<int> get() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_order;
    }

private:
    std::mutex m_mutex;
    std::vector<int> m_order;
};

class SynchronizedCounterTest : public ThreadFixture, public ::testing::WithParamInterface<int> {};

// Half the workers are runtime threads, half plain C++ threads, and the test thread joins in: none
// of them may lose an update to a counter that only the monitor guards.
TEST_P(SynchronizedCounterTest, NoUpdateIsLostWhateverKindOfThreadEnters) {
    const int workers = GetParam();
    constexpr int kIncrements = 1000;
    JavaPtr<Object> lock = jnew<Object>();
    long long counter = 0;
    std::atomic<int> insideAtOnce{0};
    std::atomic<bool> overlapSeen{false};
    auto work = [&] {
        for (int i = 0; i < kIncrements; ++i) {
            synchronizedOn(lock, [&] {
                if (insideAtOnce.fetch_add(1) != 0) overlapSeen = true;
                // Re-entry on the way must neither deadlock nor leave early.
                synchronizedOn(lock, [&] { counter = counter + 1; });
                insideAtOnce.fetch_sub(1);
            });
        }
    };
    std::vector<JavaPtr<Thread>> runtimeThreads;
    std::vector<std::thread> plainThreads;
    for (int w = 0; w < workers; ++w) {
        if (w % 2 == 0) {
            runtimeThreads.push_back(startThread(work));
        } else {
            plainThreads.emplace_back(work);
        }
    }
    work();
    for (auto& thread : runtimeThreads) thread->join();
    for (auto& thread : plainThreads) thread.join();
    EXPECT_EQ(counter, static_cast<long long>(workers + 1) * kIncrements);
    EXPECT_FALSE(overlapSeen.load());
    EXPECT_EQ(lock->m_monitorOwner.load(), Smart::kMonitorFree);
    EXPECT_EQ(lock->m_nextTicket.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Workers, SynchronizedCounterTest, ::testing::Values(4, 8));

TEST_F(MonitorConcurrencyTest, QueuedThreadsEnterInTicketOrderAndTheLastLeavesItFree) {
    JavaPtr<Object> lock = jnew<Object>();
    Order order;
    std::vector<JavaPtr<Thread>> queued;
    {
        JavaPtr<LockObject> held(lock->startSync());
        for (int who = 1; who <= 4; ++who) {
            queued.push_back(startThread([&, who] { synchronizedOn(lock, [&] { order.add(who); }); }));
            waitUntil([&] { return lock->m_nextTicket.load() == who; });
        }
    }
    for (auto& thread : queued) thread->join();
    EXPECT_EQ(order.get(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(lock->m_monitorOwner.load(), Smart::kMonitorFree);
    EXPECT_EQ(lock->m_nowServing.load(), 0);
    EXPECT_EQ(lock->m_nextTicket.load(), 0);
}

TEST_F(MonitorConcurrencyTest, AThreadQueuesUntilTheOuterBlockOfAReentrantHolderEnds) {
    JavaPtr<Object> lock = jnew<Object>();
    std::atomic<bool> entered{false};
    JavaPtr<Thread> other;
    {
        JavaPtr<LockObject> outer(lock->startSync());
        {
            JavaPtr<LockObject> inner(lock->startSync());
            other = startThread([&] { synchronizedOn(lock, [&] { entered = true; }); });
            waitUntil([&] { return lock->m_nextTicket.load() == 1; });
        }
        EXPECT_FALSE(entered.load());
        EXPECT_EQ(lock->m_monitorOwner.load(), ObjectMonitor::currentThreadToken());
    }
    other->join();
    EXPECT_TRUE(entered.load());
}

TEST_F(MonitorConcurrencyTest, AnExceptionInsideABlockLetsAQueuedThreadIn) {
    JavaPtr<Object> lock = jnew<Object>();
    std::atomic<bool> entered{false};
    JavaPtr<Thread> other;
    EXPECT_THROW(synchronizedOn(lock,
                                [&] {
                                    other =
                                        startThread([&] { synchronizedOn(lock, [&] { entered = true; }); });
                                    waitUntil([&] { return lock->m_nextTicket.load() == 1; });
                                    throw java::lang::IllegalMonitorStateException();
                                }),
                 IllegalMonitorStateException);
    other->join();
    EXPECT_TRUE(entered.load());
}

TEST_F(MonitorConcurrencyTest, WaitInsideAReentrantBlockLetsOthersInAndReturnsHoldingTheMonitor) {
    JavaPtr<Object> lock = jnew<Object>();
    std::atomic<bool> ownerAfterWait{false};
    std::atomic<int> stillHeldAfterInnerBlock{-1};
    JavaPtr<Thread> waiter = startThread([&] {
        synchronizedOn(lock, [&] {
            synchronizedOn(lock, [&] {
                lock->wait();
                ownerAfterWait = lock->m_monitorOwner.load() == ObjectMonitor::currentThreadToken();
            });
            stillHeldAfterInnerBlock = lock->m_monitorOwner.load() == ObjectMonitor::currentThreadToken();
        });
    });
    waitUntil([&] { return lock->m_waitingThreads.load() == 1; });
    // The waiter gave the monitor up whole: the test thread enters without queueing.
    synchronizedOn(lock, [&] {
        EXPECT_EQ(lock->m_nextTicket.load(), 0);
        lock->notify();
    });
    waiter->join();
    EXPECT_TRUE(ownerAfterWait.load());
    EXPECT_EQ(stillHeldAfterInnerBlock.load(), 1);
    EXPECT_EQ(lock->m_monitorOwner.load(), Smart::kMonitorFree);
    EXPECT_EQ(lock->m_pendingNotifications.load(), 0);
    EXPECT_EQ(lock->m_waitingThreads.load(), 0);
}

// With a shared counter of notifications, a notify could be taken by any waiter, or by one that came
// after it. Here each goes to the longest waiter, and later waiters keep waiting.
TEST_F(MonitorConcurrencyTest, EachNotifyWakesTheLongestWaiterOnly) {
    JavaPtr<Object> lock = jnew<Object>();
    Order woken;
    std::vector<JavaPtr<Thread>> waiters;
    for (int who = 1; who <= 3; ++who) {
        waiters.push_back(startThread([&, who] {
            synchronizedOn(lock, [&] {
                lock->wait();
                woken.add(who);
            });
        }));
        waitUntil([&] { return lock->m_waitingThreads.load() == who; });
    }
    for (int round = 1; round <= 3; ++round) {
        synchronizedOn(lock, [&] { lock->notify(); });
        waitUntil([&] { return woken.get().size() == static_cast<size_t>(round); });
        // The others are still inside wait, untouched by this notification.
        EXPECT_EQ(lock->m_waitingThreads.load(), 3 - round);
        EXPECT_EQ(lock->m_pendingNotifications.load(), 0);
    }
    for (auto& thread : waiters) thread->join();
    EXPECT_EQ(woken.get(), (std::vector<int>{1, 2, 3}));
}

// The lost wake-up: a thread that calls wait() after a notify was given must not take it from the
// thread it was given to.
TEST_F(MonitorConcurrencyTest, AWaiterArrivingAfterANotifyDoesNotTakeIt) {
    JavaPtr<Object> lock = jnew<Object>();
    std::atomic<bool> firstReturned{false};
    std::atomic<bool> lateReturned{false};
    JavaPtr<Thread> first = startThread([&] {
        synchronizedOn(lock, [&] {
            lock->wait();
            firstReturned = true;
        });
    });
    waitUntil([&] { return lock->m_waitingThreads.load() == 1; });
    JavaPtr<Thread> late;
    {
        JavaPtr<LockObject> held(lock->startSync());
        late = startThread([&] {
            synchronizedOn(lock, [&] {
                lock->wait();
                lateReturned = true;
            });
        });
        waitUntil([&] { return lock->m_nextTicket.load() == 1; });
        lock->notify();
        // The notified thread queues behind the late one, which reaches wait() first.
        waitUntil([&] { return lock->m_nextTicket.load() == 2; });
    }
    first->join();
    EXPECT_TRUE(firstReturned.load());
    EXPECT_FALSE(lateReturned.load());
    waitUntil([&] { return lock->m_waitingThreads.load() == 1; });
    synchronizedOn(lock, [&] { lock->notify(); });
    late->join();
    EXPECT_TRUE(lateReturned.load());
}

TEST_F(MonitorConcurrencyTest, NotifyAllReleasesEveryWaiterOneAtATime) {
    JavaPtr<Object> lock = jnew<Object>();
    std::atomic<int> insideAtOnce{0};
    std::atomic<bool> overlapSeen{false};
    std::atomic<int> returned{0};
    std::vector<JavaPtr<Thread>> waiters;
    for (int who = 1; who <= 3; ++who) {
        waiters.push_back(startThread([&] {
            synchronizedOn(lock, [&] {
                lock->wait();
                if (insideAtOnce.fetch_add(1) != 0) overlapSeen = true;
                Thread::sleep(5);
                insideAtOnce.fetch_sub(1);
                returned.fetch_add(1);
            });
        }));
    }
    waitUntil([&] { return lock->m_waitingThreads.load() == 3; });
    synchronizedOn(lock, [&] {
        lock->notifyAll();
        // Nobody is left to notify: a second call must not leave a notification behind.
        lock->notifyAll();
    });
    for (auto& thread : waiters) thread->join();
    EXPECT_EQ(returned.load(), 3);
    EXPECT_FALSE(overlapSeen.load());
    EXPECT_EQ(lock->m_pendingNotifications.load(), 0);
    EXPECT_EQ(lock->m_monitorOwner.load(), Smart::kMonitorFree);
}

TEST_F(MonitorConcurrencyTest, ATimedWaitEndsEarlyWhenNotifiedAndATimedOutWaiterTakesNothing) {
    JavaPtr<Object> lock = jnew<Object>();
    std::atomic<bool> longReturned{false};
    std::atomic<long long> shortWaited{0};
    // 2^31 ms: cut to 32 bits it would be a limit that has already passed.
    JavaPtr<Thread> longWaiter = startThread([&] {
        synchronizedOn(lock, [&] {
            lock->wait(1LL << 31);
            longReturned = true;
        });
    });
    waitUntil([&] { return lock->m_waitingThreads.load() == 1; });
    JavaPtr<Thread> shortWaiter = startThread([&] {
        synchronizedOn(lock, [&] {
            const auto start = std::chrono::steady_clock::now();
            lock->wait(40);
            shortWaited = elapsedMillisSince(start);
        });
    });
    shortWaiter->join();
    EXPECT_GE(shortWaited.load(), 40);
    EXPECT_FALSE(longReturned.load());
    EXPECT_EQ(lock->m_waitingThreads.load(), 1);

    synchronizedOn(lock, [&] { lock->notify(); });
    longWaiter->join();
    EXPECT_TRUE(longReturned.load());
}

TEST_F(MonitorConcurrencyTest, OnlyTheOwnerMayNotifyWhileAnotherHoldsTheMonitor) {
    JavaPtr<Object> lock = jnew<Object>();
    std::atomic<bool> release{false};
    JavaPtr<Thread> holder =
        startThread([&] { synchronizedOn(lock, [&] { waitUntil([&] { return release.load(); }); }); });
    waitUntil([&] { return lock->m_monitorOwner.load() != Smart::kMonitorFree; });
    EXPECT_THROW(lock->notify(), IllegalMonitorStateException);
    EXPECT_THROW(lock->notifyAll(), IllegalMonitorStateException);
    EXPECT_THROW(lock->wait(1), IllegalMonitorStateException);
    EXPECT_EQ(lock->m_nextTicket.load(), 0);
    release = true;
    holder->join();
}

// Producers and consumers on a small buffer guarded by one monitor, with wait and notifyAll: every
// item is taken exactly once and nobody hangs.
TEST_F(MonitorConcurrencyTest, ABoundedBufferPassesEveryItemExactlyOnce) {
    constexpr int kProducers = 4;
    constexpr int kConsumers = 4;
    constexpr int kItemsEach = 500;
    constexpr size_t kCapacity = 4;
    JavaPtr<Object> lock = jnew<Object>();
    std::deque<int> buffer;
    std::vector<int> taken(kProducers * kItemsEach, 0);
    int remaining = kProducers * kItemsEach;

    std::vector<JavaPtr<Thread>> threads;
    for (int p = 0; p < kProducers; ++p) {
        threads.push_back(startThread([&, p] {
            for (int i = 0; i < kItemsEach; ++i) {
                synchronizedOn(lock, [&] {
                    while (buffer.size() == kCapacity) lock->wait();
                    buffer.push_back(p * kItemsEach + i);
                    lock->notifyAll();
                });
            }
        }));
    }
    for (int c = 0; c < kConsumers; ++c) {
        threads.push_back(startThread([&] {
            for (;;) {
                bool done = false;
                synchronizedOn(lock, [&] {
                    while (buffer.empty() && remaining > 0) lock->wait();
                    if (remaining == 0) {
                        done = true;
                        return;
                    }
                    ++taken[buffer.front()];
                    buffer.pop_front();
                    --remaining;
                    lock->notifyAll();
                });
                if (done) return;
            }
        }));
    }
    for (auto& thread : threads) thread->join();
    EXPECT_EQ(remaining, 0);
    EXPECT_TRUE(buffer.empty());
    for (size_t item = 0; item < taken.size(); ++item) ASSERT_EQ(taken[item], 1) << item;
    EXPECT_EQ(lock->m_waitingThreads.load(), 0);
}

}  // namespace
}  // namespace threadtest
