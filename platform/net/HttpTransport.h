// The HTTP transport under the platform's HttpConnection: a request goes out on one network thread, and
// the response comes back as events (head, bytes, end, error) delivered on that thread, never on the
// thread that asked. Only http and https are spoken, HTTP/1.1, redirects followed (at most 10), peers and
// host names always verified.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace platform {

using HttpHeaderFields = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
    std::string method;
    std::string url;
    // Sent as they stand, besides what the transport itself must send (Host, a body's length).
    HttpHeaderFields headers;
    // Sent with a POST (an empty one too), and with a GET when it holds bytes; a HEAD holding bytes
    // is not opened.
    std::vector<unsigned char> body;
};

// Receives one stream's events on the network thread. The head is that of the final response (a
// followed redirect's head is dropped) and comes before any bytes; end or error comes once, last.
class HttpStreamListener {
public:
    // statusLine has no line end, like "HTTP/1.1 200 OK"; fields in the order the server sent them.
    virtual void onHead(const std::string& statusLine, const HttpHeaderFields& fields) = 0;
    // False stops the transfer; the stream then ends with onError.
    virtual bool onBytes(const unsigned char* bytes, size_t count) = 0;
    virtual void onEnd() = 0;
    virtual void onError(const std::string& cause) = 0;

protected:
    ~HttpStreamListener() = default;
};

class HttpTransport {
public:
    // Starts the request and answers the stream's id, or 0 with *cause set when it cannot start. The
    // listener must stay alive until detach(id) has returned.
    static uint64_t open(const HttpRequest& request, HttpStreamListener* listener, std::string* cause);
    // Stops the stream; returns only when no callback for it can still run. Harmless for a stream that
    // has ended or an id of 0.
    static void detach(uint64_t stream);

    // Tests only: the certificate authorities (a PEM file) trusted in place of the system store, or
    // the system store again for an empty path. Applies to requests opened afterwards.
    static void setCertificateAuthorityFileForTesting(const std::string& path);
};

}  // namespace platform
