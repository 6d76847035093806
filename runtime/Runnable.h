// java.lang.Runnable: the interface of everything a thread can run.
#pragma once

#include "runtime/Object.h"

namespace java::lang {

class Runnable : public virtual Smart {
    TESL_INTERFACE(Runnable, "java.lang.Runnable", Smart)
public:
    virtual void run() = 0;
    ~Runnable() override = default;
};

}  // namespace java::lang
