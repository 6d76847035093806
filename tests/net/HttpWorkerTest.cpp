// The application's HTTP worker: URL encoding, the requests it makes of a loopback server, and its
// download loop driven by a scripted connection.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>

#include "net/HttpWorkerControl.h"
#include "net/UrlEncoding.h"
#include "runtime/NullPointerException.h"
#include "tests/net/FakeHttpConnection.h"
#include "tests/net/HttpFixture.h"
#include "tests/support/Eventually.h"
#include "tests/support/net/LoopbackHttpServer.h"

namespace nettest {
namespace {

using javax::microedition::io::Connection;
using testsupport::eventually;
using testsupport::jstr;
using testsupport::narrow;

std::string bodyOf(TSHttpConnectionThread& worker) {
    JavaPtr<JArray<signed char>> data;
    const int received = worker.getBytesReceived(&data);
    if (!data) return "<no data>";
    return std::string(reinterpret_cast<const char*>(data->data), static_cast<size_t>(received));
}

// The array's bytes beyond those received read as zeros, as in any new array.
bool restIsZero(TSHttpConnectionThread& worker) {
    JavaPtr<JArray<signed char>> data;
    const int received = worker.getBytesReceived(&data);
    return data && std::all_of(data->data + received, data->data + data->length,
                               [](signed char b) { return b == 0; });
}

bool finishes(const JavaPtr<TSHttpConnectionThread>& worker) {
    return eventually([&] { return worker->hasFinished(); }, std::chrono::seconds(20));
}

TEST(UrlEncodingTest, EncodesEverythingOutsideTheTableByItsLowByte) {
    struct Case {
        const char* text;
        const char* encoded;
    };
    const Case cases[] = {
        {"a b", "a%20b"},
        {"50%", "50%25"},
        {"~", "%7E"},
        {"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_.!*'()",
         "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_.!*'()"},
        {"\\u00e9", "%E9"},
        {"\\u0141", "%41"},
        {"", ""},
        {"a&b=c/d", "a%26b%3Dc%2Fd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(narrow(net::urlEncode(jstr(c.text))), c.encoded);
    }
    EXPECT_THROW(net::urlEncode(nullptr), java::lang::NullPointerException);
}

TEST(UrlEncodingTest, TextBodyIsTheLowByteOfEachUnit) {
    auto body = net::httpBodyOfText(jstr("A\\u0141\\u00e9"));
    ASSERT_EQ(body->length, 3);
    EXPECT_EQ(body->data[0], 'A');
    EXPECT_EQ(body->data[1], 0x41);
    EXPECT_EQ(static_cast<unsigned char>(body->data[2]), 0xE9);
    EXPECT_EQ(net::httpBodyOfText(jstr(""))->length, 0);
    EXPECT_THROW(net::httpBodyOfText(nullptr), java::lang::NullPointerException);
}

using WorkerTest = HttpTest;

TEST_F(WorkerTest, GetCarriesTheThreeFixedHeadersAndKeepsTheBody) {
    testsupport::LoopbackHttpServer server;
    testsupport::ScriptedReply reply;
    reply.body = "payload";
    server.on("/get", reply);
    JavaPtr<TSHttpConnectionThread> slot;
    net::startHttpWorker(slot, nullptr, jstr(server.url("/get").c_str()), 0, nullptr);
    JavaPtr<TSHttpConnectionThread> worker = slot;
    ASSERT_TRUE(finishes(worker));
    EXPECT_EQ(worker->getResponseCode(), 200);
    EXPECT_EQ(bodyOf(*worker), "payload");
    EXPECT_TRUE(worker->isClosing());
    EXPECT_FALSE(worker->hasConnection());
    EXPECT_FALSE(worker->hasThread());

    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "GET");
    EXPECT_EQ(seen[0].header("User-Agent"), "tessel");
    EXPECT_EQ(seen[0].header("Content-Language"), "en-UK");
    EXPECT_EQ(seen[0].header("Connection"), "close");
    EXPECT_EQ(seen[0].header("Host"), "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(seen[0].headers.size(), 4u);
    net::stopHttpWorker(slot);
    EXPECT_FALSE(slot);
}

TEST_F(WorkerTest, PostsCarryTheHeadersOfTheirEncoding) {
    testsupport::LoopbackHttpServer server;
    server.on("/post", testsupport::ScriptedReply{});
    struct Case {
        int encoding;
        const char* text;
        const char* contentType;
        const char* accept;
    };
    const Case cases[] = {
        {0, "hello", "*/*", "*/*"},
        {1, "hello", "application/octet-stream", "*/*"},
        {2, "hello", "application/x-www-form-urlencoded", "*/*"},
        {7, "hello", "<absent>", "<absent>"},
        {2, "", "application/x-www-form-urlencoded", "*/*"},
    };
    JavaPtr<TSHttpConnectionThread> slot;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.encoding) + " '" + c.text + "'");
        net::startHttpWorker(slot, nullptr, jstr(server.url("/post").c_str()), c.encoding,
                             net::httpBodyOfText(jstr(c.text)));
        ASSERT_TRUE(finishes(slot));
        EXPECT_EQ(slot->getResponseCode(), 200);
        const auto request = server.requests().back();
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.body, c.text);
        EXPECT_EQ(request.header("Content-Length"), std::to_string(std::string(c.text).size()));
        EXPECT_EQ(request.header("Content-Type"), c.contentType);
        EXPECT_EQ(request.header("Accept"), c.accept);
        EXPECT_EQ(request.header("User-Agent"), "tessel");
    }
    EXPECT_EQ(server.requests().size(), 5u);
    net::stopHttpWorker(slot);
}

TEST_F(WorkerTest, ErrorStatusIsKeptWithItsBody) {
    testsupport::LoopbackHttpServer server;
    JavaPtr<TSHttpConnectionThread> slot;
    net::startHttpWorker(slot, nullptr, jstr(server.url("/nowhere").c_str()), 0, nullptr);
    ASSERT_TRUE(finishes(slot));
    EXPECT_EQ(slot->getResponseCode(), 404);
    EXPECT_EQ(bodyOf(*slot), "not here");
    net::stopHttpWorker(slot);
}

TEST_F(WorkerTest, AClaimedLengthWithoutTheBytesCostsNothing) {
    // A 204 carries no body whatever length it announces.
    testsupport::LoopbackHttpServer server;
    testsupport::ScriptedReply reply;
    reply.status = 204;
    reply.headers = {{"Content-Length", "2000000000"}};
    server.on("/claim", reply);
    JavaPtr<TSHttpConnectionThread> slot;
    net::startHttpWorker(slot, nullptr, jstr(server.url("/claim").c_str()), 0, nullptr);
    ASSERT_TRUE(finishes(slot));
    EXPECT_EQ(slot->getResponseCode(), 204);
    EXPECT_EQ(slot->getContentLength(), 2000000000);
    JavaPtr<JArray<signed char>> data;
    EXPECT_EQ(slot->getBytesReceived(&data), 0);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->length, 0);
    EXPECT_TRUE(slot->isDownloading());
    net::stopHttpWorker(slot);
}

TEST_F(WorkerTest, RefusedConnectionEndsWithoutBody) {
    testsupport::RefusingPort refusing;
    JavaPtr<TSHttpConnectionThread> slot;
    net::startHttpWorker(slot, nullptr,
                         jstr(("http://127.0.0.1:" + std::to_string(refusing.port()) + "/").c_str()), 0,
                         nullptr);
    ASSERT_TRUE(finishes(slot));
    EXPECT_EQ(slot->getResponseCode(), 0);
    EXPECT_EQ(bodyOf(*slot), "<no data>");
    EXPECT_FALSE(slot->isDownloading());
    net::stopHttpWorker(slot);
}

// The worker against a scripted connection in the connector's HTTP place.
class WorkerDownloadTest : public HttpTest {
protected:
    void SetUp() override {
        HttpTest::SetUp();
        Connector::registerConnectionFactory(Connector::FACTORY_HTTP, &fakeFactory);
    }
    void TearDown() override {
        HttpTest::TearDown();
        std::lock_guard<std::mutex> lock(s_mutex);
        s_last = nullptr;
        s_other = nullptr;
    }

    static void script(const FakeScript& next) {
        std::lock_guard<std::mutex> lock(s_mutex);
        s_script = next;
    }
    static JavaPtr<FakeHttpConnection> lastFake() {
        std::lock_guard<std::mutex> lock(s_mutex);
        return s_last;
    }

    class OtherConnection : public java::lang::Object, public virtual Connection {
        TESL_CLASS(OtherConnection, "nettest.OtherConnection", java::lang::Object, Connection)
    public:
        void close() override { closed = true; }
        std::atomic<bool> closed{false};
    };

    static JavaPtr<Connection> fakeFactory(JavaPtr<java::lang::String> name, int, bool) {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (name->startsWith(jstr("http://other"))) {
            s_other = jnew<OtherConnection>();
            return s_other;
        }
        s_last = jnew<FakeHttpConnection>(name, s_script);
        return s_last;
    }

    static inline std::mutex s_mutex;
    static inline FakeScript s_script;
    static inline JavaPtr<FakeHttpConnection> s_last;
    static inline JavaPtr<OtherConnection> s_other;
};

TEST_F(WorkerDownloadTest, BodyLengthsKnownShortAndUnknown) {
    std::string withZero = "ab";
    withZero.push_back('\0');
    withZero += "cd";
    struct Case {
        const char* name;
        long long length;
        std::string body;
        int claimedAvailable;
        int received;
        int capacity;
        bool closing;
    };
    // A reported length is the server's claim: the array holds what was sent, so a short body leaves
    // no unsent tail (a length of 10 with 6 sent gives an array of 6), whatever available() says.
    const Case cases[] = {
        {"length 10, 6 sent", 10, "abcdef", -1, 6, 6, true},
        {"length 10, 6 sent, 100 claimed", 10, "abcdef", 100, 6, 6, true},
        {"length 10, 6 sent, none claimed", 10, "abcdef", 0, 6, 6, true},
        {"length 2000000000, 5 sent", 2000000000, "abcde", -1, 5, 5, true},
        {"length 5, 5 sent", 5, "abcde", -1, 5, 5, true},
        {"length 5, 8 sent", 5, "abcdefgh", -1, 5, 5, true},
        {"unknown, 3000 sent", -1, std::string(3000, 'x'), -1, 3000, 3072, true},
        {"unknown, 3000 sent, none claimed", -1, std::string(3000, 'y'), 0, 3000, 3072, true},
        {"unknown, empty", -1, "", -1, 0, 1024, true},
        {"unknown, a zero byte inside", -1, withZero, -1, 5, 1024, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeScript next;
        next.length = c.length;
        next.body = c.body;
        next.claimedAvailable = c.claimedAvailable;
        script(next);
        JavaPtr<TSHttpConnectionThread> slot;
        net::startHttpWorker(slot, nullptr, jstr("http://host/x"), 0, nullptr);
        ASSERT_TRUE(finishes(slot));
        JavaPtr<JArray<signed char>> data;
        EXPECT_EQ(slot->getBytesReceived(&data), c.received);
        ASSERT_TRUE(data);
        EXPECT_EQ(data->length, c.capacity);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(data->data), static_cast<size_t>(c.received)),
                  c.body.substr(0, static_cast<size_t>(c.received)));
        EXPECT_TRUE(restIsZero(*slot));
        EXPECT_EQ(slot->isClosing(), c.closing);
        EXPECT_TRUE(slot->isDownloading());
        EXPECT_TRUE(lastFake()->closed);
        net::stopHttpWorker(slot);
    }
}

TEST_F(WorkerDownloadTest, KillWhileAReadIsBlockedEndsTheWorkerWithItsBytes) {
    FakeScript next;
    next.body = "early";
    next.blockAfterBody = true;
    script(next);
    JavaPtr<TSHttpConnectionThread> slot;
    net::startHttpWorker(slot, nullptr, jstr("http://host/slow"), 0, nullptr);
    JavaPtr<TSHttpConnectionThread> worker = slot;
    ASSERT_TRUE(eventually([&] { return static_cast<bool>(lastFake()); }));
    ASSERT_TRUE(lastFake()->body().waitUntilBlocked());
    net::stopHttpWorker(slot);
    EXPECT_FALSE(slot);
    ASSERT_TRUE(finishes(worker));
    EXPECT_EQ(bodyOf(*worker), "early");
    EXPECT_TRUE(restIsZero(*worker));
    EXPECT_TRUE(lastFake()->closed);
    EXPECT_FALSE(worker->hasConnection());
    EXPECT_FALSE(worker->hasThread());
}

TEST_F(WorkerDownloadTest, AnotherKindOfConnectionCountsAsAFailedAttempt) {
    JavaPtr<TSHttpConnectionThread> slot;
    net::startHttpWorker(slot, nullptr, jstr("http://other/"), 0, nullptr);
    ASSERT_TRUE(finishes(slot));
    EXPECT_EQ(bodyOf(*slot), "<no data>");
    EXPECT_TRUE(slot->isClosing());
    std::lock_guard<std::mutex> lock(s_mutex);
    ASSERT_TRUE(s_other);
    EXPECT_TRUE(s_other->closed);
}

TEST_F(WorkerDownloadTest, RedirectIsRecordedNotRequested) {
    struct Case {
        const char* url;
        const char* location;
        const char* stored;
    };
    const Case cases[] = {
        {"http://host:8080/a/b?q", "/next", "http://host:8080/next"},
        {"http://host:8080/a/b?q", "https://else/x", "https://else/x"},
        {"http://host:8080/a/b?q", "rel", "http://host:8080/a/rel"},
        {"https://host", "rel", "https://host:443/rel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        FakeScript next;
        next.responseCode = 302;
        next.location = c.location;
        next.body = "moved";
        script(next);
        JavaPtr<TSHttpConnectionThread> slot;
        net::startHttpWorker(slot, nullptr, jstr(c.url), 0, nullptr);
        ASSERT_TRUE(finishes(slot));
        EXPECT_EQ(slot->getResponseCode(), 302);
        EXPECT_EQ(narrow(slot->getURL()), c.stored);
        EXPECT_EQ(bodyOf(*slot), "<no data>");
        net::stopHttpWorker(slot);
    }
}

}  // namespace
}  // namespace nettest
