// javax.wireless.messaging.TextMessage: a message whose payload is a text.
#pragma once

#include "messaging/Message.h"

namespace javax::wireless::messaging {

class TextMessage : public virtual Message {
    TESL_INTERFACE(TextMessage, "javax.wireless.messaging.TextMessage", Message)
public:
    virtual JavaPtr<java::lang::String> getPayloadText() = 0;
    virtual void setPayloadText(const JavaPtr<java::lang::String>& text) = 0;
    ~TextMessage() override = default;
};

}  // namespace javax::wireless::messaging
