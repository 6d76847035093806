#include "runtime/Integer.h"

#include "runtime/Long.h"
#include "runtime/String.h"

namespace java::lang {

JavaPtr<String> Integer::toString(int value, int radix) {
    return Long::toString(value, radix);
}

JavaPtr<String> Integer::toHexString(int value) {
    return Long::toString(static_cast<long long>(static_cast<uint32_t>(value)), 16);
}

}  // namespace java::lang
