// javax.wireless.messaging.MessageConnection: the connection through which short messages are made and
// sent, with the names of the message types. Its static hooks also register the "sms://" factory with
// Connector.
#pragma once

#include <cstdint>

#include "library/Connection.h"
#include "messaging/Message.h"
#include "messaging/MessageListener.h"

namespace javax::wireless::messaging {

class MessageConnection : public virtual javax::microedition::io::Connection {
    TESL_INTERFACE(MessageConnection, "javax.wireless.messaging.MessageConnection",
                   javax::microedition::io::Connection)
public:
    ~MessageConnection() override = default;

    virtual JavaPtr<Message> newMessage(const JavaPtr<java::lang::String>& type) = 0;
    virtual JavaPtr<Message> newMessage(const JavaPtr<java::lang::String>& type,
                                        const JavaPtr<java::lang::String>& address) = 0;
    virtual int32_t numberOfSegments(const JavaPtr<Message>& message) = 0;
    virtual JavaPtr<Message> receive() = 0;
    virtual void send(const JavaPtr<Message>& message) = 0;
    virtual void setMessageListener(const JavaPtr<MessageListener>& listener) = 0;

    // "text", "binary" and "multipart"; null outside the static hooks' span.
    static JavaPtr<java::lang::String> TEXT_MESSAGE;
    static JavaPtr<java::lang::String> BINARY_MESSAGE;
    static JavaPtr<java::lang::String> MULTIPART_MESSAGE;

    static void MessageConnection_staticInit();
    static void MessageConnection_staticDestroy();
};

}  // namespace javax::wireless::messaging
