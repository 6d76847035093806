#include "library/StreamChecks.h"

#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"

namespace tesl {

void checkByteRange(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    if (!b) throw ::java::lang::NullPointerException();
    // In 64 bits, so that a large off and len cannot wrap past the check.
    if (off < 0 || len < 0 || static_cast<long long>(off) + len > b->length)
        throw ::java::lang::IndexOutOfBoundsException();
}

}  // namespace tesl
