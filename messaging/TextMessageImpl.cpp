#include "messaging/TextMessageImpl.h"

#include "messaging/MessageConnection.h"

namespace javax::wireless::messaging {

using java::lang::String;
using java::util::Date;

TextMessageImpl* TextMessageImpl::TESLinvokeconstructor() {
    MessageImpl::TESLinvokeconstructor();
    payloadText = nullptr;
    return this;
}

TextMessageImpl* TextMessageImpl::TESLinvokeconstructor(const JavaPtr<Date>& time) {
    MessageImpl::TESLinvokeconstructor(time);
    payloadText = nullptr;
    return this;
}

TextMessageImpl* TextMessageImpl::TESLinvokeconstructor(const JavaPtr<String>& destination) {
    MessageImpl::TESLinvokeconstructor(destination);
    payloadText = nullptr;
    return this;
}

TextMessageImpl* TextMessageImpl::TESLinvokeconstructor(const JavaPtr<String>& destination,
                                                        const JavaPtr<Date>& time) {
    MessageImpl::TESLinvokeconstructor(time, destination);
    payloadText = nullptr;
    return this;
}

JavaPtr<String> TextMessageImpl::_messageType() {
    return MessageConnection::TEXT_MESSAGE;
}

int32_t TextMessageImpl::_getNumSegments() {
    if (!payloadText) return 0;
    int32_t first = 160;
    int32_t next = 153;
    const int32_t length = payloadText->length();
    for (int32_t i = 0; i < length; ++i) {
        const unsigned short unit = payloadText->charAt(i);
        if (unit > 0xFF) {
            first = 70;
            next = 67;
            break;
        }
        if (unit >= 0x80) {
            first = 140;
            next = 133;
        }
    }
    if (length <= first) return 1;
    // Rounded up without forming length + next - 1, which a length near 2^31 would overflow.
    return length / next + (length % next != 0 ? 1 : 0);
}

JavaPtr<String> TextMessageImpl::getPayloadText() {
    return payloadText;
}

void TextMessageImpl::setPayloadText(const JavaPtr<String>& text) {
    payloadText = text;
}

}  // namespace javax::wireless::messaging
