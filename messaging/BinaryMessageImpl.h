// A binary message: the payload is bytes (140 in one segment, else 133 a segment), and the port and
// URL are taken from the address whenever it is set.
#pragma once

#include "messaging/BinaryMessage.h"
#include "messaging/MessageImpl.h"

namespace javax::wireless::messaging {

class BinaryMessageImpl : public MessageImpl, public virtual BinaryMessage {
    TESL_CLASS(BinaryMessageImpl, "javax.wireless.messaging.BinaryMessageImpl", MessageImpl, BinaryMessage)
public:
    BinaryMessageImpl() noexcept {}
    ~BinaryMessageImpl() override = default;

    BinaryMessageImpl* TESLinvokeconstructor();
    BinaryMessageImpl* TESLinvokeconstructor(const JavaPtr<java::util::Date>& timestamp);
    BinaryMessageImpl* TESLinvokeconstructor(const JavaPtr<java::lang::String>& address);
    BinaryMessageImpl* TESLinvokeconstructor(const JavaPtr<java::lang::String>& address,
                                             const JavaPtr<java::util::Date>& timestamp);

    JavaPtr<java::lang::String> _messageType() override;
    int32_t _getNumSegments() override;
    void setAddress(const JavaPtr<java::lang::String>& address) override;
    // -1 when the address gave none.
    virtual int32_t _getPortNumber();
    // "sms://" + number + what followed the port digits; null when the address gave no number or suffix.
    virtual JavaPtr<java::lang::String> _getAndroidUrl();
    JavaPtr<JArray<signed char>> getPayloadData() override;
    void setPayloadData(const JavaPtr<JArray<signed char>>& data) override;
    virtual void parseAddrForPortAndUrl(const JavaPtr<java::lang::String>& address);

private:
    void setBinaryDefaults();

    JavaPtr<JArray<signed char>> payloadData;
    int32_t portNumber = 0;
    JavaPtr<java::lang::String> url;
};

}  // namespace javax::wireless::messaging
