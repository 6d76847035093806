// A scripted HTTP server for the network tests: it listens on 127.0.0.1 on a port the system picks,
// answers each path with the reply the test gave it, and records every request it saw. With TLS it
// serves a certificate for 127.0.0.1 from a certificate authority made for the test run.
#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct MHD_Daemon;
struct MHD_Connection;

namespace testsupport {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct SeenRequest {
    std::string method;
    std::string path;
    HeaderList headers;
    std::string body;

    // The value of the first field named name (ignoring case), or "<absent>".
    std::string header(const std::string& name) const;
    int headerCount(const std::string& name) const;
};

struct ScriptedReply {
    enum class Delivery {
        Whole,            // the body with its length
        Chunked,          // the body without a length, in chunks of at most 16,000 bytes
        Trickle,          // the body with its length, a few bytes at a time with pauses
        HeadThenSilence,  // the head, then nothing until the server stops or silence is released
        CloseMidBody,     // the head with the full length, half the body, then the connection drops
    };
    int status = 200;
    HeaderList headers;
    std::string body;
    Delivery delivery = Delivery::Whole;
    int trickleBytes = 1;
    int tricklePauseMs = 20;
};

// A test certificate authority and a server certificate for 127.0.0.1 signed by it, in PEM.
struct TestCertificates {
    std::string authorityPem;
    std::string serverKeyPem;
    std::string serverCertificatePem;
    // The authority written to a file, for the client's trust setting.
    std::string authorityFile;

    static const TestCertificates& shared();
};

class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(bool tls = false);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // Replies to path (without the query); any other path gets 404.
    void on(const std::string& path, ScriptedReply reply);
    // "http://127.0.0.1:port" + path, or https with TLS.
    std::string url(const std::string& path) const;
    int port() const { return m_port; }
    std::vector<SeenRequest> requests();
    // Lets every silent reply end (with a dropped connection).
    void releaseSilence();

    // The server's request handler; called on the server's threads only.
    int handle(MHD_Connection* connection, const char* url, const char* method, const char* uploadData,
               size_t* uploadSize, void** state);

private:
    int reply(MHD_Connection* connection, const SeenRequest& request);

    bool m_tls;
    int m_port = 0;
    MHD_Daemon* m_daemon = nullptr;
    // Guards the replies, the record and the silence flag.
    std::mutex m_mutex;
    std::condition_variable m_silenceReleased;
    bool m_silenceOver = false;
    // Shared with the replies in flight, so a large body is not copied per request.
    std::map<std::string, std::shared_ptr<const ScriptedReply>> m_replies;
    std::vector<SeenRequest> m_seen;

    friend struct ReplyBody;
};

// A port on 127.0.0.1 that refuses connections: bound, never listened on, for the life of the object.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    int port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
};

}  // namespace testsupport
