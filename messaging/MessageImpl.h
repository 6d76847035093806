// The plain message: an address and a timestamp, no type and no payload. The base of the text and
// binary messages, and what a closed connection's newMessage gives.
#pragma once

#include <cstdint>

#include "messaging/Message.h"

namespace javax::wireless::messaging {

class MessageImpl : public java::lang::Object, public virtual Message {
    TESL_CLASS(MessageImpl, "javax.wireless.messaging.MessageImpl", java::lang::Object, Message)
public:
    MessageImpl() noexcept {}
    ~MessageImpl() override = default;

    // Now, no address.
    MessageImpl* TESLinvokeconstructor();
    MessageImpl* TESLinvokeconstructor(const JavaPtr<java::util::Date>& timestamp);
    MessageImpl* TESLinvokeconstructor(const JavaPtr<java::lang::String>& address);
    MessageImpl* TESLinvokeconstructor(const JavaPtr<java::util::Date>& timestamp,
                                       const JavaPtr<java::lang::String>& address);

    // Null for a plain message.
    virtual JavaPtr<java::lang::String> _messageType();
    // The short-message segments the payload needs; 0 without a payload.
    virtual int32_t _getNumSegments();
    JavaPtr<java::lang::String> getAddress() override;
    // A new Date of the same time on every call (null when the message was made with a null one).
    JavaPtr<java::util::Date> getTimestamp() override;
    void setAddress(const JavaPtr<java::lang::String>& address) override;

protected:
    JavaPtr<java::lang::String> address;
    JavaPtr<java::util::Date> timestamp;
};

}  // namespace javax::wireless::messaging
