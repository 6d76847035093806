// Puts a table of file operations in use that makes chosen opens of one file fail with a chosen errno:
// the opens whose path ends in "/" + name are numbered from 0, and those from first to last fail. Safe
// while a whole program runs on it (its loading and main threads open files too); the system's table
// comes back at the end of the scope.
#pragma once

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/files/FileOperations.h"

namespace testsupport {

class FileOpenFaults {
public:
    FileOpenFaults(std::string name, int first, int last, int error) {
        Settings& s = settings();
        s.suffix = "/" + std::move(name);
        s.first = first;
        s.last = last;
        s.error = error;
        s.seen.store(0);
        s.failed.store(0);
        platform::setFileOperations(&table());
    }
    ~FileOpenFaults() { platform::setFileOperations(nullptr); }
    FileOpenFaults(const FileOpenFaults&) = delete;
    FileOpenFaults& operator=(const FileOpenFaults&) = delete;

    int failures() const { return settings().failed.load(); }

private:
    // Written before the table is put in use, only read while it is.
    struct Settings {
        std::string suffix;
        int first = 0;
        int last = -1;
        int error = EIO;
        std::atomic<int> seen{0};
        std::atomic<int> failed{0};
    };
    static Settings& settings() {
        static Settings s;
        return s;
    }

    static bool endsWith(const char* path, const std::string& suffix) {
        const size_t length = std::strlen(path);
        return length >= suffix.size() &&
               suffix.compare(0, suffix.size(), path + length - suffix.size()) == 0;
    }

    static const platform::FileOperations& table() {
        static const platform::FileOperations faulty = [] {
            platform::FileOperations t = platform::systemFileOperations();
            t.open = [](const char* path, int flags, mode_t mode) {
                Settings& s = settings();
                if (path != nullptr && endsWith(path, s.suffix)) {
                    const int index = s.seen.fetch_add(1);
                    if (index >= s.first && index <= s.last) {
                        s.failed.fetch_add(1);
                        errno = s.error;
                        return -1;
                    }
                }
                return platform::systemFileOperations().open(path, flags, mode);
            };
            return t;
        }();
        return faulty;
    }
};

}  // namespace testsupport
