#include "media/Manager.h"

#include <gtest/gtest.h>

#include "library/ByteArrayInputStream.h"
#include "platform/files/FileSystemPaths.h"
#include "runtime/IOException.h"
#include "runtime/IllegalArgumentException.h"
#include "tests/media/PlayerTestSupport.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/Watchdog.h"

namespace {

using namespace mediatest;
using java::io::ByteArrayInputStream;
using java::io::InputStream;
using java::lang::String;
using javax::microedition::media::protocol::DataSource;

JavaPtr<InputStream> streamOf(const std::vector<uint8_t>& bytes) {
    return jnew<ByteArrayInputStream>(byteArray(bytes));
}

class ManagerTest : public MediaFixture {
protected:
    JavaPtr<PlayerImpl> create(std::chrono::milliseconds length = 50ms) {
        JavaPtr<Player> player = Manager::createPlayer(streamOf(toneClip(length)), nullptr);
        made.push_back(jcast<PlayerImpl>(player));
        return made.back();
    }
    JavaPtr<PlayerImpl> createScripted() {
        PlayerImpl::platformPlayerFactory.store(&newScriptedPlatformPlayer);
        JavaPtr<PlayerImpl> player = create();
        PlayerImpl::platformPlayerFactory.store(&PlayerImpl::newDefaultPlatformPlayer);
        return player;
    }
    // Plays time on, polling through the manager as the ticker does.
    void pollFor(std::chrono::milliseconds time) {
        for (auto step = 0ms; step < time; step += 10ms) {
            fake->advance(10ms);
            Manager::tick();
        }
    }
};

TEST_F(ManagerTest, APlayerFromAStreamHoldsACopyOfTheWholeClip) {
    std::vector<uint8_t> clip = toneClip(100ms);
    auto bytes = byteArray(clip);
    auto stream = jnew<ByteArrayInputStream>(bytes);
    JavaPtr<Player> typed = Manager::createPlayer(stream, jnew<String>("audio/x-wav"));
    made.push_back(jcast<PlayerImpl>(typed));
    // The clip was read at once: spoiling the caller's array changes nothing.
    std::fill(bytes->begin(), bytes->end(), 0);
    EXPECT_EQ(stream->available(), 0);
    EXPECT_EQ(typed->getState(), Player::UNREALIZED);
    JavaPtr<RecordingListener> listener = listenTo(made.back());
    typed->start();
    pollFor(90ms);
    EXPECT_EQ(listener->names(), "started");
    pollFor(20ms);
    EXPECT_EQ(listener->names(), "started endOfMedia");

    // The content type is not looked at.
    JavaPtr<PlayerImpl> untyped = create();
    EXPECT_EQ(Manager::playerInSlot(0), made[0]);
    EXPECT_EQ(Manager::playerInSlot(1), untyped);
}

TEST_F(ManagerTest, LocatorsAreFileNamesInTheBundleOrTheDataDirectory) {
    testsupport::TemporaryDirectory root;
    std::filesystem::create_directories(root.path() / "bundle");
    std::filesystem::create_directories(root.path() / "data");
    const char* savedBundle = _appPathIs;
    const char* savedData = _savePathIs;
    platform::setFileSystemPaths((root.path() / "bundle").c_str(), (root.path() / "data").c_str());
    std::vector<uint8_t> clip = toneClip(50ms);
    testsupport::writeTextFile(root.path() / "bundle" / "cue.wav", std::string(clip.begin(), clip.end()));
    testsupport::writeTextFile(root.path() / "data" / "saved.wav", std::string(clip.begin(), clip.end()));

    for (const char* name : {"/cue.wav", "saved.wav"}) {
        SCOPED_TRACE(name);
        JavaPtr<Player> player = Manager::createPlayer(jnew<String>(name));
        ASSERT_TRUE(player);
        made.push_back(jcast<PlayerImpl>(player));
        JavaPtr<RecordingListener> listener = listenTo(made.back());
        player->start();
        pollFor(60ms);
        EXPECT_EQ(listener->names(), "started endOfMedia");
    }

    for (const JavaPtr<String>& locator :
         {Manager::TONE_DEVICE_LOCATOR, Manager::MIDI_DEVICE_LOCATOR, jnew<String>("missing.wav"),
          jnew<String>("/saved.wav"), jnew<String>("../data/saved.wav"), jnew<String>("")}) {
        SCOPED_TRACE(locator->val());
        EXPECT_THROW(Manager::createPlayer(locator), java::io::IOException);
    }
    EXPECT_THROW(Manager::createPlayer(JavaPtr<String>()), java::lang::IllegalArgumentException);
    EXPECT_THROW(Manager::createPlayer(JavaPtr<DataSource>()), java::io::IOException);
    EXPECT_EQ(Manager::playerTableLength(), 100);
    EXPECT_EQ(Manager::findUnusedSlot(), 2) << "failed creations leave no player behind";
    _appPathIs = savedBundle;
    _savePathIs = savedData;
}

TEST_F(ManagerTest, DeviceLocatorsAndNoTableBeforeTheFirstPlayer) {
    EXPECT_STREQ(Manager::TONE_DEVICE_LOCATOR->val(), "device://tone");
    EXPECT_STREQ(Manager::MIDI_DEVICE_LOCATOR->val(), "device://midi");
    Manager::playTone(60, 100, 50);
    for (const JavaPtr<String>& asked :
         {JavaPtr<String>(), jnew<String>("http"), jnew<String>("audio/x-wav")}) {
        auto types = Manager::getSupportedContentTypes(asked);
        auto protocols = Manager::getSupportedProtocols(asked);
        ASSERT_TRUE(types && protocols);
        EXPECT_EQ(types->length, 0);
        EXPECT_EQ(protocols->length, 0);
        EXPECT_NE(types, Manager::getSupportedContentTypes(asked)) << "a new array each time";
        EXPECT_STREQ(types->getClassTypeName(), "java.lang.String");
    }
    EXPECT_EQ(Manager::playerTableLength(), -1) << "no table before the first player";
}

TEST_F(ManagerTest, TheTableTakesTheLowestFreeSlotAndGrowsByOne) {
    for (int i = 0; i < 100; ++i) create(10ms);
    EXPECT_EQ(Manager::playerTableLength(), 100);
    JavaPtr<PlayerImpl> extra = create(10ms);
    EXPECT_EQ(Manager::playerTableLength(), 101);
    EXPECT_EQ(Manager::playerInSlot(100), extra);

    made[7]->close();
    made[5]->close();
    Manager::tick();
    EXPECT_FALSE(Manager::playerInSlot(5));
    EXPECT_FALSE(Manager::playerInSlot(7));
    EXPECT_EQ(made[5]->getState(), Player::CLOSED) << "the application's reference stays usable";
    EXPECT_EQ(Manager::playerInSlot(5 + 1), made[6]);

    JavaPtr<PlayerImpl> first = create(10ms);
    JavaPtr<PlayerImpl> second = create(10ms);
    JavaPtr<PlayerImpl> third = create(10ms);
    EXPECT_EQ(Manager::playerInSlot(5), first);
    EXPECT_EQ(Manager::playerInSlot(7), second);
    EXPECT_EQ(Manager::playerInSlot(101), third);
    EXPECT_EQ(Manager::playerTableLength(), 102);
}

TEST_F(ManagerTest, ThePollReapsAPlayerOnlyOnceItsPlatformPlayerHasFinished) {
    JavaPtr<PlayerImpl> player = createScripted();
    player->start();
    script.with([&] { return script.deletable = false; });
    player->close();
    Manager::tick();
    EXPECT_EQ(Manager::playerInSlot(0), player);
    EXPECT_EQ(script.deleted, 0);

    script.with([&] { return script.deletable = true; });
    Manager::tick();
    EXPECT_FALSE(Manager::playerInSlot(0));
    EXPECT_EQ(script.deleted, 1) << "the platform player is freed with the reaping";
    EXPECT_FALSE(player->hasPlatformPlayer());
    EXPECT_EQ(script.callText(), "setSoundData(" + std::to_string(toneClip(50ms).size()) + ") play destroy");
}

TEST_F(ManagerTest, ThePollEndsPlaysAndLoopsAcrossTheTable) {
    JavaPtr<PlayerImpl> once = create(50ms);
    JavaPtr<PlayerImpl> twice = create(80ms);
    JavaPtr<RecordingListener> onceListener = listenTo(once);
    JavaPtr<RecordingListener> twiceListener = listenTo(twice);
    twice->setLoopCount(2);
    once->start();
    twice->start();
    pollFor(200ms);
    EXPECT_EQ(onceListener->names(), "started endOfMedia");
    EXPECT_EQ(twiceListener->names(), "started endOfMedia started endOfMedia");
    EXPECT_EQ(_manager_tick_recursion_check.load(), 0);
}

TEST_F(ManagerTest, AThrowingListenerLeavesThePollWorking) {
    JavaPtr<PlayerImpl> first = create(30ms);
    JavaPtr<PlayerImpl> second = create(60ms);
    JavaPtr<RecordingListener> thrower = listenTo(first);
    JavaPtr<RecordingListener> listener = listenTo(second);
    thrower->reactWith([](const JavaPtr<Player>&, const std::string& event) {
        if (event == "endOfMedia") throw java::lang::IllegalArgumentException();
    });
    first->start();
    second->start();
    fake->advance(40ms);
    EXPECT_THROW(Manager::tick(), java::lang::IllegalArgumentException);
    EXPECT_EQ(_manager_tick_recursion_check.load(), 0) << "the guard is cleared on the way out";
    fake->advance(30ms);
    Manager::tick();
    EXPECT_EQ(listener->names(), "started endOfMedia");
    second->close();
    Manager::tick();
    EXPECT_FALSE(Manager::playerInSlot(1)) << "reaping goes on too";
}

TEST_F(ManagerTest, APollStartedDuringAPassReturnsAtOnce) {
    JavaPtr<PlayerImpl> player = create(30ms);
    JavaPtr<RecordingListener> listener = listenTo(player);
    int nested = 0;
    listener->reactWith([&](const JavaPtr<Player>&, const std::string& event) {
        if (event != "endOfMedia") return;
        ++nested;
        Manager::tick();
        player->start();
        Manager::tick();
    });
    player->start();
    fake->advance(40ms);
    Manager::tick();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(listener->names(), "started endOfMedia started");
    listener->reactWith(nullptr);
}

TEST_F(ManagerTest, AnInterruptionPausesEveryPlayerInTheTable) {
    JavaPtr<PlayerImpl> a = create(50ms);
    JavaPtr<PlayerImpl> b = create(50ms);
    JavaPtr<RecordingListener> listener = listenTo(a);
    a->start();
    b->start();
    platform::AudioSession::interruption(platform::AudioSession::kBeginInterruption);
    pollFor(100ms);
    EXPECT_EQ(a->getState(), Player::STARTED);
    EXPECT_EQ(b->getState(), Player::STARTED);
    platform::AudioSession::interruption(platform::AudioSession::kEndInterruption);
    pollFor(100ms);
    EXPECT_EQ(a->getState(), Player::STARTED) << "an interrupted player is not resumed by itself";

    a->stop();
    a->start();
    pollFor(60ms);
    EXPECT_EQ(listener->names(), "started stopped started endOfMedia");

    // A player closed while still marked interrupted can be reaped.
    b->close();
    Manager::tick();
    EXPECT_FALSE(Manager::playerInSlot(1));

    // So can one that an interruption reaches after it was closed, before a poll reaped it: its torn
    // down queue has nothing to make again.
    a->close();
    platform::AudioSession::interruption(platform::AudioSession::kBeginInterruption);
    Manager::tick();
    platform::AudioSession::interruption(platform::AudioSession::kEndInterruption);
    EXPECT_FALSE(Manager::playerInSlot(0));
}

TEST_F(ManagerTest, TidyUpClosesEveryPlayerAndDropsTheTable) {
    JavaPtr<PlayerImpl> playing = create(500ms);
    JavaPtr<PlayerImpl> idle = create();
    JavaPtr<RecordingListener> playingListener = listenTo(playing);
    JavaPtr<RecordingListener> idleListener = listenTo(idle);
    playing->start();
    Manager::tidyUp();
    EXPECT_TRUE(Manager::soundSystemTerminating());
    EXPECT_EQ(Manager::playerTableLength(), -1);
    EXPECT_EQ(playingListener->names(), "started closed");
    EXPECT_EQ(idleListener->names(), "closed");
    EXPECT_FALSE(playing->hasPlatformPlayer());
    EXPECT_EQ(fake->voiceCount(), 0u);
    EXPECT_EQ(javax::microedition::media::interruptionPauseAllPlayers.load(), nullptr);
    EXPECT_NO_THROW(playing->stop());

    Manager::tick();
    Manager::tidyUp();
    // A player made afterwards starts a new table.
    platform::AudioSession::setOutput(fake);
    create();
    EXPECT_EQ(Manager::playerTableLength(), 100);
}

TEST_F(ManagerTest, TidyUpReleasesPlayersThatNeverFinishAfterItsLimit) {
    testsupport::Watchdog watchdog;
    Manager::tidyUpWaitMilliseconds.store(30);
    JavaPtr<PlayerImpl> stuck = createScripted();
    createScripted();
    script.with([&] { return script.deletable = false; });
    made.clear();
    stuck = nullptr;
    Manager::tidyUp();
    Manager::tidyUpWaitMilliseconds.store(2000);
    EXPECT_EQ(Manager::playerTableLength(), -1);
    EXPECT_EQ(script.made, 2);
    EXPECT_EQ(script.deleted, 2) << "released with the table";
}

// From the bytes of a resource to the sound on the output and back to the listener, on OpenAL's
// loopback device rendered by the test.
TEST_F(ManagerTest, ACuePlayedTwiceSoundsTwiceAndEndsTwice) {
    TestOutput loopback(OutputKind::Loopback);
    ASSERT_TRUE(loopback.ready()) << "no loopback output";
    platform::AudioSession::setOutput(loopback.output());
    JavaPtr<Player> cue = Manager::createPlayer(streamOf(toneClip(200ms)), jnew<String>("audio/x-wav"));
    made.push_back(jcast<PlayerImpl>(cue));
    JavaPtr<RecordingListener> listener = listenTo(made.back());
    cue->setLoopCount(2);
    cue->start();

    int loudest[2] = {0, 0};
    for (int step = 0; step < 60 && listener->events().size() < 4; ++step) {
        int& play = loudest[listener->events().size() < 2 ? 0 : 1];
        play = std::max(play, loopback.advance(10ms));
        Manager::tick();
    }
    EXPECT_EQ(listener->names(), "started endOfMedia started endOfMedia");
    EXPECT_GT(loudest[0], 1000) << "the cue was heard";
    EXPECT_GT(loudest[1], 1000) << "and heard again";
    EXPECT_EQ(cue->getState(), Player::PREFETCHED);
    loopback.advance(10ms);  // the mixer's tail
    EXPECT_LE(loopback.advance(50ms), 1) << "silent after the second play";
    cue->close();
    Manager::tick();
    EXPECT_FALSE(Manager::playerInSlot(0));
}

}  // namespace
