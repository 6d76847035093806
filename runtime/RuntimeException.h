// java.lang.RuntimeException
#pragma once

#include "runtime/Exception.h"

namespace java::lang {

class RuntimeException : public Exception {
    TESL_CLASS(RuntimeException, "java.lang.RuntimeException", Exception)
    TESL_EXCEPTION_CONSTRUCTORS(RuntimeException, Exception)
};

}  // namespace java::lang
