// The user-level threading mode, switched on for these tests only, with the test thread as the
// scheduler: each test steps ThreadImp::iterateThreads itself and looks at what ran.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "library/GreenThreads.h"
#include "library/Thread.h"
#include "library/ThreadImp.h"
#include "runtime/IllegalStateException.h"
#include "runtime/MonotonicClock.h"
#include "tests/library/ThreadFixture.h"

using java::lang::Thread;
using java::lang::ThreadImp;
using threadtest::startThread;

namespace {

class GreenThreads : public ::testing::Test {
protected:
    void SetUp() override {
        threadtest::resetThreadPool();
        ThreadImp::setQuitRequested(false);
        ThreadImp::lastRunThreadIndex = -1;
        ThreadImp::allSleepingUntilMS = -1;
        _USES_USER_THREADING = 1;
    }
    void TearDown() override {
        Thread::tidyUp();
        _USES_USER_THREADING = 0;
        ThreadImp::setQuitRequested(false);
        threadtest::resetThreadPool();
    }

    // Steps until the condition holds, sleeping as long as the step says nothing can run.
    static void stepUntil(const std::function<bool()>& condition) {
        while (!condition()) {
            const long long answer = ThreadImp::iterateThreads();
            if (answer == -1) {
                ASSERT_TRUE(condition()) << "no thread left to run";
                return;
            }
            if (answer > 0) std::this_thread::sleep_for(std::chrono::milliseconds(answer));
        }
    }

    testsupport::Watchdog m_watchdog;
};

TEST_F(GreenThreads, EachStepStartsOneThreadInSlotOrderThenResumesInTurn) {
    std::vector<std::string> log;
    JavaPtr<Thread> a = startThread([&] {
        log.push_back("a1");
        Thread::yield();
        log.push_back("a2");
    });
    JavaPtr<Thread> b = startThread([&] {
        log.push_back("b1");
        Thread::yield();
        log.push_back("b2");
        Thread::yield();
        log.push_back("b3");
    });
    EXPECT_TRUE(log.empty()) << "start only prepares the thread";
    const std::vector<std::vector<std::string>> afterEachStep = {
        {"a1"}, {"a1", "b1"}, {"a1", "b1", "a2"}, {"a1", "b1", "a2", "b2"}, {"a1", "b1", "a2", "b2", "b3"}};
    for (const auto& expected : afterEachStep) {
        // The step that ends the last thread finds no started thread left.
        EXPECT_EQ(ThreadImp::iterateThreads(), expected.size() == 5 ? -1 : 0);
        EXPECT_EQ(log, expected);
        EXPECT_EQ(ThreadImp::state, 4);
        EXPECT_EQ(ThreadImp::currentlyRunningThreadIndex.load(), -1);
    }
    EXPECT_FALSE(a->isAlive());
    EXPECT_FALSE(b->isAlive());
    EXPECT_EQ(ThreadImp::iterateThreads(), -1);
    EXPECT_EQ(log.size(), 5u);
}

TEST_F(GreenThreads, ASleeperIsNotResumedBeforeItsTime) {
    long long slept = -1;
    bool woke = false;
    startThread([&] {
        const long long start = monotonicMillis();
        Thread::sleep(50);
        slept = monotonicMillis() - start;
        woke = true;
    });
    const long long before = monotonicMillis();
    const long long first = ThreadImp::iterateThreads();
    EXPECT_GE(first, 0);
    EXPECT_LE(first, 50);
    // Only the sleeper exists: the step answers the time left and runs nothing. How much is left depends
    // on how long the steps took, so the answer is checked against the clock, not against a speed.
    const long long second = ThreadImp::iterateThreads();
    const long long elapsed = monotonicMillis() - before;
    EXPECT_GE(second, 0);
    EXPECT_LE(second, 50);
    if (elapsed < 49) {
        EXPECT_GT(first, 0);
        EXPECT_GT(second, 0);
    }
    if (second > 0) {
        EXPECT_FALSE(woke);
    }
    stepUntil([&] { return woke; });
    EXPECT_GE(slept, 50);
}

TEST_F(GreenThreads, AThreadStartedWhileEveryoneSleepsBeginsInTheNextStep) {
    startThread([] { Thread::sleep(1000000); });
    ThreadImp::iterateThreads();
    EXPECT_GT(ThreadImp::iterateThreads(), 0);
    bool ran = false;
    startThread([&] { ran = true; });
    ThreadImp::iterateThreads();
    EXPECT_TRUE(ran);
}

TEST_F(GreenThreads, AfterTheQuitEverySleeperIsResumedInTurn) {
    int finished = 0;
    for (int i = 0; i < 3; ++i)
        startThread([&] {
            Thread::sleep(1000000);
            ++finished;
        });
    for (int i = 0; i < 3; ++i) ThreadImp::iterateThreads();
    EXPECT_GT(ThreadImp::iterateThreads(), 0);
    EXPECT_EQ(finished, 0);
    ThreadImp::setQuitRequested(true);
    EXPECT_TRUE(ThreadImp::isQuitRequested());
    for (int i = 0; i < 3; ++i) {
        ThreadImp::iterateThreads();
        EXPECT_EQ(finished, i + 1);
    }
    EXPECT_EQ(ThreadImp::iterateThreads(), -1);
}

TEST_F(GreenThreads, ExceptionsStayOnTheThreadThatThrewThem) {
    bool caughtAcrossAYield = false;
    bool ranAfterTheFailures = false;
    startThread([&] {
        try {
            Thread::yield();
            throw java::lang::IllegalStateException();
        } catch (java::lang::IllegalStateException&) {
            caughtAcrossAYield = true;
        }
    });
    JavaPtr<Thread> runtimeFailure = startThread([] { throw java::lang::IllegalStateException(); });
    JavaPtr<Thread> nativeFailure = startThread([] { throw std::runtime_error("native"); });
    startThread([&] {
        Thread::yield();
        ranAfterTheFailures = true;
    });
    stepUntil([&] { return caughtAcrossAYield && ranAfterTheFailures; });
    EXPECT_FALSE(runtimeFailure->isAlive());
    EXPECT_FALSE(nativeFailure->isAlive());
    EXPECT_EQ(ThreadImp::iterateThreads(), -1);
}

TEST_F(GreenThreads, TheSchedulerItselfNeitherYieldsNorSleeps) {
    bool ran = false;
    startThread([&] { ran = true; });
    Thread::yield();
    Thread::sleep(5);
    EXPECT_FALSE(ran);
    EXPECT_EQ(ThreadImp::state, 4);
    EXPECT_FALSE(Thread::currentThread());
    ThreadImp::iterateThreads();
    EXPECT_TRUE(ran);
}

TEST_F(GreenThreads, ThreadsKnowThemselvesAndStartOthers) {
    JavaPtr<Thread> seenByParent, seenByChild, child;
    bool childRanBeforeParentResumed = false;
    JavaPtr<Thread> parent = startThread([&] {
        seenByParent = Thread::currentThread();
        child = startThread([&] { seenByChild = Thread::currentThread(); });
        Thread::yield();
        childRanBeforeParentResumed = static_cast<bool>(seenByChild);
    });
    ThreadImp::iterateThreads();
    EXPECT_EQ(seenByParent, parent);
    ASSERT_TRUE(child);
    EXPECT_FALSE(seenByChild) << "a thread started by another begins in a later step";
    EXPECT_FALSE(Thread::currentThread()) << "between steps the scheduler is no runtime thread";
    ThreadImp::iterateThreads();
    EXPECT_EQ(seenByChild, child);
    EXPECT_EQ(ThreadImp::iterateThreads(), -1);
    EXPECT_TRUE(childRanBeforeParentResumed);
}

TEST_F(GreenThreads, MaybeYieldGivesUpTheProcessorOnlyAfterAHundredMilliseconds) {
    int steps = 0;
    int yieldsOfFirstCall = -1, yieldsOfSecondCall = -1, yieldsOfLateCall = -1;
    bool secondCallWasPrompt = false;
    bool done = false;
    startThread([&] {
        int before = steps;
        ThreadImp::maybeYield();  // never yielded before: gives up the processor
        yieldsOfFirstCall = steps - before;
        const long long resumed = monotonicMillis();
        before = steps;
        ThreadImp::maybeYield();
        yieldsOfSecondCall = steps - before;
        secondCallWasPrompt = monotonicMillis() - resumed < 90;
        while (monotonicMillis() - resumed < 100) {
        }
        before = steps;
        ThreadImp::maybeYield();
        yieldsOfLateCall = steps - before;
        done = true;
    });
    while (!done) {
        ThreadImp::iterateThreads();
        ++steps;
    }
    EXPECT_EQ(yieldsOfFirstCall, 1);
    if (secondCallWasPrompt) {
        EXPECT_EQ(yieldsOfSecondCall, 0);
    }
    EXPECT_EQ(yieldsOfLateCall, 1);
    // No user-level thread runs here: nothing happens.
    ThreadImp::maybeYield();
}

TEST_F(GreenThreads, TidyUpResumesSleepersAndFreesThePoolWithOrWithoutAQuitRequest) {
    for (const bool requested : {true, false}) {
        _USES_USER_THREADING = 1;
        int finished = 0;
        for (int i = 0; i < 4; ++i)
            startThread([&] {
                // Far longer than the watchdog: a tear-down that waited them out would hang.
                for (int n = 0; n < 3; ++n) Thread::sleep(1000000);
                ++finished;
            });
        ThreadImp::iterateThreads();
        ThreadImp::setQuitRequested(requested);
        Thread::tidyUp();
        EXPECT_EQ(finished, 4) << "quit requested: " << requested;
        EXPECT_EQ(Thread::ThreadImpPool, nullptr);
        EXPECT_EQ(ThreadImp::mainThreadContext, nullptr);
        EXPECT_EQ(ThreadImp::iterateThreads(), -1);
        EXPECT_EQ(ThreadImp::isQuitRequested(), requested) << "the tear-down leaves the request as it was";
    }
}

}  // namespace
