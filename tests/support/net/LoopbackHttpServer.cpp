#include "tests/support/net/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>

namespace testsupport {

namespace {

// Proxies from the environment would take loopback requests elsewhere. Cleared before any thread
// starts, since the transport reads the environment on its own thread.
const bool kProxiesCleared = [] {
    for (const char* name :
         {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
        unsetenv(name);
    return true;
}();

std::string pemOfKey(EVP_PKEY* key) {
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    std::string pem(data, static_cast<size_t>(length));
    BIO_free(bio);
    return pem;
}

std::string pemOfCertificate(X509* certificate) {
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, certificate);
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    std::string pem(data, static_cast<size_t>(length));
    BIO_free(bio);
    return pem;
}

void addExtension(X509* certificate, X509* issuer, int id, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, id, value);
    if (extension == nullptr) throw std::runtime_error("certificate extension");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

X509* makeCertificate(EVP_PKEY* key, const char* commonName, long serial, X509* issuer, EVP_PKEY* issuerKey) {
    X509* certificate = X509_new();
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), serial);
    X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 7 * 24 * 3600);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName),
                               -1, -1, 0);
    X509* signer = issuer != nullptr ? issuer : certificate;
    X509_set_issuer_name(certificate, X509_get_subject_name(signer));
    if (issuer == nullptr) {
        addExtension(certificate, signer, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(certificate, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
        addExtension(certificate, signer, NID_subject_key_identifier, "hash");
    } else {
        addExtension(certificate, signer, NID_basic_constraints, "critical,CA:FALSE");
        addExtension(certificate, signer, NID_subject_alt_name, "IP:127.0.0.1");
        addExtension(certificate, signer, NID_ext_key_usage, "serverAuth");
    }
    X509_sign(certificate, issuerKey != nullptr ? issuerKey : key, EVP_sha256());
    return certificate;
}

TestCertificates makeCertificates() {
    TestCertificates made;
    EVP_PKEY* authorityKey = EVP_EC_gen("P-256");
    EVP_PKEY* serverKey = EVP_EC_gen("P-256");
    if (authorityKey == nullptr || serverKey == nullptr) throw std::runtime_error("test keys");
    X509* authority = makeCertificate(authorityKey, "Loopback Test Authority", 1, nullptr, nullptr);
    X509* server = makeCertificate(serverKey, "127.0.0.1", 2, authority, authorityKey);
    made.authorityPem = pemOfCertificate(authority);
    made.serverCertificatePem = pemOfCertificate(server);
    made.serverKeyPem = pemOfKey(serverKey);
    X509_free(server);
    X509_free(authority);
    EVP_PKEY_free(serverKey);
    EVP_PKEY_free(authorityKey);

    char path[] = "/tmp/loopback-authority-XXXXXX";
    const int descriptor = mkstemp(path);
    if (descriptor < 0) throw std::runtime_error("authority file");
    const ssize_t written = write(descriptor, made.authorityPem.data(), made.authorityPem.size());
    close(descriptor);
    if (written != static_cast<ssize_t>(made.authorityPem.size())) throw std::runtime_error("authority file");
    made.authorityFile = path;
    return made;
}

MHD_Result collectHeader(void* list, MHD_ValueKind, const char* key, const char* value) {
    static_cast<HeaderList*>(list)->emplace_back(key, value != nullptr ? value : "");
    return MHD_YES;
}

MHD_Result accessHandler(void* self, MHD_Connection* connection, const char* url, const char* method,
                         const char* version, const char* uploadData, size_t* uploadSize, void** state);

// The request as it arrives: the body comes in pieces before the last call.
struct PendingRequest {
    std::string body;
};

}  // namespace

const TestCertificates& TestCertificates::shared() {
    static const TestCertificates certificates = makeCertificates();
    static const struct Remover {
        ~Remover() { unlink(certificates.authorityFile.c_str()); }
    } remover;
    return certificates;
}

std::string SeenRequest::header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
        if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
    }
    return "<absent>";
}

int SeenRequest::headerCount(const std::string& name) const {
    int count = 0;
    for (const auto& field : headers) count += strcasecmp(field.first.c_str(), name.c_str()) == 0;
    return count;
}

// What a reply's body callback reads from.
struct ReplyBody {
    LoopbackHttpServer* server;
    std::shared_ptr<const ScriptedReply> reply;

    static ssize_t read(void* self, uint64_t position, char* buffer, size_t room) {
        auto* body = static_cast<ReplyBody*>(self);
        const std::string& text = body->reply->body;
        using Delivery = ScriptedReply::Delivery;
        switch (body->reply->delivery) {
            case Delivery::HeadThenSilence: {
                std::unique_lock<std::mutex> lock(body->server->m_mutex);
                body->server->m_silenceReleased.wait(lock, [&] { return body->server->m_silenceOver; });
                return MHD_CONTENT_READER_END_WITH_ERROR;
            }
            case Delivery::CloseMidBody:
                if (position >= text.size() / 2) return MHD_CONTENT_READER_END_WITH_ERROR;
                room = std::min(room, text.size() / 2 - position);
                break;
            case Delivery::Trickle:
                std::this_thread::sleep_for(std::chrono::milliseconds(body->reply->tricklePauseMs));
                room = std::min(room, static_cast<size_t>(body->reply->trickleBytes));
                break;
            case Delivery::Chunked:
                room = std::min<size_t>(room, 16000);
                break;
            case Delivery::Whole:
                break;
        }
        if (position >= text.size()) return MHD_CONTENT_READER_END_OF_STREAM;
        const size_t n = std::min(room, text.size() - position);
        std::memcpy(buffer, text.data() + position, n);
        return static_cast<ssize_t>(n);
    }

    static void release(void* self) { delete static_cast<ReplyBody*>(self); }
};

LoopbackHttpServer::LoopbackHttpServer(bool tls) : m_tls(tls) {
    (void)kProxiesCleared;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    unsigned flags = MHD_USE_THREAD_PER_CONNECTION | MHD_USE_INTERNAL_POLLING_THREAD;
    if (tls) {
        const TestCertificates& certificates = TestCertificates::shared();
        m_daemon = MHD_start_daemon(flags | MHD_USE_TLS, 0, nullptr, nullptr, &accessHandler, this,
                                    MHD_OPTION_SOCK_ADDR, &address, MHD_OPTION_HTTPS_MEM_KEY,
                                    certificates.serverKeyPem.c_str(), MHD_OPTION_HTTPS_MEM_CERT,
                                    certificates.serverCertificatePem.c_str(), MHD_OPTION_END);
    } else {
        m_daemon = MHD_start_daemon(flags, 0, nullptr, nullptr, &accessHandler, this, MHD_OPTION_SOCK_ADDR,
                                    &address, MHD_OPTION_END);
    }
    if (m_daemon == nullptr) throw std::runtime_error("the loopback server did not start");
    m_port = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT)->port;
}

LoopbackHttpServer::~LoopbackHttpServer() {
    releaseSilence();
    MHD_stop_daemon(m_daemon);
}

void LoopbackHttpServer::on(const std::string& path, ScriptedReply reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_replies[path] = std::make_shared<const ScriptedReply>(std::move(reply));
}

std::string LoopbackHttpServer::url(const std::string& path) const {
    return std::string(m_tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<SeenRequest> LoopbackHttpServer::requests() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen;
}

void LoopbackHttpServer::releaseSilence() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_silenceOver = true;
    }
    m_silenceReleased.notify_all();
}

namespace {

MHD_Result accessHandler(void* self, MHD_Connection* connection, const char* url, const char* method,
                         const char*, const char* uploadData, size_t* uploadSize, void** state) {
    return static_cast<LoopbackHttpServer*>(self)->handle(connection, url, method, uploadData, uploadSize,
                                                          state)
               ? MHD_YES
               : MHD_NO;
}

}  // namespace

int LoopbackHttpServer::handle(MHD_Connection* connection, const char* url, const char* method,
                               const char* uploadData, size_t* uploadSize, void** state) {
    LoopbackHttpServer* server = this;
    if (*state == nullptr) {
        *state = new PendingRequest();
        return MHD_YES;
    }
    std::unique_ptr<PendingRequest> pending(static_cast<PendingRequest*>(*state));
    if (*uploadSize != 0) {
        pending->body.append(uploadData, *uploadSize);
        *uploadSize = 0;
        pending.release();
        return MHD_YES;
    }
    *state = nullptr;
    SeenRequest request;
    request.method = method;
    request.path = url;
    request.body = std::move(pending->body);
    MHD_get_connection_values(connection, MHD_HEADER_KIND, &collectHeader, &request.headers);
    {
        std::lock_guard<std::mutex> lock(server->m_mutex);
        server->m_seen.push_back(request);
    }
    return server->reply(connection, request);
}

int LoopbackHttpServer::reply(MHD_Connection* connection, const SeenRequest& request) {
    std::shared_ptr<const ScriptedReply> found;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_replies.find(request.path);
        if (it != m_replies.end()) found = it->second;
    }
    if (!found) {
        ScriptedReply missing;
        missing.status = 404;
        missing.body = "not here";
        found = std::make_shared<const ScriptedReply>(std::move(missing));
    }
    const ScriptedReply& scripted = *found;
    const uint64_t size =
        scripted.delivery == ScriptedReply::Delivery::Chunked ? MHD_SIZE_UNKNOWN : scripted.body.size();
    auto* body = new ReplyBody{this, found};
    MHD_Response* response =
        MHD_create_response_from_callback(size, 65536, &ReplyBody::read, body, &ReplyBody::release);
    for (const auto& [name, value] : scripted.headers) {
        // A length of the script's own is sent as given, even one the body does not match.
        if (strcasecmp(name.c_str(), "Content-Length") == 0)
            MHD_set_response_options(response, MHD_RF_INSANITY_HEADER_CONTENT_LENGTH, MHD_RO_END);
        MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    const bool queued =
        MHD_queue_response(connection, static_cast<unsigned>(scripted.status), response) == MHD_YES;
    MHD_destroy_response(response);
    return queued ? 1 : 0;
}

RefusingPort::RefusingPort() {
    m_socket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (m_socket < 0 || bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("no refusing port");
    socklen_t length = sizeof address;
    getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort() {
    close(m_socket);
}

}  // namespace testsupport
