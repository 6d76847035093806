// An exclusive advisory lock on a directory, so that two processes never work on the same saved files
// at once. Held until released or until the process ends, when the kernel drops it. Within one process
// every holder of the same path shares one lock: the program takes it at start-up to refuse a second
// copy, and the record stores take it again without locking themselves out.
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
    // when the lock is held (also when it already was, by this holder or another in this process);
    // false with errno set, EWOULDBLOCK when another process holds it.
    bool acquire(const char* path);
    void release();
    bool holds(const char* path) const;

private:
    bool m_held = false;
    std::string m_path;
};

}  // namespace platform
