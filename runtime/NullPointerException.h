// java.lang.NullPointerException
#pragma once

#include "runtime/RuntimeException.h"

namespace java::lang {

class NullPointerException : public RuntimeException {
    TESL_CLASS(NullPointerException, "java.lang.NullPointerException", RuntimeException)
    TESL_EXCEPTION_CONSTRUCTORS(NullPointerException, RuntimeException)
};

}  // namespace java::lang
