// java.lang.ArrayStoreException: an array copy between arrays of different types, or of a reference
// that the destination's element type does not take.
#pragma once

#include "runtime/RuntimeException.h"

namespace java::lang {

class ArrayStoreException : public RuntimeException {
    TESL_CLASS(ArrayStoreException, "java.lang.ArrayStoreException", RuntimeException)
    TESL_EXCEPTION_CONSTRUCTORS(ArrayStoreException, RuntimeException)
};

}  // namespace java::lang
