// java.lang.ClassCastException
#pragma once

#include "runtime/RuntimeException.h"

namespace java::lang {

class ClassCastException : public RuntimeException {
    TESL_CLASS(ClassCastException, "java.lang.ClassCastException", RuntimeException)
    TESL_EXCEPTION_CONSTRUCTORS(ClassCastException, RuntimeException)
};

}  // namespace java::lang
