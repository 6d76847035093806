// javax.microedition.io.HttpInputStream: the response body. The network thread appends to it while the
// body arrives; the application reads it, and the connection may close it from a third thread, so
// every operation takes the stream's own lock.
#pragma once

#include <mutex>

#include "library/ByteArrayInputStream.h"

namespace javax::microedition::io {

class HttpInputStream : public ::java::io::ByteArrayInputStream {
    TESL_CLASS(HttpInputStream, "javax.microedition.io.HttpInputStream", ::java::io::ByteArrayInputStream)
public:
    HttpInputStream() noexcept {}
    ~HttpInputStream() override;

    // An empty body.
    HttpInputStream* TESLinvokeconstructor();

    int available() override;
    // Drops the body: later reads give -1 and appends are refused.
    void close() override;
    void mark(int readlimit) override;
    int read() override;
    int read(const JavaPtr<JArray<signed char>>& b, int off, int len) override;
    void reset() override;
    long long skip(long long n) override;

    // Append one byte, or length bytes. Throw IOException when the body cannot grow or was closed.
    virtual void write(signed char b);
    virtual void write(const signed char* data, int length);

    // The append of the network thread: false, with nothing changed, when the body cannot grow or was
    // closed. The array grows geometrically; reads stop at the count.
    bool append(const signed char* data, int length);
    // Bytes appended so far.
    int size();

private:
    // Guards the inherited buffer, count, position and mark.
    std::mutex m_lock;
};

}  // namespace javax::microedition::io
