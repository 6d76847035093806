#include "platform/host/FrameMailbox.h"

#include <cstring>

#include "platform/codecs/ImageLimits.h"

namespace platform {

bool FrameMailbox::publish(const uint32_t* pixels, int width, int height, int stride) {
    if (pixels == nullptr || !decodedSizeAllowed(width, height) || stride < width) {
        m_refused.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    std::lock_guard<std::mutex> producer(m_producerLock);
    Buffer& back = m_buffers[m_back];
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    // Grows only when the frame gets larger; a turned screen keeps the same number of pixels.
    if (back.pixels.size() < count) back.pixels.resize(count);
    if (stride == width) {
        std::memcpy(back.pixels.data(), pixels, count * sizeof(uint32_t));
    } else {
        for (int row = 0; row < height; ++row) {
            std::memcpy(back.pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(width),
                        pixels + static_cast<size_t>(row) * static_cast<size_t>(stride),
                        static_cast<size_t>(width) * sizeof(uint32_t));
        }
    }
    back.width = width;
    back.height = height;
    back.sequence = ++m_sequence;
    // Release hands the copy over with the buffer; acquire takes back whatever the main thread last
    // left in the buffer it gave up, before this thread writes into it.
    const uint32_t previous =
        m_ready.exchange(static_cast<uint32_t>(m_back) | kFresh, std::memory_order_acq_rel);
    m_back = static_cast<int>(previous & kIndexMask);
    m_published.fetch_add(1, std::memory_order_relaxed);
    return (previous & kFresh) == 0;
}

bool FrameMailbox::takeLatest() {
    if ((m_ready.load(std::memory_order_relaxed) & kFresh) == 0) return false;
    const uint32_t previous = m_ready.exchange(static_cast<uint32_t>(m_front), std::memory_order_acq_rel);
    m_front = static_cast<int>(previous & kIndexMask);
    return true;
}

MailboxFrame FrameMailbox::front() const {
    const Buffer& shown = m_buffers[m_front];
    if (shown.sequence == 0) return MailboxFrame{};
    return MailboxFrame{shown.pixels.data(), shown.width, shown.height, shown.sequence};
}

void FrameMailbox::exchangeFrontPixels(std::vector<uint32_t>& pixels) {
    // The front buffer belongs to the main thread alone until the next takeLatest hands it back, and
    // publish sizes whatever storage it finds before writing into it.
    Buffer& shown = m_buffers[m_front];
    shown.pixels.swap(pixels);
    shown.width = 0;
    shown.height = 0;
    shown.sequence = 0;
}

}  // namespace platform
