// A model of what a power loss leaves of one directory. While one of these is alive every file
// operation goes through it to the real directory, and it notes what has reached the device: a
// file's bytes at its last fsync, the directory's entries at its last fsync (everything present when
// it was made counts as on the device). At a chosen call the machine stops: that call and every later
// one fail with EIO and change nothing. afterPowerLoss then answers the files a restart would find,
// with unsynced data dropped, kept, cut in half or zeroed, and unsynced renames, creations and
// removals kept or undone. For single-threaded tests; only regular files directly in the directory
// are followed. Files are told apart by inode and creation, so a reused inode number is a new file.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/files/FileOperations.h"

namespace testsupport {

class PowerLossDisk {
public:
    enum class Data { Dropped, Kept, Cut, Zeroed };
    enum class Names { Kept, Reverted };
    using Files = std::map<std::string, std::string>;

    explicit PowerLossDisk(const std::filesystem::path& directory) : m_directory(directory) {
        m_durableEntries = entries();
        for (const auto& [name, file] : m_durableEntries) m_durable[file] = contents(m_directory / name);
        active() = this;
        platform::setFileOperations(&table());
    }
    ~PowerLossDisk() {
        platform::setFileOperations(nullptr);
        active() = nullptr;
    }
    PowerLossDisk(const PowerLossDisk&) = delete;
    PowerLossDisk& operator=(const PowerLossDisk&) = delete;

    // The machine stops at call number index (from 0).
    void crashAt(int index) { m_crashAt = index; }
    bool crashed() const { return m_crashed; }
    int calls() const { return m_calls; }

    Files afterPowerLoss(Data data, Names names) const {
        // Without a crash the machine stops now.
        const std::map<std::string, int> current = m_crashed ? m_crashEntries : entries();
        const std::map<int, std::string> now = m_crashed ? m_crashContents : currentContents(current);
        const std::map<std::string, int>& kept = names == Names::Kept ? current : m_durableEntries;
        Files files;
        for (const auto& [name, file] : kept) {
            const auto durable = m_durable.find(file);
            const std::string synced = durable != m_durable.end() ? durable->second : std::string();
            const auto latest = now.find(file);
            const std::string written = latest != now.end() ? latest->second : synced;
            if (written == synced || data == Data::Dropped) {
                files[name] = synced;
            } else if (data == Data::Kept) {
                files[name] = written;
            } else if (data == Data::Cut) {
                files[name] = written.substr(0, written.size() / 2);
            } else {
                files[name] = std::string(written.size(), '\0');
            }
        }
        return files;
    }

    static std::string contents(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    struct Opened {
        int file;
        bool directory;
    };

    static PowerLossDisk*& active() {
        static PowerLossDisk* current = nullptr;
        return current;
    }

    // The file an inode holds now; a new one when the inode was never seen or has just been made.
    int fileOf(ino_t inode, bool made = false) const {
        auto known = m_files.find(inode);
        if (known != m_files.end() && !made) return known->second;
        m_files[inode] = m_nextFile;
        return m_nextFile++;
    }

    // The regular files directly in the directory.
    std::map<std::string, int> entries() const {
        std::map<std::string, int> found;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(m_directory, ignored)) {
            struct stat status {};
            if (lstat(entry.path().c_str(), &status) == 0 && S_ISREG(status.st_mode))
                found[entry.path().filename().string()] = fileOf(status.st_ino);
        }
        return found;
    }

    std::map<int, std::string> currentContents(const std::map<std::string, int>& linked) const {
        std::map<int, std::string> now = m_lastSeen;
        for (const auto& [name, file] : linked) now[file] = contents(m_directory / name);
        return now;
    }

    // Numbers the call; false (errno EIO) once the machine has stopped.
    static bool runs() {
        PowerLossDisk* self = active();
        if (self == nullptr) return true;
        const int index = self->m_calls++;
        if (!self->m_crashed && self->m_crashAt >= 0 && index >= self->m_crashAt) {
            self->m_crashed = true;
            self->m_crashEntries = self->entries();
            self->m_crashContents = self->currentContents(self->m_crashEntries);
        }
        if (self->m_crashed) errno = EIO;
        return !self->m_crashed;
    }

    void noteUnlinking(const char* path) {
        struct stat status {};
        if (lstat(path, &status) == 0 && S_ISREG(status.st_mode))
            m_lastSeen[fileOf(status.st_ino)] = contents(path);
    }

    static int sync(int descriptor, int (*call)(int)) {
        if (!runs()) return -1;
        const int result = call(descriptor);
        PowerLossDisk* self = active();
        const auto opened = self->m_opened.find(descriptor);
        if (result == 0 && opened != self->m_opened.end()) {
            if (opened->second.directory) {
                self->m_durableEntries = self->entries();
            } else {
                self->m_durable[opened->second.file] =
                    contents("/proc/self/fd/" + std::to_string(descriptor));
            }
        }
        return result;
    }

    static const platform::FileOperations& table() {
        static const platform::FileOperations model = {
            [](const char* path, int flags, mode_t mode) {
                if (!runs()) return -1;
                struct stat before {};
                const bool existed = lstat(path, &before) == 0;
                const int descriptor = platform::systemFileOperations().open(path, flags, mode);
                struct stat status {};
                if (descriptor >= 0 && fstat(descriptor, &status) == 0) {
                    PowerLossDisk* self = active();
                    const int file = self->fileOf(status.st_ino, !existed);
                    self->m_opened[descriptor] = Opened{file, S_ISDIR(status.st_mode)};
                }
                return descriptor;
            },
            [](int descriptor, const void* bytes, size_t count) -> ssize_t {
                return runs() ? platform::systemFileOperations().write(descriptor, bytes, count) : -1;
            },
            [](int descriptor) { return sync(descriptor, platform::systemFileOperations().fsync); },
            [](int descriptor) {
                // The descriptor goes either way, as on Linux.
                const bool running = runs();
                active()->m_opened.erase(descriptor);
                const int result = platform::systemFileOperations().close(descriptor);
                return running ? result : -1;
            },
            [](const char* from, const char* to) {
                if (!runs()) return -1;
                active()->noteUnlinking(to);
                return platform::systemFileOperations().rename(from, to);
            },
            [](const char* path) {
                if (!runs()) return -1;
                active()->noteUnlinking(path);
                return platform::systemFileOperations().unlink(path);
            },
            [](const char* path, std::vector<std::string>* names) {
                return runs() ? platform::systemFileOperations().list(path, names) : -1;
            },
            // For a file, fdatasync keeps its bytes and size as fsync does: the model draws no line.
            [](int descriptor) { return sync(descriptor, platform::systemFileOperations().fdatasync); },
        };
        return model;
    }

    std::filesystem::path m_directory;
    int m_calls = 0;
    int m_crashAt = -1;
    bool m_crashed = false;
    std::map<int, Opened> m_opened;
    // Files are numbered as they are first seen or made; the inode each number lives in.
    mutable std::map<ino_t, int> m_files;
    mutable int m_nextFile = 0;
    // What is on the device: each file's bytes at its last fsync, the entries at the last fsync.
    std::map<int, std::string> m_durable;
    std::map<std::string, int> m_durableEntries;
    // The bytes of files no longer linked, taken as they were unlinked or replaced.
    std::map<int, std::string> m_lastSeen;
    std::map<std::string, int> m_crashEntries;
    std::map<int, std::string> m_crashContents;
};

}  // namespace testsupport
