#include "platform/AudioSession.h"

#include <mutex>
#include <utility>

#include "platform/OpenALOutput.h"

namespace platform {
namespace {

struct SessionState {
    // Guards the fields below. Never held while the listener runs.
    std::mutex lock;
    std::shared_ptr<AudioOutput> output;
    AudioSession::InterruptionListener listener = nullptr;
    void* listenerData = nullptr;
    AudioSession::Category category = AudioSession::Category::None;
    bool active = true;
};

SessionState& session() {
    static SessionState state;
    return state;
}

std::shared_ptr<AudioOutput> openProcessOutput() {
    if (auto device = OpenALOutput::openDevice()) return device;
    return OpenALOutput::openLoopback(OpenALOutput::Pacing::RealTime);
}

}  // namespace

void AudioSession::adopt(const std::shared_ptr<AudioOutput>& output) {
    const AudioOutput* raw = output.get();
    output->setDisconnectHandler([raw] { outputDisconnected(raw); });
}

std::shared_ptr<AudioOutput> AudioSession::output() {
    SessionState& s = session();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.output) {
        s.output = openProcessOutput();
        if (s.output) {
            adopt(s.output);
            s.output->setActive(s.active);
        }
    }
    return s.output;
}

void AudioSession::setOutput(std::shared_ptr<AudioOutput> output) {
    SessionState& s = session();
    std::shared_ptr<AudioOutput> old;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (output) {
            adopt(output);
            output->setActive(s.active);
        }
        old = std::exchange(s.output, std::move(output));
    }
    // The old output is released outside the lock: its destructor may wait for its own thread.
    if (old) old->setDisconnectHandler(nullptr);
}

bool AudioSession::initialize(InterruptionListener listener, void* userData) {
    if (!output()) return false;
    SessionState& s = session();
    std::lock_guard<std::mutex> guard(s.lock);
    s.listener = listener;
    s.listenerData = userData;
    return true;
}

void AudioSession::setCategory(Category category) {
    SessionState& s = session();
    std::lock_guard<std::mutex> guard(s.lock);
    s.category = category;
}

AudioSession::Category AudioSession::category() {
    SessionState& s = session();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.category;
}

void AudioSession::setActive(bool active) {
    SessionState& s = session();
    std::lock_guard<std::mutex> guard(s.lock);
    s.active = active;
    if (s.output) s.output->setActive(active);
}

bool AudioSession::isActive() {
    SessionState& s = session();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.active;
}

void AudioSession::interruption(uint32_t state) {
    SessionState& s = session();
    InterruptionListener listener;
    void* data;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        listener = s.listener;
        data = s.listenerData;
    }
    if (listener) listener(data, state);
}

void AudioSession::outputDisconnected(const AudioOutput* output) {
    SessionState& s = session();
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.output.get() != output) return;
    }
    interruption(kBeginInterruption);
    std::shared_ptr<AudioOutput> replacement = openProcessOutput();
    std::shared_ptr<AudioOutput> old;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.output.get() == output) {
            if (replacement) {
                adopt(replacement);
                replacement->setActive(s.active);
            }
            // Without a replacement the next output() tries to open one again.
            old = std::exchange(s.output, std::move(replacement));
        }
    }
    if (old) old->setDisconnectHandler(nullptr);
    interruption(kEndInterruption);
}

void AudioSession::shutdown() {
    SessionState& s = session();
    std::shared_ptr<AudioOutput> old;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        old = std::move(s.output);
        s.output = nullptr;
        s.listener = nullptr;
        s.listenerData = nullptr;
        s.category = Category::None;
        s.active = true;
    }
    if (old) old->setDisconnectHandler(nullptr);
}

}  // namespace platform
