// LockObject: the token that Smart::startSync returns. It holds the locked object, so the object
// outlives the block, and its destruction leaves the monitor: a synchronized block is left on every
// exit, the unwinding of an exception included.
//
//     JavaPtr<Object> held(object);
//     JavaPtr<LockObject> lock(held->startSync());   // null when this thread already holds it
#pragma once

#include <cstddef>

#include "runtime/JavaPtr.h"
#include "runtime/Smart.h"

// Not an Object and in no package: it has an id of its own but answers Smart's name and casts.
class LockObject : public virtual java::lang::Smart {
public:
    static constexpr int32_t TESLclassTypeID = ::tesl::classTypeIdOf("LockObject");

    LockObject() noexcept {}
    ~LockObject() override;

    // From a small per-thread pool: a token is made and freed for every synchronized block.
    static void* operator new(std::size_t size);
    static void operator delete(void* storage, std::size_t size) noexcept;

    JavaPtr<java::lang::Smart> m_lockedObject;
};
