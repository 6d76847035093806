#include "platform/DirectoryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool DirectoryLock::acquire(const char* path) {
    if (path == nullptr) {
        errno = EINVAL;
        return false;
    }
    if (holds(path)) return true;
    release();
    const int descriptor = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return false;
    int result;
    do {
        result = flock(descriptor, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int reason = errno;
        close(descriptor);
        errno = reason;
        return false;
    }
    m_descriptor = descriptor;
    m_path = path;
    return true;
}

void DirectoryLock::release() {
    if (m_descriptor < 0) return;
    // Closing the only descriptor of the open file drops its lock.
    close(m_descriptor);
    m_descriptor = -1;
    m_path.clear();
}

bool DirectoryLock::holds(const char* path) const {
    return m_descriptor >= 0 && path != nullptr && m_path == path;
}

}  // namespace platform
