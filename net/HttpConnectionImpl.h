// javax.microedition.io.HttpConnectionImpl: the HTTP and HTTPS connection. Nothing is sent until the
// first response operation; that one runs the whole exchange on the platform's HTTP transport and
// waits for it, so every answer after it comes from the stored response.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "net/HttpInputStream.h"
#include "net/HttpOutputStream.h"
#include "net/HttpsConnection.h"
#include "platform/net/HttpTransport.h"
#include "runtime/JArray.h"

namespace java::util {
class Hashtable;
}

namespace javax::microedition::io {

class HttpConnectionImpl : public ::java::lang::Object, public virtual HttpsConnection {
    TESL_CLASS(HttpConnectionImpl, "javax.microedition.io.HttpConnectionImpl", ::java::lang::Object,
               HttpsConnection)
public:
    static constexpr long long kDefaultInactivityLimitMillis = 10000;
    static constexpr int kDefaultBodyLimit = 256 * 1024 * 1024;

    // Without the URL body below the connection names nothing: set-up and response operations throw
    // IOException.
    HttpConnectionImpl() noexcept {}
    ~HttpConnectionImpl() override;

    // Splits the URL; nothing is sent. Throws NullPointerException for a null URL and
    // NumberFormatException for a port beyond 32 bits.
    HttpConnectionImpl* TESLinvokeconstructor(const JavaPtr<::java::lang::String>& url);

    // The connector's HTTP factory: a new connection for a name beginning with "http://" or "https://",
    // null for any other; mode and timeouts are not read.
    static JavaPtr<Connection> openConnection(JavaPtr<::java::lang::String> url, int mode, bool timeouts);

    void close() override;
    JavaPtr<::java::io::DataOutputStream> openDataOutputStream() override;
    JavaPtr<::java::io::OutputStream> openOutputStream() override;
    JavaPtr<::java::io::DataInputStream> openDataInputStream() override;
    JavaPtr<::java::io::InputStream> openInputStream() override;
    JavaPtr<::java::lang::String> getEncoding() override;
    long long getLength() override;
    JavaPtr<::java::lang::String> getType() override;
    long long getDate() override;
    long long getExpiration() override;
    JavaPtr<::java::lang::String> getFile() override;
    JavaPtr<::java::lang::String> getHeaderField(int n) override;
    JavaPtr<::java::lang::String> getHeaderField(const JavaPtr<::java::lang::String>& name) override;
    long long getHeaderFieldDate(const JavaPtr<::java::lang::String>& name, long long def) override;
    int getHeaderFieldInt(const JavaPtr<::java::lang::String>& name, int def) override;
    JavaPtr<::java::lang::String> getHeaderFieldKey(int n) override;
    JavaPtr<::java::lang::String> getHost() override;
    long long getLastModified() override;
    int getPort() override;
    JavaPtr<::java::lang::String> getProtocol() override;
    JavaPtr<::java::lang::String> getQuery() override;
    JavaPtr<::java::lang::String> getRef() override;
    JavaPtr<::java::lang::String> getRequestMethod() override;
    JavaPtr<::java::lang::String> getRequestProperty(const JavaPtr<::java::lang::String>& key) override;
    int getResponseCode() override;
    JavaPtr<::java::lang::String> getResponseMessage() override;
    JavaPtr<::java::lang::String> getURL() override;
    // Throws IOException after set-up and for any method but "GET", "POST" and "HEAD".
    void setRequestMethod(const JavaPtr<::java::lang::String>& method) override;
    // Throws IOException after set-up, NullPointerException for a null key or value, and
    // IllegalArgumentException for a key that is no HTTP token or a control character (or a unit
    // above 0xFF) in either; nothing is stored then.
    void setRequestProperty(const JavaPtr<::java::lang::String>& key,
                            const JavaPtr<::java::lang::String>& value) override;
    JavaPtr<::java::lang::Object> getSecurityInfo() override;

    // Takes data as the request body while the exchange is being set up; after the exchange it is
    // taken and dropped. False, keeping the bytes with the stream, before the exchange and once closed.
    bool sendData(const JavaPtr<JArray<signed char>>& data);

    // Runs the exchange from the set-up state: state 1 on success; on failure the connection is shut,
    // stays in state 0, and every later response operation throws IOException naming the cause.
    void initiateConnectionStart();

    // Tests only: how long an exchange may go without data, and the largest body it keeps.
    static void setInactivityLimitForTesting(long long milliseconds);
    static void setBodyLimitForTesting(int bytes);

private:
    // Receives the transport's events on the network thread.
    class Events : public platform::HttpStreamListener {
    public:
        explicit Events(HttpConnectionImpl& owner) : m_owner(owner) {}
        void onHead(const std::string& statusLine, const platform::HttpHeaderFields& fields) override;
        bool onBytes(const unsigned char* bytes, size_t count) override;
        void onEnd() override;
        void onError(const std::string& cause) override;

    private:
        HttpConnectionImpl& m_owner;
    };

    // Builds the request, sends it and waits for the end, an error, a close or the inactivity limit.
    bool initiateConnection();
    // Stops the transport stream; no event arrives after it.
    void closeConnection();
    // The gate of every response operation: runs the exchange once, then throws IOException unless the
    // response is there.
    void requireResponse();
    // A failure's cause, kept for the gate. Called with m_lock held.
    void failLocked(const std::string& cause);
    // The index of the first header named name, ignoring case; -1 for none.
    int findHeader(const JavaPtr<::java::lang::String>& name);

    // Fixed at construction.
    JavaPtr<::java::lang::String> url;
    JavaPtr<::java::lang::String> protocol;
    JavaPtr<::java::lang::String> host;
    JavaPtr<::java::lang::String> file;
    JavaPtr<::java::lang::String> query;
    JavaPtr<::java::lang::String> ref;
    int port = 0;
    JavaPtr<::java::lang::Object> securityInfo;

    // One exchange at a time: held by the thread that runs it, never by the network thread or close.
    std::mutex m_exchangeLock;
    // Guards every field below; never held while the transport is called.
    std::mutex m_lock;
    // Told when the exchange ends, fails or the connection closes.
    std::condition_variable m_exchangeChanged;
    int state = 0;
    JavaPtr<::java::lang::String> requestMethod;
    JavaPtr<::java::util::Hashtable> requestProperties;
    JavaPtr<HttpOutputStream> outputStream;
    JavaPtr<HttpInputStream> inputStream;
    JavaPtr<::java::lang::String> statusLine;
    JavaPtr<JArray<JavaPtr<::java::lang::String>>> headerKeys;
    JavaPtr<JArray<JavaPtr<::java::lang::String>>> headerValues;
    bool closing = false;
    bool complete = false;
    // Monotonic milliseconds of the stream's start or its last chunk.
    long long lastDataTime = 0;
    // The exchange's failure; empty while none.
    std::string m_failure;
    // The request body while the exchange is set up.
    bool m_takingBody = false;
    std::vector<unsigned char> m_requestBody;
    uint64_t m_stream = 0;
    Events m_events{*this};

    static std::atomic<long long> s_inactivityLimitMillis;
    static std::atomic<int> s_bodyLimit;
};

}  // namespace javax::microedition::io
