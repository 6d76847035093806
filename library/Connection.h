// javax.microedition.io.Connection: the interface every connection implements; the connection
// interfaces of the network, messaging and sensor packages derive from it virtually.
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::io {

class Connection : public virtual ::java::lang::Smart {
    TESL_INTERFACE(Connection, "javax.microedition.io.Connection", ::java::lang::Smart)
public:
    virtual void close() = 0;
    ~Connection() override = default;
};

}  // namespace javax::microedition::io
