// java.io.UTFDataFormatException
#pragma once

#include "runtime/IOException.h"

namespace java::io {

class UTFDataFormatException : public IOException {
    TESL_CLASS(UTFDataFormatException, "java.io.UTFDataFormatException", IOException)
    TESL_EXCEPTION_CONSTRUCTORS(UTFDataFormatException, IOException)
};

}  // namespace java::io
