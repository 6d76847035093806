#include "platform/files/FileOperations.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/files/DirectoryListing.h"

namespace platform {
namespace {

int systemOpen(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

int systemList(const char* path, std::vector<std::string>* names) {
    return readDirectoryTree(path, *names) ? 0 : -1;
}

const FileOperations systemTable = {systemOpen,  ::write,  ::fsync,    ::close,
                                    std::rename, ::unlink, systemList, ::fdatasync};

std::atomic<const FileOperations*> tableInUse{&systemTable};

thread_local int lastFailure = 0;

const FileOperations& inUse() {
    return *tableInUse.load(std::memory_order_acquire);
}

// The call's result, its errno noted when it failed.
template <typename Result>
Result noted(Result result) {
    if (result < 0) noteFileFailure(errno);
    return result;
}

const FileOperations notingTable = {
    [](const char* path, int flags, mode_t mode) { return noted(inUse().open(path, flags, mode)); },
    [](int descriptor, const void* bytes, size_t count) {
        return noted(inUse().write(descriptor, bytes, count));
    },
    [](int descriptor) { return noted(inUse().fsync(descriptor)); },
    [](int descriptor) { return noted(inUse().close(descriptor)); },
    [](const char* from, const char* to) { return noted(inUse().rename(from, to)); },
    [](const char* path) { return noted(inUse().unlink(path)); },
    [](const char* path, std::vector<std::string>* names) { return noted(inUse().list(path, names)); },
    [](int descriptor) { return noted(inUse().fdatasync(descriptor)); },
};

}  // namespace

const FileOperations& fileOperations() {
    return notingTable;
}

int takeLastFileFailure() {
    const int error = lastFailure;
    lastFailure = 0;
    return error;
}

void noteFileFailure(int error) {
    lastFailure = error != 0 ? error : EIO;
}

const FileOperations& systemFileOperations() {
    return systemTable;
}

void setFileOperations(const FileOperations* table) {
    tableInUse.store(table != nullptr ? table : &systemTable, std::memory_order_release);
}

}  // namespace platform
