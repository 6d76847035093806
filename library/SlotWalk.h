// The one way to call out for each element of a list that other threads, and the calls themselves, may
// change meanwhile: each step re-reads slot i under the list's lock and calls out without it. Listener
// lists, player tables and connection lists all walk this way.
#pragma once

#include <cstdint>
#include <mutex>
#include <type_traits>

namespace tesl {

// Visits slots 0, 1, 2, ... of a list guarded by mutex (any lockable, a recursive one included).
// readSlotLocked(slot) runs with the mutex held; it answers something that tests false (an empty
// std::optional) when the walk is past the end or must stop, and otherwise what the step works on: the
// element, or copies of the references it needs. visit(slot, read) runs without the mutex; answering
// false ends the walk. The list is never held by reference between steps, so a call that grows, shrinks
// or replaces it is seen by the next step, and what a step read is released after the lock is let go: a
// reference that was the last may run a destructor that calls back in.
template <class Mutex, class ReadSlotLocked, class Visit>
void forEachSlotUnlocked(Mutex& mutex, ReadSlotLocked&& readSlotLocked, Visit&& visit) {
    for (int32_t slot = 0;; ++slot) {
        auto read = [&] {
            std::lock_guard<Mutex> lock(mutex);
            return readSlotLocked(slot);
        }();
        if (!read) return;
        if constexpr (std::is_same_v<decltype(visit(slot, *read)), bool>) {
            if (!visit(slot, *read)) return;
        } else {
            visit(slot, *read);
        }
    }
}

}  // namespace tesl
