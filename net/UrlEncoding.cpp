#include "net/UrlEncoding.h"

#include <cstring>

#include "runtime/NullPointerException.h"

namespace net {

namespace {

// The first 16 characters double as the hexadecimal digits.
constexpr char kUnreserved[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_.!*'()";

}  // namespace

JavaPtr<java::lang::String> urlEncode(const JavaPtr<java::lang::String>& text) {
    if (!text) throw java::lang::NullPointerException();
    std::u16string encoded;
    encoded.reserve(static_cast<size_t>(text->length()));
    for (int32_t i = 0; i < text->length(); ++i) {
        const unsigned short c = text->charAt(i);
        if (c != 0 && c < 0x80 && std::strchr(kUnreserved, c) != nullptr) {
            encoded.push_back(static_cast<char16_t>(c));
        } else {
            encoded.push_back(u'%');
            encoded.push_back(static_cast<char16_t>(kUnreserved[(c >> 4) & 15]));
            encoded.push_back(static_cast<char16_t>(kUnreserved[c & 15]));
        }
    }
    return jnew<java::lang::String>(reinterpret_cast<const unsigned short*>(encoded.data()),
                                    static_cast<int>(encoded.size()));
}

}  // namespace net
