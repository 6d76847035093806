#include "platform/RegularFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace platform {
namespace {

// Takes the descriptor (closing it on failure): refuses anything but a regular file, then turns
// blocking back on for the stream.
FILE* streamOverRegularFile(int descriptor, const char* mode, bool truncate) {
    if (descriptor < 0) return nullptr;
    struct stat status {};
    const bool regular = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    if (!regular || (truncate && ftruncate(descriptor, 0) != 0)) {
        const int saved = regular ? errno : EINVAL;
        close(descriptor);
        errno = saved;
        return nullptr;
    }
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags >= 0) fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
    FILE* stream = fdopen(descriptor, mode);
    if (stream == nullptr) close(descriptor);
    return stream;
}

}  // namespace

FILE* openRegularFileForReading(const char* path) {
    if (path == nullptr) return nullptr;
    return streamOverRegularFile(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC), "rb", false);
}

FILE* openRegularFileForWriting(const char* path, WriteMode mode) {
    if (path == nullptr) return nullptr;
    // No O_TRUNC here: the file is emptied only once it is known to be regular.
    int flags = O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC;
    if (mode == WriteMode::Append) flags |= O_APPEND;
    return streamOverRegularFile(open(path, flags, 0666), mode == WriteMode::Append ? "ab" : "wb",
                                 mode == WriteMode::Truncate);
}

bool syncFile(FILE* file) {
    if (file == nullptr) return false;
    if (std::fflush(file) != 0) return false;
    return fsync(fileno(file)) == 0;
}

bool syncParentDirectory(const char* path) {
    if (path == nullptr) return false;
    std::string directory(path);
    const size_t slash = directory.find_last_of('/');
    directory = slash == std::string::npos ? "." : slash == 0 ? "/" : directory.substr(0, slash);
    const int descriptor = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool synced = fsync(descriptor) == 0;
    close(descriptor);
    return synced;
}

}  // namespace platform
