// java.lang.NumberFormatException
#pragma once

#include "runtime/IllegalArgumentException.h"

namespace java::lang {

class NumberFormatException : public IllegalArgumentException {
    TESL_CLASS(NumberFormatException, "java.lang.NumberFormatException", IllegalArgumentException)
    TESL_EXCEPTION_CONSTRUCTORS(NumberFormatException, IllegalArgumentException)
};

}  // namespace java::lang
