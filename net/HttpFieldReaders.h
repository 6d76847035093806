// The text readers of the HTTP connection: the URL's parts, the status line and the header dates. They
// work on UTF-16 units, as the connection's strings hold them, and touch no connection state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace net {

struct HttpUrlParts {
    std::u16string protocol;
    std::u16string host;
    int32_t port = 0;
    std::optional<std::u16string> file;
    std::optional<std::u16string> query;
    std::optional<std::u16string> ref;
};

// A leading run of decimal digits after an optional "-", stopping at the first other unit; 0 for none.
// Empty when the value lies outside 32 bits.
std::optional<int32_t> readLeadingInt(std::u16string_view text);

// Splits an http or https URL. The host ends at the first "/", "?" or "#", so a query or reference
// right after the host is still read as one. Throws NumberFormatException for a port beyond 32 bits
// or of more than ten digits.
HttpUrlParts parseHttpUrl(std::u16string_view url);

// The status code: the text after the first space up to the next space or the end; 0 when it holds
// no digits or lies outside 32 bits.
int32_t readStatusCode(std::u16string_view statusLine);
// The reason text after the code; empty when the line has none.
std::u16string readStatusMessage(std::u16string_view statusLine);

// Milliseconds since 1970-01-01 00:00 GMT for an RFC 1123, RFC 850 or asctime date; def for a text
// that fits none of them or holds a number beyond 32 bits. Fields beyond their range carry over (a day
// 0 is the last day of the month before).
long long readHttpDate(std::u16string_view value, long long def);

}  // namespace net
