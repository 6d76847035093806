// The canvas's HTTP operations against the loopback server: the worker they keep in conn_class, the
// text body, a null text, and the release of a running worker with the class statics.
#include <gtest/gtest.h>

#include <string>

#include "runtime/NullPointerException.h"
#include "tests/engine/CanvasHttpFixture.h"
#include "tests/support/net/LoopbackHttpServer.h"

namespace enginetest {
namespace {

using H = HookCanvas;
using testsupport::jstr;
using testsupport::narrow;
using CanvasHttpTest = CanvasHttpFixture;

JavaPtr<java::lang::String> urlOf(const testsupport::LoopbackHttpServer& server, const char* path) {
    return jstr(server.url(path).c_str());
}

// A reply whose body never comes: the worker stays in its exchange until it is stopped.
testsupport::ScriptedReply silence() {
    testsupport::ScriptedReply reply;
    reply.body = "never";
    reply.delivery = testsupport::ScriptedReply::Delivery::HeadThenSilence;
    return reply;
}

TEST_F(CanvasHttpTest, NullDataMakesAGetByAWorkerTheCanvasKeeps) {
    testsupport::LoopbackHttpServer server;
    testsupport::ScriptedReply reply;
    reply.body = "payload";
    server.on("/get", reply);
    canvas->openHttpConnectionByteArrayData(urlOf(server, "/get"), 0, nullptr);
    JavaPtr<TSHttpConnectionThread> worker = H::conn_class;
    ASSERT_TRUE(worker);
    EXPECT_TRUE(TSHttpConnectionThread::parent == canvas);
    ASSERT_TRUE(finishes(worker));
    EXPECT_EQ(worker->getResponseCode(), 200);
    EXPECT_EQ(worker->getBytesReceived(nullptr), 7);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].method, "GET");
    EXPECT_EQ(server.requests()[0].header("User-Agent"), "tessel");
    // The finished worker stays for whoever wants its results until the canvas lets it go.
    EXPECT_TRUE(H::conn_class == worker);
    canvas->closeHttpConnection();
    EXPECT_FALSE(H::conn_class);
}

TEST_F(CanvasHttpTest, TextIsPostedAsTheLowByteOfEachCharacter) {
    testsupport::LoopbackHttpServer server;
    server.on("/post", testsupport::ScriptedReply{});
    struct Case {
        const char* text;
        std::string sent;
    };
    const Case cases[] = {
        {"a=1&b=\\u00e9\\u0141", std::string("a=1&b=\xE9\x41")},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        canvas->openHttpConnectionStringData(urlOf(server, "/post"), TSHttpConnectionThread::Encoding_Form,
                                             jstr(c.text));
        ASSERT_TRUE(finishes(H::conn_class));
        const auto request = server.requests().back();
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.body, c.sent);
        EXPECT_EQ(request.header("Content-Length"), std::to_string(c.sent.size()));
        EXPECT_EQ(request.header("Content-Type"), "application/x-www-form-urlencoded");
    }
}

TEST_F(CanvasHttpTest, NullTextThrowsAndLeavesTheRunningWorker) {
    testsupport::LoopbackHttpServer server;
    server.on("/silent", silence());
    javax::microedition::io::HttpConnectionImpl::setInactivityLimitForTesting(600000);
    canvas->openHttpConnectionByteArrayData(urlOf(server, "/silent"), 0, nullptr);
    JavaPtr<TSHttpConnectionThread> running = H::conn_class;
    ASSERT_TRUE(testsupport::eventually([&] { return !server.requests().empty(); }));
    EXPECT_THROW(canvas->openHttpConnectionStringData(urlOf(server, "/silent"), 0, nullptr),
                 java::lang::NullPointerException);
    EXPECT_TRUE(H::conn_class == running);
    EXPECT_FALSE(running->isClosing());
    EXPECT_EQ(server.requests().size(), 1u);
    canvas->closeHttpConnection();
    EXPECT_FALSE(H::conn_class);
    ASSERT_TRUE(finishes(running));
}

TEST_F(CanvasHttpTest, ANewRequestStopsThePreviousWorker) {
    testsupport::LoopbackHttpServer server;
    server.on("/silent", silence());
    server.on("/quick", testsupport::ScriptedReply{});
    javax::microedition::io::HttpConnectionImpl::setInactivityLimitForTesting(600000);
    canvas->openHttpConnectionByteArrayData(urlOf(server, "/silent"), 0, nullptr);
    JavaPtr<TSHttpConnectionThread> first = H::conn_class;
    ASSERT_TRUE(testsupport::eventually([&] { return !server.requests().empty(); }));
    canvas->openHttpConnectionByteArrayData(urlOf(server, "/quick"), 0, nullptr);
    EXPECT_FALSE(H::conn_class == first);
    EXPECT_TRUE(first->isClosing());
    ASSERT_TRUE(finishes(first));
    EXPECT_EQ(first->getResponseCode(), 0);
    ASSERT_TRUE(finishes(H::conn_class));
    EXPECT_EQ(H::conn_class->getResponseCode(), 200);
}

TEST_F(CanvasHttpTest, ReleasingTheClassStaticsStopsARunningWorker) {
    testsupport::LoopbackHttpServer server;
    server.on("/silent", silence());
    javax::microedition::io::HttpConnectionImpl::setInactivityLimitForTesting(600000);
    H::HookCanvas_globalStaticCreate();
    canvas->openHttpConnectionByteArrayData(urlOf(server, "/silent"), 0, nullptr);
    JavaPtr<TSHttpConnectionThread> running = H::conn_class;
    ASSERT_TRUE(testsupport::eventually([&] { return !server.requests().empty(); }));
    H::HookCanvas_globalStaticDestroy();
    EXPECT_FALSE(H::conn_class);
    EXPECT_TRUE(running->isClosing());
    ASSERT_TRUE(finishes(running));
    EXPECT_FALSE(running->hasConnection());
}

TEST_F(CanvasHttpTest, UrlEncodeIsTheCanvasOperation) {
    EXPECT_EQ(narrow(canvas->urlEncode(jstr("a b~50%"))), "a%20b%7E50%25");
    EXPECT_THROW(canvas->urlEncode(nullptr), java::lang::NullPointerException);
}

}  // namespace
}  // namespace enginetest
