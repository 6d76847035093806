#include "platform/files/DirectoryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

namespace platform {
namespace {

struct SharedLock {
    int descriptor = -1;
    int holders = 0;
};

// flock treats two descriptors of one process as two owners, so each path is opened and locked once
// and counted. The mutex guards the table.
std::mutex& tableLock() {
    static std::mutex lock;
    return lock;
}

std::map<std::string, SharedLock>& table() {
    static std::map<std::string, SharedLock> locks;
    return locks;
}

}  // namespace

bool DirectoryLock::acquire(const char* path) {
    if (path == nullptr) {
        errno = EINVAL;
        return false;
    }
    if (holds(path)) return true;
    release();
    std::lock_guard<std::mutex> guard(tableLock());
    SharedLock& shared = table()[path];
    if (shared.holders == 0) {
        const int descriptor = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int result = descriptor < 0 ? -1 : 0;
        while (descriptor >= 0 && (result = flock(descriptor, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (result != 0) {
            const int reason = errno;
            if (descriptor >= 0) close(descriptor);
            table().erase(path);
            errno = reason;
            return false;
        }
        shared.descriptor = descriptor;
    }
    ++shared.holders;
    m_held = true;
    m_path = path;
    return true;
}

void DirectoryLock::release() {
    if (!m_held) return;
    std::lock_guard<std::mutex> guard(tableLock());
    const auto found = table().find(m_path);
    if (found != table().end() && --found->second.holders == 0) {
        // Closing the only descriptor of the open file drops its lock.
        close(found->second.descriptor);
        table().erase(found);
    }
    m_held = false;
    m_path.clear();
}

bool DirectoryLock::holds(const char* path) const {
    return m_held && path != nullptr && m_path == path;
}

}  // namespace platform
