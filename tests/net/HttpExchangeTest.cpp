// Exchanges with a loopback server: what the response operations answer, what the server saw, and
// how each kind of failure ends.
#include <optional>
#include <string>

#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "library/OutputStream.h"
#include "runtime/String.h"
#include "tests/net/HttpFixture.h"
#include "tests/support/net/LoopbackHttpServer.h"

namespace nettest {
namespace {

using testsupport::jstr;
using testsupport::LoopbackHttpServer;
using testsupport::narrow;
using testsupport::RefusingPort;
using testsupport::ScriptedReply;
using Delivery = ScriptedReply::Delivery;

using ExchangeTest = HttpTest;

ScriptedReply reply(int status, std::string body, Delivery delivery = Delivery::Whole,
                    testsupport::HeaderList headers = {}) {
    ScriptedReply r;
    r.status = status;
    r.body = std::move(body);
    r.delivery = delivery;
    r.headers = std::move(headers);
    return r;
}

std::string pattern(size_t length) {
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + i % 26);
    return text;
}

TEST_F(ExchangeTest, ResponsesArriveWhole) {
    LoopbackHttpServer server;
    server.on("/plain", reply(200, "hello"));
    server.on("/empty", reply(200, ""));
    server.on("/chunked", reply(200, pattern(3000), Delivery::Chunked));
    server.on("/from", reply(302, "", Delivery::Whole, {{"Location", "/to"}}));
    server.on("/to", reply(200, "arrived"));
    server.on("/trickle", [] {
        ScriptedReply r = reply(200, pattern(40), Delivery::Trickle);
        r.tricklePauseMs = 25;
        return r;
    }());
    // Over a second in all, but never more than a moment without data.
    HttpConnectionImpl::setInactivityLimitForTesting(600);

    struct Case {
        const char* path;
        const char* method;
        int code;
        const char* message;
        std::string body;
        long long length;
    };
    const Case cases[] = {
        {"/plain", "GET", 200, "OK", "hello", 5},
        {"/empty", "GET", 200, "OK", "", 0},
        {"/chunked", "GET", 200, "OK", pattern(3000), -1},
        {"/plain", "HEAD", 200, "OK", "", 5},
        {"/from", "GET", 200, "OK", "arrived", 7},
        {"/missing", "GET", 404, "Not Found", "not here", 8},
        {"/trickle", "GET", 200, "OK", pattern(40), 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.path);
        JavaPtr<HttpConnection> connection = openHttp(server.url(c.path));
        connection->setRequestMethod(jstr(c.method));
        EXPECT_EQ(connection->getResponseCode(), c.code);
        EXPECT_EQ(narrow(connection->getResponseMessage()), c.message);
        EXPECT_EQ(connection->getLength(), c.length);
        EXPECT_EQ(readBody(connection), c.body);
        // Answers repeat from the stored response.
        EXPECT_EQ(connection->getResponseCode(), c.code);
        connection->close();
    }
    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[3].method, "HEAD");
    EXPECT_EQ(seen[4].path, "/from");
    EXPECT_EQ(seen[5].path, "/to");
}

TEST_F(ExchangeTest, FailuresNameTheirCauseAndStay) {
    LoopbackHttpServer server;
    RefusingPort refusing;
    server.on("/loop", reply(302, "", Delivery::Whole, {{"Location", "/loop"}}));
    server.on("/file", reply(302, "", Delivery::Whole, {{"Location", "file:///etc/hostname"}}));
    server.on("/silent", reply(200, "never", Delivery::HeadThenSilence));
    server.on("/cut", reply(200, pattern(1600), Delivery::CloseMidBody));
    server.on("/big", reply(200, pattern(5000)));
    HttpConnectionImpl::setInactivityLimitForTesting(300);
    HttpConnectionImpl::setBodyLimitForTesting(1000);
    const std::string refused = "http://127.0.0.1:" + std::to_string(refusing.port()) + "/";

    struct Case {
        std::string url;
        const char* cause;
    };
    const Case cases[] = {
        {server.url("/loop"), "redirect"},
        {server.url("/file"), "protocol"},
        {server.url("/silent"), "no data arrived for 300 ms"},
        {server.url("/cut"), "partial"},
        {server.url("/big"), "larger than 1000 bytes"},
        {refused, "connect"},
        {"http:///nohost", "the URL has no host"},
        {"http://127.0.0.1:0/", "port 0 is outside 1 to 65535"},
        {"http://127.0.0.1:70000/", "port 70000 is outside 1 to 65535"},
        {server.url("/a b"), "not printable ASCII"},
        {server.url("/caf\\u00e9"), "not printable ASCII"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        JavaPtr<HttpConnection> connection = openHttp(c.url);
        const std::string first = ioFailure([&] { connection->getResponseCode(); });
        EXPECT_NE(first.find(c.cause), std::string::npos) << first;
        // Failed for good: the next response operation answers with the same cause, without a new try.
        EXPECT_EQ(ioFailure([&] { connection->openInputStream(); }), first);
        EXPECT_EQ(ioFailure([&] { connection->getHeaderField(0); }), first);
    }
    server.releaseSilence();
    for (const auto& request : server.requests()) {
        EXPECT_NE(request.path, "/a b");
        EXPECT_NE(request.path.find("caf"), 0u);
    }
}

TEST_F(ExchangeTest, ServerSeesExactlyThePropertiesAndTheFlushedBody) {
    LoopbackHttpServer server;
    server.on("/post", reply(200, "taken"));
    JavaPtr<HttpConnection> connection = openHttp(server.url("/post?x=1"));
    connection->setRequestMethod(HttpConnection::POST);
    connection->setRequestProperty(jstr("X-One"), jstr("1"));
    connection->setRequestProperty(jstr("X-Empty"), jstr(""));
    JavaPtr<java::io::OutputStream> out = connection->openOutputStream();
    out->write(jstr("first")->getBytes());
    // Before the exchange a flush has nowhere to send: the bytes stay for it.
    out->flush();
    out->write(jstr("+more")->getBytes());
    EXPECT_EQ(connection->getResponseCode(), 200);
    EXPECT_EQ(readBody(connection), "taken");

    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), 1u);
    const auto& request = seen[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/post");
    EXPECT_EQ(request.body, "first+more");
    EXPECT_EQ(request.header("Content-Length"), "10");
    EXPECT_EQ(request.header("X-One"), "1");
    EXPECT_EQ(request.header("X-Empty"), "");
    EXPECT_EQ(request.header("Host"), "127.0.0.1:" + std::to_string(server.port()));
    for (const char* absent : {"Accept", "Expect", "Content-Type", "User-Agent", "Transfer-Encoding"}) {
        EXPECT_EQ(request.header(absent), "<absent>") << absent;
    }
    EXPECT_EQ(request.headers.size(), 4u);

    // After the exchange set-up is over, the request properties still answer.
    EXPECT_EQ(narrow(connection->getRequestProperty(jstr("X-One"))), "1");
    EXPECT_THROW(connection->setRequestProperty(jstr("X-Two"), jstr("2")), java::io::IOException);
    EXPECT_THROW(connection->setRequestMethod(HttpConnection::GET), java::io::IOException);
}

TEST_F(ExchangeTest, PostWithoutBodyAndGetWithCallersContentType) {
    LoopbackHttpServer server;
    server.on("/p", reply(200, "ok"));
    JavaPtr<HttpConnection> post = openHttp(server.url("/p"));
    post->setRequestMethod(HttpConnection::POST);
    post->openDataOutputStream();
    EXPECT_EQ(post->getResponseCode(), 200);
    JavaPtr<HttpConnection> get = openHttp(server.url("/p"));
    get->setRequestProperty(jstr("Content-Type"), jstr("text/plain"));
    get->setRequestProperty(jstr("Accept"), jstr("*/*"));
    EXPECT_EQ(get->getResponseCode(), 200);
    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_EQ(seen[0].body, "");
    EXPECT_EQ(seen[0].header("Content-Length"), "0");
    EXPECT_EQ(seen[1].header("Content-Type"), "text/plain");
    EXPECT_EQ(seen[1].headerCount("Accept"), 1);
    EXPECT_EQ(seen[1].header("Accept"), "*/*");
}

TEST_F(ExchangeTest, ABodyWrittenForAnyMethodIsSentWithItOrRefused) {
    LoopbackHttpServer server;
    server.on("/any", reply(200, "seen"));
    struct Case {
        const char* method;
        // The IOException of the exchange, or empty when the server gets the body.
        const char* refusal;
    };
    const Case cases[] = {
        {"GET", ""},
        {"POST", ""},
        {"HEAD", "a HEAD request cannot carry the body written for it"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        const size_t before = server.requests().size();
        JavaPtr<HttpConnection> connection = openHttp(server.url("/any"));
        connection->setRequestMethod(jstr(c.method));
        JavaPtr<java::io::OutputStream> out = connection->openOutputStream();
        out->write(jstr("body bytes")->getBytes());
        if (*c.refusal != 0) {
            EXPECT_EQ(ioFailure([&] { connection->getResponseCode(); }), c.refusal);
            EXPECT_EQ(server.requests().size(), before) << "nothing went out";
            continue;
        }
        EXPECT_EQ(connection->getResponseCode(), 200);
        EXPECT_EQ(readBody(connection), "seen");
        ASSERT_EQ(server.requests().size(), before + 1);
        const auto request = server.requests().back();
        EXPECT_EQ(request.method, c.method);
        EXPECT_EQ(request.body, "body bytes");
        EXPECT_EQ(request.header("Content-Length"), "10");
        EXPECT_EQ(request.header("Content-Type"), "<absent>");
    }
    // Without bytes a HEAD goes out as ever.
    JavaPtr<HttpConnection> head = openHttp(server.url("/any"));
    head->setRequestMethod(HttpConnection::HEAD);
    head->openOutputStream();
    EXPECT_EQ(head->getResponseCode(), 200);
    EXPECT_EQ(server.requests().back().method, "HEAD");
}

TEST_F(ExchangeTest, HeaderFieldsByNameIndexNumberAndDate) {
    LoopbackHttpServer server;
    server.on("/h", reply(200, "body", Delivery::Whole,
                          {{"X-Count", "-1"},
                           {"X-Negative", "-12"},
                           {"X-Word", "abc"},
                           {"X-Huge", "99999999999"},
                           {"Content-Type", "text/plain"},
                           {"Content-Encoding", "identity"},
                           {"Date", "Sun, 06 Nov 1994 08:49:37 GMT"},
                           {"Expires", "Sunday, 06-Nov-94 08:49:37 GMT"},
                           {"Last-Modified", "Sun Nov  6 08:49:37 1994"}}));
    JavaPtr<HttpConnection> connection = openHttp(server.url("/h"));
    EXPECT_EQ(connection->getHeaderFieldInt(jstr("x-count"), 7), 7);
    EXPECT_EQ(connection->getHeaderFieldInt(jstr("X-NEGATIVE"), 7), -12);
    EXPECT_EQ(connection->getHeaderFieldInt(jstr("X-Word"), 7), 0);
    EXPECT_EQ(connection->getHeaderFieldInt(jstr("X-Huge"), 7), 7);
    EXPECT_EQ(connection->getHeaderFieldInt(jstr("X-None"), 7), 7);
    EXPECT_EQ(connection->getLength(), 4);
    EXPECT_EQ(narrow(connection->getType()), "text/plain");
    EXPECT_EQ(narrow(connection->getEncoding()), "identity");
    EXPECT_EQ(connection->getDate(), 784111777000);
    EXPECT_EQ(connection->getExpiration(), 784111777000);
    EXPECT_EQ(connection->getLastModified(), 784111777000);
    EXPECT_EQ(connection->getHeaderFieldDate(jstr("X-Word"), 5), 5);
    EXPECT_EQ(connection->getHeaderFieldDate(jstr("X-None"), 5), 5);
    EXPECT_EQ(connection->getHeaderField(jstr("x-none")), nullptr);

    // By index: every field the server sent, name and value at one index.
    int count = 0;
    while (connection->getHeaderFieldKey(count)) ++count;
    EXPECT_GE(count, 9);
    EXPECT_EQ(connection->getHeaderField(count), nullptr);
    EXPECT_EQ(connection->getHeaderField(-1), nullptr);
    EXPECT_EQ(connection->getHeaderFieldKey(-1), nullptr);
    bool sawWord = false;
    for (int i = 0; i < count; ++i) {
        if (narrow(connection->getHeaderFieldKey(i)) == "X-Word") {
            sawWord = true;
            EXPECT_EQ(narrow(connection->getHeaderField(i)), "abc");
        }
    }
    EXPECT_TRUE(sawWord);

    // One body stream, shared by every data stream over it.
    EXPECT_EQ(connection->openInputStream().get(), connection->openInputStream().get());
    EXPECT_EQ(readBody(connection), "body");
    EXPECT_EQ(connection->openDataInputStream()->read(), -1);

    connection->close();
    EXPECT_THROW(connection->getResponseCode(), java::io::IOException);
}

TEST_F(ExchangeTest, BodyStreamClosedByTheConnectionReadsAsEnd) {
    LoopbackHttpServer server;
    server.on("/b", reply(200, "abc"));
    JavaPtr<HttpConnection> connection = openHttp(server.url("/b"));
    JavaPtr<java::io::InputStream> in = connection->openInputStream();
    EXPECT_EQ(in->read(), 'a');
    connection->close();
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->available(), 0);
}

TEST_F(ExchangeTest, HttpsVerifiesThePeerAgainstTheTrustedAuthorities) {
    LoopbackHttpServer server(true);
    server.on("/s", reply(200, "secret"));
    // The test authority is in no system store.
    JavaPtr<HttpConnection> untrusted = openHttp(server.url("/s"));
    const std::string cause = ioFailure([&] { untrusted->getResponseCode(); });
    EXPECT_NE(cause.find("certificate"), std::string::npos) << cause;

    platform::HttpTransport::setCertificateAuthorityFileForTesting(
        testsupport::TestCertificates::shared().authorityFile);
    JavaPtr<HttpConnection> trusted = openHttp(server.url("/s"));
    EXPECT_EQ(trusted->getResponseCode(), 200);
    EXPECT_EQ(readBody(trusted), "secret");
    EXPECT_EQ(narrow(trusted->getProtocol()), "https");
}

}  // namespace
}  // namespace nettest
