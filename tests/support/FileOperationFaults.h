// Puts a table of file operations in use that numbers every call (from 0) and makes chosen calls fail
// with a chosen errno before they reach the system: one call, every call from one on, or every call of
// one kind. For single-threaded tests; the system's table comes back at the end of the scope.
#pragma once

#include <cerrno>
#include <string>
#include <vector>

#include "platform/files/FileOperations.h"

namespace testsupport {

class FileOperationFaults {
public:
    enum class Kind { Open, Write, Fsync, Close, Rename, Unlink, List };

    FileOperationFaults() {
        active() = this;
        platform::setFileOperations(&table());
    }
    ~FileOperationFaults() {
        platform::setFileOperations(nullptr);
        active() = nullptr;
    }
    FileOperationFaults(const FileOperationFaults&) = delete;
    FileOperationFaults& operator=(const FileOperationFaults&) = delete;

    // Call number index fails; with persistent, every later call too.
    void failAt(int index, int error, bool persistent = false) {
        m_failIndex = index;
        m_error = error;
        m_persistent = persistent;
    }
    // Every call of that kind fails.
    void failEvery(Kind kind, int error) {
        m_failKind = static_cast<int>(kind);
        m_error = error;
    }
    void clear() {
        m_failIndex = -1;
        m_failKind = -1;
    }
    int calls() const { return m_calls; }
    int failures() const { return m_failures; }
    // The kinds of the calls so far, in order.
    const std::vector<Kind>& kinds() const { return m_kinds; }

private:
    static FileOperationFaults*& active() {
        static FileOperationFaults* current = nullptr;
        return current;
    }

    // Numbers the call; true (errno set) when it is to fail.
    static bool refuse(Kind kind) {
        FileOperationFaults* self = active();
        if (self == nullptr) return false;
        const int index = self->m_calls++;
        self->m_kinds.push_back(kind);
        const bool byIndex = self->m_failIndex >= 0 && (index == self->m_failIndex ||
                                                        (self->m_persistent && index > self->m_failIndex));
        const bool byKind = self->m_failKind == static_cast<int>(kind);
        if (!byIndex && !byKind) return false;
        ++self->m_failures;
        errno = self->m_error;
        return true;
    }

    static const platform::FileOperations& table() {
        static const platform::FileOperations faulty = {
            [](const char* path, int flags, mode_t mode) {
                return refuse(Kind::Open) ? -1 : platform::systemFileOperations().open(path, flags, mode);
            },
            [](int descriptor, const void* bytes, size_t count) -> ssize_t {
                return refuse(Kind::Write) ? -1
                                           : platform::systemFileOperations().write(descriptor, bytes, count);
            },
            [](int descriptor) {
                return refuse(Kind::Fsync) ? -1 : platform::systemFileOperations().fsync(descriptor);
            },
            [](int descriptor) {
                // A failed close still lets go of the descriptor, as on Linux.
                const bool refused = refuse(Kind::Close);
                const int result = platform::systemFileOperations().close(descriptor);
                return refused ? -1 : result;
            },
            [](const char* from, const char* to) {
                return refuse(Kind::Rename) ? -1 : platform::systemFileOperations().rename(from, to);
            },
            [](const char* path) {
                return refuse(Kind::Unlink) ? -1 : platform::systemFileOperations().unlink(path);
            },
            [](const char* path, std::vector<std::string>* names) {
                return refuse(Kind::List) ? -1 : platform::systemFileOperations().list(path, names);
            },
            // A sync of either kind counts as one.
            [](int descriptor) {
                return refuse(Kind::Fsync) ? -1 : platform::systemFileOperations().fdatasync(descriptor);
            },
        };
        return faulty;
    }

    int m_calls = 0;
    int m_failures = 0;
    int m_failIndex = -1;
    int m_failKind = -1;
    bool m_persistent = false;
    int m_error = EIO;
    std::vector<Kind> m_kinds;
};

}  // namespace testsupport
