// java.lang.Object, the root class, and jnew, the one way objects are created on the heap.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

#include "runtime/JavaPtr.h"
#include "runtime/Smart.h"

namespace java::lang {

class String;
class Class;
struct MonitorWaiter;

class Object : public virtual Smart {
    TESL_CLASS(Object, "java.lang.Object", Smart)
public:
    Object() noexcept {}
    Object(const Object& other) noexcept : Smart(other) {}
    ~Object() override = default;

    Object* TESLinvokeconstructor() { return this; }

    virtual bool equals(JavaPtr<Object> other);
    virtual int32_t hashCode();
    virtual JavaPtr<String> toString();

    // A new Class named after this object's class on every call.
    JavaPtr<Class> getClass();

    // Gives up the monitor (however deeply held) until notified or until ms + ns / 1000000
    // milliseconds have passed, then takes it back. A limit of 0 means none; a negative one only lets
    // others in for a moment. Throws IllegalMonitorStateException unless the caller holds the monitor.
    void wait(long long ms, int ns);
    void wait(long long ms) { wait(ms, 0); }
    void wait() { wait(0, 0); }
    // Lets the longest-waiting thread go (notifyAll: every waiting thread); dropped when none waits.
    void notify();
    void notifyAll();

    // Threads inside wait() on this object, and notifications given to them and not yet taken back.
    // Written under the object mutex; atomic so that others may read them without it.
    std::atomic<int32_t> m_waitingThreads{0};
    std::atomic<int32_t> m_pendingNotifications{0};

private:
    // Throws IllegalMonitorStateException unless the calling thread holds the monitor.
    void checkMonitorOwner();
    // With the object mutex held: notifies a waiter taken off the wait queue.
    void notifyLocked(MonitorWaiter* waiter);
};

}  // namespace java::lang

namespace tesl {

template <class T, class... A>
concept HasConstructorBody = requires(T* t, A&&... args) {
    t->TESLinvokeconstructor(std::forward<A>(args)...);
};

}  // namespace tesl

// Creates an object of class T: the plain constructor, then the constructor body for the arguments.
// The object is pinned while its body runs, so a reference to `this` that the body makes and drops
// cannot free it; when the body throws, the object is freed unless something else now holds it.
// Classes whose plain constructors take the arguments (String, File, ...) are built by them directly.
template <class T, class... A>
JavaPtr<T> jnew(A&&... args) {
    constexpr bool startsPinned = requires {
        T::TESLstoragePinned;
    };
    if constexpr (tesl::HasConstructorBody<T, A...>) {
        T* object = new T();
        java::lang::Smart* smart = object;
        // Exception classes start with a pin (meant for their throw storage): it serves as the
        // constructor pin here. Any other new object has count 0 and no thread but this one knows it
        // yet, so the pin is a plain store.
        if constexpr (!startsPinned) smart->m_referenceCount.store(1, std::memory_order_relaxed);
        try {
            object->TESLinvokeconstructor(std::forward<A>(args)...);
        } catch (...) {
            // The body may have handed `this` to another thread: from here on the count is shared.
            if (smart->m_referenceCount.fetch_sub(1, std::memory_order_acq_rel) == 1) destroyObject(smart);
            throw;
        }
        // The pin becomes the new reference's count.
        return JavaPtr<T>::adopt(object);
    } else {
        T* object = new T(std::forward<A>(args)...);
        if constexpr (startsPinned) return JavaPtr<T>::adopt(object);
        // A class whose constructors hand `this` to nobody: no other thread can know the object yet,
        // so its first count is a plain store.
        if constexpr (requires { T::TESLconstructorSharesNothing; }) {
            JavaPtr<T> result = JavaPtr<T>::adopt(object);
            result.counted()->m_referenceCount.store(1, std::memory_order_relaxed);
            return result;
        }
        return JavaPtr<T>(object);
    }
}
