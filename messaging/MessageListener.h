// javax.wireless.messaging.MessageListener: accepted by setMessageListener in its type only; connections
// here never receive, so nothing calls it.
#pragma once

#include "runtime/Object.h"

namespace javax::wireless::messaging {

class MessageConnection;

class MessageListener : public virtual java::lang::Smart {
    TESL_INTERFACE(MessageListener, "javax.wireless.messaging.MessageListener", java::lang::Smart)
public:
    virtual void notifyIncomingMessage(const JavaPtr<MessageConnection>& connection) = 0;
    ~MessageListener() override = default;
};

}  // namespace javax::wireless::messaging
