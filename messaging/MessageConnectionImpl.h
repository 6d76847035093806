// The one message connection: a client connection for "sms://" names, which sends text messages through
// the platform's message composer and binary ones through its binary form, and cannot receive. Its class
// name is in the javax.microedition.io package, as the connector's other connections are.
#pragma once

#include <atomic>
#include <cstdint>

#include "messaging/MessageConnection.h"
#include "runtime/JArray.h"

namespace javax::microedition::io {

class MessageConnectionImpl : public java::lang::Object,
                              public javax::wireless::messaging::MessageConnection {
    TESL_CLASS(MessageConnectionImpl, "javax.microedition.io.MessageConnectionImpl", java::lang::Object,
               javax::wireless::messaging::MessageConnection)
public:
    using Message = javax::wireless::messaging::Message;

    MessageConnectionImpl() noexcept {}
    ~MessageConnectionImpl() override = default;

    MessageConnectionImpl* TESLinvokeconstructor();
    MessageConnectionImpl* TESLinvokeconstructor(const JavaPtr<java::lang::String>& url, bool clientMode);

    // The factory of Connector::open: a connection for a name starting with "sms://" and a number,
    // null for "sms://:" (a server) and any other name. mode and timeouts are not used.
    static JavaPtr<Connection> openConnection(JavaPtr<java::lang::String> url, int mode, bool timeouts);

    void close() override;
    JavaPtr<Message> newMessage(const JavaPtr<java::lang::String>& type) override;
    JavaPtr<Message> newMessage(const JavaPtr<java::lang::String>& type,
                                const JavaPtr<java::lang::String>& address) override;
    int32_t numberOfSegments(const JavaPtr<Message>& message) override;
    // Always IOException: a client connection cannot receive.
    JavaPtr<Message> receive() override;
    // Returns when the message was sent; IOException when it was not, or the connection is closed;
    // NullPointerException or IllegalArgumentException (before anything is sent) for a message that
    // cannot be sent, among them a text or recipient holding U+0000, which the composer cannot carry.
    void send(const JavaPtr<Message>& message) override;
    void setMessageListener(const JavaPtr<javax::wireless::messaging::MessageListener>& listener) override;

    // Shows the text to the composer and waits for its verdict: true when sent. One send at a time.
    // A number or text holding U+0000 is not sent (false) and never shown.
    bool sendText(const JavaPtr<java::lang::String>& number, const JavaPtr<java::lang::String>& text);
    bool sendBinary(const JavaPtr<java::lang::String>& number, int port,
                    const JavaPtr<JArray<signed char>>& payload);

private:
    // Made open and in client mode; close may come from another thread than a send.
    std::atomic<bool> open{true};
    bool clientMode = true;
    JavaPtr<java::lang::String> connectionUrl;
};

}  // namespace javax::microedition::io
