// Threads that are made but not started: slots, names, priorities, the pool's life, casts. Threads
// that run are in ThreadConcurrencyTest.cpp.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "library/Thread.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/LockObject.h"
#include "runtime/String.h"
#include "tests/library/ThreadFixture.h"
#include "tests/support/ClassRegistry.h"

QUILL_REGISTER_CLASSES(java::lang::Thread, LockObject, testsupport::FunctionRunnable);

namespace threadtest {
namespace {

using java::lang::IllegalArgumentException;
using java::lang::String;

JavaPtr<String> text(const char* value) {
    return jnew<String>(value);
}

using ThreadTest = ThreadFixture;

TEST_F(ThreadTest, SlotsAndDefaultNamesFollowCreationOrder) {
    JavaPtr<Thread> first = jnew<Thread>(runnable({}));
    JavaPtr<Thread> second = jnew<Thread>();
    JavaPtr<Thread> named = jnew<Thread>(runnable({}), text("loader"));
    JavaPtr<Thread> third = jnew<Thread>(runnable({}));

    EXPECT_EQ(first->slot, 0);
    EXPECT_EQ(toUtf8(first->getName()), "Thread-0");
    EXPECT_EQ(second->slot, 1);
    EXPECT_EQ(toUtf8(second->getName()), "Thread-1");
    EXPECT_EQ(named->slot, 2);
    EXPECT_EQ(toUtf8(named->getName()), "loader");
    EXPECT_EQ(toUtf8(third->getName()), "Thread-3");
    EXPECT_EQ(toUtf8(jnew<Thread>(text("ticker"))->getName()), "ticker");
    EXPECT_EQ(Thread::threadPoolSize.load(), 5);
    EXPECT_EQ(Thread::activeCount(), 5);
    EXPECT_EQ(Thread::findUnusedSlot(), 5);
}

TEST_F(ThreadTest, ToStringShowsNameAndPriority) {
    jnew<Thread>(runnable({}));
    jnew<Thread>(runnable({}));
    JavaPtr<Thread> thread = jnew<Thread>(runnable({}));
    EXPECT_EQ(toUtf8(thread->toString()), "Thread[Thread-2,5,main]");
    thread->setPriority(Thread::MIN_PRIORITY);
    EXPECT_EQ(toUtf8(thread->toString()), "Thread[Thread-2,1,main]");
}

TEST_F(ThreadTest, PriorityOutsideOneToTenIsRefusedAndChangesNothing) {
    JavaPtr<Thread> thread = jnew<Thread>(runnable({}));
    EXPECT_EQ(thread->getPriority(), Thread::NORM_PRIORITY);
    struct Case {
        int requested;
        bool accepted;
    };
    for (const Case& c :
         {Case{1, true}, Case{10, true}, Case{0, false}, Case{11, false}, Case{-5, false}, Case{5, true}}) {
        thread->setPriority(3);
        if (c.accepted) {
            thread->setPriority(c.requested);
            EXPECT_EQ(thread->getPriority(), c.requested);
        } else {
            EXPECT_THROW(thread->setPriority(c.requested), IllegalArgumentException) << c.requested;
            EXPECT_EQ(thread->getPriority(), 3) << c.requested;
        }
    }
}

TEST_F(ThreadTest, AThreadNeverStartedIsNotAliveAndJoinsAtOnce) {
    JavaPtr<Thread> thread = jnew<Thread>(runnable({}));
    EXPECT_FALSE(thread->isAlive());
    thread->join();
    EXPECT_FALSE(thread->isAlive());
}

TEST_F(ThreadTest, CurrentThreadIsNullOnAThreadTheRuntimeDidNotStart) {
    EXPECT_FALSE(Thread::currentThread());
    JavaPtr<Thread> thread = jnew<Thread>(runnable({}));
    EXPECT_FALSE(Thread::currentThread());
}

TEST_F(ThreadTest, ThePoolKeepsItsThreadsAliveAndForcedTerminationFreesUnstartedOnes) {
    JavaPtr<Thread> kept = jnew<Thread>(runnable({}));
    jnew<Thread>(runnable({}));  // dropped by its maker, held by its record
    ASSERT_EQ(Thread::activeCount(), 2);

    ThreadImp::forceTerminateOfThreads();
    // The unheld one is reclaimed; the held one keeps its slot and is no longer startable.
    EXPECT_EQ(Thread::activeCount(), 1);
    EXPECT_EQ(Thread::findUnusedSlot(), 1);
    EXPECT_EQ(kept->slot, 0);
    kept->start();
    EXPECT_FALSE(kept->isAlive());
    EXPECT_EQ(Thread::numRunningThreads.load(), 0);
}

TEST_F(ThreadTest, TearDownFreesThePoolAndTheNextThreadStartsAFreshOne) {
    jnew<Thread>(runnable({}));
    jnew<Thread>(runnable({}));
    Thread::tidyUpNormal();
    EXPECT_EQ(Thread::ThreadImpPool, nullptr);
    EXPECT_EQ(Thread::activeCount(), 0);
    EXPECT_FALSE(Thread::currentThread());

    JavaPtr<Thread> fresh = jnew<Thread>(runnable({}));
    EXPECT_EQ(fresh->slot, 0);
    EXPECT_EQ(toUtf8(fresh->getName()), "Thread-0");
    EXPECT_EQ(Thread::threadPoolSize.load(), 1);
}

TEST_F(ThreadTest, CastsAnswerThreadObjectRunnableAndSmart) {
    JavaPtr<Thread> thread = jnew<Thread>(runnable({}));
    Thread* raw = thread.get();
    EXPECT_EQ(raw->castAsTypeID(Thread::TESLclassTypeID), raw);
    EXPECT_EQ(raw->castAsTypeID(Object::TESLclassTypeID), static_cast<Object*>(raw));
    EXPECT_EQ(raw->castAsTypeID(Runnable::TESLclassTypeID), static_cast<Runnable*>(raw));
    EXPECT_EQ(raw->castAsTypeID(java::lang::Smart::TESLclassTypeID), static_cast<java::lang::Smart*>(raw));
    EXPECT_EQ(raw->castAsTypeID(String::TESLclassTypeID), nullptr);
    EXPECT_EQ(Thread::castAsTypeIDS(nullptr, Runnable::TESLclassTypeID), nullptr);
    EXPECT_EQ(Thread::castAsTypeIDS(nullptr, String::TESLclassTypeID), tesl::notAnswered());
    EXPECT_STREQ(raw->getClassTypeName(), "java.lang.Thread");
    EXPECT_EQ(Thread::TESLclassTypeID, tesl::classTypeIdOf("java.lang.Thread"));

    JavaPtr<Runnable> asRunnable = jcast<Runnable>(JavaPtr<Object>(thread));
    EXPECT_EQ(asRunnable.get(), static_cast<Runnable*>(raw));
}

// Puts a POSIX thread maker in place for the scope.
class ScopedThreadCreator {
public:
    explicit ScopedThreadCreator(ThreadImp::PosixThreadCreator creator)
        : m_saved(ThreadImp::posixThreadCreator.exchange(creator)) {}
    ~ScopedThreadCreator() { ThreadImp::posixThreadCreator.store(m_saved); }

private:
    ThreadImp::PosixThreadCreator m_saved;
};

TEST_F(ThreadTest, AThreadWhosePosixThreadCannotBeMadeFinishesAtOnceAndIsReclaimed) {
    std::atomic<bool> ran{false};
    JavaPtr<Thread> refused = jnew<Thread>(runnable([&] { ran = true; }), text("refused"));
    ::testing::internal::CaptureStderr();
    {
        ScopedThreadCreator failing(
            [](pthread_t*, const pthread_attr_t*, void* (*)(void*), void*) { return EAGAIN; });
        refused->start();
    }
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("refused"), std::string::npos) << report;
    EXPECT_NE(report.find("could not be created"), std::string::npos) << report;
    // Joining must not wait for a thread that will never run (the watchdog ends a hang).
    refused->join();
    EXPECT_FALSE(refused->isAlive());
    EXPECT_EQ(ThreadImp::numTerminatedThreads.load(), 1);

    refused = nullptr;
    JavaPtr<Thread> next = jnew<Thread>(runnable({}));
    EXPECT_EQ(next->slot, 0) << "the refused thread was reclaimed like a finished one";
    EXPECT_EQ(Thread::numRunningThreads.load(), 0);
    EXPECT_EQ(ThreadImp::numTerminatedThreads.load(), 0);
    EXPECT_FALSE(ran.load());
}

TEST(ThreadSleepTest, SleepLastsAtLeastItsTimeAndNotAtAllForZeroOrLess) {
    testsupport::Watchdog watchdog;
    Thread::sleep(0);
    Thread::sleep(-5);
    const auto start = std::chrono::steady_clock::now();
    Thread::sleep(100);
    EXPECT_GE(elapsedMillisSince(start), 100);
}

}  // namespace
}  // namespace threadtest
