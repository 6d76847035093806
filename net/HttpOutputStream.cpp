#include "net/HttpOutputStream.h"

#include "net/HttpConnectionImpl.h"

namespace javax::microedition::io {

HttpOutputStream* HttpOutputStream::TESLinvokeconstructor() {
    ByteArrayOutputStream::TESLinvokeconstructor();
    return this;
}

HttpOutputStream* HttpOutputStream::TESLinvokeconstructor(HttpConnectionImpl* connection) {
    ByteArrayOutputStream::TESLinvokeconstructor();
    m_connection = connection;
    return this;
}

void HttpOutputStream::flush() {
    if (size() == 0) return;
    std::lock_guard<std::mutex> lock(m_linkLock);
    if (m_connection == nullptr) return;
    if (m_connection->sendData(toByteArray())) reset();
}

void HttpOutputStream::releaseConnection() {
    std::lock_guard<std::mutex> lock(m_linkLock);
    m_connection = nullptr;
}

}  // namespace javax::microedition::io
