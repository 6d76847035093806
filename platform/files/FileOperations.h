// The system calls through which the file layer opens, writes, syncs, renames, removes and lists files,
// gathered in one table so that a test can fail any of them, or stop the "machine" at any of them, and
// see what a program left on the disk. The defaults are the calls themselves.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace platform {

// Each member answers as the call it is named after: -1 with errno set on failure.
struct FileOperations {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int descriptor, const void* bytes, size_t count);
    int (*fsync)(int descriptor);
    int (*close)(int descriptor);
    int (*rename)(const char* from, const char* to);
    int (*unlink)(const char* path);
    // Every entry below the directory at path as a relative path, in the order of DirectoryListing.h;
    // -1 when the directory itself cannot be read.
    int (*list)(const char* path, std::vector<std::string>* names);
    // A file's bytes and size on the device, without the times fsync also writes: enough where a
    // directory sync makes the name durable.
    int (*fdatasync)(int descriptor);
};

// The table in use, each failing call noted (below) on its way back.
const FileOperations& fileOperations();
// The system's own calls.
const FileOperations& systemFileOperations();
// Puts a table in use (null puts the system's back). The table must outlive its use; it is meant
// for tests, which swap it while no other thread works on files.
void setFileOperations(const FileOperations* table);

// The errno of the last call that failed on this thread since the last take, and 0 when none did;
// taking it starts afresh. It lets a caller several layers up say why what it asked for failed ("Read-only
// file system"), where the layers between report only that it did. The last, not the first: looking
// for a free name fails on every name that is free, and what fails for good is what came after.
int takeLastFileFailure();
// Notes a failure that is not a file call's (ENOMEM for a registry that could not grow).
void noteFileFailure(int error);

}  // namespace platform
