#include "net/HttpConnection.h"

#include "library/Connector.h"
#include "net/HttpConnectionImpl.h"
#include "runtime/String.h"

namespace javax::microedition::io {

constinit JavaPtr<::java::lang::String> HttpConnection::GET;
constinit JavaPtr<::java::lang::String> HttpConnection::HEAD;
constinit JavaPtr<::java::lang::String> HttpConnection::POST;

}  // namespace javax::microedition::io

using javax::microedition::io::Connector;
using javax::microedition::io::HttpConnection;

void HttpConnection_staticInit() {
    HttpConnection::GET = jnew<java::lang::String>("GET");
    HttpConnection::HEAD = jnew<java::lang::String>("HEAD");
    HttpConnection::POST = jnew<java::lang::String>("POST");
    Connector::registerConnectionFactory(Connector::FACTORY_HTTP,
                                         &javax::microedition::io::HttpConnectionImpl::openConnection);
}

void HttpConnection_staticDestroy() {
    Connector::registerConnectionFactory(Connector::FACTORY_HTTP, nullptr);
    HttpConnection::GET = nullptr;
    HttpConnection::HEAD = nullptr;
    HttpConnection::POST = nullptr;
}
