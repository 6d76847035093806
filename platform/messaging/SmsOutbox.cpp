#include "platform/messaging/SmsOutbox.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files/FileOperations.h"

namespace platform {

namespace {

bool writeAll(int descriptor, const std::string& bytes) {
    const FileOperations& files = fileOperations();
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = files.write(descriptor, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

bool syncDirectory(const std::string& directory) {
    const FileOperations& files = fileOperations();
    const int descriptor = files.open(directory.c_str(), O_RDONLY | O_DIRECTORY, 0);
    if (descriptor < 0) return false;
    const bool synced = files.fsync(descriptor) == 0;
    files.close(descriptor);
    return synced;
}

}  // namespace

SmsOutbox& SmsOutbox::instance() {
    static SmsOutbox outbox;
    return outbox;
}

void SmsOutbox::setDirectory(const std::string& directory) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_directory = directory;
    m_nextNumber = 1;
}

std::string SmsOutbox::directory() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_directory;
}

void SmsOutbox::composeText(const char* recipient, const char* body) {
    const std::string bytes =
        std::string("to: ") + (recipient ? recipient : "") + "\n\n" + (body ? body : "");
    reportMessageVerdict(store(".txt", bytes) ? kMessageSent : kMessageNotSent);
}

void SmsOutbox::composeBinary(const char* recipient, int port, const unsigned char* payload, int length) {
    std::string bytes =
        std::string("to: ") + (recipient ? recipient : "") + "\nport: " + std::to_string(port) + "\n\n";
    if (payload != nullptr && length > 0)
        bytes.append(reinterpret_cast<const char*>(payload), static_cast<size_t>(length));
    reportMessageVerdict(store(".bin", bytes) ? kMessageSent : kMessageNotSent);
}

bool SmsOutbox::store(const std::string& suffix, const std::string& bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_directory.empty()) return false;
    const FileOperations& files = fileOperations();
    // Written and synced under a private name first, then linked to a free final name: a message file is
    // whole or absent, and link never replaces an existing one.
    const std::string temporary = m_directory + "/.sms-" + std::to_string(getpid()) + ".tmp";
    files.unlink(temporary.c_str());
    const int descriptor = files.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        std::fprintf(stderr, "sms outbox %s: %s\n", m_directory.c_str(), std::strerror(errno));
        return false;
    }
    bool stored = writeAll(descriptor, bytes) && files.fsync(descriptor) == 0;
    stored = files.close(descriptor) == 0 && stored;
    if (stored) {
        stored = false;
        for (;; ++m_nextNumber) {
            char name[32];
            std::snprintf(name, sizeof name, "/sms-%06lu", m_nextNumber);
            const std::string final = m_directory + name + suffix;
            if (::link(temporary.c_str(), final.c_str()) == 0) {
                ++m_nextNumber;
                stored = true;
                break;
            }
            if (errno != EEXIST) break;
        }
    }
    const int failure = errno;
    files.unlink(temporary.c_str());
    if (stored) stored = syncDirectory(m_directory);
    if (!stored)
        std::fprintf(stderr, "sms outbox %s: message not stored: %s\n", m_directory.c_str(),
                     std::strerror(failure));
    return stored;
}

void setSmsOutboxDirectory(const std::string& directory) {
    SmsOutbox::instance().setDirectory(directory);
}

}  // namespace platform
