// java.io.IOException
#pragma once

#include "runtime/Exception.h"

namespace java::io {

class IOException : public ::java::lang::Exception {
    TESL_CLASS(IOException, "java.io.IOException", ::java::lang::Exception)
    TESL_EXCEPTION_CONSTRUCTORS(IOException, ::java::lang::Exception)
};

}  // namespace java::io
