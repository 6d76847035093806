// The argument checks the streams share before touching a caller's byte array.
#pragma once

#include "runtime/JArray.h"

namespace tesl {

// Throws NullPointerException for a null b and IndexOutOfBoundsException when off or len is negative
// or the range off to off + len - 1 does not lie in b.
void checkByteRange(const JavaPtr<JArray<signed char>>& b, int off, int len);

}  // namespace tesl
