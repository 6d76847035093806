#include "media/PlayerImpl.h"

#include <gtest/gtest.h>

#include "media/MediaException.h"
#include "media/ToneControlImpl.h"
#include "media/VolumeControlImpl.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "tests/media/PlayerTestSupport.h"
#include "tests/support/ClassRegistry.h"

namespace {

using namespace mediatest;
using java::lang::IllegalArgumentException;
using java::lang::IllegalStateException;
using java::lang::String;
using javax::microedition::media::Control;
using javax::microedition::media::Controllable;
using javax::microedition::media::MediaException;
using javax::microedition::media::control::MetaDataControl;
using javax::microedition::media::control::ToneControl;
using javax::microedition::media::control::ToneControlImpl;
using javax::microedition::media::control::VolumeControl;
using javax::microedition::media::control::VolumeControlImpl;

QUILL_REGISTER_CLASSES(PlayerImpl, Player, Controllable, PlayerListener, MediaException, Manager, Control,
                       VolumeControl, ToneControl, MetaDataControl, VolumeControlImpl, ToneControlImpl);

static_assert(Player::TESLclassTypeID == 320789991);
static_assert(Controllable::TESLclassTypeID == -2068229361);
static_assert(PlayerListener::TESLclassTypeID == 1187590075);
static_assert(PlayerImpl::TESLclassTypeID == -1958582105);
static_assert(MediaException::TESLclassTypeID == -2005926447);
static_assert(Manager::TESLclassTypeID == -1611584153);
static_assert(Control::TESLclassTypeID == -1495301353);
static_assert(VolumeControl::TESLclassTypeID == -592531892);
static_assert(ToneControl::TESLclassTypeID == -171860172);
static_assert(MetaDataControl::TESLclassTypeID == 1747663415);
static_assert(VolumeControlImpl::TESLclassTypeID == 1845067404);
static_assert(ToneControlImpl::TESLclassTypeID == -254166156);

using Player_ = Player;
constexpr int kClosed = Player_::CLOSED;
constexpr int kUnrealized = Player_::UNREALIZED;
constexpr int kRealized = Player_::REALIZED;
constexpr int kPrefetched = Player_::PREFETCHED;
constexpr int kStarted = Player_::STARTED;

JavaPtr<String> text(const char* s) {
    return jnew<String>(s);
}

class PlayerImplTest : public MediaFixture {
protected:
    void bringTo(const JavaPtr<PlayerImpl>& player, int state) {
        switch (state) {
            case kClosed:
                player->close();
                break;
            case kRealized:
                player->realize();
                break;
            case kPrefetched:
                player->prefetch();
                break;
            case kStarted:
                player->start();
                break;
            default:
                break;
        }
        ASSERT_EQ(player->getState(), state);
    }
};

TEST_F(PlayerImplTest, CastsAnswerTheInterfacesOfEachClass) {
    JavaPtr<PlayerImpl> player = newPlayer();
    PlayerImpl* p = player.get();
    EXPECT_EQ(p->castAsTypeID(Player::TESLclassTypeID), static_cast<Player*>(p));
    EXPECT_EQ(p->castAsTypeID(Controllable::TESLclassTypeID), static_cast<Controllable*>(p));
    EXPECT_EQ(p->castAsTypeID(java::lang::Object::TESLclassTypeID), static_cast<java::lang::Object*>(p));
    EXPECT_EQ(p->castAsTypeID(java::lang::Smart::TESLclassTypeID), static_cast<java::lang::Smart*>(p));
    EXPECT_EQ(p->castAsTypeID(PlayerListener::TESLclassTypeID), nullptr);
    // Through an interface the same object answers.
    JavaPtr<Controllable> asControllable = jcast<Controllable>(player);
    ASSERT_TRUE(asControllable);
    EXPECT_EQ(jcast<PlayerImpl>(asControllable).get(), p);

    player->realize();
    JavaPtr<Control> volume = player->getControl(text("VolumeControl"));
    EXPECT_TRUE(jinstanceof<VolumeControl>(volume));
    EXPECT_FALSE(jinstanceof<ToneControl>(volume));
    EXPECT_EQ(jcast<VolumeControlImpl>(volume)->getClassTypeName(),
              std::string("javax.microedition.media.control.VolumeControlImpl"));
    JavaPtr<Control> tone = player->getControl(text("ToneControl"));
    EXPECT_TRUE(jinstanceof<ToneControl>(tone));
    EXPECT_FALSE(jinstanceof<VolumeControl>(tone));

    MediaException failure;
    EXPECT_EQ(failure.castAsTypeID(java::lang::Exception::TESLclassTypeID),
              static_cast<java::lang::Exception*>(&failure));
    EXPECT_EQ(failure.castAsTypeID(java::lang::RuntimeException::TESLclassTypeID), nullptr);
}

TEST_F(PlayerImplTest, ANewPlayerIsUnrealizedAndIdle) {
    JavaPtr<PlayerImpl> player = newPlayer();
    EXPECT_EQ(player->getState(), kUnrealized);
    EXPECT_EQ(player->getPlayState(), PlayerImpl::PLAY_IDLE);
    EXPECT_EQ(player->listenerSlotCount(), 0);
    EXPECT_EQ(player->getLoopCount(), 1);
    EXPECT_EQ(player->getContentType()->length(), 0);
    EXPECT_EQ(player->getDuration(), -1);
    EXPECT_FALSE(player->getTimeBase());
    EXPECT_EQ(player->getVolume(), 65535);
    EXPECT_EQ(fake->voiceCount(), 1u) << "the clip is decoded at construction";
}

// Every operation in every state: what it throws, the state it leaves, its answer and the events.
TEST_F(PlayerImplTest, EveryOperationInEveryState) {
    constexpr int kThrows = -1;
    constexpr long long kVoid = -999;
    struct Cell {
        int after;
        long long answer;
        const char* events;
    };
    struct Row {
        const char* name;
        std::function<long long(const JavaPtr<PlayerImpl>&)> op;
        Cell cells[5];  // CLOSED, UNREALIZED, REALIZED, PREFETCHED, STARTED
    };
    auto v = [](auto f) {
        return [f](const JavaPtr<PlayerImpl>& p) {
            f(p);
            return kVoid;
        };
    };
    const Cell ise{kThrows, kVoid, ""};
    const std::vector<Row> rows = {
        {"realize",
         v([](auto& p) { p->realize(); }),
         {ise,
          {kRealized, kVoid, ""},
          {kRealized, kVoid, ""},
          {kPrefetched, kVoid, ""},
          {kStarted, kVoid, ""}}},
        {"prefetch",
         v([](auto& p) { p->prefetch(); }),
         {ise,
          {kPrefetched, kVoid, ""},
          {kPrefetched, kVoid, ""},
          {kPrefetched, kVoid, ""},
          {kStarted, kVoid, ""}}},
        {"start",
         v([](auto& p) { p->start(); }),
         {ise,
          {kStarted, kVoid, "started"},
          {kStarted, kVoid, "started"},
          {kStarted, kVoid, "started"},
          {kStarted, kVoid, ""}}},
        {"start(true)",
         v([](auto& p) { p->start(true); }),
         {ise,
          {kStarted, kVoid, "started"},
          {kStarted, kVoid, "started"},
          {kStarted, kVoid, "started"},
          {kStarted, kVoid, "started"}}},
        {"stop",
         v([](auto& p) { p->stop(); }),
         {ise,
          {kUnrealized, kVoid, ""},
          {kRealized, kVoid, ""},
          {kPrefetched, kVoid, ""},
          {kPrefetched, kVoid, "stopped"}}},
        {"deallocate",
         v([](auto& p) { p->deallocate(); }),
         {ise,
          {kUnrealized, kVoid, ""},
          {kRealized, kVoid, ""},
          {kRealized, kVoid, ""},
          {kRealized, kVoid, "stopped"}}},
        {"close",
         v([](auto& p) { p->close(); }),
         {{kClosed, kVoid, ""},
          {kClosed, kVoid, "closed"},
          {kClosed, kVoid, "closed"},
          {kClosed, kVoid, "closed"},
          {kClosed, kVoid, "closed"}}},
        {"setLoopCount",
         v([](auto& p) { p->setLoopCount(2); }),
         {ise, {kUnrealized, kVoid, ""}, {kRealized, kVoid, ""}, {kPrefetched, kVoid, ""}, ise}},
        {"setMediaTime",
         [](auto& p) { return p->setMediaTime(0); },
         {ise, ise, {kRealized, 0, ""}, {kPrefetched, 0, ""}, {kStarted, 0, ""}}},
        {"getMediaTime",
         [](auto& p) { return p->getMediaTime(); },
         // A playing clip's position is never known.
         {ise, {kUnrealized, 0, ""}, {kRealized, 0, ""}, {kPrefetched, 0, ""}, {kStarted, -1, ""}}},
        {"getDuration",
         [](auto& p) { return p->getDuration(); },
         {ise, {kUnrealized, -1, ""}, {kRealized, -1, ""}, {kPrefetched, -1, ""}, {kStarted, -1, ""}}},
        {"getControl",
         [](auto& p) { return p->getControl(text("VolumeControl")) ? 1LL : 0LL; },
         {ise, ise, {kRealized, 1, ""}, {kPrefetched, 1, ""}, {kStarted, 1, ""}}},
        {"getControls",
         [](auto& p) { return p->getControls() ? 1LL : 0LL; },
         {ise, ise, {kRealized, 0, ""}, {kPrefetched, 0, ""}, {kStarted, 0, ""}}},
        {"addPlayerListener",
         [](auto& p) {
             p->addPlayerListener(jnew<RecordingListener>());
             return (long long)p->listenerSlotCount();
         },
         {ise, {kUnrealized, 2, ""}, {kRealized, 2, ""}, {kPrefetched, 2, ""}, ise}},
        {"getState",
         [](auto& p) { return (long long)p->getState(); },
         {{kClosed, 0, ""},
          {kUnrealized, 100, ""},
          {kRealized, 200, ""},
          {kPrefetched, 300, ""},
          {kStarted, 400, ""}}},
    };
    const int states[5] = {kClosed, kUnrealized, kRealized, kPrefetched, kStarted};
    for (const Row& row : rows) {
        for (int s = 0; s < 5; ++s) {
            SCOPED_TRACE(std::string(row.name) + " in state " + std::to_string(states[s]));
            JavaPtr<PlayerImpl> player = newPlayer(50ms);
            JavaPtr<RecordingListener> listener = listenTo(player);
            bringTo(player, states[s]);
            listener->clear();
            const Cell& want = row.cells[s];
            long long answer = kVoid;
            bool threw = false;
            try {
                answer = row.op(player);
            } catch (IllegalStateException&) {
                threw = true;
            }
            EXPECT_EQ(threw, want.after == kThrows);
            EXPECT_EQ(player->getState(), want.after == kThrows ? states[s] : want.after);
            if (!threw) {
                EXPECT_EQ(answer, want.answer);
            }
            EXPECT_EQ(listener->names(), want.events);
        }
    }
}

TEST_F(PlayerImplTest, RemovingAListenerWorksInEveryState) {
    for (int state : {kClosed, kUnrealized, kRealized, kPrefetched, kStarted}) {
        SCOPED_TRACE(state);
        JavaPtr<PlayerImpl> player = newPlayer(50ms);
        JavaPtr<RecordingListener> kept = listenTo(player);
        JavaPtr<RecordingListener> removed = listenTo(player);
        bringTo(player, state);
        player->removePlayerListener(removed);
        kept->clear();
        removed->clear();
        player->close();
        EXPECT_EQ(removed->names(), "");
        EXPECT_EQ(kept->names(), state == kClosed ? "" : "closed");
    }
}

TEST_F(PlayerImplTest, EventsCarryThePlayerTheStaticNameAndTheMediaTime) {
    JavaPtr<PlayerImpl> player = newPlayer(100ms);
    JavaPtr<RecordingListener> listener = listenTo(player);
    player->start();
    playOn(player, 120ms);
    player->close();
    auto events = listener->events();
    ASSERT_EQ(listener->names(), "started endOfMedia closed");
    EXPECT_EQ(events[0].event, PlayerListener::STARTED.get());
    EXPECT_EQ(events[1].event, PlayerListener::END_OF_MEDIA.get());
    EXPECT_EQ(events[2].event, PlayerListener::CLOSED.get());
    for (const auto& e : events) EXPECT_EQ(e.player, player.counted());
    EXPECT_EQ(events[0].time, 0);
    EXPECT_EQ(events[1].time, 0);
    EXPECT_EQ(events[2].data, nullptr);
}

TEST_F(PlayerImplTest, ALoopCountOfNPlaysNTimesAndIsUsedUp) {
    JavaPtr<PlayerImpl> player = newPlayer(100ms);
    JavaPtr<RecordingListener> listener = listenTo(player);
    player->setLoopCount(3);
    player->start();
    playOn(player, 50ms);
    EXPECT_EQ(listener->names(), "started");
    playOn(player, 400ms);
    EXPECT_EQ(listener->names(), "started endOfMedia started endOfMedia started endOfMedia");
    EXPECT_EQ(player->getState(), kPrefetched);
    EXPECT_EQ(player->getLoopCount(), 1);
    EXPECT_EQ(player->getPlayState(), PlayerImpl::PLAY_IDLE);

    // Used up: the next start plays once.
    listener->clear();
    player->start();
    playOn(player, 300ms);
    EXPECT_EQ(listener->names(), "started endOfMedia");
}

TEST_F(PlayerImplTest, ALoopCountOfMinusOneRepeatsUntilStopped) {
    JavaPtr<PlayerImpl> player = newPlayer(100ms);
    JavaPtr<RecordingListener> listener = listenTo(player);
    player->setLoopCount(-1);
    player->start();
    playOn(player, 1050ms);
    EXPECT_EQ(listener->events().size(), 1u + 2u * 10u) << listener->names();
    EXPECT_EQ(player->getState(), kStarted);
    player->stop();
    listener->clear();
    // A stopped player is polled too: one "endOfMedia", and no restart.
    playOn(player, 300ms);
    EXPECT_EQ(listener->names(), "endOfMedia");
    EXPECT_EQ(player->getLoopCount(), -1);
}

// The poll that sees a stopped play end must not raise a player deallocated meanwhile.
TEST_F(PlayerImplTest, APlayerDeallocatedAfterItsStopStaysRealizedThroughThePoll) {
    JavaPtr<PlayerImpl> player = newPlayer(100ms);
    JavaPtr<RecordingListener> listener = listenTo(player);
    player->start();
    fake->advance(60ms);
    player->stop();
    player->deallocate();
    ASSERT_EQ(player->getState(), kRealized);
    player->tick();
    EXPECT_EQ(listener->names(), "started stopped endOfMedia");
    EXPECT_EQ(player->getState(), kRealized);
    EXPECT_EQ(player->getPlayState(), PlayerImpl::PLAY_IDLE);
}

TEST_F(PlayerImplTest, StartAfterStopResumesUntilThePollHasSeenTheStop) {
    JavaPtr<PlayerImpl> player = newPlayer(100ms);
    JavaPtr<RecordingListener> listener = listenTo(player);
    player->start();
    fake->advance(60ms);
    player->stop();
    player->start();
    auto events = listener->events();
    ASSERT_EQ(listener->names(), "started stopped started");
    EXPECT_EQ(events[1].time, 0);
    EXPECT_EQ(events[2].time, -1) << "a resume reports an unknown position";
    // 40 ms of the clip are left.
    playOn(player, 30ms);
    EXPECT_EQ(listener->names(), "started stopped started");
    playOn(player, 20ms);
    EXPECT_EQ(listener->names(), "started stopped started endOfMedia");

    // Once the poll has seen the stop, a start plays from the beginning.
    listener->clear();
    player->start();
    fake->advance(60ms);
    player->stop();
    player->tick();
    player->start();
    events = listener->events();
    ASSERT_EQ(listener->names(), "started stopped endOfMedia started");
    EXPECT_EQ(events[3].time, 0);
    playOn(player, 90ms);
    EXPECT_EQ(player->getState(), kStarted) << "the whole clip plays again";
}

TEST_F(PlayerImplTest, ListenersAreRegisteredOnceAndFreedSlotsAreReused) {
    JavaPtr<PlayerImpl> player = newPlayer();
    auto a = jnew<RecordingListener>();
    auto b = jnew<RecordingListener>();
    auto c = jnew<RecordingListener>();
    auto d = jnew<RecordingListener>();
    player->addPlayerListener(a);
    player->addPlayerListener(b);
    player->addPlayerListener(a);
    EXPECT_EQ(player->listenerSlotCount(), 2);
    // Registered through another of its interfaces, the same object is still one listener.
    player->addPlayerListener(jcast<PlayerListener>(JavaPtr<java::lang::Object>(b)));
    EXPECT_EQ(player->listenerSlotCount(), 2);
    player->addPlayerListener(c);
    player->removePlayerListener(a);
    player->removePlayerListener(b);
    EXPECT_EQ(player->listenerSlotCount(), 3) << "the slots stay";
    // The last free slot is taken first.
    player->addPlayerListener(d);
    EXPECT_EQ(player->listenerInSlot(1), d);
    player->addPlayerListener(a);
    EXPECT_EQ(player->listenerInSlot(0), a);
    EXPECT_EQ(player->listenerSlotCount(), 3);

    player->start();
    EXPECT_EQ(a->names(), "started");
    EXPECT_EQ(b->names(), "");
    EXPECT_EQ(c->names(), "started");
    EXPECT_EQ(d->names(), "started");
}

TEST_F(PlayerImplTest, CloseTellsEachListenerOnceAndBreaksTheControlCycle) {
    JavaPtr<PlayerImpl> player = newPlayer();
    JavaPtr<RecordingListener> first = listenTo(player);
    JavaPtr<RecordingListener> second = listenTo(player);
    player->start();
    JavaPtr<Control> volume = player->getControl(text("VolumeControl"));
    JavaPtr<Control> tone = player->getControl(text("ToneControl"));
    made.clear();
    EXPECT_EQ(player.counted()->m_referenceCount.load(), 3) << "ours and one from each control";

    player->close();
    player->close();
    EXPECT_EQ(first->names(), "started closed");
    EXPECT_EQ(second->names(), "started closed");
    EXPECT_FALSE(player->listenerInSlot(0));
    EXPECT_FALSE(player->listenerInSlot(1));
    EXPECT_EQ(player.counted()->m_referenceCount.load(), 1) << "the controls let go of the player";
    EXPECT_TRUE(jcast<VolumeControlImpl>(volume)->isParentClosed());
    EXPECT_EQ(fake->voiceCount(), 0u) << "the platform player was told to destroy its queue";
    EXPECT_TRUE(player->hasPlatformPlayer()) << "it stays until the manager's poll reaps the player";

    EXPECT_THROW(player->start(), IllegalStateException);
    EXPECT_THROW(player->stop(), IllegalStateException);
    EXPECT_THROW(player->addPlayerListener(first), IllegalStateException);
    EXPECT_EQ(player->getState(), kClosed);
    player->removePlayerListener(first);

    EXPECT_TRUE(player->canBeDeleted());
    EXPECT_FALSE(player->hasPlatformPlayer());
}

TEST_F(PlayerImplTest, StopOnAClosedPlayerIsQuietOnceTheManagerTerminates) {
    JavaPtr<PlayerImpl> player = newPlayer();
    player->close();
    EXPECT_THROW(player->stop(), IllegalStateException);
    Manager::terminating.store(true);
    EXPECT_NO_THROW(player->stop());
}

TEST_F(PlayerImplTest, ControlsAreMadeOnceAndFoundByEitherName) {
    JavaPtr<PlayerImpl> player = newPlayer();
    EXPECT_THROW(player->getControl(text("VolumeControl")), IllegalStateException);
    player->prefetch();
    JavaPtr<Control> shortName = player->getControl(text("VolumeControl"));
    JavaPtr<Control> longName = player->getControl(text("javax.microedition.media.control.VolumeControl"));
    ASSERT_TRUE(shortName);
    EXPECT_EQ(shortName, longName);
    EXPECT_EQ(player->getControl(text("ToneControl")),
              player->getControl(text("javax.microedition.media.control.ToneControl")));
    EXPECT_FALSE(player->getControl(text("javax.microedition.media.control.MetaDataControl")));
    EXPECT_FALSE(player->getControl(text("volumecontrol")));
    EXPECT_THROW(player->getControl(nullptr), IllegalArgumentException);
}

TEST_F(PlayerImplTest, LoopCountsAndSeeks) {
    JavaPtr<PlayerImpl> player = newScriptedPlayer();
    EXPECT_THROW(player->setLoopCount(0), IllegalArgumentException);
    player->setLoopCount(-7);
    EXPECT_EQ(player->getLoopCount(), -7);
    EXPECT_THROW(player->setMediaTime(0), IllegalStateException);
    player->realize();
    EXPECT_EQ(player->setMediaTime(-5), 0);
    EXPECT_EQ(player->setMediaTime(2000), 0);
    EXPECT_EQ(script.callText(), "setSoundData(3) seek(0) seek(2000)");
    script.with([&] { return script.seekAnswer = -1; });
    EXPECT_THROW(player->setMediaTime(0), MediaException);
}

TEST_F(PlayerImplTest, PlatformRefusalsFailWithoutEvents) {
    JavaPtr<PlayerImpl> player = newScriptedPlayer();
    JavaPtr<RecordingListener> listener = listenTo(player);
    script.with([&] { return script.playAnswer = false; });
    EXPECT_THROW(player->start(), MediaException);
    EXPECT_EQ(player->getState(), kPrefetched);
    EXPECT_EQ(player->getPlayState(), PlayerImpl::PLAY_FAILED);

    script.with([&] { return script.playAnswer = true; });
    player->start();
    script.with([&] { return script.pauseAnswer = false; });
    EXPECT_THROW(player->stop(), MediaException);
    EXPECT_EQ(player->getState(), kStarted);
    EXPECT_EQ(player->getPlayState(), PlayerImpl::PLAY_FAILED);
    Manager::terminating.store(true);
    EXPECT_NO_THROW(player->stop());
    EXPECT_EQ(player->getState(), kStarted);
    EXPECT_EQ(listener->names(), "started");

    // A start refused by a started player leaves it started.
    script.with([&] { return script.playAnswer = false; });
    EXPECT_THROW(player->start(true), MediaException);
    EXPECT_EQ(player->getState(), kStarted);
}

TEST_F(PlayerImplTest, AFailedLoopRestartIsDroppedByThePoll) {
    JavaPtr<PlayerImpl> player = newScriptedPlayer();
    JavaPtr<RecordingListener> listener = listenTo(player);
    player->setLoopCount(2);
    player->start();
    script.with([&] { return script.playAnswer = false; });
    EXPECT_NO_THROW(player->tick());
    EXPECT_EQ(listener->names(), "started endOfMedia");
    EXPECT_EQ(player->getState(), kPrefetched);
    EXPECT_EQ(player->getPlayState(), PlayerImpl::PLAY_FAILED);
    EXPECT_EQ(player->getLoopCount(), 1);
}

TEST_F(PlayerImplTest, WithoutAPlatformPlayerNothingPlays) {
    PlayerImpl::platformPlayerFactory.store(&noPlatformPlayer);
    made.push_back(jnew<PlayerImpl>(byteArray({1, 2, 3})));
    JavaPtr<PlayerImpl> player = made.back();
    EXPECT_THROW(player->start(), MediaException);
    EXPECT_EQ(player->getState(), kPrefetched);
    EXPECT_EQ(player->getPlayState(), PlayerImpl::PLAY_FAILED);
    EXPECT_THROW(player->setMediaTime(0), MediaException);
    EXPECT_EQ(player->getMediaTime(), -1);
    EXPECT_EQ(player->getVolume(), -1);
    EXPECT_EQ(player->setVolume(50), 0);
    EXPECT_TRUE(player->canBeDeleted()) << "a player without a platform player may always go";
    player->interruptPause();
}

TEST_F(PlayerImplTest, AnEmptyClipIsMadeButWillNotStart) {
    made.push_back(jnew<PlayerImpl>(jnew<JArray<signed char>>()));
    JavaPtr<PlayerImpl> player = made.back();
    EXPECT_EQ(player->getState(), kUnrealized);
    EXPECT_THROW(player->start(), MediaException);
    EXPECT_EQ(player->getState(), kPrefetched);
    EXPECT_EQ(player->getPlayState(), PlayerImpl::PLAY_FAILED);
}

TEST_F(PlayerImplTest, VolumeReachesThePlatformAndIsAnnounced) {
    JavaPtr<PlayerImpl> player = newPlayer();
    JavaPtr<RecordingListener> listener = listenTo(player);
    EXPECT_EQ(player->setVolume(30), 1);
    EXPECT_EQ(player->getVolume(), 30);
    player->realize();
    JavaPtr<Control> control = player->getControl(text("VolumeControl"));
    EXPECT_EQ(player->setVolume(70), 1);
    auto events = listener->events();
    ASSERT_EQ(listener->names(), "volumeChanged volumeChanged");
    EXPECT_EQ(events[0].data, nullptr) << "no control was made yet";
    EXPECT_EQ(events[1].data, control.counted());
}

TEST_F(PlayerImplTest, APlayerInterruptedWhilePlayingStaysStartedUntilStopped) {
    JavaPtr<PlayerImpl> player = newPlayer(100ms);
    JavaPtr<RecordingListener> listener = listenTo(player);
    player->start();
    fake->advance(30ms);
    player->interruptPause();
    playOn(player, 300ms);
    EXPECT_EQ(player->getState(), kStarted);
    EXPECT_EQ(listener->names(), "started");

    player->stop();
    playOn(player, 50ms);
    EXPECT_EQ(listener->names(), "started stopped") << "an interrupted queue counts as busy";
    player->start();
    EXPECT_EQ(listener->names(), "started stopped started");
    // A new queue plays the whole clip.
    playOn(player, 90ms);
    EXPECT_EQ(player->getState(), kStarted);
    playOn(player, 20ms);
    EXPECT_EQ(listener->names(), "started stopped started endOfMedia");
}

TEST_F(PlayerImplTest, AThrowingListenerEndsTheDeliveryAndTheOperation) {
    JavaPtr<PlayerImpl> player = newPlayer();
    JavaPtr<RecordingListener> thrower = listenTo(player);
    JavaPtr<RecordingListener> after = listenTo(player);
    thrower->reactWith([](const JavaPtr<Player>&, const std::string& event) {
        if (event == "closed") throw IllegalArgumentException();
    });
    player->start();
    EXPECT_EQ(after->names(), "started");
    EXPECT_THROW(player->close(), IllegalArgumentException);
    EXPECT_EQ(after->names(), "started") << "the listeners after the thrower are not told";
    EXPECT_EQ(player->getState(), kClosed);
    // The rest of the close did not run: the queue still plays.
    EXPECT_EQ(fake->voiceCount(), 1u);
    // Tidy up what the close left behind, so that the test's fixture may free the player.
    thrower->reactWith(nullptr);
    player->removePlayerListener(thrower);
    player->removePlayerListener(after);
}

TEST_F(PlayerImplTest, AListenerMayStopThePlayerFromItsStartedEvent) {
    JavaPtr<PlayerImpl> player = newPlayer(100ms);
    JavaPtr<RecordingListener> listener = listenTo(player);
    listener->reactWith([](const JavaPtr<Player>& p, const std::string& event) {
        if (event == "started") p->stop();
    });
    player->setLoopCount(3);
    player->start();
    EXPECT_EQ(player->getState(), kPrefetched);
    EXPECT_EQ(player->getPlayState(), PlayerImpl::PLAY_PAUSED);
    listener->reactWith(nullptr);
    playOn(player, 300ms);
    // A stopped play ends without looping.
    EXPECT_EQ(listener->names(), "started stopped endOfMedia");
}

}  // namespace
