// javax.wireless.messaging.BinaryMessage: a message whose payload is bytes.
#pragma once

#include "messaging/Message.h"
#include "runtime/JArray.h"

namespace javax::wireless::messaging {

class BinaryMessage : public virtual Message {
    TESL_INTERFACE(BinaryMessage, "javax.wireless.messaging.BinaryMessage", Message)
public:
    virtual JavaPtr<JArray<signed char>> getPayloadData() = 0;
    virtual void setPayloadData(const JavaPtr<JArray<signed char>>& data) = 0;
    ~BinaryMessage() override = default;
};

}  // namespace javax::wireless::messaging
