// Monitors on one thread: re-entry, leaving on exceptions, the owner test of wait and notify, timed
// waits and the token's hold on its object. The threaded cases are in MonitorConcurrencyTest.cpp.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include "runtime/IllegalMonitorStateException.h"
#include "runtime/LockObject.h"
#include "runtime/ObjectMonitor.h"
#include "tests/library/ThreadFixture.h"

namespace threadtest {
namespace {

using java::lang::IllegalMonitorStateException;
using java::lang::ObjectMonitor;
using java::lang::Smart;

// Records its own destruction.
class DeathWatch : public Object {
    TESL_CLASS(DeathWatch, "threadtest.DeathWatch", Object)
public:
    DeathWatch() noexcept {}
    ~DeathWatch() override {
        if (m_died != nullptr) *m_died = true;
    }
    DeathWatch* TESLinvokeconstructor(bool* died) {
        Object::TESLinvokeconstructor();
        m_died = died;
        return this;
    }

private:
    bool* m_died = nullptr;
};

void expectFree(const JavaPtr<Object>& object) {
    EXPECT_EQ(object->m_monitorOwner.load(), Smart::kMonitorFree);
    EXPECT_EQ(object->m_nowServing.load(), 0);
    EXPECT_EQ(object->m_nextTicket.load(), 0);
}

TEST(MonitorTest, ReentryGivesNoTokenAndOnlyTheOuterBlockLeaves) {
    JavaPtr<Object> object = jnew<Object>();
    EXPECT_EQ(object->objectMutex(), nullptr);
    {
        JavaPtr<LockObject> outer(object->startSync());
        ASSERT_TRUE(outer);
        EXPECT_NE(object->objectMutex(), nullptr);
        EXPECT_EQ(object->m_monitorOwner.load(), ObjectMonitor::currentThreadToken());
        {
            JavaPtr<LockObject> inner(object->startSync());
            EXPECT_FALSE(inner);
        }
        EXPECT_EQ(object->m_monitorOwner.load(), ObjectMonitor::currentThreadToken());
    }
    expectFree(object);
}

TEST(MonitorTest, AnExceptionThrownInsideABlockLeavesTheMonitor) {
    JavaPtr<Object> object = jnew<Object>();
    EXPECT_THROW(synchronizedOn(object, [] { throw std::runtime_error("inside"); }), std::runtime_error);
    expectFree(object);
}

TEST(MonitorTest, WaitAndNotifyWithoutTheMonitorThrowAndChangeNothing) {
    JavaPtr<Object> object = jnew<Object>();
    EXPECT_THROW(object->wait(), IllegalMonitorStateException);
    EXPECT_THROW(object->wait(10), IllegalMonitorStateException);
    EXPECT_THROW(object->notify(), IllegalMonitorStateException);
    EXPECT_THROW(object->notifyAll(), IllegalMonitorStateException);
    expectFree(object);
    EXPECT_EQ(object->m_waitingThreads.load(), 0);
    EXPECT_EQ(object->m_pendingNotifications.load(), 0);
}

TEST(MonitorTest, NotifyWithNobodyWaitingIsDroppedAndATimedWaitRunsItsCourse) {
    testsupport::Watchdog watchdog;
    JavaPtr<Object> object = jnew<Object>();
    synchronizedOn(object, [&] {
        object->notify();
        object->notifyAll();
        EXPECT_EQ(object->m_pendingNotifications.load(), 0);
        const auto start = std::chrono::steady_clock::now();
        object->wait(50);
        EXPECT_GE(elapsedMillisSince(start), 50);
        EXPECT_EQ(object->m_monitorOwner.load(), ObjectMonitor::currentThreadToken());
        EXPECT_EQ(object->m_waitingThreads.load(), 0);
    });
    expectFree(object);
}

TEST(MonitorTest, LimitsThatHaveAlreadyPassedReturnHoldingTheMonitor) {
    testsupport::Watchdog watchdog;
    JavaPtr<Object> object = jnew<Object>();
    synchronizedOn(object, [&] {
        // The last two would wrap to no limit if the limit were cut to 32 bits.
        for (long long limit : {-1LL, -(1LL << 31), -(1LL << 32), -(1LL << 62)}) {
            object->wait(limit);
            EXPECT_EQ(object->m_monitorOwner.load(), ObjectMonitor::currentThreadToken()) << limit;
        }
        object->wait(-2, 999999);
        EXPECT_EQ(object->m_monitorOwner.load(), ObjectMonitor::currentThreadToken());
    });
    expectFree(object);
}

TEST(MonitorTest, ATokenKeepsItsObjectAliveUntilTheBlockEnds) {
    bool died = false;
    {
        JavaPtr<LockObject> lock;
        {
            JavaPtr<DeathWatch> object = jnew<DeathWatch>(&died);
            lock = JavaPtr<LockObject>(object->startSync());
        }
        EXPECT_FALSE(died);
        EXPECT_EQ(lock->m_lockedObject->m_referenceCount.load(), 1);
    }
    EXPECT_TRUE(died);
}

TEST(MonitorTest, ATokenAnswersSmartsNameAndItsOwnId) {
    JavaPtr<Object> object = jnew<Object>();
    JavaPtr<LockObject> lock(object->startSync());
    EXPECT_STREQ(lock->getClassTypeName(), "java.lang.Smart");
    EXPECT_EQ(LockObject::TESLclassTypeID, tesl::classTypeIdOf("LockObject"));
    EXPECT_EQ(lock->castAsTypeID(Smart::TESLclassTypeID), static_cast<Smart*>(lock.get()));
    EXPECT_EQ(lock->castAsTypeID(Object::TESLclassTypeID), nullptr);
}

}  // namespace
}  // namespace threadtest
