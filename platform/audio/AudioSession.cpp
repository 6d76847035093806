#include "platform/audio/AudioSession.h"

#include <dirent.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>

#include "platform/audio/OpenALOutput.h"

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

bool exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

// Whether the machine may have somewhere to play sound: a sound server's socket or an ALSA playback
// device. Asked to open a device where there is none, the sound libraries print a page of errors of
// their own; so without one the session goes straight to the silent loopback. A back end the user
// names for OpenAL is always tried.
bool soundDeviceMayExist() {
    if (std::getenv("ALSOFT_DRIVERS") != nullptr || std::getenv("PULSE_SERVER") != nullptr) return true;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != 0) {
        const std::string dir = runtime;
        if (exists(dir + "/pulse/native") || exists(dir + "/pipewire-0")) return true;
    }
    DIR* devices = opendir("/dev/snd");
    if (devices == nullptr) return false;
    bool playback = false;
    while (const dirent* entry = readdir(devices)) {
        const std::string name = entry->d_name;
        if (name.rfind("pcmC", 0) == 0 && name.back() == 'p') playback = true;
    }
    closedir(devices);
    return playback;
}

std::shared_ptr<AudioOutput> openProcessOutput() {
    if (soundDeviceMayExist()) {
        if (auto device = OpenALOutput::openDevice()) return device;
    }
    // Said once per process, however often a lost device is looked for again.
    static std::atomic<bool> said{false};
    if (!said.exchange(true)) std::fprintf(stderr, "quill: no audio device: sound is off\n");
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
