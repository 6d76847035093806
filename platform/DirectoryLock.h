// An exclusive advisory lock on a directory, so that two processes never work on the same saved files
// at once. Held until released or until the process ends, when the kernel drops it.
#pragma once

#include <string>

namespace platform {

class DirectoryLock {
public:
    DirectoryLock() = default;
    ~DirectoryLock() { release(); }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    // Locks the directory at path without waiting, first letting go of a lock on another one. True
    // when the lock is held (also when it already was); false with errno set, EWOULDBLOCK when
    // another process holds it.
    bool acquire(const char* path);
    void release();
    bool holds(const char* path) const;

private:
    int m_descriptor = -1;
    std::string m_path;
};

}  // namespace platform
