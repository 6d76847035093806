// HTTP costs beside plain libcurl against one loopback server in the same run: a 64 MiB body through
// the connection against an easy handle into a vector, 200 small GETs against 200 easy requests, and
// a 16 MiB body of unknown length through the worker against the same body read straight from the
// connection (through a small buffer, and into one array as the worker keeps it).
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "library/Connector.h"
#include "library/InputStream.h"
#include "net/HttpConnection.h"
#include "net/HttpConnectionImpl.h"
#include "net/HttpWorkerControl.h"
#include "runtime/String.h"
#include "tests/support/net/LoopbackHttpServer.h"

namespace {

using javax::microedition::io::Connector;
using javax::microedition::io::HttpConnection;

constexpr size_t kLarge = 64u << 20;
constexpr size_t kMedium = 16u << 20;
constexpr int kSmallRequests = 200;

// Made before the first timed loop: the bodies are large.
testsupport::LoopbackHttpServer& server() {
    static testsupport::LoopbackHttpServer* instance = [] {
        HttpConnection_staticInit();
        auto* made = new testsupport::LoopbackHttpServer();
        testsupport::ScriptedReply large;
        large.body = std::string(kLarge, 'L');
        made->on("/large", large);
        testsupport::ScriptedReply medium;
        medium.body = std::string(kMedium, 'M');
        medium.delivery = testsupport::ScriptedReply::Delivery::Chunked;
        made->on("/medium", medium);
        testsupport::ScriptedReply small;
        small.body = "small reply";
        made->on("/small", small);
        return made;
    }();
    return *instance;
}

JavaPtr<java::lang::String> jurl(const std::string& path) {
    return jnew<java::lang::String>(server().url(path).c_str());
}

size_t connectionRead(const std::string& path) {
    auto connection = jcast<HttpConnection>(Connector::open(jurl(path)));
    if (connection->getResponseCode() != 200) return 0;
    JavaPtr<java::io::InputStream> in = connection->openInputStream();
    auto buffer = jnew<JArray<signed char>>(65536);
    size_t total = 0;
    for (int n; (n = in->read(buffer, 0, buffer->length)) > 0;) total += static_cast<size_t>(n);
    connection->close();
    return total;
}

// The same read into one array of the body's size, as the worker keeps the body: what storing it costs
// beside streaming it through a small buffer.
size_t connectionReadIntoOneArray(const std::string& path) {
    auto connection = jcast<HttpConnection>(Connector::open(jurl(path)));
    if (connection->getResponseCode() != 200) return 0;
    JavaPtr<java::io::InputStream> in = connection->openInputStream();
    auto body = jnew<JArray<signed char>>(in->available());
    size_t total = 0;
    for (int n; total < static_cast<size_t>(body->length) &&
                (n = in->read(body, static_cast<int>(total), body->length - static_cast<int>(total))) > 0;)
        total += static_cast<size_t>(n);
    connection->close();
    return total;
}

size_t appendToVector(char* bytes, size_t size, size_t count, void* user) {
    auto* body = static_cast<std::vector<char>*>(user);
    body->insert(body->end(), bytes, bytes + size * count);
    return size * count;
}

size_t curlRead(const std::string& path) {
    std::vector<char> body;
    CURL* easy = curl_easy_init();
    const std::string url = server().url(path);
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, appendToVector);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(easy);
    curl_easy_cleanup(easy);
    return body.size();
}

void BM_Connection64MiB(benchmark::State& state) {
    server();
    for (auto _ : state) {
        if (connectionRead("/large") != kLarge) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLarge));
}
BENCHMARK(BM_Connection64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CurlEasy64MiB(benchmark::State& state) {
    server();
    for (auto _ : state) {
        if (curlRead("/large") != kLarge) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLarge));
}
BENCHMARK(BM_CurlEasy64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Connection200SmallGets(benchmark::State& state) {
    server();
    for (auto _ : state) {
        for (int i = 0; i < kSmallRequests; ++i) benchmark::DoNotOptimize(connectionRead("/small"));
    }
}
BENCHMARK(BM_Connection200SmallGets)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CurlEasy200SmallGets(benchmark::State& state) {
    server();
    for (auto _ : state) {
        for (int i = 0; i < kSmallRequests; ++i) benchmark::DoNotOptimize(curlRead("/small"));
    }
}
BENCHMARK(BM_CurlEasy200SmallGets)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Worker16MiBUnknownLength(benchmark::State& state) {
    server();
    for (auto _ : state) {
        JavaPtr<TSHttpConnectionThread> slot;
        net::startHttpWorker(slot, nullptr, jurl("/medium"), 0, nullptr);
        // The worker runs on its own thread; waiting for it is part of its cost.
        while (!slot->hasFinished()) std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (slot->getBytesReceived(nullptr) != static_cast<int>(kMedium)) state.SkipWithError("short body");
        net::stopHttpWorker(slot);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMedium));
}
BENCHMARK(BM_Worker16MiBUnknownLength)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Connection16MiBUnknownLength(benchmark::State& state) {
    server();
    for (auto _ : state) {
        if (connectionRead("/medium") != kMedium) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMedium));
}
BENCHMARK(BM_Connection16MiBUnknownLength)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Connection16MiBUnknownLengthIntoOneArray(benchmark::State& state) {
    server();
    for (auto _ : state) {
        if (connectionReadIntoOneArray("/medium") != kMedium) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMedium));
}
BENCHMARK(BM_Connection16MiBUnknownLengthIntoOneArray)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
