#include "messaging/BinaryMessageImpl.h"

#include "messaging/MessageConnection.h"
#include "runtime/Integer.h"
#include "runtime/NumberFormatException.h"

namespace javax::wireless::messaging {

using java::lang::String;
using java::util::Date;

namespace {

// Ten digits already exceed any 32-bit port; beyond that the runtime's parser would wrap a long run
// into a small number, so a longer run is refused before it is parsed.
constexpr int32_t kLongestPortDigits = 10;

}  // namespace

void BinaryMessageImpl::setBinaryDefaults() {
    payloadData = nullptr;
    portNumber = -1;
    url = nullptr;
}

BinaryMessageImpl* BinaryMessageImpl::TESLinvokeconstructor() {
    MessageImpl::TESLinvokeconstructor();
    setBinaryDefaults();
    return this;
}

BinaryMessageImpl* BinaryMessageImpl::TESLinvokeconstructor(const JavaPtr<Date>& time) {
    MessageImpl::TESLinvokeconstructor(time);
    setBinaryDefaults();
    return this;
}

BinaryMessageImpl* BinaryMessageImpl::TESLinvokeconstructor(const JavaPtr<String>& destination) {
    MessageImpl::TESLinvokeconstructor(destination);
    setBinaryDefaults();
    parseAddrForPortAndUrl(destination);
    return this;
}

BinaryMessageImpl* BinaryMessageImpl::TESLinvokeconstructor(const JavaPtr<String>& destination,
                                                            const JavaPtr<Date>& time) {
    MessageImpl::TESLinvokeconstructor(time, destination);
    setBinaryDefaults();
    parseAddrForPortAndUrl(destination);
    return this;
}

JavaPtr<String> BinaryMessageImpl::_messageType() {
    return MessageConnection::BINARY_MESSAGE;
}

int32_t BinaryMessageImpl::_getNumSegments() {
    if (!payloadData) return 0;
    const int32_t length = payloadData->length;
    if (length <= 140) return 1;
    // Rounded up without forming length + 132, which a length near 2^31 would overflow.
    return length / 133 + (length % 133 != 0 ? 1 : 0);
}

void BinaryMessageImpl::setAddress(const JavaPtr<String>& destination) {
    MessageImpl::setAddress(destination);
    parseAddrForPortAndUrl(destination);
}

int32_t BinaryMessageImpl::_getPortNumber() {
    return portNumber;
}

JavaPtr<String> BinaryMessageImpl::_getAndroidUrl() {
    return url;
}

JavaPtr<JArray<signed char>> BinaryMessageImpl::getPayloadData() {
    return payloadData;
}

void BinaryMessageImpl::setPayloadData(const JavaPtr<JArray<signed char>>& data) {
    payloadData = data;
}

void BinaryMessageImpl::parseAddrForPortAndUrl(const JavaPtr<String>& destination) {
    int32_t port = -1;
    JavaPtr<String> found;
    JavaPtr<String> scheme = jnew<String>("sms://");
    if (destination && destination->startsWith(scheme)) {
        found = scheme;
        JavaPtr<String> rest = destination->substring(6);
        const int colon = rest->indexOf(':');
        if (colon >= 0 && rest->length() > 1) {
            found = found + rest->substring(0, colon);
            rest = rest->substring(colon + 1);
            int32_t digits = 0;
            while (digits < rest->length() && rest->charAt(digits) >= '0' && rest->charAt(digits) <= '9')
                ++digits;
            if (digits > 0) {
                try {
                    if (digits > kLongestPortDigits) throw java::lang::NumberFormatException();
                    port = java::lang::Integer::parseInt(rest->substring(0, digits));
                } catch (java::lang::NumberFormatException& overflow) {
                    overflow.printStackTrace();
                }
            }
            if (digits < rest->length()) found = found + rest->substring(digits);
        }
        if (found->equals(scheme)) found = nullptr;
    }
    portNumber = port;
    url = found;
}

}  // namespace javax::wireless::messaging
