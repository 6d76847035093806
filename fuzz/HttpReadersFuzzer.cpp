// The HTTP connection's text readers on arbitrary text: the URL splitter, the status line and the
// dates. The first byte picks the reader and whether the rest is one unit per byte or per byte pair.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/HttpFieldReaders.h"
#include "runtime/NumberFormatException.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    std::u16string text;
    if (mode & 4) {
        for (size_t i = 1; i + 1 < size; i += 2)
            text.push_back(static_cast<char16_t>(data[i] << 8 | data[i + 1]));
    } else {
        for (size_t i = 1; i < size; ++i) text.push_back(data[i]);
    }
    switch (mode & 3) {
        case 0:
            try {
                const net::HttpUrlParts parts = net::parseHttpUrl(text);
                // The host never runs into the path, the query or the reference.
                if (parts.host.find_first_of(u"/?#") != std::u16string::npos) std::abort();
                if (parts.host.size() + parts.protocol.size() > text.size()) std::abort();
            } catch (java::lang::NumberFormatException&) {
            }
            break;
        case 1: {
            net::readStatusCode(text);
            if (net::readStatusMessage(text).size() > text.size()) std::abort();
            break;
        }
        default:
            net::readHttpDate(text, -1);
            break;
    }
    return 0;
}
