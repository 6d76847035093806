// The screens' lock as another thread sees it: a thread's nested holds keep the lock until the outermost
// ends, callUnheld frees it through every nested hold and takes them all back, and the calls kept for
// the end of the holds run only when the last one ends.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "shell/LCDUILock.h"

namespace {

using javax::microedition::lcdui::LCDUIGuard;
using javax::microedition::lcdui::LCDUILock;

// Whether another thread can take the lock now (it lets go at once when it can).
bool freeForAnotherThread() {
    bool taken = false;
    std::thread other([&taken] {
        if (LCDUILock::mutex().try_lock()) {
            taken = true;
            LCDUILock::mutex().unlock();
        }
    });
    other.join();
    return taken;
}

TEST(LCDUILockConcurrencyTest, NestedHoldsKeepTheLockUntilTheOutermostEnds) {
    ASSERT_TRUE(freeForAnotherThread());
    {
        LCDUIGuard outer(LCDUILock::mutex());
        {
            LCDUIGuard middle(LCDUILock::mutex());
            {
                LCDUIGuard inner(LCDUILock::mutex());
                EXPECT_TRUE(LCDUILock::mutex().try_lock());
                LCDUILock::mutex().unlock();
                EXPECT_FALSE(freeForAnotherThread());
            }
            EXPECT_FALSE(freeForAnotherThread());
        }
        EXPECT_FALSE(freeForAnotherThread());
        EXPECT_TRUE(LCDUILock::heldByCurrentThread());
    }
    EXPECT_FALSE(LCDUILock::heldByCurrentThread());
    EXPECT_TRUE(freeForAnotherThread());
}

TEST(LCDUILockConcurrencyTest, CallUnheldFreesEveryNestedHoldAndTakesThemBack) {
    struct Case {
        const char* name;
        bool throws;
    };
    for (const Case& c : {Case{"returns", false}, Case{"throws", true}}) {
        SCOPED_TRACE(c.name);
        bool freeInside = false;
        bool heldInside = true;
        {
            LCDUIGuard outer(LCDUILock::mutex());
            LCDUIGuard inner(LCDUILock::mutex());
            try {
                LCDUILock::callUnheld([&] {
                    heldInside = LCDUILock::heldByCurrentThread();
                    freeInside = freeForAnotherThread();
                    // A hold taken and ended inside leaves the holds taken back untouched.
                    LCDUIGuard nested(LCDUILock::mutex());
                    if (c.throws) throw std::runtime_error("thrown inside");
                });
            } catch (const std::runtime_error&) {
            }
            EXPECT_TRUE(LCDUILock::heldByCurrentThread());
            EXPECT_FALSE(freeForAnotherThread());
        }
        EXPECT_FALSE(heldInside);
        EXPECT_TRUE(freeInside);
        EXPECT_FALSE(LCDUILock::heldByCurrentThread());
        EXPECT_TRUE(freeForAnotherThread());
    }
}

TEST(LCDUILockConcurrencyTest, KeptCallsRunWhenTheLastNestedHoldEndsWithTheLockFree) {
    std::atomic<int> runs{0};
    bool freeWhenRun = false;
    {
        LCDUIGuard outer(LCDUILock::mutex());
        {
            LCDUIGuard inner(LCDUILock::mutex());
            LCDUILock::callOutside([&] {
                ++runs;
                freeWhenRun = !LCDUILock::heldByCurrentThread() && freeForAnotherThread();
            });
        }
        EXPECT_EQ(runs.load(), 0);
    }
    EXPECT_EQ(runs.load(), 1);
    EXPECT_TRUE(freeWhenRun);
}

}  // namespace
