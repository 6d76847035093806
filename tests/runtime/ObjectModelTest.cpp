#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <vector>

#include "runtime/IllegalStateException.h"
#include "runtime/Object.h"
#include "runtime/Reference.h"
#include "runtime/Runnable.h"
#include "runtime/RuntimeUtilities.h"
#include "runtime/String.h"
#include "tests/support/ClassRegistry.h"

using java::lang::Object;
using java::lang::Runnable;
using java::lang::Smart;
using java::lang::String;

namespace fixtures {

// Counts destructions so tests can see exactly when an object is freed.
int destroyed = 0;

// A class chain, like Form -> Screen -> Displayable.
class Displayable : public Object {
    TESL_CLASS(Displayable, "fixtures.Displayable", Object)
public:
    ~Displayable() override { ++destroyed; }
    Displayable* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }
    JavaPtr<Displayable> next;
};
class Screen : public Displayable {
    TESL_CLASS(Screen, "fixtures.Screen", Displayable)
};
class Form : public Screen {
    TESL_CLASS(Form, "fixtures.Form", Screen)
};

// An interface extending an interface, like Player -> Controllable, implemented virtually.
class Controllable : public virtual Smart {
    TESL_INTERFACE(Controllable, "fixtures.Controllable", Smart)
public:
    virtual int controls() = 0;
};
class Player : public virtual Controllable {
    TESL_INTERFACE(Player, "fixtures.Player", Controllable)
public:
    virtual int state() = 0;
};
class PlayerImpl : public Object, public virtual Player {
    TESL_CLASS(PlayerImpl, "fixtures.PlayerImpl", Object, Player)
public:
    int controls() override { return 1; }
    int state() override { return 2; }
};

// A subclass of a class with one interface: it inherits the interface's members, yet its base is a class.
class LoopingPlayer : public PlayerImpl {
    TESL_CLASS(LoopingPlayer, "fixtures.LoopingPlayer", PlayerImpl)
};

// A class implementing an interface non-virtually, like StubTicker.
class Ticker : public Object, public Runnable {
    TESL_CLASS(Ticker, "fixtures.Ticker", Object, Runnable)
public:
    void run() override { ++runs; }
    int runs = 0;
};

// A body that makes and drops a reference to `this`, then fails.
class Fragile : public Object {
    TESL_CLASS(Fragile, "fixtures.Fragile", Object)
public:
    ~Fragile() override { ++destroyed; }
    Fragile* TESLinvokeconstructor(bool fail, JavaPtr<Object>* keeper) {
        Object::TESLinvokeconstructor();
        { JavaPtr<Fragile> self(this); }
        if (keeper) *keeper = JavaPtr<Object>(this);
        if (fail) throw java::lang::IllegalStateException();
        return this;
    }
};

// Takes and drops references to itself while dying.
class SelfReferencingOnDeath : public Object {
    TESL_CLASS(SelfReferencingOnDeath, "fixtures.SelfReferencingOnDeath", Object)
public:
    ~SelfReferencingOnDeath() override {
        countDuringDeath = m_referenceCount.load();
        { JavaPtr<SelfReferencingOnDeath> again(this); }
        countAfterDrop = m_referenceCount.load();
        ++destroyed;
    }
    static inline int countDuringDeath = 0;
    static inline int countAfterDrop = 0;
};

}  // namespace fixtures

using namespace fixtures;

QUILL_REGISTER_CLASSES(Object, String, java::lang::ref::Reference, Runnable, Displayable, Screen, Form,
                       Controllable, Player, PlayerImpl, Ticker);

namespace {

int count(const Smart* s) {
    return s->m_referenceCount.load();
}

TEST(ObjectModel, CountsFollowCopiesMovesAndDestruction) {
    destroyed = 0;
    JavaPtr<Displayable> a = jnew<Displayable>();
    EXPECT_EQ(count(a.get()), 1);
    {
        JavaPtr<Displayable> b = a;
        EXPECT_EQ(count(a.get()), 2);
        JavaPtr<Object> up = b;  // up-conversion counts too
        EXPECT_EQ(count(a.get()), 3);
        JavaPtr<Displayable> moved = std::move(b);
        EXPECT_EQ(count(a.get()), 3);
        EXPECT_FALSE(b);
    }
    EXPECT_EQ(count(a.get()), 1);
    EXPECT_EQ(destroyed, 0);
    a = nullptr;
    EXPECT_EQ(destroyed, 1);
}

TEST(ObjectModel, AssignmentReleasesOldAndSelfAssignmentIsNeutral) {
    destroyed = 0;
    JavaPtr<Displayable> a = jnew<Displayable>();
    JavaPtr<Displayable>& alias = a;
    a = alias;
    EXPECT_EQ(count(a.get()), 1);
    a = jnew<Displayable>();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(count(a.get()), 1);
}

TEST(ObjectModel, WalkingAChainByAssigningNextFreesEachNodeOnce) {
    destroyed = 0;
    JavaPtr<Displayable> head = jnew<Displayable>();
    head->next = jnew<Displayable>();
    head->next->next = jnew<Displayable>();
    JavaPtr<Displayable> node = head;
    head = nullptr;
    int visited = 0;
    while (node) {
        ++visited;
        node = node->next;  // the old node holds the only reference to the new one
    }
    EXPECT_EQ(visited, 3);
    EXPECT_EQ(destroyed, 3);
}

TEST(ObjectModel, ANullTypedPointerMakesANullReference) {
    JavaPtr<Object> object = jnew<Object>();
    JavaPtr<Runnable> failed(object.counted(), nullptr);
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.counted(), nullptr);
    EXPECT_EQ(count(object.get()), 1);
}

TEST(ObjectModel, ReferencesMadeDuringDeathDoNotRestartIt) {
    destroyed = 0;
    { JavaPtr<SelfReferencingOnDeath> object(new SelfReferencingOnDeath()); }
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(SelfReferencingOnDeath::countDuringDeath, Smart::kDyingCount);
    EXPECT_LE(SelfReferencingOnDeath::countAfterDrop, Smart::kDyingCount);
}

TEST(ObjectModel, ConstructorBodyIsPinnedAndAFailedOneIsFreed) {
    destroyed = 0;
    JavaPtr<Fragile> ok = jnew<Fragile>(false, nullptr);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(count(ok.get()), 1);

    EXPECT_THROW(jnew<Fragile>(true, nullptr), java::lang::IllegalStateException);
    EXPECT_EQ(destroyed, 1);  // freed, not leaked

    JavaPtr<Object> keeper;
    EXPECT_THROW(jnew<Fragile>(true, &keeper), java::lang::IllegalStateException);
    EXPECT_EQ(destroyed, 1);  // still held by keeper
    ASSERT_TRUE(keeper);
    EXPECT_EQ(count(keeper.get()), 1);
}

struct CastCase {
    const char* name;
    int32_t id;
    bool answered;
};

TEST(ObjectModel, CastsAlongAClassChain) {
    JavaPtr<Form> form = jnew<Form>();
    JavaPtr<Object> object = form;
    for (const CastCase& c : std::vector<CastCase>{{"Form", Form::TESLclassTypeID, true},
                                                   {"Screen", Screen::TESLclassTypeID, true},
                                                   {"Displayable", Displayable::TESLclassTypeID, true},
                                                   {"Object", Object::TESLclassTypeID, true},
                                                   {"Smart", Smart::TESLclassTypeID, true},
                                                   {"Runnable", Runnable::TESLclassTypeID, false},
                                                   {"String", String::TESLclassTypeID, false}}) {
        EXPECT_EQ(object->castAsTypeID(c.id) != nullptr, c.answered) << c.name;
        EXPECT_EQ(Form::castAsTypeIDS(nullptr, c.id) == nullptr, c.answered) << c.name;
        if (!c.answered) {
            EXPECT_EQ(Form::castAsTypeIDS(nullptr, c.id), tesl::notAnswered()) << c.name;
        }
    }
    JavaPtr<Screen> screen = jcast<Screen>(object);
    EXPECT_EQ(screen.get(), static_cast<Screen*>(form.get()));
    EXPECT_EQ(count(form.get()), 3);
    EXPECT_FALSE(jcast<Runnable>(object));
    EXPECT_FALSE(jcast<Form>(JavaPtr<Object>(jnew<Screen>())));
    EXPECT_TRUE(jinstanceof<Displayable>(object));
}

TEST(ObjectModel, CastsThroughAnInterfaceThatExtendsAnInterface) {
    JavaPtr<PlayerImpl> impl = jnew<PlayerImpl>();
    JavaPtr<Object> object = impl;
    JavaPtr<Player> player = jcast<Player>(object);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->state(), 2);
    JavaPtr<Controllable> controllable = jcast<Controllable>(player);
    ASSERT_TRUE(controllable);
    EXPECT_EQ(controllable->controls(), 1);
    EXPECT_EQ(jcast<PlayerImpl>(controllable).get(), impl.get());
    EXPECT_EQ(count(impl.get()), 4);
    // The interface's own probe: its id and Object's with p, the extended interface, Smart.
    for (int32_t id : {Player::TESLclassTypeID, Controllable::TESLclassTypeID, Object::TESLclassTypeID,
                       Smart::TESLclassTypeID}) {
        EXPECT_EQ(Player::castAsTypeIDS(nullptr, id), nullptr);
    }
    EXPECT_EQ(Player::castAsTypeIDS(nullptr, PlayerImpl::TESLclassTypeID), tesl::notAnswered());
}

// The static probe of an interface with an object answers as the object's own cast does, for ids outside
// the interface's own list too: Object's id gives the Object part, not the interface's.
TEST(ObjectModel, AnInterfaceProbeWithAnObjectAnswersLikeTheObject) {
    JavaPtr<PlayerImpl> impl = jnew<PlayerImpl>();
    Player* player = impl.get();
    Smart* smart = impl.get();
    for (int32_t id : {Player::TESLclassTypeID, Controllable::TESLclassTypeID, Object::TESLclassTypeID,
                       Smart::TESLclassTypeID, PlayerImpl::TESLclassTypeID, Runnable::TESLclassTypeID,
                       String::TESLclassTypeID}) {
        EXPECT_EQ(Player::castAsTypeIDS(player, id), smart->castAsTypeID(id)) << std::hex << id;
    }
    EXPECT_EQ(Player::castAsTypeIDS(player, Object::TESLclassTypeID), static_cast<Object*>(impl.get()));
}

// Reached through its interface, a subclass still answers its base class's id with the base's part.
TEST(ObjectModel, ASubclassOfAClassWithOneInterfaceCastsToThatClass) {
    JavaPtr<Player> player = jnew<LoopingPlayer>();
    JavaPtr<PlayerImpl> impl = jcast<PlayerImpl>(player);
    ASSERT_TRUE(impl);
    EXPECT_EQ(impl->state(), 2);
    EXPECT_TRUE(jcast<LoopingPlayer>(player));
    EXPECT_TRUE(jcast<Controllable>(impl));
}

// A chain of a million nodes dropped on a thread with a runtime thread's 512 KB stack: every node is
// destroyed, none by a recursion as deep as the chain.
TEST(ObjectModel, ALongChainIsFreedOnASmallStack) {
    constexpr int kNodes = 1000000;
    destroyed = 0;
    JavaPtr<Displayable> head = jnew<Displayable>();
    Displayable* tail = head.get();
    for (int i = 1; i < kNodes; ++i) {
        tail->next = jnew<Displayable>();
        tail = tail->next.get();
    }
    std::function<void()> drop = [&] { head = nullptr; };
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 512 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attributes,
                  [](void* work) -> void* {
                      (*static_cast<std::function<void()>*>(work))();
                      return nullptr;
                  },
                  &drop),
              0);
    pthread_attr_destroy(&attributes);
    pthread_join(thread, nullptr);
    EXPECT_EQ(destroyed, kNodes);
}

// A field's death, queued behind its owner's, still runs before the release that started it returns, and
// an object something else holds survives.
TEST(ObjectModel, DeathsQueuedBehindAnotherRunBeforeTheOuterReleaseReturns) {
    destroyed = 0;
    JavaPtr<Displayable> outer = jnew<Displayable>();
    outer->next = jnew<Displayable>();
    outer->next->next = jnew<Displayable>();
    JavaPtr<Displayable> survivor = outer->next->next;
    outer = nullptr;
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(count(survivor.get()), 1);
}

#ifndef NDEBUG
TEST(ObjectModelDeathTest, ReleasingAReferenceTwiceIsCaught) {
    // An object no reference holds has count 0, as one released twice has.
    EXPECT_DEATH(
        {
            Object unreferenced;
            releaseCounted(&unreferenced);
        },
        "released twice");
}
#endif

TEST(ObjectModel, CastsToANonVirtuallyImplementedInterface) {
    JavaPtr<Ticker> ticker = jnew<Ticker>();
    JavaPtr<Runnable> runnable = jcast<Runnable>(JavaPtr<Object>(ticker));
    ASSERT_TRUE(runnable);
    runnable->run();
    EXPECT_EQ(ticker->runs, 1);
    EXPECT_EQ(runnable.counted(), ticker.counted());  // one Smart part
    EXPECT_EQ(recastObj(runnable.counted(), Smart::TESLclassTypeID), static_cast<Smart*>(ticker.get()));
    EXPECT_EQ(runnable->getClassTypeName(), std::string("fixtures.Ticker"));
}

TEST(ObjectModel, QuotedTypeIds) {
    const std::vector<std::pair<int32_t, uint32_t>> ids = {
        {Object::TESLclassTypeID, 0x3f697993u},
        {Smart::TESLclassTypeID, 0xe140a4f5u},
        {Runnable::TESLclassTypeID, 0x36fc6471u},
        {String::TESLclassTypeID, 0x473e3665u},
        {java::lang::ref::Reference::TESLclassTypeID, 0x186c02dcu},
        {tesl::classTypeIdOf("java.lang.Class"), 0xe05eb8a4u},
    };
    for (auto [id, expected] : ids) EXPECT_EQ(static_cast<uint32_t>(id), expected);
}

TEST(ObjectModel, StringCastProbe) {
    JavaPtr<String> text = jnew<String>("abc");
    EXPECT_EQ(jcast<Object>(text).get(), static_cast<Object*>(text.get()));
    EXPECT_FALSE(jcast<Runnable>(JavaPtr<Object>(text)));
    for (int32_t id : {String::TESLclassTypeID, Object::TESLclassTypeID, Smart::TESLclassTypeID})
        EXPECT_EQ(String::castAsTypeIDS(nullptr, id), nullptr);
    EXPECT_EQ(String::castAsTypeIDS(nullptr, Runnable::TESLclassTypeID), tesl::notAnswered());
}

TEST(ObjectModel, IdentityEqualsHashAndToString) {
    JavaPtr<Object> a = jnew<Object>();
    JavaPtr<Object> b = jnew<Object>();
    EXPECT_TRUE(a->equals(a));
    EXPECT_FALSE(a->equals(b));
    EXPECT_FALSE(a->equals(nullptr));
    EXPECT_NE(a->hashCode(), b->hashCode());
    char expected[64];
    std::snprintf(expected, sizeof expected, "java.lang.Object@%x", static_cast<unsigned>(a->hashCode()));
    EXPECT_EQ(toUtf8(a->toString()), expected);
}

TEST(ObjectModel, WeakReferencesAreClearedWhenTheReferentDies) {
    JavaPtr<java::lang::ref::Reference> empty = jnew<java::lang::ref::Reference>();
    EXPECT_FALSE(empty->get());
    empty->clear();
    EXPECT_FALSE(empty->get());

    JavaPtr<java::lang::ref::Reference> first = jnew<java::lang::ref::Reference>();
    JavaPtr<java::lang::ref::Reference> second = jnew<java::lang::ref::Reference>();
    JavaPtr<Object> referent = jnew<Object>();
    // Link both into the referent's list, as code that makes weak references would.
    first->m_referent = referent.get();
    second->m_referent = referent.get();
    referent->m_weakHead = first.get();
    first->m_next = second.get();
    second->m_previous = first.get();
    EXPECT_EQ(first->get().get(), referent.get());
    referent = nullptr;
    EXPECT_FALSE(first->get());
    EXPECT_FALSE(second->get());
}

// get() counts the referent only while something holds it: a referent whose count has fallen to zero
// (its death under way on another thread) or is dying gives null, and the count is left alone.
TEST(ObjectModel, AWeakGetNeverRevivesAReferentWhoseCountIsGone) {
    JavaPtr<Object> referent = jnew<Object>();
    JavaPtr<java::lang::ref::Reference> weak = jnew<java::lang::ref::Reference>();
    weak->m_referent = referent.get();
    referent->m_weakHead = weak.get();
    for (int32_t gone : {0, Smart::kDyingCount, Smart::kDyingCount - 3}) {
        referent->m_referenceCount.store(gone);
        EXPECT_FALSE(weak->get()) << gone;
        EXPECT_EQ(count(referent.get()), gone);
    }
    referent->m_referenceCount.store(1);
    EXPECT_EQ(weak->get().get(), referent.get());
    EXPECT_EQ(count(referent.get()), 1);
    weak->clear();
}

TEST(ObjectModel, AlignedBlocks) {
    for (int alignment : {1, 2, 16, 64, 128}) {
        auto* block = static_cast<unsigned char*>(aligned_malloc(100, alignment));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % static_cast<uintptr_t>(alignment), 0u);
        EXPECT_GE(block[-1], 1);
        EXPECT_LE(block[-1], alignment);
        std::fill(block, block + 100, 0xAB);  // the whole block is usable (ASan checks)
        aligned_free(block);
    }
    EXPECT_EQ(aligned_malloc(10, 256), nullptr);  // the distance must fit in one byte
    EXPECT_EQ(aligned_malloc(10, 3), nullptr);
}

TEST(ObjectModel, MutexIsCreatedOnceAndFreedWithTheObject) {
    JavaPtr<Object> object = jnew<Object>();
    EXPECT_EQ(object->objectMutex(), nullptr);
    object->createMutex();
    pthread_mutex_t* mutex = object->objectMutex();
    ASSERT_NE(mutex, nullptr);
    object->createMutex();
    EXPECT_EQ(object->objectMutex(), mutex);
}

}  // namespace
