#include "library/SlotWalk.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace {

// A mutex that knows whether it is held, so that a test can tell what ran under it.
class TrackingMutex {
public:
    void lock() {
        m_mutex.lock();
        m_held = true;
    }
    void unlock() {
        m_held = false;
        m_mutex.unlock();
    }
    bool held() const { return m_held; }

private:
    std::mutex m_mutex;
    bool m_held = false;
};

// Records, when the last reference to it goes, whether the list's lock was held then.
struct Element {
    Element(std::string name, TrackingMutex& mutex, std::vector<std::string>& releasedUnderLock)
        : name(std::move(name)), mutex(mutex), releasedUnderLock(releasedUnderLock) {}
    ~Element() {
        if (mutex.held()) releasedUnderLock.push_back(name);
    }
    std::string name;
    TrackingMutex& mutex;
    std::vector<std::string>& releasedUnderLock;
};

struct SharedList {
    TrackingMutex mutex;
    std::vector<std::string> releasedUnderLock;
    std::vector<std::shared_ptr<Element>> slots;

    void add(const std::string& name) {
        auto element = std::make_shared<Element>(name, mutex, releasedUnderLock);
        std::lock_guard<TrackingMutex> lock(mutex);
        slots.push_back(std::move(element));
    }
    // Takes the slot out under the lock; the caller's copy goes after it.
    std::shared_ptr<Element> take(size_t slot) {
        std::lock_guard<TrackingMutex> lock(mutex);
        std::shared_ptr<Element> taken = std::move(slots[slot]);
        slots.erase(slots.begin() + static_cast<std::ptrdiff_t>(slot));
        return taken;
    }
    std::optional<std::shared_ptr<Element>> readLocked(int32_t slot) const {
        if (slot >= static_cast<int32_t>(slots.size())) return std::nullopt;
        return slots[static_cast<size_t>(slot)];
    }
};

TEST(SlotWalk, EachStepSeesTheListAsTheCallsBeforeItLeftItAndCallsOutUnlocked) {
    SharedList list;
    for (const char* name : {"a", "b", "c", "d"}) list.add(name);
    std::vector<std::string> visited;
    bool calledUnderLock = false;
    tesl::forEachSlotUnlocked(
        list.mutex, [&](int32_t slot) { return list.readLocked(slot); },
        [&](int32_t slot, const std::shared_ptr<Element>& element) {
            calledUnderLock |= list.mutex.held();
            visited.push_back(std::to_string(slot) + element->name);
            // At "a": "c" goes (its last reference dropped by this walk's step) and "e" comes last.
            if (element->name == "a") {
                list.take(2);
                list.add("e");
            }
            // At "b": "a" goes while "b" is being visited; the next step reads slot 1 afresh.
            if (element->name == "b") list.take(0);
        });
    EXPECT_FALSE(calledUnderLock);
    // d moved into slot 1 when a went, behind the walk: it is missed, and nothing is visited twice.
    EXPECT_EQ(visited, (std::vector<std::string>{"0a", "1b", "2e"}));
    EXPECT_TRUE(list.releasedUnderLock.empty()) << list.releasedUnderLock.front();
}

TEST(SlotWalk, TheLastReferenceReadByAStepGoesAfterTheLock) {
    SharedList list;
    list.add("only");
    int visits = 0;
    tesl::forEachSlotUnlocked(
        list.mutex, [&](int32_t slot) { return list.readLocked(slot); },
        [&](int32_t, const std::shared_ptr<Element>&) {
            ++visits;
            // The walk's own copy is now the last reference.
            list.take(0);
        });
    EXPECT_EQ(visits, 1);
    EXPECT_TRUE(list.releasedUnderLock.empty());
    EXPECT_TRUE(list.slots.empty());
}

TEST(SlotWalk, EndsWhenTheReadOrTheVisitSaysSo) {
    SharedList list;
    for (const char* name : {"a", "b", "c"}) list.add(name);
    std::vector<std::string> visited;
    tesl::forEachSlotUnlocked(
        list.mutex, [&](int32_t slot) { return list.readLocked(slot); },
        [&](int32_t, const std::shared_ptr<Element>& element) {
            visited.push_back(element->name);
            return element->name != "b";
        });
    EXPECT_EQ(visited, (std::vector<std::string>{"a", "b"}));

    visited.clear();
    tesl::forEachSlotUnlocked(
        list.mutex,
        [&](int32_t slot) {
            // A read may end the walk early: here, once the list's owner has closed it.
            return slot == 1 ? std::nullopt : list.readLocked(slot);
        },
        [&](int32_t, const std::shared_ptr<Element>& element) { visited.push_back(element->name); });
    EXPECT_EQ(visited, (std::vector<std::string>{"a"}));
}

TEST(SlotWalk, ARecursiveLockMayBeTakenAgainByTheVisit) {
    std::recursive_mutex mutex;
    std::vector<int> values = {1, 2, 3};
    int sum = 0;
    tesl::forEachSlotUnlocked(
        mutex,
        [&](int32_t slot) -> std::optional<int> {
            if (slot >= static_cast<int32_t>(values.size())) return std::nullopt;
            return values[static_cast<size_t>(slot)];
        },
        [&](int32_t, int value) {
            std::lock_guard<std::recursive_mutex> lock(mutex);
            sum += value;
        });
    EXPECT_EQ(sum, 6);
}

}  // namespace
