// java.util.EnumerationImpl: the one enumeration of the collections, a cursor over a snapshot array
// that belongs to it alone, so later changes of the collection never show through.
#pragma once

#include <cstdint>

#include "library/Enumeration.h"
#include "runtime/JArray.h"

namespace java::util {

class EnumerationImpl : public ::java::lang::Object, public virtual Enumeration {
    TESL_CLASS(EnumerationImpl, "java.util.EnumerationImpl", ::java::lang::Object, Enumeration)
public:
    EnumerationImpl() noexcept {}
    // Takes the snapshot as it is; only the collections make one.
    explicit EnumerationImpl(const JavaPtr<JArray<JavaPtr<::java::lang::Object>>>& snapshot);
    ~EnumerationImpl() override = default;

    bool hasMoreElements() override;
    // Throws NoSuchElementException once the snapshot is used up.
    JavaPtr<::java::lang::Object> nextElement() override;

private:
    JavaPtr<JArray<JavaPtr<::java::lang::Object>>> m_snapshot;
    int32_t m_cursor = 0;
};

}  // namespace java::util
