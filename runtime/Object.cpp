#include "runtime/Object.h"

#include "runtime/Integer.h"
#include "runtime/String.h"

namespace java::lang {

bool Object::equals(JavaPtr<Object> other) {
    return other.counted() == static_cast<Smart*>(this);
}

int32_t Object::hashCode() {
    // The address, folded to 32 bits so that both halves of a 64-bit address count.
    const auto address = reinterpret_cast<uintptr_t>(this);
    return static_cast<int32_t>(static_cast<uint32_t>(address) ^ static_cast<uint32_t>(address >> 32));
}

JavaPtr<String> Object::toString() {
    String name(getClassTypeName());
    return name + '@' + Integer::toHexString(hashCode());
}

}  // namespace java::lang
