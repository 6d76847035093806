#include "net/TSHttpConnectionThread.h"

#include <algorithm>
#include <cstring>

#include "library/Connector.h"
#include "library/DataInputStream.h"
#include "library/OutputStream.h"
#include "runtime/Exception.h"
#include "runtime/IOException.h"
#include "runtime/String.h"

using java::lang::String;
using javax::microedition::io::Connection;
using javax::microedition::io::Connector;
using javax::microedition::io::HttpConnection;

constinit JavaPtr<HookCanvas> TSHttpConnectionThread::parent;
std::mutex TSHttpConnectionThread::s_parentLock;

namespace {

constexpr int kChunk = 65536;
constexpr int kGrowthStep = 1024;

// A body of unknown length is kept in whole steps of 1,024 bytes, at least one.
int roundedCapacity(long long bytes) {
    if (bytes < 1) bytes = 1;
    const long long rounded = (bytes + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
    return rounded > JArray<signed char>::maxLength ? JArray<signed char>::maxLength
                                                    : static_cast<int>(rounded);
}

bool isRedirect(int code) {
    return code == 301 || code == 302 || code == 303 || code == 307;
}

// Where a redirect points: an absolute location as it stands, a relative one joined to the current
// scheme, host, port and (for a relative path) directory.
JavaPtr<String> redirectTarget(const JavaPtr<HttpConnection>& current, const JavaPtr<String>& location) {
    if (location->startsWith(jnew<String>("http://")) || location->startsWith(jnew<String>("https://")))
        return location;
    JavaPtr<String> origin = current->getProtocol() + "://" + current->getHost() + ":" + current->getPort();
    if (location->startsWith(jnew<String>("/"))) return origin + location;
    JavaPtr<String> text = current->getURL();
    const int schemeEnd = text->indexOf(jnew<String>("://"));
    const int pathStart = schemeEnd < 0 ? -1 : text->indexOf('/', schemeEnd + 3);
    JavaPtr<String> directory = jnew<String>("/");
    if (pathStart >= 0) {
        int pathEnd = text->length();
        for (unsigned short stop : {u'?', u'#'}) {
            const int at = text->indexOf(stop, pathStart);
            if (at >= 0 && at < pathEnd) pathEnd = at;
        }
        const int lastSlash = text->lastIndexOf('/', pathEnd - 1);
        directory = text->substring(pathStart, lastSlash + 1);
    }
    return origin + directory + location;
}

}  // namespace

void TSHttpConnectionThread::initConnection(const JavaPtr<HookCanvas>& canvas, const JavaPtr<String>& text,
                                            int kind, const JavaPtr<JArray<signed char>>& body) {
    {
        std::lock_guard<std::mutex> lock(s_parentLock);
        parent = canvas;
    }
    JavaPtr<java::lang::Thread> started;
    {
        std::lock_guard<std::mutex> lock(m_handOverLock);
        url = text;
        encoding = kind;
        postData = body;
        started = jnew<java::lang::Thread>(JavaPtr<java::lang::Runnable>(this));
        thread = started;
    }
    started->setPriority(5);
    started->start();
}

void TSHttpConnectionThread::closeConnection() {
    closing.store(true);
    JavaPtr<HttpConnection> closed;
    {
        std::lock_guard<std::mutex> lock(m_handOverLock);
        closed = std::move(connection);
    }
    // Outside the lock: close waits for the transport, and wakes a worker waiting on the exchange.
    if (closed) closed->close();
}

void TSHttpConnectionThread::killThread() {
    closeConnection();
    JavaPtr<java::lang::Thread> dropped;
    {
        std::lock_guard<std::mutex> lock(m_handOverLock);
        dropped = std::move(thread);
    }
}

bool TSHttpConnectionThread::hasThread() {
    std::lock_guard<std::mutex> lock(m_handOverLock);
    return static_cast<bool>(thread);
}

bool TSHttpConnectionThread::hasConnection() {
    std::lock_guard<std::mutex> lock(m_handOverLock);
    return static_cast<bool>(connection);
}

JavaPtr<String> TSHttpConnectionThread::getURL() {
    std::lock_guard<std::mutex> lock(m_handOverLock);
    return url;
}

int32_t TSHttpConnectionThread::getBytesReceived(JavaPtr<JArray<signed char>>* body) {
    std::lock_guard<std::mutex> lock(m_dataLock);
    if (body != nullptr) *body = data;
    return bytesReceived;
}

void TSHttpConnectionThread::setPostHeaders() {
    JavaPtr<HttpConnection> http;
    {
        std::lock_guard<std::mutex> lock(m_handOverLock);
        http = connection;
    }
    if (!http) return;
    const char* type = nullptr;
    if (encoding == Encoding_OctetStream) type = "application/octet-stream";
    if (encoding == Encoding_Form) type = "application/x-www-form-urlencoded";
    if (encoding == Encoding_Default) type = "*/*";
    if (type == nullptr) return;
    http->setRequestProperty(jnew<String>("Content-Type"), jnew<String>(type));
    http->setRequestProperty(jnew<String>("Accept"), jnew<String>("*/*"));
}

JavaPtr<HttpConnection> TSHttpConnectionThread::requestOnce() {
    JavaPtr<String> target;
    {
        std::lock_guard<std::mutex> lock(m_handOverLock);
        target = url;
    }
    JavaPtr<Connection> opened = Connector::open(target);
    JavaPtr<HttpConnection> http = jcast<HttpConnection>(opened);
    if (!http) {
        // Another kind of connection (a message or sensor name): not ours to use.
        opened->close();
        return nullptr;
    }
    bool killed;
    {
        std::lock_guard<std::mutex> lock(m_handOverLock);
        killed = closing.load();
        if (!killed) connection = http;
    }
    if (killed) {
        http->close();
        return nullptr;
    }
    http->setRequestProperty(jnew<String>("User-Agent"), jnew<String>("tessel"));
    http->setRequestProperty(jnew<String>("Content-Language"), jnew<String>("en-UK"));
    http->setRequestProperty(jnew<String>("Connection"), jnew<String>("close"));
    if (!postData) {
        http->setRequestMethod(HttpConnection::GET);
    } else {
        http->setRequestMethod(HttpConnection::POST);
        setPostHeaders();
        http->setRequestProperty(jnew<String>("Content-Length"), String::valueOf(postData->length));
        JavaPtr<java::io::OutputStream> body = http->openOutputStream();
        body->write(postData);
        body->close();
    }
    responseCode.store(http->getResponseCode());
    return http;
}

void TSHttpConnectionThread::openConnection() {
    if (!getURL() || closing.load()) return;
    int failures = 0;
    while (!closing.load() && failures < PARAM_TS_HTTPCONNECTION_MAX_CONNECT_RETRIES) {
        try {
            JavaPtr<HttpConnection> http = requestOnce();
            if (!http) {
                closeConnection();
                ++failures;
                continue;
            }
            if (!isRedirect(responseCode.load())) return;
            // The transport has followed what it could; a redirect left here is recorded, not requested.
            JavaPtr<String> location = http->getHeaderField(jnew<String>("Location"));
            if (location) {
                JavaPtr<String> target = redirectTarget(http, location);
                std::lock_guard<std::mutex> lock(m_handOverLock);
                url = target;
            }
            closeConnection();
            ++failures;
        } catch (java::lang::Exception&) {
            closeConnection();
            ++failures;
        }
    }
}

void TSHttpConnectionThread::readBody(bool known) {
    const int claimed = contentLength.load();
    for (;;) {
        // A kill closes the stream under the worker: it must not read again.
        if (closing.load()) break;
        bool full;
        {
            std::lock_guard<std::mutex> lock(m_dataLock);
            full = bytesReceived == data->length;
            if (full && known && bytesReceived >= claimed) break;
        }
        if (full) {
            // Grow only for what the stream still holds; when it cannot tell, by one byte read ahead,
            // geometrically. A known length only caps the growth: it is the server's word, not bytes.
            const int more = inputStream->available();
            const int ahead = more > 0 ? -1 : inputStream->read();
            if (more <= 0 && ahead < 0) {
                if (known) closing.store(true);
                break;
            }
            std::lock_guard<std::mutex> lock(m_dataLock);
            const long long wanted =
                more > 0 ? 1LL * bytesReceived + more : std::max(2LL * data->length, 1LL * bytesReceived + 1);
            replaceData(known ? static_cast<int>(std::min<long long>(wanted, claimed))
                              : roundedCapacity(wanted));
            if (ahead >= 0) data->data[bytesReceived++] = static_cast<signed char>(ahead);
            continue;
        }
        JavaPtr<JArray<signed char>> target;
        int at;
        int room;
        {
            std::lock_guard<std::mutex> lock(m_dataLock);
            target = data;
            at = bytesReceived;
            room = data->length - at;
        }
        // Straight into data beyond what was received; readers of the results look only below that.
        const int n = inputStream->read(target, at, std::min(room, kChunk));
        if (n < 1) {
            if (known) closing.store(true);
            break;
        }
        std::lock_guard<std::mutex> lock(m_dataLock);
        bytesReceived += n;
    }
    // What the stream promised and did not deliver is not kept: a known length ends exactly at the
    // bytes received, an unknown one in whole steps of 1,024.
    std::lock_guard<std::mutex> lock(m_dataLock);
    const int kept = known ? bytesReceived : roundedCapacity(bytesReceived);
    if (data->length > kept) replaceData(kept);
}

void TSHttpConnectionThread::replaceData(int capacity) {
    auto replaced = jnew<JArray<signed char>>(capacity);
    if (replaced->length != capacity || capacity < bytesReceived) throw java::io::IOException();
    if (bytesReceived > 0) std::memcpy(replaced->data, data->data, static_cast<size_t>(bytesReceived));
    data = replaced;
}

void TSHttpConnectionThread::run() {
    try {
        download();
    } catch (...) {
        // Whatever escapes, the worker lets go of its thread and connection.
        killThread();
        finished.store(true);
        throw;
    }
    killThread();
    finished.store(true);
}

void TSHttpConnectionThread::download() {
    openConnection();
    JavaPtr<HttpConnection> http;
    {
        std::lock_guard<std::mutex> lock(m_handOverLock);
        http = connection;
    }
    if (http) {
        try {
            inputStream = http->openDataInputStream();
            if (inputStream) {
                const long long reported = http->getLength();
                contentLength.store(reported > INT32_MAX ? INT32_MAX : static_cast<int32_t>(reported));
                const bool known = contentLength.load() >= 1;
                {
                    // The body is in memory by now, so what is available is all of it: one allocation of
                    // what arrived. The reported length is the server's claim and only caps it.
                    const int arrived = std::max(0, inputStream->available());
                    const int capacity =
                        known ? std::min(arrived, contentLength.load()) : roundedCapacity(arrived);
                    auto first = jnew<JArray<signed char>>(capacity);
                    if (first->length != capacity) throw java::io::IOException();
                    std::lock_guard<std::mutex> lock(m_dataLock);
                    data = first;
                }
                downloading.store(true);
                readBody(known);
            }
        } catch (java::io::IOException&) {
            // The download ends with what has arrived.
        }
    }
}

void TSHttpConnectionThread_globalStaticDestroy() {
    JavaPtr<HookCanvas> dropped;
    {
        std::lock_guard<std::mutex> lock(TSHttpConnectionThread::s_parentLock);
        dropped = std::move(TSHttpConnectionThread::parent);
    }
}
