#include "messaging/MessageImpl.h"

namespace javax::wireless::messaging {

using java::lang::String;
using java::util::Date;

MessageImpl* MessageImpl::TESLinvokeconstructor() {
    return TESLinvokeconstructor(jnew<Date>(), nullptr);
}

MessageImpl* MessageImpl::TESLinvokeconstructor(const JavaPtr<Date>& time) {
    return TESLinvokeconstructor(time, nullptr);
}

MessageImpl* MessageImpl::TESLinvokeconstructor(const JavaPtr<String>& destination) {
    return TESLinvokeconstructor(jnew<Date>(), destination);
}

MessageImpl* MessageImpl::TESLinvokeconstructor(const JavaPtr<Date>& time,
                                                const JavaPtr<String>& destination) {
    Object::TESLinvokeconstructor();
    timestamp = time;
    address = destination;
    return this;
}

JavaPtr<String> MessageImpl::_messageType() {
    return nullptr;
}

int32_t MessageImpl::_getNumSegments() {
    return 0;
}

JavaPtr<String> MessageImpl::getAddress() {
    return address;
}

JavaPtr<Date> MessageImpl::getTimestamp() {
    if (!timestamp) return nullptr;
    return jnew<Date>(timestamp->getTime());
}

void MessageImpl::setAddress(const JavaPtr<String>& newAddress) {
    address = newAddress;
}

}  // namespace javax::wireless::messaging
