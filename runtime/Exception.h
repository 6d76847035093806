// java.lang.Exception
#pragma once

#include "runtime/Throwable.h"

namespace java::lang {

class Exception : public Throwable {
    TESL_CLASS(Exception, "java.lang.Exception", Throwable)
    TESL_EXCEPTION_CONSTRUCTORS(Exception, Throwable)
};

}  // namespace java::lang
