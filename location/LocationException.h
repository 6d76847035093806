// javax.microedition.location.LocationException: a location request that could not be met.
#pragma once

#include "runtime/Exception.h"

namespace javax::microedition::location {

class LocationException : public java::lang::Exception {
    TESL_CLASS(LocationException, "javax.microedition.location.LocationException", java::lang::Exception)
    TESL_EXCEPTION_CONSTRUCTORS(LocationException, java::lang::Exception)
};

}  // namespace javax::microedition::location
