// The canvas stopping its worker from the canvas's thread while the worker downloads on its own.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "net/HttpWorkerControl.h"
#include "tests/engine/CanvasHttpFixture.h"
#include "tests/support/Watchdog.h"
#include "tests/support/net/LoopbackHttpServer.h"

namespace enginetest {
namespace {

using H = HookCanvas;
using CanvasHttpConcurrencyTest = CanvasHttpFixture;

TEST_F(CanvasHttpConcurrencyTest, CloseWhileTheServerTricklesEndsTheWorker) {
    testsupport::Watchdog watchdog;
    testsupport::LoopbackHttpServer server;
    testsupport::ScriptedReply trickle;
    trickle.body = std::string(100000, 't');
    trickle.delivery = testsupport::ScriptedReply::Delivery::Trickle;
    trickle.trickleBytes = 1;
    trickle.tricklePauseMs = 20;
    server.on("/slow", trickle);
    // Only the close can end this exchange in time.
    javax::microedition::io::HttpConnectionImpl::setInactivityLimitForTesting(600000);
    canvas->openHttpConnectionByteArrayData(testsupport::jstr(server.url("/slow").c_str()), 0, nullptr);
    JavaPtr<TSHttpConnectionThread> worker = H::conn_class;
    ASSERT_TRUE(worker);
    ASSERT_TRUE(testsupport::eventually([&] { return !server.requests().empty(); }));
    canvas->closeHttpConnection();
    EXPECT_FALSE(H::conn_class);
    ASSERT_TRUE(finishes(worker));
    EXPECT_FALSE(worker->hasConnection());
    EXPECT_FALSE(worker->hasThread());
    EXPECT_TRUE(worker->isClosing());
}

TEST_F(CanvasHttpConcurrencyTest, ThreadsStartingAndStoppingRequestsKeepOneWorkerAtATime) {
    testsupport::Watchdog watchdog;
    testsupport::LoopbackHttpServer server;
    testsupport::ScriptedReply reply;
    reply.body = "ok";
    server.on("/r", reply);
    JavaPtr<java::lang::String> url = testsupport::jstr(server.url("/r").c_str());
    std::atomic<int> running{2};
    auto requester = [&] {
        for (int i = 0; i < 25; ++i) {
            canvas->openHttpConnectionByteArrayData(url, 0, nullptr);
            if (i % 3 == 0) canvas->closeHttpConnection();
        }
        --running;
    };
    std::thread first(requester);
    std::thread second(requester);
    // A third thread looks at the current worker the way an application would.
    while (running.load() > 0) {
        JavaPtr<TSHttpConnectionThread> current = net::currentHttpWorker(H::conn_class);
        if (current) {
            EXPECT_TRUE(current->getURL()->equals(url));
        }
        std::this_thread::yield();
    }
    first.join();
    second.join();
    // The slot still serves a request of its own.
    canvas->openHttpConnectionByteArrayData(url, 0, nullptr);
    JavaPtr<TSHttpConnectionThread> last = net::currentHttpWorker(H::conn_class);
    ASSERT_TRUE(last);
    ASSERT_TRUE(finishes(last));
    EXPECT_EQ(last->getResponseCode(), 200);
    canvas->closeHttpConnection();
    EXPECT_FALSE(H::conn_class);
}

}  // namespace
}  // namespace enginetest
