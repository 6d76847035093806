#include "messaging/MessageConnectionImpl.h"

#include <mutex>
#include <string>

#include "messaging/BinaryMessageImpl.h"
#include "messaging/TextMessageImpl.h"
#include "platform/host/Host.h"
#include "platform/messaging/MessageComposer.h"
#include "runtime/IOException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::io {

using java::lang::String;
using javax::wireless::messaging::BinaryMessageImpl;
using javax::wireless::messaging::MessageImpl;
using javax::wireless::messaging::TextMessageImpl;

namespace {

// The composer's hand-over globals and verdict are process-wide: one send at a time, whatever the
// connection.
std::mutex& sendMutex() {
    static std::mutex mutex;
    return mutex;
}

bool sameType(const JavaPtr<String>& name, const JavaPtr<String>& type) {
    return name && type && name->equals(type);
}

// The composer takes NUL-terminated texts: a U+0000 would cut the recipient or the body short there.
bool holdsNul(const JavaPtr<String>& text) {
    return text->indexOf(0) >= 0;
}

JavaPtr<MessageImpl> asMessageImpl(const JavaPtr<javax::wireless::messaging::Message>& message) {
    if (!message) throw java::lang::NullPointerException();
    JavaPtr<MessageImpl> impl = jcast<MessageImpl>(message);
    if (!impl) throw java::lang::IllegalArgumentException();
    return impl;
}

// The composer's verdict for the send under way. A send made on the platform's main thread whose composer
// has not answered by now never will (it would need this thread): that is "not sent", not a hang.
int awaitVerdict() {
    platform::Host* host = platform::currentHost();
    if (host != nullptr && host->isMainThread() && _smsDelegateValue.load() == platform::kMessagePending)
        platform::reportMessageVerdict(platform::kMessageNotSent);
    return platform::waitForMessageVerdict();
}

}  // namespace

MessageConnectionImpl* MessageConnectionImpl::TESLinvokeconstructor() {
    Object::TESLinvokeconstructor();
    return this;
}

MessageConnectionImpl* MessageConnectionImpl::TESLinvokeconstructor(const JavaPtr<String>& url, bool client) {
    Object::TESLinvokeconstructor();
    connectionUrl = url;
    clientMode = client;
    return this;
}

JavaPtr<Connection> MessageConnectionImpl::openConnection(JavaPtr<String> url, int, bool) {
    if (!url) return nullptr;
    if (url->startsWith(jnew<String>("sms://:"))) return nullptr;
    if (!url->startsWith(jnew<String>("sms://"))) return nullptr;
    return jnew<MessageConnectionImpl>(url, true);
}

void MessageConnectionImpl::close() {
    open.store(false);
}

JavaPtr<MessageConnectionImpl::Message> MessageConnectionImpl::newMessage(const JavaPtr<String>& type) {
    return newMessage(type, connectionUrl);
}

JavaPtr<MessageConnectionImpl::Message> MessageConnectionImpl::newMessage(const JavaPtr<String>& type,
                                                                          const JavaPtr<String>& address) {
    if (!open.load()) return jnew<MessageImpl>(address);
    if (sameType(MessageConnection::TEXT_MESSAGE, type)) return jnew<TextMessageImpl>(address);
    if (sameType(MessageConnection::BINARY_MESSAGE, type)) return jnew<BinaryMessageImpl>(address);
    throw java::lang::IllegalArgumentException();
}

int32_t MessageConnectionImpl::numberOfSegments(const JavaPtr<Message>& message) {
    return asMessageImpl(message)->_getNumSegments();
}

JavaPtr<MessageConnectionImpl::Message> MessageConnectionImpl::receive() {
    if (!open.load() || clientMode) throw java::io::IOException();
    throw java::io::IOException();
}

void MessageConnectionImpl::setMessageListener(const JavaPtr<javax::wireless::messaging::MessageListener>&) {
    if (!open.load() || clientMode) throw java::io::IOException();
    throw java::io::IOException();
}

void MessageConnectionImpl::send(const JavaPtr<Message>& message) {
    if (!open.load()) throw java::io::IOException();
    JavaPtr<MessageImpl> impl = asMessageImpl(message);
    JavaPtr<String> type = impl->_messageType();
    JavaPtr<String> address = impl->getAddress();
    if (!address) throw java::lang::IllegalArgumentException();
    if (address->startsWith(jnew<String>("sms://:"))) throw java::lang::IllegalArgumentException();
    if (!address->startsWith(jnew<String>("sms://"))) throw java::lang::IllegalArgumentException();
    const int colon = address->indexOf(':', 6);
    JavaPtr<String> number = address->substring(6, colon >= 0 ? colon : address->length());
    // A bare "sms://" names nobody: the composer must not be shown an empty recipient.
    if (number->length() == 0) throw java::lang::IllegalArgumentException();

    if (sameType(MessageConnection::TEXT_MESSAGE, type)) {
        JavaPtr<TextMessageImpl> text = jcast<TextMessageImpl>(impl);
        JavaPtr<String> payload = text ? text->getPayloadText() : nullptr;
        if (!payload) throw java::lang::IllegalArgumentException();
        // Refused before the composer sees it: a text cut short must never be reported as sent.
        if (holdsNul(number) || holdsNul(payload)) throw java::lang::IllegalArgumentException();
        if (!sendText(number, payload)) throw java::io::IOException();
        return;
    }
    if (sameType(MessageConnection::BINARY_MESSAGE, type)) {
        JavaPtr<BinaryMessageImpl> binary = jcast<BinaryMessageImpl>(impl);
        if (!binary) throw java::lang::IllegalArgumentException();
        const int32_t port = binary->_getPortNumber();
        if (port < 0 || port > 65535) throw java::lang::IllegalArgumentException();
        if (!binary->_getAndroidUrl()) throw java::lang::IllegalArgumentException();
        JavaPtr<JArray<signed char>> payload = binary->getPayloadData();
        if (!payload) throw java::lang::IllegalArgumentException();
        // Returning without sending would report a failure as success.
        if (!sendBinary(number, port, payload)) throw java::io::IOException();
        return;
    }
    throw java::lang::IllegalArgumentException();
}

bool MessageConnectionImpl::sendText(const JavaPtr<String>& number, const JavaPtr<String>& text) {
    if (!number || !text || holdsNul(number) || holdsNul(text)) return false;
    std::lock_guard<std::mutex> lock(sendMutex());
    // The UTF-8 copies live until the verdict is in.
    const std::string recipient = toUtf8(number);
    const std::string body = toUtf8(text);
    platform::resetMessageVerdict();
    _smsAddressValue.store(recipient.c_str());
    _smsMessageValue.store(body.c_str());
    _sendSMS();
    const int verdict = awaitVerdict();
    _smsAddressValue.store(nullptr);
    _smsMessageValue.store(nullptr);
    return verdict == platform::kMessageSent;
}

bool MessageConnectionImpl::sendBinary(const JavaPtr<String>& number, int port,
                                       const JavaPtr<JArray<signed char>>& payload) {
    std::lock_guard<std::mutex> lock(sendMutex());
    if (!number || holdsNul(number)) return false;
    const std::string recipient = toUtf8(number);
    platform::resetMessageVerdict();
    _sendBinarySMS(recipient.c_str(), port, reinterpret_cast<const unsigned char*>(payload->data),
                   payload->length);
    return awaitVerdict() == platform::kMessageSent;
}

}  // namespace javax::microedition::io
