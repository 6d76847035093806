// A text message: the payload is a String, counted in segments of 160/153 units, 140/133 once a unit of
// 0x80 to 0xFF appears, or 70/67 once a unit above 0xFF appears.
#pragma once

#include "messaging/MessageImpl.h"
#include "messaging/TextMessage.h"

namespace javax::wireless::messaging {

class TextMessageImpl : public MessageImpl, public virtual TextMessage {
    TESL_CLASS(TextMessageImpl, "javax.wireless.messaging.TextMessageImpl", MessageImpl, TextMessage)
public:
    TextMessageImpl() noexcept {}
    ~TextMessageImpl() override = default;

    TextMessageImpl* TESLinvokeconstructor();
    TextMessageImpl* TESLinvokeconstructor(const JavaPtr<java::util::Date>& timestamp);
    TextMessageImpl* TESLinvokeconstructor(const JavaPtr<java::lang::String>& address);
    TextMessageImpl* TESLinvokeconstructor(const JavaPtr<java::lang::String>& address,
                                           const JavaPtr<java::util::Date>& timestamp);

    JavaPtr<java::lang::String> _messageType() override;
    int32_t _getNumSegments() override;
    JavaPtr<java::lang::String> getPayloadText() override;
    void setPayloadText(const JavaPtr<java::lang::String>& text) override;

private:
    JavaPtr<java::lang::String> payloadText;
};

}  // namespace javax::wireless::messaging
