#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/host/FrameMailbox.h"
#include "tests/support/Eventually.h"
#include "tests/support/Watchdog.h"

namespace {

using platform::FrameMailbox;
using platform::MailboxFrame;

// Frame n is one colour throughout, its alpha byte varying as well, so a frame put together from two
// flushes shows at least two words.
uint32_t colourOfFrame(uint64_t n) {
    return static_cast<uint32_t>(n * 2654435761u) | 0x01u;
}

// What the consumer found wrong, kept until the threads are joined.
struct ConsumerLog {
    uint64_t framesTaken = 0;
    uint64_t mixedFrames = 0;
    uint64_t framesOutOfOrder = 0;
    uint64_t wrongColour = 0;
    uint64_t changedWhileShown = 0;
};

void checkFrame(const MailboxFrame& frame, uint64_t previousSequence, bool colourFollowsSequence,
                ConsumerLog& log) {
    ++log.framesTaken;
    if (frame.sequence <= previousSequence) ++log.framesOutOfOrder;
    const size_t count = static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height);
    for (size_t i = 1; i < count; ++i) {
        if (frame.pixels[i] != frame.pixels[0]) {
            ++log.mixedFrames;
            break;
        }
    }
    if (colourFollowsSequence && frame.pixels[0] != colourOfFrame(frame.sequence)) ++log.wrongColour;
}

TEST(FrameMailboxConcurrency, EveryFrameTakenIsOneWholeFlushedFrame) {
    testsupport::Watchdog watchdog;
    constexpr uint64_t kFrames = 4000;
    FrameMailbox mailbox;
    std::atomic<bool> producerDone{false};
    std::thread producer([&] {
        // Sizes change now and then, as when the screen turns, so the buffers are also regrown.
        std::vector<uint32_t> frame;
        for (uint64_t n = 1; n <= kFrames; ++n) {
            const int width = (n / 500) % 2 == 0 ? 48 : 96;
            const int height = 4096 / width;
            frame.assign(static_cast<size_t>(width) * static_cast<size_t>(height), colourOfFrame(n));
            (void)mailbox.publish(frame.data(), width, height, width);
        }
        producerDone = true;
    });
    ConsumerLog log;
    uint64_t lastSequence = 0;
    while (lastSequence < kFrames) {
        if (!mailbox.takeLatest()) {
            std::this_thread::yield();
            continue;
        }
        const MailboxFrame frame = mailbox.front();
        checkFrame(frame, lastSequence, true, log);
        lastSequence = frame.sequence;
        // While it is shown, later flushes must leave it alone.
        std::this_thread::yield();
        const size_t count = static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height);
        for (size_t i = 0; i < count; ++i) {
            if (frame.pixels[i] != colourOfFrame(frame.sequence)) {
                ++log.changedWhileShown;
                break;
            }
        }
    }
    producer.join();
    EXPECT_EQ(log.mixedFrames, 0u);
    EXPECT_EQ(log.framesOutOfOrder, 0u);
    EXPECT_EQ(log.wrongColour, 0u);
    EXPECT_EQ(log.changedWhileShown, 0u);
    EXPECT_GE(log.framesTaken, 1u);
    EXPECT_EQ(lastSequence, kFrames) << "the last frame flushed is the last one shown";
}

TEST(FrameMailboxConcurrency, TwoDrawingThreadsNeverMixTheirFrames) {
    testsupport::Watchdog watchdog;
    constexpr int kFramesPerThread = 2000;
    FrameMailbox mailbox;
    auto draw = [&](uint32_t base) {
        std::vector<uint32_t> frame(64 * 64);
        for (int n = 0; n < kFramesPerThread; ++n) {
            frame.assign(frame.size(), base + static_cast<uint32_t>(n));
            (void)mailbox.publish(frame.data(), 64, 64, 64);
        }
    };
    std::thread ticker(draw, 0x10000000u);
    std::thread canvas(draw, 0x20000000u);
    ConsumerLog log;
    uint64_t lastSequence = 0;
    while (lastSequence < 2 * kFramesPerThread) {
        if (!mailbox.takeLatest()) {
            std::this_thread::yield();
            continue;
        }
        const MailboxFrame frame = mailbox.front();
        checkFrame(frame, lastSequence, false, log);
        lastSequence = frame.sequence;
    }
    ticker.join();
    canvas.join();
    EXPECT_EQ(log.mixedFrames, 0u);
    EXPECT_EQ(log.framesOutOfOrder, 0u);
    EXPECT_EQ(mailbox.publishedFrames(), 2u * kFramesPerThread);
}

TEST(FrameMailboxConcurrency, FlushesGoOnWhileTheMainThreadStalls) {
    testsupport::Watchdog watchdog;
    FrameMailbox mailbox;
    const std::vector<uint32_t> first(16, 1);
    ASSERT_TRUE(mailbox.publish(first.data(), 4, 4, 4));

    // The main thread takes a frame, then stalls while holding it on screen.
    std::mutex lock;
    std::condition_variable changed;
    bool holding = false;
    bool release = false;
    uint64_t shownAfterStall = 0;
    std::thread mainThread([&] {
        (void)mailbox.takeLatest();
        std::unique_lock<std::mutex> guard(lock);
        holding = true;
        changed.notify_all();
        changed.wait(guard, [&] { return release; });
        (void)mailbox.takeLatest();
        shownAfterStall = mailbox.front().sequence;
    });
    {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [&] { return holding; });
    }
    std::atomic<int> wakes{0};
    std::atomic<bool> flushed{false};
    std::thread drawing([&] {
        std::vector<uint32_t> frame(16);
        for (uint32_t n = 2; n <= 501; ++n) {
            frame.assign(16, n);
            if (mailbox.publish(frame.data(), 4, 4, 4)) ++wakes;
        }
        flushed = true;
    });
    EXPECT_TRUE(testsupport::eventually([&] { return flushed.load(); }))
        << "a flush waited for the stalled main thread";
    drawing.join();
    {
        std::lock_guard<std::mutex> guard(lock);
        release = true;
    }
    changed.notify_all();
    mainThread.join();
    EXPECT_EQ(wakes.load(), 1) << "one wake-up stands for every frame flushed during the stall";
    EXPECT_EQ(shownAfterStall, 501u);
}

}  // namespace
