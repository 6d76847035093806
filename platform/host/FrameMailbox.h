// The hand-over of finished frames from the drawing threads to the host's main thread. Three buffers
// (back, ready, front): a flush copies into back and swaps it with ready in one atomic step, the main
// thread swaps ready with front and shows front. A flush never waits for the screen, the newest frame
// replaces one not yet shown, and what the screen shows is always exactly one flushed frame.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

// A frame as the main thread sees it: width x height pixel words (bytes R, G, B, A), no gap between
// rows. sequence counts the frames handed over: 1 for the first, 0 for no frame yet.
struct MailboxFrame {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    uint64_t sequence = 0;
};

class FrameMailbox {
public:
    FrameMailbox() = default;
    FrameMailbox(const FrameMailbox&) = delete;
    FrameMailbox& operator=(const FrameMailbox&) = delete;

    // Any thread. Copies the frame (rows stride words apart) and makes it the one to show next. True
    // when nothing was waiting to be shown, so the main thread has to be woken; false when a wake-up is
    // already pending (this frame replaces the unshown one) or the frame is refused (null pixels, a
    // size outside the image limits, a stride below the width).
    bool publish(const uint32_t* pixels, int width, int height, int stride);

    // Main thread. Takes the newest frame handed over since the last call, if any; true when it did.
    bool takeLatest();
    // Main thread: the frame last taken. Its pixels stay as they are until the next takeLatest.
    MailboxFrame front() const;
    // Main thread: trades the storage of the frame last taken (width x height words, perhaps more) for
    // the caller's, so a host that keeps the frame needs no copy of it. front() then shows no frame
    // until the next takeLatest; the storage given in may be of any size and carries later frames.
    void exchangeFrontPixels(std::vector<uint32_t>& pixels);

    // Frames accepted and refused by publish so far.
    uint64_t publishedFrames() const { return m_published.load(std::memory_order_relaxed); }
    uint64_t refusedFrames() const { return m_refused.load(std::memory_order_relaxed); }

private:
    struct Buffer {
        std::vector<uint32_t> pixels;
        int width = 0;
        int height = 0;
        uint64_t sequence = 0;
    };

    // The slot word holds the index of the ready buffer and, while the main thread has not taken it, the
    // fresh bit. The exchange on it is the only point where a buffer changes hands, so each buffer is
    // only ever touched by its one owner: the producer holding back, the main thread holding front.
    static constexpr uint32_t kIndexMask = 3;
    static constexpr uint32_t kFresh = 4;

    Buffer m_buffers[3];
    // Two threads may flush (the ticker painting a screen, a canvas painting its own frames). Guards
    // m_back, the back buffer's contents and m_sequence; never taken by the main thread, so a stalled
    // main thread cannot block a flush.
    std::mutex m_producerLock;
    int m_back = 0;
    uint64_t m_sequence = 0;
    std::atomic<uint32_t> m_ready{1};
    // Main thread only.
    int m_front = 2;
    std::atomic<uint64_t> m_published{0};
    std::atomic<uint64_t> m_refused{0};
};

}  // namespace platform
