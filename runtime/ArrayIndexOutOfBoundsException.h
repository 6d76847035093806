// java.lang.ArrayIndexOutOfBoundsException
#pragma once

#include "runtime/IndexOutOfBoundsException.h"

namespace java::lang {

class ArrayIndexOutOfBoundsException : public IndexOutOfBoundsException {
    TESL_CLASS(ArrayIndexOutOfBoundsException, "java.lang.ArrayIndexOutOfBoundsException",
               IndexOutOfBoundsException)
    TESL_EXCEPTION_CONSTRUCTORS(ArrayIndexOutOfBoundsException, IndexOutOfBoundsException)
public:
    // "Index = " followed by the index in decimal.
    ArrayIndexOutOfBoundsException* TESLinvokeconstructor(int index) {
        IndexOutOfBoundsException::TESLinvokeconstructor();
        this->message = ::java::lang::String("Index = ") + index;
        return this;
    }
};

}  // namespace java::lang
