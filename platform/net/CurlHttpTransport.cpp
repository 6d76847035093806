// The HTTP transport on libcurl: one network thread owns a multi handle and runs every stream; other
// threads hand it work through a queue and wake it with curl_multi_wakeup.
#include <curl/curl.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "platform/net/HttpTransport.h"

namespace platform {

namespace {

constexpr long kMaximumRedirects = 10;

thread_local bool t_onNetworkThread = false;

bool equalsIgnoringCase(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

struct Stream {
    uint64_t id = 0;
    CURL* easy = nullptr;
    curl_slist* headerList = nullptr;
    HttpStreamListener* listener = nullptr;
    std::vector<unsigned char> body;
    std::string url;
    // The head being read; a new status line starts it over, so a followed redirect's head is dropped.
    std::string statusLine;
    HttpHeaderFields fields;
    bool headDelivered = false;
    char errorText[CURL_ERROR_SIZE] = {};

    ~Stream() {
        if (easy != nullptr) curl_easy_cleanup(easy);
        if (headerList != nullptr) curl_slist_free_all(headerList);
    }

    void deliverHead() {
        if (headDelivered) return;
        headDelivered = true;
        listener->onHead(statusLine, fields);
    }
};

size_t receiveHeaderLine(char* text, size_t size, size_t count, void* user) {
    auto* stream = static_cast<Stream*>(user);
    const size_t length = size * count;
    std::string line(text, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.compare(0, 5, "HTTP/") == 0) {
        stream->statusLine = line;
        stream->fields.clear();
    } else if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
        // A folded line continues the field before it.
        if (!stream->fields.empty()) {
            const size_t start = line.find_first_not_of(" \t");
            stream->fields.back().second += " " + line.substr(start);
        }
    } else if (const size_t colon = line.find(':'); colon != std::string::npos && colon > 0) {
        std::string value = line.substr(colon + 1);
        const size_t first = value.find_first_not_of(" \t");
        const size_t last = value.find_last_not_of(" \t");
        value = first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
        stream->fields.emplace_back(line.substr(0, colon), std::move(value));
    }
    return length;
}

size_t receiveBody(char* bytes, size_t size, size_t count, void* user) {
    auto* stream = static_cast<Stream*>(user);
    const size_t length = size * count;
    stream->deliverHead();
    if (length == 0) return 0;
    // Anything but the full count makes curl stop the transfer with a write error.
    return stream->listener->onBytes(reinterpret_cast<const unsigned char*>(bytes), length) ? length : 0;
}

class Engine {
public:
    Engine() {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        m_multi = curl_multi_init();
        m_thread = std::thread([this] { runNetworkLoop(); });
    }

    // Ends the network thread and the multi handle; every later open is refused and every detach
    // returns at once. Called once, at exit.
    void stop() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopping) return;
            m_stopping = true;
            curl_multi_wakeup(m_multi);
        }
        m_thread.join();
        std::lock_guard<std::mutex> lock(m_mutex);
        curl_multi_cleanup(m_multi);
        m_multi = nullptr;
    }

    uint64_t open(const HttpRequest& request, HttpStreamListener* listener, std::string* cause) {
        auto stream = std::make_unique<Stream>();
        stream->listener = listener;
        stream->url = request.url;
        stream->body = request.body;
        if (!configure(*stream, request)) {
            if (cause != nullptr) *cause = "the request could not be set up";
            return 0;
        }
        uint64_t id;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopping) {
                if (cause != nullptr) *cause = "the network has stopped";
                return 0;
            }
            id = ++m_lastId;
            stream->id = id;
            m_pendingAdds.push_back(std::move(stream));
            curl_multi_wakeup(m_multi);
        }
        return id;
    }

    void detach(uint64_t id) {
        if (id == 0) return;
        if (t_onNetworkThread) {
            remove(id);
            return;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        for (auto it = m_pendingAdds.begin(); it != m_pendingAdds.end(); ++it) {
            if ((*it)->id == id) {
                // Never started: no callback can have run or can run.
                std::unique_ptr<Stream> unstarted = std::move(*it);
                m_pendingAdds.erase(it);
                lock.unlock();
                return;
            }
        }
        if (m_stopping) return;
        m_pendingRemovals.insert(id);
        curl_multi_wakeup(m_multi);
        m_removalsDone.wait(lock, [&] {
            return m_stopping || (m_pendingRemovals.count(id) == 0 && m_removing.count(id) == 0);
        });
    }

    void setCertificateAuthorityFile(const std::string& path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_certificateAuthorityFile = path;
    }

private:
    bool configure(Stream& stream, const HttpRequest& request) {
        CURL* easy = curl_easy_init();
        if (easy == nullptr) return false;
        stream.easy = easy;
        std::string authorities;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            authorities = m_certificateAuthorityFile;
        }
        bool ok = curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str()) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaximumRedirects) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK;
        if (!authorities.empty())
            ok = ok && curl_easy_setopt(easy, CURLOPT_CAINFO, authorities.c_str()) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, stream.errorText) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, receiveHeaderLine) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_HEADERDATA, &stream) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, receiveBody) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_WRITEDATA, &stream) == CURLE_OK;
        ok = ok && curl_easy_setopt(easy, CURLOPT_PRIVATE, &stream) == CURLE_OK;

        const bool post = request.method == "POST";
        const bool head = request.method == "HEAD";
        // A body written for a GET goes with it, under the method asked for: dropping it would report
        // bytes as sent that never were. curl sends none with a HEAD, so such a request is refused.
        // The method comes first, since curl's body options would make any request a POST.
        if (head && !request.body.empty()) return false;
        const bool withBody = post || !request.body.empty();
        if (head)
            ok = ok && curl_easy_setopt(easy, CURLOPT_NOBODY, 1L) == CURLE_OK;
        else if (!post)
            ok = ok && curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L) == CURLE_OK;
        if (withBody) {
            if (post) ok = ok && curl_easy_setopt(easy, CURLOPT_POST, 1L) == CURLE_OK;
            ok = ok && curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                                        static_cast<curl_off_t>(stream.body.size())) == CURLE_OK;
            ok = ok &&
                 curl_easy_setopt(easy, CURLOPT_POSTFIELDS,
                                  stream.body.empty() ? "" : reinterpret_cast<char*>(stream.body.data())) ==
                     CURLE_OK;
        }
        if (!post && (withBody || (!head && request.method != "GET")))
            ok = ok && curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.method.c_str()) == CURLE_OK;

        // The caller's fields as they stand; the body's framing and the host are the transport's own.
        bool hasContentType = false;
        for (const auto& [name, value] : request.headers) {
            if (equalsIgnoringCase(name, "Content-Length") || equalsIgnoringCase(name, "Transfer-Encoding") ||
                equalsIgnoringCase(name, "Host"))
                continue;
            if (equalsIgnoringCase(name, "Content-Type")) hasContentType = true;
            // "Name;" is how curl is told to send a field with an empty value.
            const std::string line = value.empty() ? name + ";" : name + ": " + value;
            if (!appendHeader(stream, line)) return false;
        }
        // Nothing the caller did not ask for: curl's own Accept, Expect and form Content-Type go.
        bool hasAccept = false, hasExpect = false;
        for (const auto& field : request.headers) {
            hasAccept = hasAccept || equalsIgnoringCase(field.first, "Accept");
            hasExpect = hasExpect || equalsIgnoringCase(field.first, "Expect");
        }
        if (!hasAccept && !appendHeader(stream, "Accept:")) return false;
        if (!hasExpect && !appendHeader(stream, "Expect:")) return false;
        if (!hasContentType && !appendHeader(stream, "Content-Type:")) return false;
        ok = ok && curl_easy_setopt(easy, CURLOPT_HTTPHEADER, stream.headerList) == CURLE_OK;
        return ok;
    }

    static bool appendHeader(Stream& stream, const std::string& line) {
        curl_slist* grown = curl_slist_append(stream.headerList, line.c_str());
        if (grown == nullptr) return false;
        stream.headerList = grown;
        return true;
    }

    // On the network thread only.
    void remove(uint64_t id) {
        auto it = m_active.find(id);
        if (it == m_active.end()) return;
        curl_multi_remove_handle(m_multi, it->second->easy);
        m_active.erase(it);
    }

    void runNetworkLoop() {
        t_onNetworkThread = true;
        for (;;) {
            std::vector<std::unique_ptr<Stream>> adds;
            std::set<uint64_t> removals;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_stopping) break;
                adds.swap(m_pendingAdds);
                removals.swap(m_pendingRemovals);
                m_removing = removals;
            }
            for (uint64_t id : removals) remove(id);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_removing.clear();
            }
            m_removalsDone.notify_all();
            for (auto& stream : adds) {
                Stream* raw = stream.get();
                if (curl_multi_add_handle(m_multi, raw->easy) != CURLM_OK) {
                    raw->listener->onError("the request could not be started");
                    continue;
                }
                m_active.emplace(raw->id, std::move(stream));
            }
            int running = 0;
            curl_multi_perform(m_multi, &running);
            int queued = 0;
            while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
                if (message->msg != CURLMSG_DONE) continue;
                Stream* stream = nullptr;
                curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &stream);
                const CURLcode result = message->data.result;
                if (stream == nullptr) continue;
                if (result == CURLE_OK) {
                    stream->deliverHead();
                    stream->listener->onEnd();
                } else {
                    std::string cause = curl_easy_strerror(result);
                    if (stream->errorText[0] != 0) cause += std::string(": ") + stream->errorText;
                    stream->listener->onError(cause);
                }
                remove(stream->id);
            }
            curl_multi_poll(m_multi, nullptr, 0, 1000, nullptr);
        }
        // Whatever is left ends with the engine: drop it without callbacks.
        for (auto& [id, stream] : m_active) curl_multi_remove_handle(m_multi, stream->easy);
        m_active.clear();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_pendingAdds.clear();
            m_pendingRemovals.clear();
            m_removing.clear();
        }
        m_removalsDone.notify_all();
    }

    CURLM* m_multi = nullptr;
    std::thread m_thread;
    // The network thread's own: streams added to the multi handle, by id.
    std::map<uint64_t, std::unique_ptr<Stream>> m_active;

    // Guards the queues, the id counter, the stop flag and the authority file, and m_multi against its
    // clean-up (wake-ups are sent under it); never held while a listener runs.
    std::mutex m_mutex;
    std::condition_variable m_removalsDone;
    std::vector<std::unique_ptr<Stream>> m_pendingAdds;
    std::set<uint64_t> m_pendingRemovals;
    // Taken from the queue and being removed on the network thread.
    std::set<uint64_t> m_removing;
    uint64_t m_lastId = 0;
    bool m_stopping = false;
    std::string m_certificateAuthorityFile;
};

// Stops the engine when the process's statics go; registered after the engine is made, so it runs
// before the TLS library's own clean-up.
struct EngineStop {
    Engine& engine;
    ~EngineStop() { engine.stop(); }
};

// Never destroyed, only stopped: a connection that closes later in the exit (held by another static,
// or by a thread still waiting on its exchange) must find the engine's lock and state still there.
Engine& engine() {
    static Engine* const instance = new Engine();
    static const EngineStop stopAtExit{*instance};
    return *instance;
}

}  // namespace

uint64_t HttpTransport::open(const HttpRequest& request, HttpStreamListener* listener, std::string* cause) {
    return engine().open(request, listener, cause);
}

void HttpTransport::detach(uint64_t stream) {
    engine().detach(stream);
}

void HttpTransport::setCertificateAuthorityFileForTesting(const std::string& path) {
    engine().setCertificateAuthorityFile(path);
}

}  // namespace platform
