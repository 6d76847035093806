// javax.microedition.io.ContentConnection: a stream connection whose content has a type, an encoding
// and a length.
#pragma once

#include "net/StreamConnection.h"

namespace java::lang {
class String;
}

namespace javax::microedition::io {

class ContentConnection : public virtual StreamConnection {
    TESL_INTERFACE(ContentConnection, "javax.microedition.io.ContentConnection", StreamConnection)
public:
    ~ContentConnection() override = default;
    virtual JavaPtr<::java::lang::String> getEncoding() = 0;
    virtual long long getLength() = 0;
    virtual JavaPtr<::java::lang::String> getType() = 0;
};

}  // namespace javax::microedition::io
