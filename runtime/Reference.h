// java.lang.ref.Reference: a weak reference, linked into its referent's list and cleared when the
// referent dies.
#pragma once

#include "runtime/Object.h"

namespace java::lang::ref {

class Reference : public Object {
    TESL_CLASS(Reference, "java.lang.ref.Reference", Object)
public:
    Reference() noexcept {}
    ~Reference() override;

    Reference* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    virtual void clear();
    // The referent while something still holds it, else null: a referent whose last reference is
    // being released on another thread is not handed out again.
    virtual JavaPtr<Object> get();

    // Clears every reference of a dying object's list, starting at its head.
    static void clearAll(Reference* head);
    // The same for the list of a dying object, its head read under the lock.
    static void clearAllOf(Smart* owner);

    // Read and written under the process-wide weak-reference mutex once the reference is shared.
    Object* m_referent = nullptr;
    Reference* m_previous = nullptr;
    Reference* m_next = nullptr;

private:
    void clearLocked();
};

}  // namespace java::lang::ref
