// java.io.EOFException
#pragma once

#include "runtime/IOException.h"

namespace java::io {

class EOFException : public IOException {
    TESL_CLASS(EOFException, "java.io.EOFException", IOException)
    TESL_EXCEPTION_CONSTRUCTORS(EOFException, IOException)
};

}  // namespace java::io
