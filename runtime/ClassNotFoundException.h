// java.lang.ClassNotFoundException
#pragma once

#include "runtime/Exception.h"

namespace java::lang {

class ClassNotFoundException : public Exception {
    TESL_CLASS(ClassNotFoundException, "java.lang.ClassNotFoundException", Exception)
    TESL_EXCEPTION_CONSTRUCTORS(ClassNotFoundException, Exception)
};

}  // namespace java::lang
