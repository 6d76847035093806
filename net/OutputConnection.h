// javax.microedition.io.OutputConnection: a connection that a stream can be written to.
#pragma once

#include "library/Connection.h"

namespace java::io {
class DataOutputStream;
class OutputStream;
}  // namespace java::io

namespace javax::microedition::io {

class OutputConnection : public virtual Connection {
    TESL_INTERFACE(OutputConnection, "javax.microedition.io.OutputConnection", Connection)
public:
    ~OutputConnection() override = default;
    virtual JavaPtr<::java::io::DataOutputStream> openDataOutputStream() = 0;
    virtual JavaPtr<::java::io::OutputStream> openOutputStream() = 0;
};

}  // namespace javax::microedition::io
