#include "net/HttpConnectionImpl.h"

#include <chrono>

#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "library/Enumeration.h"
#include "library/Hashtable.h"
#include "net/HttpConnection.h"
#include "net/HttpFieldReaders.h"
#include "runtime/IOException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"

namespace javax::microedition::io {

using ::java::lang::String;

std::atomic<long long> HttpConnectionImpl::s_inactivityLimitMillis{kDefaultInactivityLimitMillis};
std::atomic<int> HttpConnectionImpl::s_bodyLimit{kDefaultBodyLimit};

namespace {

long long nowMillis() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::u16string unitsOf(const JavaPtr<String>& text) {
    if (!text || text->unitData() == nullptr) return std::u16string();
    return std::u16string(reinterpret_cast<const char16_t*>(text->unitData()),
                          static_cast<size_t>(text->length()));
}

JavaPtr<String> stringOf(const std::u16string& units) {
    return jnew<String>(reinterpret_cast<const unsigned short*>(units.data()),
                        static_cast<int>(units.size()));
}

JavaPtr<String> optionalString(const std::optional<std::u16string>& units) {
    return units ? stringOf(*units) : JavaPtr<String>();
}

// Response text as it came, one unit per byte.
JavaPtr<String> stringOfBytes(const std::string& bytes) {
    std::u16string units(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i) units[i] = static_cast<unsigned char>(bytes[i]);
    return stringOf(units);
}

// The low byte of each unit; callers have checked that every unit fits one.
std::string bytesOf(const JavaPtr<String>& text) {
    std::string bytes;
    if (!text) return bytes;
    bytes.reserve(static_cast<size_t>(text->length()));
    for (int32_t i = 0; i < text->length(); ++i) bytes.push_back(static_cast<char>(text->charAt(i)));
    return bytes;
}

bool isTokenUnit(unsigned short unit) {
    if (unit >= '0' && unit <= '9') return true;
    if ((unit >= 'a' && unit <= 'z') || (unit >= 'A' && unit <= 'Z')) return true;
    for (const char* c = "!#$%&'*+-.^_`|~"; *c != 0; ++c) {
        if (unit == static_cast<unsigned char>(*c)) return true;
    }
    return false;
}

[[noreturn]] void throwIOException(const std::string& cause) {
    ::java::io::IOException error;
    error.TESLinvokeconstructor(stringOfBytes(cause));
    throw error;
}

// What the exchange refuses to send: a URL the transport could read differently from the parts the
// connection reports, or one that cannot reach a server.
std::string urlProblem(const JavaPtr<String>& url, const JavaPtr<String>& host, int port) {
    for (int32_t i = 0; i < url->length(); ++i) {
        const unsigned short unit = url->charAt(i);
        if (unit <= 0x20 || unit >= 0x7F) return "the URL holds a character that is not printable ASCII";
    }
    if (!host || host->length() == 0) return "the URL has no host";
    if (port < 1 || port > 65535) return "the URL's port " + std::to_string(port) + " is outside 1 to 65535";
    return std::string();
}

}  // namespace

HttpConnectionImpl::~HttpConnectionImpl() {
    HttpConnectionImpl::close();
}

HttpConnectionImpl* HttpConnectionImpl::TESLinvokeconstructor(const JavaPtr<String>& text) {
    Object::TESLinvokeconstructor();
    if (!text) throw ::java::lang::NullPointerException();
    const net::HttpUrlParts parts = net::parseHttpUrl(unitsOf(text));
    state = 0;
    requestMethod = HttpConnection::GET;
    url = text;
    requestProperties = jnew<::java::util::Hashtable>();
    headerKeys = jnew<JArray<JavaPtr<String>>>(0);
    headerValues = jnew<JArray<JavaPtr<String>>>(0);
    protocol = stringOf(parts.protocol);
    host = stringOf(parts.host);
    port = parts.port;
    file = optionalString(parts.file);
    query = optionalString(parts.query);
    ref = optionalString(parts.ref);
    return this;
}

JavaPtr<Connection> HttpConnectionImpl::openConnection(JavaPtr<String> name, int, bool) {
    if (!name) return nullptr;
    if (!name->startsWith(jnew<String>("http://")) && !name->startsWith(jnew<String>("https://")))
        return nullptr;
    return jnew<HttpConnectionImpl>(name);
}

void HttpConnectionImpl::setInactivityLimitForTesting(long long milliseconds) {
    s_inactivityLimitMillis.store(milliseconds > 0 ? milliseconds : kDefaultInactivityLimitMillis);
}

void HttpConnectionImpl::setBodyLimitForTesting(int bytes) {
    s_bodyLimit.store(bytes > 0 ? bytes : kDefaultBodyLimit);
}

// Set-up -----------------------------------------------------------------------------------------------

JavaPtr<String> HttpConnectionImpl::getURL() {
    return url;
}
JavaPtr<String> HttpConnectionImpl::getProtocol() {
    return protocol;
}
JavaPtr<String> HttpConnectionImpl::getHost() {
    return host;
}
int HttpConnectionImpl::getPort() {
    return port;
}
JavaPtr<String> HttpConnectionImpl::getFile() {
    return file;
}
JavaPtr<String> HttpConnectionImpl::getQuery() {
    return query;
}
JavaPtr<String> HttpConnectionImpl::getRef() {
    return ref;
}
JavaPtr<::java::lang::Object> HttpConnectionImpl::getSecurityInfo() {
    return securityInfo;
}

JavaPtr<String> HttpConnectionImpl::getRequestMethod() {
    std::lock_guard<std::mutex> lock(m_lock);
    return requestMethod;
}

void HttpConnectionImpl::setRequestMethod(const JavaPtr<String>& method) {
    std::lock_guard<std::mutex> lock(m_lock);
    // A connection made without a URL names nothing to set up.
    if (state != 0 || !url) throw ::java::io::IOException();
    if (!method) throw ::java::io::IOException();
    if (!method->equals(HttpConnection::GET) && !method->equals(HttpConnection::POST) &&
        !method->equals(HttpConnection::HEAD))
        throw ::java::io::IOException();
    requestMethod = method;
}

void HttpConnectionImpl::setRequestProperty(const JavaPtr<String>& key, const JavaPtr<String>& value) {
    if (!key || !value) throw ::java::lang::NullPointerException();
    // A line end in a field would let the caller write fields, or a whole request, of its own.
    if (key->length() == 0) throw ::java::lang::IllegalArgumentException();
    for (int32_t i = 0; i < key->length(); ++i) {
        if (!isTokenUnit(key->charAt(i))) throw ::java::lang::IllegalArgumentException();
    }
    for (int32_t i = 0; i < value->length(); ++i) {
        const unsigned short unit = value->charAt(i);
        if (unit < 0x20 || unit == 0x7F || unit > 0xFF) throw ::java::lang::IllegalArgumentException();
    }
    std::lock_guard<std::mutex> lock(m_lock);
    if (state != 0 || !url) throw ::java::io::IOException();
    requestProperties->put(key, value);
}

JavaPtr<String> HttpConnectionImpl::getRequestProperty(const JavaPtr<String>& key) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!key || !requestProperties) return nullptr;
    return jcast<String>(requestProperties->get(key));
}

// The exchange ----------------------------------------------------------------------------------------

void HttpConnectionImpl::failLocked(const std::string& cause) {
    if (m_failure.empty()) m_failure = cause.empty() ? "the exchange failed" : cause;
    m_exchangeChanged.notify_all();
}

void HttpConnectionImpl::Events::onHead(const std::string& line, const platform::HttpHeaderFields& fields) {
    JavaPtr<String> status = stringOfBytes(line);
    auto keys = jnew<JArray<JavaPtr<String>>>(static_cast<int>(fields.size()));
    auto values = jnew<JArray<JavaPtr<String>>>(static_cast<int>(fields.size()));
    for (int i = 0; i < keys->length && i < values->length; ++i) {
        keys->data[i] = stringOfBytes(fields[static_cast<size_t>(i)].first);
        values->data[i] = stringOfBytes(fields[static_cast<size_t>(i)].second);
    }
    std::lock_guard<std::mutex> lock(m_owner.m_lock);
    if (m_owner.closing) return;
    if (keys->length != static_cast<int>(fields.size()) || values->length != keys->length) {
        m_owner.failLocked("the response head does not fit in memory");
        return;
    }
    m_owner.statusLine = std::move(status);
    m_owner.headerKeys = std::move(keys);
    m_owner.headerValues = std::move(values);
}

bool HttpConnectionImpl::Events::onBytes(const unsigned char* bytes, size_t count) {
    std::lock_guard<std::mutex> lock(m_owner.m_lock);
    if (m_owner.closing || !m_owner.m_failure.empty() || !m_owner.inputStream) return false;
    const long long limit = s_bodyLimit.load();
    if (static_cast<long long>(m_owner.inputStream->size()) + static_cast<long long>(count) > limit) {
        m_owner.failLocked("the response body is larger than " + std::to_string(limit) + " bytes");
        return false;
    }
    if (!m_owner.inputStream->append(reinterpret_cast<const signed char*>(bytes), static_cast<int>(count))) {
        m_owner.failLocked("the response body does not fit in memory");
        return false;
    }
    m_owner.lastDataTime = nowMillis();
    return true;
}

void HttpConnectionImpl::Events::onEnd() {
    std::lock_guard<std::mutex> lock(m_owner.m_lock);
    m_owner.complete = true;
    m_owner.m_exchangeChanged.notify_all();
}

void HttpConnectionImpl::Events::onError(const std::string& cause) {
    std::lock_guard<std::mutex> lock(m_owner.m_lock);
    m_owner.failLocked(cause);
}

bool HttpConnectionImpl::sendData(const JavaPtr<JArray<signed char>>& data) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_takingBody) {
        m_requestBody.assign(reinterpret_cast<const unsigned char*>(data->data),
                             reinterpret_cast<const unsigned char*>(data->data) + data->length);
        return true;
    }
    // After the exchange the request is gone: the bytes are taken and change nothing.
    return state == 1;
}

void HttpConnectionImpl::initiateConnectionStart() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        inputStream = jnew<HttpInputStream>();
        headerKeys = jnew<JArray<JavaPtr<String>>>(0);
        headerValues = jnew<JArray<JavaPtr<String>>>(0);
    }
    const bool succeeded = initiateConnection();
    std::lock_guard<std::mutex> lock(m_lock);
    if (succeeded && state == 0) state = 1;
}

bool HttpConnectionImpl::initiateConnection() {
    platform::HttpRequest request;
    JavaPtr<HttpOutputStream> body;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (closing) {
            failLocked("the connection is closed");
            return false;
        }
        const std::string problem = url ? urlProblem(url, host, port) : "the connection has no URL";
        if (!problem.empty()) {
            failLocked(problem);
        } else {
            request.method = requestMethod ? bytesOf(requestMethod) : std::string("GET");
            request.url = bytesOf(url);
            JavaPtr<::java::util::Enumeration> keys = requestProperties->keys();
            JavaPtr<::java::util::Enumeration> values = requestProperties->elements();
            while (keys->hasMoreElements() && values->hasMoreElements()) {
                JavaPtr<String> key = jcast<String>(keys->nextElement());
                JavaPtr<String> value = jcast<String>(values->nextElement());
                request.headers.emplace_back(bytesOf(key), bytesOf(value));
            }
            body = outputStream;
            m_takingBody = true;
            m_requestBody.clear();
        }
    }
    if (body) body->flush();
    std::string cause;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_takingBody = false;
        request.body = std::move(m_requestBody);
        m_requestBody.clear();
        // A GET carries what was written for it; a HEAD cannot (its reply has no body to frame the
        // exchange), and dropping the bytes would report them sent.
        if (request.method == "HEAD" && !request.body.empty())
            failLocked("a HEAD request cannot carry the body written for it");
    }
    uint64_t stream = 0;
    bool waitForIt;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        waitForIt = m_failure.empty() && !closing;
    }
    if (waitForIt) {
        stream = platform::HttpTransport::open(request, &m_events, &cause);
        std::unique_lock<std::mutex> lock(m_lock);
        if (stream == 0) {
            failLocked(cause);
        } else if (closing) {
            // Closed while the request was being sent off: close found no stream to stop.
        } else {
            m_stream = stream;
            stream = 0;
            lastDataTime = nowMillis();
            const long long limit = s_inactivityLimitMillis.load();
            while (!complete && m_failure.empty() && !closing) {
                const long long deadline = lastDataTime + limit;
                if (nowMillis() >= deadline) {
                    failLocked("no data arrived for " + std::to_string(limit) + " ms");
                    break;
                }
                m_exchangeChanged.wait_until(
                    lock, std::chrono::steady_clock::time_point(std::chrono::milliseconds(deadline)));
            }
            stream = m_stream;
            m_stream = 0;
        }
    }
    platform::HttpTransport::detach(stream);

    JavaPtr<HttpInputStream> droppedInput;
    JavaPtr<HttpOutputStream> droppedOutput;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (complete && m_failure.empty() && !closing) return true;
        if (m_failure.empty()) failLocked("the connection is closed");
        // A failed connection is shut for good; the gate answers with the cause from now on.
        closing = true;
        droppedInput = std::move(inputStream);
        droppedOutput = std::move(outputStream);
    }
    if (droppedOutput) droppedOutput->releaseConnection();
    if (droppedInput) droppedInput->close();
    return false;
}

void HttpConnectionImpl::closeConnection() {
    uint64_t stream;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        closing = true;
        stream = m_stream;
        m_stream = 0;
        m_exchangeChanged.notify_all();
    }
    platform::HttpTransport::detach(stream);
}

void HttpConnectionImpl::close() {
    closeConnection();
    JavaPtr<HttpInputStream> droppedInput;
    JavaPtr<HttpOutputStream> droppedOutput;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        droppedInput = std::move(inputStream);
        droppedOutput = std::move(outputStream);
        state = 2;
    }
    if (droppedOutput) {
        droppedOutput->releaseConnection();
        droppedOutput->close();
    }
    if (droppedInput) droppedInput->close();
}

// The response ----------------------------------------------------------------------------------------

void HttpConnectionImpl::requireResponse() {
    std::lock_guard<std::mutex> exchange(m_exchangeLock);
    bool start;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        start = state == 0 && m_failure.empty() && !closing;
    }
    if (start) initiateConnectionStart();
    std::lock_guard<std::mutex> lock(m_lock);
    if (state == 1) return;
    if (state == 2) throwIOException("the connection is closed");
    throwIOException(m_failure.empty() ? std::string("the connection is closed") : m_failure);
}

int HttpConnectionImpl::findHeader(const JavaPtr<String>& name) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!name) return -1;
    for (int i = 0; i < headerKeys->length; ++i) {
        if (headerKeys->data[i]->equalsIgnoreCase(name)) return i;
    }
    return -1;
}

int HttpConnectionImpl::getResponseCode() {
    requireResponse();
    std::lock_guard<std::mutex> lock(m_lock);
    if (!statusLine) return 0;
    return net::readStatusCode(unitsOf(statusLine));
}

JavaPtr<String> HttpConnectionImpl::getResponseMessage() {
    requireResponse();
    std::lock_guard<std::mutex> lock(m_lock);
    if (!statusLine) return nullptr;
    return stringOf(net::readStatusMessage(unitsOf(statusLine)));
}

JavaPtr<String> HttpConnectionImpl::getHeaderField(const JavaPtr<String>& name) {
    requireResponse();
    const int index = findHeader(name);
    std::lock_guard<std::mutex> lock(m_lock);
    return index < 0 ? JavaPtr<String>() : headerValues->data[index];
}

JavaPtr<String> HttpConnectionImpl::getHeaderField(int n) {
    requireResponse();
    std::lock_guard<std::mutex> lock(m_lock);
    return n < 0 || n >= headerValues->length ? JavaPtr<String>() : headerValues->data[n];
}

JavaPtr<String> HttpConnectionImpl::getHeaderFieldKey(int n) {
    requireResponse();
    std::lock_guard<std::mutex> lock(m_lock);
    return n < 0 || n >= headerKeys->length ? JavaPtr<String>() : headerKeys->data[n];
}

int HttpConnectionImpl::getHeaderFieldInt(const JavaPtr<String>& name, int def) {
    requireResponse();
    const int index = findHeader(name);
    if (index < 0) return def;
    JavaPtr<String> value;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        value = headerValues->data[index];
    }
    const std::optional<int32_t> number = net::readLeadingInt(unitsOf(value));
    if (!number || *number == -1) return def;
    return *number;
}

long long HttpConnectionImpl::getHeaderFieldDate(const JavaPtr<String>& name, long long def) {
    requireResponse();
    const int index = findHeader(name);
    if (index < 0) return def;
    JavaPtr<String> value;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        value = headerValues->data[index];
    }
    return net::readHttpDate(unitsOf(value), def);
}

JavaPtr<String> HttpConnectionImpl::getType() {
    return getHeaderField(jnew<String>("content-type"));
}

JavaPtr<String> HttpConnectionImpl::getEncoding() {
    return getHeaderField(jnew<String>("content-encoding"));
}

long long HttpConnectionImpl::getLength() {
    return getHeaderFieldInt(jnew<String>("content-length"), -1);
}

long long HttpConnectionImpl::getDate() {
    return getHeaderFieldDate(jnew<String>("date"), 0);
}

long long HttpConnectionImpl::getExpiration() {
    return getHeaderFieldDate(jnew<String>("expires"), 0);
}

long long HttpConnectionImpl::getLastModified() {
    return getHeaderFieldDate(jnew<String>("last-modified"), 0);
}

JavaPtr<::java::io::InputStream> HttpConnectionImpl::openInputStream() {
    requireResponse();
    std::lock_guard<std::mutex> lock(m_lock);
    return inputStream;
}

JavaPtr<::java::io::DataInputStream> HttpConnectionImpl::openDataInputStream() {
    JavaPtr<::java::io::InputStream> body = openInputStream();
    if (!body) throwIOException("the connection is closed");
    return jnew<::java::io::DataInputStream>(body);
}

JavaPtr<::java::io::OutputStream> HttpConnectionImpl::openOutputStream() {
    JavaPtr<HttpOutputStream> stream = jnew<HttpOutputStream>(this);
    JavaPtr<HttpOutputStream> replaced;
    bool shut;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        replaced = std::move(outputStream);
        shut = state == 2 || closing;
        if (!shut) outputStream = stream;
    }
    // Outside m_lock: a flush holds the stream's link while it waits for m_lock.
    if (shut) stream->releaseConnection();
    if (replaced) replaced->releaseConnection();
    return stream;
}

JavaPtr<::java::io::DataOutputStream> HttpConnectionImpl::openDataOutputStream() {
    return jnew<::java::io::DataOutputStream>(openOutputStream());
}

}  // namespace javax::microedition::io
