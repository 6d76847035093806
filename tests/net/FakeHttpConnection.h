// A scripted stand-in for the HTTP connection, put in the connector's HTTP place, so the worker's
// download loop can be driven byte by byte: a reported length, a body, what available() claims, a
// read that blocks until the connection is closed.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "library/InputStream.h"
#include "library/OutputStream.h"
#include "net/HttpConnection.h"
#include "net/HttpFieldReaders.h"
#include "runtime/String.h"
#include "tests/support/StringText.h"

namespace nettest {

struct FakeScript {
    int responseCode = 200;
    long long length = -1;
    std::string body;
    // What available() answers; -1 for the body's real remaining length.
    int claimedAvailable = -1;
    // After the body, a read blocks until the connection is closed.
    bool blockAfterBody = false;
    std::string location;
};

class FakeBodyStream : public java::io::InputStream {
    TESL_CLASS(FakeBodyStream, "nettest.FakeBodyStream", java::io::InputStream)
public:
    FakeBodyStream* TESLinvokeconstructor(const FakeScript& script) {
        InputStream::TESLinvokeconstructor();
        m_script = script;
        return this;
    }
    int available() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_script.claimedAvailable >= 0) return m_script.claimedAvailable;
        return static_cast<int>(m_script.body.size() - m_position);
    }
    int read() override {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_position < m_script.body.size()) return static_cast<unsigned char>(m_script.body[m_position++]);
        if (m_script.blockAfterBody) {
            m_blocked = true;
            m_changed.notify_all();
            m_changed.wait(lock, [&] { return m_closed; });
        }
        return -1;
    }
    // Hands out at most 100 bytes at a time, as a network stream might.
    int read(const JavaPtr<JArray<signed char>>& b, int off, int len) override {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_position >= m_script.body.size()) {
            lock.unlock();
            const int c = read();
            if (c < 0) return -1;
            b->data[off] = static_cast<signed char>(c);
            return 1;
        }
        int n = 0;
        while (n < len && n < 100 && m_position < m_script.body.size())
            b->data[off + n++] = static_cast<signed char>(m_script.body[m_position++]);
        return n;
    }
    void close() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }
    // True once a read waits for the close.
    bool waitUntilBlocked() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(20), [&] { return m_blocked; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    FakeScript m_script;
    size_t m_position = 0;
    bool m_blocked = false;
    bool m_closed = false;
};

class FakeHttpConnection : public java::lang::Object, public virtual javax::microedition::io::HttpConnection {
    TESL_CLASS(FakeHttpConnection, "nettest.FakeHttpConnection", java::lang::Object,
               javax::microedition::io::HttpConnection)
public:
    using String = java::lang::String;

    FakeHttpConnection* TESLinvokeconstructor(const JavaPtr<String>& url, const FakeScript& script) {
        Object::TESLinvokeconstructor();
        m_url = url;
        m_script = script;
        m_body = jnew<FakeBodyStream>(script);
        std::u16string units;
        for (int32_t i = 0; i < url->length(); ++i) units.push_back(url->charAt(i));
        m_parts = net::parseHttpUrl(units);
        return this;
    }

    void close() override {
        closed = true;
        m_body->close();
    }
    JavaPtr<java::io::DataOutputStream> openDataOutputStream() override {
        return jnew<java::io::DataOutputStream>(openOutputStream());
    }
    JavaPtr<java::io::OutputStream> openOutputStream() override { return jnew<Sink>(); }
    JavaPtr<java::io::DataInputStream> openDataInputStream() override {
        return jnew<java::io::DataInputStream>(openInputStream());
    }
    JavaPtr<java::io::InputStream> openInputStream() override { return m_body; }
    JavaPtr<String> getEncoding() override { return nullptr; }
    long long getLength() override { return m_script.length; }
    JavaPtr<String> getType() override { return nullptr; }
    long long getDate() override { return 0; }
    long long getExpiration() override { return 0; }
    JavaPtr<String> getFile() override { return nullptr; }
    JavaPtr<String> getHeaderField(int) override { return nullptr; }
    JavaPtr<String> getHeaderField(const JavaPtr<String>& name) override {
        if (m_script.location.empty() || !name->equalsIgnoreCase(testsupport::jstr("Location")))
            return nullptr;
        return testsupport::jstr(m_script.location.c_str());
    }
    long long getHeaderFieldDate(const JavaPtr<String>&, long long def) override { return def; }
    int getHeaderFieldInt(const JavaPtr<String>&, int def) override { return def; }
    JavaPtr<String> getHeaderFieldKey(int) override { return nullptr; }
    JavaPtr<String> getHost() override { return text(m_parts.host); }
    long long getLastModified() override { return 0; }
    int getPort() override { return m_parts.port; }
    JavaPtr<String> getProtocol() override { return text(m_parts.protocol); }
    JavaPtr<String> getQuery() override { return nullptr; }
    JavaPtr<String> getRef() override { return nullptr; }
    JavaPtr<String> getRequestMethod() override { return nullptr; }
    JavaPtr<String> getRequestProperty(const JavaPtr<String>&) override { return nullptr; }
    int getResponseCode() override { return m_script.responseCode; }
    JavaPtr<String> getResponseMessage() override { return nullptr; }
    JavaPtr<String> getURL() override { return m_url; }
    void setRequestMethod(const JavaPtr<String>&) override {}
    void setRequestProperty(const JavaPtr<String>&, const JavaPtr<String>&) override {}

    FakeBodyStream& body() { return *m_body; }
    std::atomic<bool> closed{false};

private:
    class Sink : public java::io::OutputStream {
        TESL_CLASS(Sink, "nettest.FakeHttpConnection.Sink", java::io::OutputStream)
    public:
        void write(int) override {}
    };

    static JavaPtr<String> text(const std::u16string& units) {
        return jnew<String>(reinterpret_cast<const unsigned short*>(units.data()),
                            static_cast<int>(units.size()));
    }

    JavaPtr<String> m_url;
    FakeScript m_script;
    JavaPtr<FakeBodyStream> m_body;
    net::HttpUrlParts m_parts;
};

}  // namespace nettest
