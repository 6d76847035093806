// javax.microedition.io.InputConnection: a connection that a stream can be read from.
#pragma once

#include "library/Connection.h"

namespace java::io {
class DataInputStream;
class InputStream;
}  // namespace java::io

namespace javax::microedition::io {

class InputConnection : public virtual Connection {
    TESL_INTERFACE(InputConnection, "javax.microedition.io.InputConnection", Connection)
public:
    ~InputConnection() override = default;
    virtual JavaPtr<::java::io::DataInputStream> openDataInputStream() = 0;
    virtual JavaPtr<::java::io::InputStream> openInputStream() = 0;
};

}  // namespace javax::microedition::io
