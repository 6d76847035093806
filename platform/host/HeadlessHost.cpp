#include "platform/host/HeadlessHost.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <utility>

#include "platform/codecs/PngEncoder.h"
#include "platform/host/FrameHash.h"
#include "platform/host/LaunchImage.h"
#include "platform/host/UrlOpener.h"

namespace platform {

HeadlessHost::HeadlessHost(const HostScreen& screen) : m_tasks([this] { wake(); }), m_screen(screen) {
    if (m_screen.scale < 1) m_screen.scale = 1;
}

HeadlessHost::~HeadlessHost() {
    // Posters still waiting on a loop that never ran (or has ended) are let go.
    m_tasks.close();
    m_tasks.discardPending();
}

void HeadlessHost::wake() {
    {
        std::lock_guard<std::mutex> guard(m_wakeLock);
        m_wakePending = true;
    }
    m_wakeSignal.notify_one();
}

int HeadlessHost::run(HostEvents& events) {
    {
        std::lock_guard<std::mutex> guard(m_stateLock);
        if (m_started) {
            std::fprintf(stderr, "quill: the headless host runs only once\n");
            return -1;
        }
        m_started = true;
        m_running = true;
    }
    m_mainThread.store(std::this_thread::get_id());
    m_events = &events;
    m_stateChanged.notify_all();
    // Whichever way the loop is left (an exception from launched() included), waiters learn that it
    // ended and later posts are refused.
    struct Finish {
        HeadlessHost& host;
        ~Finish() {
            host.m_tasks.close();
            host.m_tasks.discardPending();
            host.m_events = nullptr;
            host.m_mainThread.store(std::thread::id());
            {
                std::lock_guard<std::mutex> guard(host.m_stateLock);
                host.m_running = false;
                host.m_finished = true;
            }
            host.m_stateChanged.notify_all();
        }
    } finish{*this};
    events.launched();
    while (true) {
        {
            std::unique_lock<std::mutex> guard(m_wakeLock);
            m_wakeSignal.wait(guard, [this] { return m_wakePending; });
            m_wakePending = false;
        }
        m_tasks.runPending();
        showNewFrame();
        std::lock_guard<std::mutex> guard(m_stateLock);
        if (m_quitRequested) break;
    }
    // Tasks posted before the quit still run; later ones are refused.
    m_tasks.close();
    m_tasks.runPending();
    showNewFrame();
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_quitStatus;
}

void HeadlessHost::quit(int status) {
    {
        std::lock_guard<std::mutex> guard(m_stateLock);
        if (m_quitRequested) return;
        m_quitRequested = true;
        m_quitStatus = status;
    }
    wake();
}

void HeadlessHost::runOnMain(std::function<void()> fn, bool wait) {
    if (wait && isMainThread()) {
        fn();
        return;
    }
    m_tasks.post(std::move(fn), wait);
}

bool HeadlessHost::isMainThread() const {
    return m_mainThread.load() == std::this_thread::get_id();
}

HostScreen HeadlessHost::screen() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_screen;
}

void HeadlessHost::presentFrame(const std::uint32_t* pixels, int width, int height, int stride) {
    if (m_mailbox.publish(pixels, width, height, stride)) wake();
}

void HeadlessHost::frameUnchanged() {
    {
        std::lock_guard<std::mutex> guard(m_stateLock);
        // A frame still in the mailbox is not on show yet: the report is about that one.
        if (m_latest.sequence == 0 || m_latest.sequence != m_mailbox.publishedFrames()) return;
        if (m_sameFrames < std::numeric_limits<int>::max()) ++m_sameFrames;
        ++m_presentations;
    }
    m_stateChanged.notify_all();
}

void HeadlessHost::showNewFrame() {
    if (!m_mailbox.takeLatest()) return;
    const MailboxFrame frame = m_mailbox.front();
    const size_t count = static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height);
    // A settled screen hands over the same words frame after frame: one comparison then stands in for
    // the copy and the hash (equal words hash equal). m_latest is written only on this thread, so it
    // is read here without the lock.
    const bool repeat = m_latest.sequence != 0 && m_latest.width == frame.width &&
                        m_latest.height == frame.height &&
                        std::memcmp(m_latest.pixels.data(), frame.pixels, count * sizeof(uint32_t)) == 0;
    const uint64_t hash =
        repeat ? m_latest.hash : hashFrameRgb(frame.pixels, frame.width, frame.height, frame.width);
    {
        std::lock_guard<std::mutex> guard(m_stateLock);
        const bool same = m_latest.sequence != 0 && m_latest.hash == hash && m_latest.width == frame.width &&
                          m_latest.height == frame.height;
        m_sameFrames = same ? m_sameFrames + 1 : 1;
        ++m_presentations;
        if (!repeat) {
            // The mailbox's storage becomes the latest frame; the old one carries later frames.
            m_mailbox.exchangeFrontPixels(m_latest.pixels);
            m_latest.pixels.resize(count);
        }
        m_latest.width = frame.width;
        m_latest.height = frame.height;
        m_latest.sequence = frame.sequence;
        m_latest.hash = hash;
    }
    m_stateChanged.notify_all();
}

bool HeadlessHost::showLaunchImage(const std::string& path) {
    const bool readable = loadLaunchImage(path).has_value();
    std::lock_guard<std::mutex> guard(m_stateLock);
    m_launchImagePath = path;
    return readable;
}

void HeadlessHost::vibrate(int milliseconds) {
    std::lock_guard<std::mutex> guard(m_stateLock);
    m_vibrations.push_back(milliseconds);
}

bool HeadlessHost::openUrl(const std::string& url) {
    if (!UrlOpener::isOpenableUrl(url)) return false;
    std::lock_guard<std::mutex> guard(m_stateLock);
    m_openedUrls.push_back(url);
    return true;
}

void HeadlessHost::showFailure(const std::string& message) {
    std::lock_guard<std::mutex> guard(m_stateLock);
    m_failuresShown.push_back(message);
}

bool HeadlessHost::waitUntilRunning(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(m_stateLock);
    m_stateChanged.wait_for(guard, limit, [this] { return m_running || m_finished; });
    return m_running;
}

bool HeadlessHost::waitForFrames(uint64_t count, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(m_stateLock);
    m_stateChanged.wait_for(guard, limit, [&] { return m_latest.sequence >= count || m_finished; });
    return m_latest.sequence >= count;
}

bool HeadlessHost::waitForPresentations(uint64_t count, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(m_stateLock);
    m_stateChanged.wait_for(guard, limit, [&] { return m_presentations >= count || m_finished; });
    return m_presentations >= count;
}

bool HeadlessHost::waitForStableFrames(int count, std::chrono::milliseconds limit) {
    if (count < 1) count = 1;
    std::unique_lock<std::mutex> guard(m_stateLock);
    m_stateChanged.wait_for(guard, limit, [&] { return m_sameFrames >= count || m_finished; });
    return m_sameFrames >= count;
}

bool HeadlessHost::waitUntilFinished(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(m_stateLock);
    return m_stateChanged.wait_for(guard, limit, [this] { return m_finished; });
}

std::optional<int> HeadlessHost::exitStatus() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    if (!m_finished) return std::nullopt;
    return m_quitStatus;
}

bool HeadlessHost::deliver(std::function<void(HostEvents&)> entry) {
    {
        std::lock_guard<std::mutex> guard(m_stateLock);
        if (!m_running) return false;
    }
    bool delivered = false;
    auto task = [&] {
        if (m_events == nullptr || m_terminating) return;
        delivered = true;
        entry(*m_events);
    };
    if (isMainThread()) {
        task();
    } else {
        m_tasks.post(task, true);
    }
    return delivered;
}

bool HeadlessHost::insideOutput(int x, int y) const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    const int width = m_screen.widthPoints * m_screen.scale;
    const int height = m_screen.heightPoints * m_screen.scale;
    return x >= 0 && y >= 0 && x < width && y < height;
}

bool HeadlessHost::deliverTouch(int x, int y, void (HostEvents::*entry)(int, int)) {
    if (!insideOutput(x, y)) return false;
    const int scale = screen().scale;
    return deliver([&](HostEvents& events) { (events.*entry)(x / scale, y / scale); });
}

bool HeadlessHost::touchDown(int x, int y) {
    return deliverTouch(x, y, &HostEvents::touchDown);
}

bool HeadlessHost::touchDrag(int x, int y) {
    return deliverTouch(x, y, &HostEvents::touchDragged);
}

bool HeadlessHost::touchUp(int x, int y) {
    return deliverTouch(x, y, &HostEvents::touchUp);
}

bool HeadlessHost::tap(int x, int y) {
    return touchDown(x, y) && touchUp(x, y);
}

bool HeadlessHost::keyPress(int keyCode) {
    return deliver([&](HostEvents& events) { events.keyPressed(keyCode); });
}

bool HeadlessHost::keyRelease(int keyCode) {
    return deliver([&](HostEvents& events) { events.keyReleased(keyCode); });
}

bool HeadlessHost::tilt(double x, double y, double z) {
    return deliver([&](HostEvents& events) { events.accelerated(x, y, z); });
}

bool HeadlessHost::pause() {
    return deliver([](HostEvents& events) { events.paused(); });
}

bool HeadlessHost::resume() {
    return deliver([](HostEvents& events) { events.resumed(); });
}

bool HeadlessHost::changeSize(int widthPixels, int heightPixels) {
    const int scale = screen().scale;
    if (widthPixels <= 0 || heightPixels <= 0 || widthPixels % scale != 0 || heightPixels % scale != 0)
        return false;
    return deliver([&](HostEvents& events) {
        {
            std::lock_guard<std::mutex> guard(m_stateLock);
            m_screen.widthPoints = widthPixels / scale;
            m_screen.heightPoints = heightPixels / scale;
        }
        events.sizeChanged(widthPixels / scale, heightPixels / scale);
    });
}

bool HeadlessHost::terminate() {
    {
        std::lock_guard<std::mutex> guard(m_stateLock);
        m_terminationRequested = true;
    }
    return deliver([this](HostEvents& events) {
        m_terminating = true;
        events.terminating();
    });
}

bool HeadlessHost::terminationRequested() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_terminationRequested;
}

uint64_t HeadlessHost::frameCount() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_latest.sequence;
}

uint64_t HeadlessHost::presentations() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_presentations;
}

uint64_t HeadlessHost::frameHash() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_latest.hash;
}

HeadlessFrame HeadlessHost::latestFrame() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_latest;
}

std::optional<uint32_t> HeadlessHost::pixel(int x, int y) const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    if (m_latest.sequence == 0 || x < 0 || y < 0 || x >= m_latest.width || y >= m_latest.height)
        return std::nullopt;
    const uint32_t word =
        m_latest
            .pixels[static_cast<size_t>(y) * static_cast<size_t>(m_latest.width) + static_cast<size_t>(x)];
    const auto* bytes = reinterpret_cast<const uint8_t*>(&word);
    return (uint32_t{bytes[0]} << 16) | (uint32_t{bytes[1]} << 8) | uint32_t{bytes[2]};
}

std::vector<uint8_t> HeadlessHost::snapshotPNG() const {
    const HeadlessFrame frame = latestFrame();
    if (frame.sequence == 0) return {};
    return encodePNG(frame.pixels.data(), frame.width, frame.height, frame.width);
}

bool HeadlessHost::writeSnapshot(const std::string& path, std::string& error) const {
    const HeadlessFrame frame = latestFrame();
    if (frame.sequence == 0) {
        error = "no frame has been shown yet";
        return false;
    }
    return writePNGFile(path, frame.pixels.data(), frame.width, frame.height, frame.width, error);
}

std::vector<std::string> HeadlessHost::openedUrls() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_openedUrls;
}

std::string HeadlessHost::launchImagePath() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_launchImagePath;
}

std::vector<int> HeadlessHost::vibrations() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_vibrations;
}

std::vector<std::string> HeadlessHost::failuresShown() const {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_failuresShown;
}

}  // namespace platform
