#include "messaging/MessageConnection.h"

#include "library/Connector.h"
#include "messaging/MessageConnectionImpl.h"

namespace javax::wireless::messaging {

using java::lang::String;
using javax::microedition::io::Connector;

constinit JavaPtr<String> MessageConnection::TEXT_MESSAGE;
constinit JavaPtr<String> MessageConnection::BINARY_MESSAGE;
constinit JavaPtr<String> MessageConnection::MULTIPART_MESSAGE;

void MessageConnection::MessageConnection_staticInit() {
    BINARY_MESSAGE = jnew<String>("binary");
    MULTIPART_MESSAGE = jnew<String>("multipart");
    TEXT_MESSAGE = jnew<String>("text");
    // Connector sits below this package and asks the factory registered in its messaging place.
    Connector::registerConnectionFactory(Connector::FACTORY_MESSAGING,
                                         &javax::microedition::io::MessageConnectionImpl::openConnection);
}

void MessageConnection::MessageConnection_staticDestroy() {
    Connector::registerConnectionFactory(Connector::FACTORY_MESSAGING, nullptr);
    BINARY_MESSAGE = nullptr;
    MULTIPART_MESSAGE = nullptr;
    TEXT_MESSAGE = nullptr;
}

}  // namespace javax::wireless::messaging
