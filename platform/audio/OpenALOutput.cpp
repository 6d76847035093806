#include "platform/audio/OpenALOutput.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

using namespace std::chrono_literals;

struct OpenALOutput::Device {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    bool loopback = false;
    Pacing pacing = Pacing::ByCaller;
    int sampleRate = 0;

    // Guards every OpenAL call made on this device (each one sets the context for its own thread, so
    // several outputs can live in one process) and the fields below.
    std::mutex lock;
    std::map<ALuint, PcmFormat> voices;
    // Buffer name -> the voice it was made for.
    std::map<ALuint, ALuint> buffers;
    bool active = true;
    bool disconnected = false;
    bool stopping = false;
    std::function<void()> disconnectHandler;
    std::function<void(std::span<const int16_t>)> renderObserver;
    // Rung when the output closes, and when a voice starts.
    std::condition_variable wake;
    // The render thread of a paced loopback, or the watch for a device that goes away.
    std::thread worker;

    // The state of an opened device and its new context; null, with the device closed, when the
    // context could not be made.
    static std::unique_ptr<Device> adopt(ALCdevice* device, ALCcontext* context) {
        if (context == nullptr) {
            alcCloseDevice(device);
            return nullptr;
        }
        auto state = std::make_unique<Device>();
        state->device = device;
        state->context = context;
        return state;
    }

    void renderInRealTime();
    // Under the lock, on a thread where the context is current.
    bool anyVoicePlaying();
    void watchConnection();
    // Under the lock.
    bool connected() {
        if (disconnected || loopback) return !disconnected;
        ALCint value = ALC_TRUE;
        alcGetIntegerv(device, ALC_CONNECTED, 1, &value);
        return value != ALC_FALSE;
    }
};

namespace {

// Makes the device's context current on this thread for the scope of one call, under its lock, and
// clears OpenAL's error flag so that ok() reports this call's errors only.
class ContextScope {
public:
    ContextScope(std::mutex& lock, ALCcontext* context) : m_guard(lock) {
        alcSetThreadContext(context);
        alGetError();
    }
    ~ContextScope() { alcSetThreadContext(nullptr); }
    bool ok() { return alGetError() == AL_NO_ERROR; }

private:
    std::lock_guard<std::mutex> m_guard;
};

AudioStatus statusOf(bool ok) {
    return ok ? AudioStatus::Ok : AudioStatus::Failed;
}

}  // namespace

void OpenALOutput::Device::renderInRealTime() {
    const int blockFrames = sampleRate / 100;
    std::vector<int16_t> block(static_cast<size_t>(blockFrames) * kLoopbackChannels);
    // This thread only ever uses this device's context, so it keeps it current for good.
    alcSetThreadContext(context);
    auto deadline = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> guard(lock);
    while (!stopping) {
        if (!anyVoicePlaying()) {
            // Mixing silence would wake the process 100 times a second for nothing: sleep until a
            // voice starts, and keep time from then.
            wake.wait(guard, [this] { return stopping || anyVoicePlaying(); });
            deadline = std::chrono::steady_clock::now();
            continue;
        }
        alcRenderSamplesSOFT(device, block.data(), blockFrames);
        auto observer = renderObserver;
        if (observer) {
            guard.unlock();
            observer(block);
            guard.lock();
        }
        deadline += 10ms;
        auto now = std::chrono::steady_clock::now();
        // After a stall, keep time from now rather than rushing through the missed blocks.
        if (deadline < now - 100ms) deadline = now;
        wake.wait_until(guard, deadline, [this] { return stopping; });
    }
    guard.unlock();
    alcSetThreadContext(nullptr);
}

bool OpenALOutput::Device::anyVoicePlaying() {
    for (const auto& entry : voices) {
        ALint state = AL_INITIAL;
        alGetSourcei(entry.first, AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING) return true;
    }
    return false;
}

void OpenALOutput::Device::watchConnection() {
    std::unique_lock<std::mutex> guard(lock);
    while (!stopping) {
        if (wake.wait_for(guard, 250ms, [this] { return stopping; })) break;
        ALCint connected = ALC_TRUE;
        alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
        if (connected != ALC_FALSE) continue;
        disconnected = true;
        auto handler = disconnectHandler;
        guard.unlock();
        if (handler) handler();
        return;
    }
}

std::unique_ptr<OpenALOutput> OpenALOutput::openDevice() {
    if (!alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context")) return nullptr;
    ALCdevice* device = alcOpenDevice(nullptr);
    if (device == nullptr) return nullptr;
    auto state = Device::adopt(device, alcCreateContext(device, nullptr));
    if (!state) return nullptr;
    ALCint frequency = 0;
    alcGetIntegerv(device, ALC_FREQUENCY, 1, &frequency);
    state->sampleRate = frequency;
    std::unique_ptr<OpenALOutput> output(new OpenALOutput(std::move(state)));
    if (alcIsExtensionPresent(device, "ALC_EXT_disconnect")) {
        Device* d = output->m_device.get();
        d->worker = std::thread([d] { d->watchConnection(); });
    }
    return output;
}

std::unique_ptr<OpenALOutput> OpenALOutput::openLoopback(Pacing pacing, int sampleRate) {
    if (!alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context") ||
        !alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") || sampleRate < 8000)
        return nullptr;
    ALCdevice* device = alcLoopbackOpenDeviceSOFT(nullptr);
    if (device == nullptr) return nullptr;
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                 ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,
                                 ALC_SHORT_SOFT,
                                 ALC_FREQUENCY,
                                 sampleRate,
                                 ALC_HRTF_SOFT,
                                 ALC_FALSE,
                                 0};
    ALCcontext* context = alcIsRenderFormatSupportedSOFT(device, sampleRate, ALC_STEREO_SOFT, ALC_SHORT_SOFT)
                              ? alcCreateContext(device, attributes)
                              : nullptr;
    auto state = Device::adopt(device, context);
    if (!state) return nullptr;
    state->loopback = true;
    state->pacing = pacing;
    state->sampleRate = sampleRate;
    std::unique_ptr<OpenALOutput> output(new OpenALOutput(std::move(state)));
    if (pacing == Pacing::RealTime) {
        Device* d = output->m_device.get();
        d->worker = std::thread([d] { d->renderInRealTime(); });
    }
    return output;
}

OpenALOutput::OpenALOutput(std::unique_ptr<Device> device) : m_device(std::move(device)) {}

OpenALOutput::~OpenALOutput() {
    Device& d = *m_device;
    {
        std::lock_guard<std::mutex> guard(d.lock);
        d.stopping = true;
    }
    d.wake.notify_all();
    if (d.worker.joinable()) {
        // The disconnect handler may drop the last reference to its own output.
        if (d.worker.get_id() == std::this_thread::get_id())
            d.worker.detach();
        else
            d.worker.join();
    }
    {
        ContextScope scope(d.lock, d.context);
        for (auto& [source, format] : d.voices) {
            alSourceStop(source);
            alSourcei(source, AL_BUFFER, 0);
            alDeleteSources(1, &source);
        }
        for (auto& [buffer, voice] : d.buffers) alDeleteBuffers(1, &buffer);
    }
    alcDestroyContext(d.context);
    alcCloseDevice(d.device);
}

bool OpenALOutput::isLoopback() const {
    return m_device->loopback;
}

int OpenALOutput::sampleRate() const {
    return m_device->sampleRate;
}

bool OpenALOutput::render(std::span<int16_t> out) {
    Device& d = *m_device;
    if (!d.loopback || d.pacing != Pacing::ByCaller) return false;
    std::lock_guard<std::mutex> guard(d.lock);
    alcRenderSamplesSOFT(d.device, out.data(), static_cast<ALCsizei>(out.size() / kLoopbackChannels));
    return true;
}

void OpenALOutput::setRenderObserver(std::function<void(std::span<const int16_t>)> observer) {
    std::lock_guard<std::mutex> guard(m_device->lock);
    m_device->renderObserver = std::move(observer);
}

AudioVoice OpenALOutput::newVoice(const PcmFormat& format) {
    Device& d = *m_device;
    if (format.bitsPerChannel != 16 || format.channels < 1 || format.channels > 2 || format.sampleRate < 1)
        return 0;
    ContextScope scope(d.lock, d.context);
    ALuint source = 0;
    alGenSources(1, &source);
    if (!scope.ok()) return 0;
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    d.voices[source] = format;
    return source;
}

void OpenALOutput::disposeVoice(AudioVoice voice) {
    Device& d = *m_device;
    ContextScope scope(d.lock, d.context);
    if (d.voices.erase(voice) == 0) return;
    alSourceStop(voice);
    alSourcei(voice, AL_BUFFER, 0);
    alDeleteSources(1, &voice);
    for (auto it = d.buffers.begin(); it != d.buffers.end();) {
        if (it->second == voice) {
            alDeleteBuffers(1, &it->first);
            it = d.buffers.erase(it);
        } else {
            ++it;
        }
    }
}

AudioBuffer OpenALOutput::newBuffer(AudioVoice voice, std::span<const int16_t> samples) {
    Device& d = *m_device;
    ContextScope scope(d.lock, d.context);
    auto found = d.voices.find(voice);
    if (found == d.voices.end()) return 0;
    const PcmFormat& format = found->second;
    size_t bytes = samples.size() * sizeof(int16_t);
    if (samples.empty() || samples.size() % format.channels != 0 || bytes > size_t{INT32_MAX}) return 0;
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (!scope.ok()) return 0;
    alBufferData(buffer, format.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, samples.data(),
                 static_cast<ALsizei>(bytes), format.sampleRate);
    if (!scope.ok()) {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    d.buffers[buffer] = voice;
    return buffer;
}

void OpenALOutput::freeBuffer(AudioVoice voice, AudioBuffer buffer) {
    Device& d = *m_device;
    ContextScope scope(d.lock, d.context);
    auto found = d.buffers.find(buffer);
    if (found == d.buffers.end() || found->second != voice) return;
    // A buffer still attached to a source cannot be deleted.
    alSourceStop(voice);
    alSourcei(voice, AL_BUFFER, 0);
    alDeleteBuffers(1, &buffer);
    d.buffers.erase(found);
}

AudioStatus OpenALOutput::enqueue(AudioVoice voice, AudioBuffer buffer) {
    Device& d = *m_device;
    ContextScope scope(d.lock, d.context);
    if (!d.active || !d.connected()) return AudioStatus::SessionNotActive;
    auto found = d.buffers.find(buffer);
    if (found == d.buffers.end() || found->second != voice) return AudioStatus::Failed;
    ALint state = AL_INITIAL;
    alGetSourcei(voice, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING || state == AL_PAUSED) return AudioStatus::Failed;
    alSourcei(voice, AL_BUFFER, static_cast<ALint>(buffer));
    alSourceRewind(voice);
    return statusOf(scope.ok());
}

AudioStatus OpenALOutput::start(AudioVoice voice) {
    Device& d = *m_device;
    ContextScope scope(d.lock, d.context);
    if (d.voices.count(voice) == 0) return AudioStatus::Failed;
    if (!d.connected()) return AudioStatus::SessionNotActive;
    alSourcePlay(voice);
    // A real-time loopback's render thread sleeps while no voice plays.
    d.wake.notify_all();
    return statusOf(scope.ok());
}

template <class SourceCall>
AudioStatus OpenALOutput::callOnVoice(AudioVoice voice, SourceCall call) {
    Device& d = *m_device;
    ContextScope scope(d.lock, d.context);
    if (d.voices.count(voice) == 0) return AudioStatus::Failed;
    call(static_cast<ALuint>(voice));
    return statusOf(scope.ok());
}

AudioStatus OpenALOutput::pause(AudioVoice voice) {
    return callOnVoice(voice, [](ALuint source) { alSourcePause(source); });
}

AudioStatus OpenALOutput::stop(AudioVoice voice) {
    return callOnVoice(voice, [](ALuint source) { alSourceRewind(source); });
}

AudioStatus OpenALOutput::setGain(AudioVoice voice, float gain) {
    return callOnVoice(voice, [gain](ALuint source) { alSourcef(source, AL_GAIN, gain); });
}

std::optional<VoiceState> OpenALOutput::state(AudioVoice voice) {
    Device& d = *m_device;
    ContextScope scope(d.lock, d.context);
    if (d.voices.count(voice) == 0) return std::nullopt;
    ALint state = AL_INITIAL;
    alGetSourcei(voice, AL_SOURCE_STATE, &state);
    if (!scope.ok()) return std::nullopt;
    switch (state) {
        case AL_PLAYING:
            return VoiceState::Playing;
        case AL_PAUSED:
            return VoiceState::Paused;
        case AL_STOPPED:
            return VoiceState::Stopped;
        default:
            return VoiceState::Initial;
    }
}

void OpenALOutput::setActive(bool active) {
    std::lock_guard<std::mutex> guard(m_device->lock);
    m_device->active = active;
}

void OpenALOutput::setDisconnectHandler(std::function<void()> handler) {
    std::lock_guard<std::mutex> guard(m_device->lock);
    m_device->disconnectHandler = std::move(handler);
}

}  // namespace platform
