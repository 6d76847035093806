// java.util.NoSuchElementException
#pragma once

#include "runtime/RuntimeException.h"

namespace java::util {

class NoSuchElementException : public ::java::lang::RuntimeException {
    TESL_CLASS(NoSuchElementException, "java.util.NoSuchElementException", ::java::lang::RuntimeException)
    TESL_EXCEPTION_CONSTRUCTORS(NoSuchElementException, ::java::lang::RuntimeException)
};

}  // namespace java::util
