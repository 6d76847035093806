// javax.microedition.io.StreamConnection: a connection that reads and writes.
#pragma once

#include "net/InputConnection.h"
#include "net/OutputConnection.h"

namespace javax::microedition::io {

class StreamConnection : public virtual InputConnection, public virtual OutputConnection {
    TESL_INTERFACE(StreamConnection, "javax.microedition.io.StreamConnection", InputConnection,
                   OutputConnection)
public:
    ~StreamConnection() override = default;
};

}  // namespace javax::microedition::io
