// javax.wireless.messaging.Message: a short message with its destination address ("sms://" + number,
// optionally ":" and a port) and its timestamp.
#pragma once

#include "library/Date.h"
#include "runtime/String.h"

namespace javax::wireless::messaging {

class Message : public virtual java::lang::Smart {
    TESL_INTERFACE(Message, "javax.wireless.messaging.Message", java::lang::Smart)
public:
    virtual JavaPtr<java::lang::String> getAddress() = 0;
    virtual JavaPtr<java::util::Date> getTimestamp() = 0;
    virtual void setAddress(const JavaPtr<java::lang::String>& address) = 0;
    ~Message() override = default;
};

}  // namespace javax::wireless::messaging
