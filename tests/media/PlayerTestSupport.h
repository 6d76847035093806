// Fixtures of the player, control and manager tests: a listener that records what it is told, a
// platform player whose answers the test sets, and a fixture with the media statics made and the
// fake output (on a virtual clock) as the session's output.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "media/Manager.h"
#include "media/MetaDataControl.h"
#include "media/PlayerImpl.h"
#include "media/PlayerListener.h"
#include "runtime/Long.h"
#include "tests/media/MediaTestSupport.h"

namespace mediatest {

using javax::microedition::media::AbstractPlatformPlayer;
using javax::microedition::media::Manager;
using javax::microedition::media::Player;
using javax::microedition::media::PlayerImpl;
using javax::microedition::media::PlayerListener;

// One event as a listener saw it.
struct SeenEvent {
    std::string name;
    // The String object itself: events are the listener statics, compared by identity.
    const java::lang::String* event;
    java::lang::Smart* player;
    java::lang::Smart* data;
    // The media time of a Long payload; kNoTime for any other payload.
    long long time;
    static constexpr long long kNoTime = -12345;
};

class RecordingListener : public java::lang::Object, public virtual PlayerListener {
    TESL_CLASS(RecordingListener, "tests.media.RecordingListener", java::lang::Object, PlayerListener)
public:
    using Reaction = std::function<void(const JavaPtr<Player>&, const std::string&)>;

    void playerUpdate(const JavaPtr<Player>& player, const JavaPtr<java::lang::String>& event,
                      const JavaPtr<java::lang::Object>& eventData) override {
        JavaPtr<java::lang::Long> time = jcast<java::lang::Long>(eventData);
        SeenEvent seen{event->val(), event.get(), player.counted(), eventData.counted(),
                       time ? time->longValue() : SeenEvent::kNoTime};
        Reaction react;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_events.push_back(seen);
            react = m_reaction;
        }
        if (react) react(player, seen.name);
    }

    // Runs after each event is recorded, on the thread that delivered it.
    void reactWith(Reaction reaction) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_reaction = std::move(reaction);
    }
    std::vector<SeenEvent> events() {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_events;
    }
    // The names, space separated: "started endOfMedia".
    std::string names() {
        std::lock_guard<std::mutex> guard(m_lock);
        std::string all;
        for (const auto& e : m_events) all += (all.empty() ? "" : " ") + e.name;
        return all;
    }
    void clear() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_events.clear();
    }

private:
    std::mutex m_lock;
    std::vector<SeenEvent> m_events;
    Reaction m_reaction;
};

// The answers of a scripted platform player and what was asked of it. Shared, since the player owns
// (and deletes) the platform player itself.
struct PlatformScript {
    std::mutex lock;
    bool playAnswer = true;
    bool pauseAnswer = true;
    bool resumeAnswer = true;
    bool busy = false;
    bool deletable = true;
    long long seekAnswer = 0;
    long long position = -1;
    int volume = 65535;
    std::vector<std::string> calls;
    int made = 0;
    int deleted = 0;

    void note(const std::string& call) { calls.push_back(call); }
    template <class F>
    auto with(F f) -> decltype(f()) {
        std::lock_guard<std::mutex> guard(lock);
        return f();
    }
    std::string callText() {
        std::lock_guard<std::mutex> guard(lock);
        std::string all;
        for (const auto& c : calls) all += (all.empty() ? "" : " ") + c;
        return all;
    }
};

class ScriptedPlatformPlayer : public AbstractPlatformPlayer {
public:
    explicit ScriptedPlatformPlayer(PlatformScript& script) : s(script) {
        s.with([&] { return ++s.made; });
    }
    ~ScriptedPlatformPlayer() override {
        s.with([&] { return ++s.deleted; });
    }
    bool setSoundData(void*, long long length) override {
        return s.with([&] {
            s.note("setSoundData(" + std::to_string(length) + ")");
            return true;
        });
    }
    bool playSoundData() override {
        return s.with([&] {
            s.note("play");
            return s.playAnswer;
        });
    }
    bool pausePlayback() override {
        return s.with([&] {
            s.note("pause");
            return s.pauseAnswer;
        });
    }
    bool resumePlayback() override {
        return s.with([&] {
            s.note("resume");
            return s.resumeAnswer;
        });
    }
    bool hasIncompletePlaybackTask() override {
        return s.with([&] { return s.busy; });
    }
    long long seekToTime(long long time) override {
        return s.with([&] {
            s.note("seek(" + std::to_string(time) + ")");
            return s.seekAnswer;
        });
    }
    long long getPlaybackPos() override {
        return s.with([&] { return s.position; });
    }
    bool setVolume(int level) override {
        return s.with([&] {
            s.volume = level & 0xFFFF;
            return true;
        });
    }
    int getVolume() override {
        return s.with([&] { return s.volume; });
    }
    void destroy() override {
        s.with([&] {
            s.note("destroy");
            return 0;
        });
    }
    bool canBeDeleted() override {
        return s.with([&] { return s.deletable; });
    }

private:
    PlatformScript& s;
};

// The script the factory below gives every new platform player.
inline PlatformScript*& currentScript() {
    static PlatformScript* script = nullptr;
    return script;
}
inline AbstractPlatformPlayer* newScriptedPlatformPlayer() {
    return new ScriptedPlatformPlayer(*currentScript());
}
inline AbstractPlatformPlayer* noPlatformPlayer() {
    return nullptr;
}

inline JavaPtr<JArray<signed char>> byteArray(const std::vector<uint8_t>& bytes) {
    auto array = jnew<JArray<signed char>>(static_cast<int>(bytes.size()));
    if (!bytes.empty()) std::memcpy(array->data, bytes.data(), bytes.size());
    return array;
}

// The media statics made, the fake output in place, and every player made through it closed at
// the end so that no player-control cycle outlives the test.
class MediaFixture : public testing::Test {
protected:
    void SetUp() override {
        resetAudioState();
        fake = std::make_shared<testsupport::FakeAudioOutput>();
        platform::AudioSession::setOutput(fake);
        PlayerListener::PlayerListener_staticInit();
        javax::microedition::media::control::MetaDataControl::MetaDataControl_staticInit();
        Manager::Manager_staticInit();
        Manager::terminating.store(false);
        _manager_tick_recursion_check.store(0);
        PlayerImpl::platformPlayerFactory.store(&PlayerImpl::newDefaultPlatformPlayer);
        currentScript() = &script;
    }
    void TearDown() override {
        for (auto& player : made) player->close();
        made.clear();
        Manager::Manager_staticDestroy();
        PlayerImpl::platformPlayerFactory.store(&PlayerImpl::newDefaultPlatformPlayer);
        currentScript() = nullptr;
        javax::microedition::media::control::MetaDataControl::MetaDataControl_staticDestroy();
        PlayerListener::PlayerListener_staticDestroy();
        Manager::terminating.store(false);
        resetAudioState();
    }

    JavaPtr<PlayerImpl> newPlayer(std::chrono::milliseconds length = 100ms) {
        made.push_back(jnew<PlayerImpl>(byteArray(toneClip(length))));
        return made.back();
    }
    JavaPtr<PlayerImpl> newScriptedPlayer() {
        PlayerImpl::platformPlayerFactory.store(&newScriptedPlatformPlayer);
        made.push_back(jnew<PlayerImpl>(byteArray({1, 2, 3})));
        PlayerImpl::platformPlayerFactory.store(&PlayerImpl::newDefaultPlatformPlayer);
        return made.back();
    }
    JavaPtr<RecordingListener> listenTo(const JavaPtr<PlayerImpl>& player) {
        auto listener = jnew<RecordingListener>();
        player->addPlayerListener(listener);
        return listener;
    }
    // Plays time on and polls the player, as the ticker's passes would.
    void playOn(const JavaPtr<PlayerImpl>& player, std::chrono::milliseconds time) {
        for (auto step = 0ms; step < time; step += 10ms) {
            fake->advance(10ms);
            player->tick();
        }
    }

    std::shared_ptr<testsupport::FakeAudioOutput> fake;
    PlatformScript script;
    std::vector<JavaPtr<PlayerImpl>> made;
};

}  // namespace mediatest
