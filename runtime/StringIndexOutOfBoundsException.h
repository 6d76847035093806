// java.lang.StringIndexOutOfBoundsException
#pragma once

#include "runtime/IndexOutOfBoundsException.h"

namespace java::lang {

class StringIndexOutOfBoundsException : public IndexOutOfBoundsException {
    TESL_CLASS(StringIndexOutOfBoundsException, "java.lang.StringIndexOutOfBoundsException",
               IndexOutOfBoundsException)
    TESL_EXCEPTION_CONSTRUCTORS(StringIndexOutOfBoundsException, IndexOutOfBoundsException)
public:
    // "Index = " followed by the index in decimal.
    StringIndexOutOfBoundsException* TESLinvokeconstructor(int index) {
        IndexOutOfBoundsException::TESLinvokeconstructor();
        this->message = ::java::lang::String("Index = ") + index;
        return this;
    }
};

}  // namespace java::lang
