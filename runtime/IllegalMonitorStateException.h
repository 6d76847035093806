// java.lang.IllegalMonitorStateException
#pragma once

#include "runtime/RuntimeException.h"

namespace java::lang {

class IllegalMonitorStateException : public RuntimeException {
    TESL_CLASS(IllegalMonitorStateException, "java.lang.IllegalMonitorStateException", RuntimeException)
    TESL_EXCEPTION_CONSTRUCTORS(IllegalMonitorStateException, RuntimeException)
};

}  // namespace java::lang
