// The HTTP connection and worker across threads: a close or kill from another thread ends an exchange
// that waits, and exchanges on several threads stay apart.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "net/HttpWorkerControl.h"
#include "tests/net/HttpFixture.h"
#include "tests/support/Eventually.h"
#include "tests/support/Watchdog.h"
#include "tests/support/net/LoopbackHttpServer.h"

namespace nettest {
namespace {

using testsupport::eventually;
using testsupport::jstr;
using testsupport::LoopbackHttpServer;
using testsupport::ScriptedReply;

using HttpConcurrencyTest = HttpTest;

ScriptedReply endlessTrickle() {
    ScriptedReply r;
    r.body = std::string(100000, 't');
    r.delivery = ScriptedReply::Delivery::Trickle;
    r.trickleBytes = 1;
    r.tricklePauseMs = 20;
    return r;
}

TEST_F(HttpConcurrencyTest, CloseFromAnotherThreadEndsTheWaitingExchange) {
    testsupport::Watchdog watchdog;
    LoopbackHttpServer server;
    ScriptedReply silent;
    silent.body = "never";
    silent.delivery = ScriptedReply::Delivery::HeadThenSilence;
    server.on("/silent", silent);
    // Only the close can end this exchange in time.
    HttpConnectionImpl::setInactivityLimitForTesting(600000);
    JavaPtr<HttpConnection> connection = openHttp(server.url("/silent"));
    std::string cause;
    std::thread requester([&] { cause = ioFailure([&] { connection->getResponseCode(); }); });
    ASSERT_TRUE(eventually([&] { return !server.requests().empty(); }));
    connection->close();
    requester.join();
    EXPECT_EQ(cause, "the connection is closed");
    EXPECT_THROW(connection->getResponseCode(), java::io::IOException);
}

TEST_F(HttpConcurrencyTest, ExchangesOnSeveralThreadsGetTheirOwnResponses) {
    testsupport::Watchdog watchdog;
    LoopbackHttpServer server;
    for (int t = 0; t < 4; ++t) {
        ScriptedReply r;
        r.body = std::string(20000 + t, static_cast<char>('a' + t));
        server.on("/t" + std::to_string(t), r);
    }
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 8; ++i) {
                JavaPtr<HttpConnection> connection = openHttp(server.url("/t" + std::to_string(t)));
                if (connection->getResponseCode() == 200 &&
                    readBody(connection) == std::string(20000 + t, static_cast<char>('a' + t)))
                    ++good;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(good.load(), 32);
}

TEST_F(HttpConcurrencyTest, ReaderSeesTheEndWhenTheConnectionClosesUnderIt) {
    testsupport::Watchdog watchdog;
    LoopbackHttpServer server;
    ScriptedReply r;
    r.body = std::string(200000, 'r');
    server.on("/r", r);
    JavaPtr<HttpConnection> connection = openHttp(server.url("/r"));
    JavaPtr<java::io::InputStream> in = connection->openInputStream();
    std::atomic<long> read{0};
    std::thread reader([&] {
        auto buffer = jnew<JArray<signed char>>(7);
        for (int n; (n = in->read(buffer, 0, buffer->length)) > 0;) read += n;
    });
    connection->close();
    reader.join();
    EXPECT_LE(read.load(), 200000);
    EXPECT_EQ(in->read(), -1);
}

TEST_F(HttpConcurrencyTest, KillWhileTheServerTricklesEndsTheWorker) {
    testsupport::Watchdog watchdog;
    LoopbackHttpServer server;
    server.on("/slow", endlessTrickle());
    HttpConnectionImpl::setInactivityLimitForTesting(600000);
    JavaPtr<TSHttpConnectionThread> slot;
    net::startHttpWorker(slot, nullptr, jstr(server.url("/slow").c_str()), 0, nullptr);
    JavaPtr<TSHttpConnectionThread> worker = slot;
    ASSERT_TRUE(eventually([&] { return !server.requests().empty(); }));
    net::stopHttpWorker(slot);
    EXPECT_FALSE(slot);
    ASSERT_TRUE(eventually([&] { return worker->hasFinished(); }, std::chrono::seconds(20)));
    EXPECT_FALSE(worker->hasConnection());
    EXPECT_FALSE(worker->hasThread());
    EXPECT_EQ(worker->getBytesReceived(nullptr), 0);
}

}  // namespace
}  // namespace nettest
