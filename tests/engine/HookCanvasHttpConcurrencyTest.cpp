// The canvas stopping its worker from the canvas's thread while the worker downloads on its own.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace enginetest
