// javax.microedition.io.ConnectionNotFoundException: the one exception with a virtual base, so its
// IOException part does not sit at the object's own address.
#pragma once

#include "runtime/IOException.h"

namespace javax::microedition::io {

class ConnectionNotFoundException : public virtual ::java::io::IOException {
    TESL_CLASS(ConnectionNotFoundException, "javax.microedition.io.ConnectionNotFoundException",
               ::java::io::IOException)
    TESL_EXCEPTION_CONSTRUCTORS(ConnectionNotFoundException, ::java::io::IOException)
};

}  // namespace javax::microedition::io
