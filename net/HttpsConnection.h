// javax.microedition.io.HttpsConnection: an HTTP connection over TLS.
#pragma once

#include "net/HttpConnection.h"

namespace javax::microedition::io {

class HttpsConnection : public virtual HttpConnection {
    TESL_INTERFACE(HttpsConnection, "javax.microedition.io.HttpsConnection", HttpConnection)
public:
    ~HttpsConnection() override = default;
    int getPort() override = 0;
    virtual JavaPtr<::java::lang::Object> getSecurityInfo() = 0;
};

}  // namespace javax::microedition::io
