#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "library/System.h"
#include "platform/device/DeviceDetection.h"
#include "platform/device/DeviceProfile.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "tests/support/ScopedDeviceProfile.h"
#include "tests/support/StringText.h"
#include "tests/support/Watchdog.h"

using namespace java::lang;
using testsupport::jstr;

namespace {

// Starts count threads that run body(index) together, and joins them.
template <class Body>
void runTogether(int count, Body body) {
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < count; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < count) std::this_thread::yield();
            body(t);
        });
    }
    for (std::thread& thread : threads) thread.join();
}

// Every thread reads the clock at once in a process whose clock has not been read: the base is fixed
// once, so no thread ever sees the clock go back, and the earliest reading is a whole second.
int firstReadingsFromManyThreads() {
    constexpr int kThreads = 8;
    std::vector<long long> first(kThreads);
    std::atomic<bool> wentBack{false};
    runTogether(kThreads, [&](int t) {
        first[t] = System::currentTimeMillis();
        long long previous = first[t];
        for (int i = 0; i < 2000; ++i) {
            const long long now = System::currentTimeMillis();
            if (now < previous) wentBack = true;
            previous = now;
        }
    });
    const long long earliest = *std::min_element(first.begin(), first.end());
    const long long latest = *std::max_element(first.begin(), first.end());
    if (wentBack || earliest % 1000 != 0 || latest - earliest > 5000) return 1;
    return System::currentTimeMillis() >= latest ? 0 : 1;
}

}  // namespace

TEST(SystemThreads, TheClockBaseIsFixedOnceWhenThreadsReadItFirstTogether) {
    testsupport::Watchdog watchdog;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(firstReadingsFromManyThreads()), testing::ExitedWithCode(0), "");
}

TEST(SystemThreads, ThreadsShareTheOneRuntime) {
    testsupport::Watchdog watchdog;
    constexpr int kThreads = 8;
    std::vector<Runtime*> seen(kThreads);
    runTogether(kThreads, [&](int t) { seen[t] = Runtime::getRuntime().get(); });
    for (Runtime* runtime : seen) EXPECT_EQ(runtime, Runtime::getRuntime().get());
}

TEST(SystemThreads, DevicePropertiesWhileTheProfileChanges) {
    testsupport::Watchdog watchdog;
    // Two iPhones: the platform name is asked of two answers in turn, which a change between them could
    // turn into a third.
    platform::DeviceProfile older = platform::defaultDeviceProfile();
    older.machineName = "iPhone1,2";
    older.screenModeWidth = 320;
    const platform::DeviceProfile phone = platform::defaultDeviceProfile();
    testsupport::ScopedDeviceProfile restore(phone);

    constexpr int kReaders = 4;
    std::atomic<int> reading{0};
    std::atomic<bool> done{false};
    std::atomic<int> wrong{0};
    std::thread changer([&] {
        while (reading.load() < kReaders) std::this_thread::yield();
        for (int i = 0; i < 200; ++i) platform::setDeviceProfile(i % 2 ? older : phone);
        done = true;
    });
    runTogether(kReaders, [&](int) {
        reading.fetch_add(1);
        while (!done.load()) {
            const std::string platformName = toUtf8(System::getProperty(jstr("microedition.platform")));
            const std::string retina = toUtf8(System::getProperty(jstr("ios.retina")));
            const int model = DeviceDetection::currentModel();
            if (platformName != "iPhone") wrong.fetch_add(1);
            if (retina != "true" && retina != "false") wrong.fetch_add(1);
            if (model != DeviceDetection::MODEL_IPHONE_4G && model != DeviceDetection::MODEL_IPHONE_3G)
                wrong.fetch_add(1);
        }
    });
    changer.join();
    EXPECT_EQ(wrong.load(), 0);
}
