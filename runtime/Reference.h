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
    virtual JavaPtr<Object> get();

    // Clears every reference of a dying object's list, starting at its head.
    static void clearAll(Reference* head);

    Object* m_referent = nullptr;
    Reference* m_previous = nullptr;
    Reference* m_next = nullptr;
};

}  // namespace java::lang::ref
