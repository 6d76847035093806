// java.lang.InstantiationException
#pragma once

#include "runtime/Exception.h"

namespace java::lang {

class InstantiationException : public Exception {
    TESL_CLASS(InstantiationException, "java.lang.InstantiationException", Exception)
    TESL_EXCEPTION_CONSTRUCTORS(InstantiationException, Exception)
};

}  // namespace java::lang
