// java.lang.IndexOutOfBoundsException
#pragma once

#include "runtime/RuntimeException.h"

namespace java::lang {

class IndexOutOfBoundsException : public RuntimeException {
    TESL_CLASS(IndexOutOfBoundsException, "java.lang.IndexOutOfBoundsException", RuntimeException)
    TESL_EXCEPTION_CONSTRUCTORS(IndexOutOfBoundsException, RuntimeException)
};

}  // namespace java::lang
