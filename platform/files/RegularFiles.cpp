#include "platform/files/RegularFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files/FileOperations.h"

namespace platform {
namespace {

// Takes the descriptor (closing it on failure): refuses anything but a regular file, empties it when
// asked, then turns blocking back on. Answers the descriptor or -1.
int keepRegularFile(int descriptor, bool truncate) {
    if (descriptor < 0) return -1;
    struct stat status {};
    const bool regular = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    if (!regular || (truncate && ftruncate(descriptor, 0) != 0)) {
        const int saved = regular ? errno : EINVAL;
        fileOperations().close(descriptor);
        errno = saved;
        return -1;
    }
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags >= 0) fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
    return descriptor;
}

}  // namespace

FILE* openRegularFileForReading(const char* path) {
    if (path == nullptr) return nullptr;
    const int descriptor =
        keepRegularFile(fileOperations().open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0), false);
    if (descriptor < 0) return nullptr;
    FILE* stream = fdopen(descriptor, "rb");
    if (stream == nullptr) fileOperations().close(descriptor);
    return stream;
}

int openRegularFileForWriting(const char* path, WriteMode mode) {
    if (path == nullptr) {
        errno = EINVAL;
        return -1;
    }
    // No O_TRUNC here: the file is emptied only once it is known to be regular.
    int flags = O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC;
    if (mode == WriteMode::Append) flags |= O_APPEND;
    if (mode == WriteMode::CreateNew) flags |= O_EXCL;
    return keepRegularFile(fileOperations().open(path, flags, 0666), mode == WriteMode::Truncate);
}

bool writeFully(int descriptor, const void* bytes, size_t count) {
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t written = fileOperations().write(descriptor, next, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        next += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

bool syncDescriptor(int descriptor) {
    return descriptor >= 0 && fileOperations().fdatasync(descriptor) == 0;
}

bool closeDescriptor(int descriptor) {
    return descriptor >= 0 && fileOperations().close(descriptor) == 0;
}

bool isRegularFile(const char* path) {
    struct stat status {};
    return path != nullptr && stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

bool syncParentDirectory(const char* path) {
    if (path == nullptr) return false;
    std::string directory(path);
    const size_t slash = directory.find_last_of('/');
    directory = slash == std::string::npos ? "." : slash == 0 ? "/" : directory.substr(0, slash);
    const FileOperations& calls = fileOperations();
    const int descriptor = calls.open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (descriptor < 0) return false;
    const bool synced = calls.fsync(descriptor) == 0;
    const bool closed = calls.close(descriptor) == 0;
    return synced && closed;
}

}  // namespace platform
