// java.util.Enumeration: the iteration interface of the collections.
#pragma once

#include "runtime/Object.h"

namespace java::util {

class Enumeration : public virtual ::java::lang::Smart {
    TESL_INTERFACE(Enumeration, "java.util.Enumeration", ::java::lang::Smart)
public:
    virtual bool hasMoreElements() = 0;
    virtual JavaPtr<::java::lang::Object> nextElement() = 0;
    ~Enumeration() override = default;
};

}  // namespace java::util
