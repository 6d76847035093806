// java.lang.IllegalStateException
#pragma once

#include "runtime/RuntimeException.h"

namespace java::lang {

class IllegalStateException : public RuntimeException {
    TESL_CLASS(IllegalStateException, "java.lang.IllegalStateException", RuntimeException)
    TESL_EXCEPTION_CONSTRUCTORS(IllegalStateException, RuntimeException)
};

}  // namespace java::lang
