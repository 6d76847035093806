// javax.microedition.io.HttpOutputStream: the request body. Its flush hands what was written to the
// connection, which sends it when the exchange starts.
#pragma once

#include <mutex>

#include "library/ByteArrayOutputStream.h"

namespace javax::microedition::io {

class HttpConnectionImpl;

class HttpOutputStream : public ::java::io::ByteArrayOutputStream {
    TESL_CLASS(HttpOutputStream, "javax.microedition.io.HttpOutputStream", ::java::io::ByteArrayOutputStream)
public:
    HttpOutputStream() noexcept {}
    ~HttpOutputStream() override = default;

    // Without a connection: a flush keeps the bytes.
    HttpOutputStream* TESLinvokeconstructor();
    HttpOutputStream* TESLinvokeconstructor(HttpConnectionImpl* connection);

    // Gives the bytes written to the connection as the request body; they stay here when the connection
    // does not take them (no exchange is being set up, or the stream was let go).
    void flush() override;

    // The connection lets its stream go when it closes, dies or opens a newer stream. The link is not
    // counted, so a connection and its stream never keep each other alive.
    void releaseConnection();

private:
    // Guards m_connection; held across the hand-over, so the connection outlives a running flush.
    std::mutex m_linkLock;
    HttpConnectionImpl* m_connection = nullptr;
};

}  // namespace javax::microedition::io
