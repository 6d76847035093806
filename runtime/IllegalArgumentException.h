// java.lang.IllegalArgumentException
#pragma once

#include "runtime/RuntimeException.h"

namespace java::lang {

class IllegalArgumentException : public RuntimeException {
    TESL_CLASS(IllegalArgumentException, "java.lang.IllegalArgumentException", RuntimeException)
    TESL_EXCEPTION_CONSTRUCTORS(IllegalArgumentException, RuntimeException)
};

}  // namespace java::lang
