#include "platform/files/FileOperations.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
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

const FileOperations systemTable = {systemOpen, ::write, ::fsync, ::close, std::rename, ::unlink, systemList};

std::atomic<const FileOperations*> tableInUse{&systemTable};

}  // namespace

const FileOperations& fileOperations() {
    return *tableInUse.load(std::memory_order_acquire);
}

const FileOperations& systemFileOperations() {
    return systemTable;
}

void setFileOperations(const FileOperations* table) {
    tableInUse.store(table != nullptr ? table : &systemTable, std::memory_order_release);
}

}  // namespace platform
