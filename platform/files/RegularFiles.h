// Opening regular files only, writing them whole and making writes durable, all through the file
// operations (platform/files/FileOperations.h). A directory, FIFO, socket or device under a file name is
// refused without blocking: on Linux a directory opens for reading and then fails every read, and a
// FIFO would block the open itself.
#pragma once

#include <cstddef>
#include <cstdio>

namespace platform {

// The file open for reading ("rb" stream), or null when it is missing, unreadable or not regular.
FILE* openRegularFileForReading(const char* path);

// Truncate empties the file, Append keeps its bytes and writes after them (both create a missing
// file); CreateNew makes a new file and fails with EEXIST when the name is taken, touching nothing.
enum class WriteMode { Truncate, Append, CreateNew };

// A descriptor open for writing, the file created with mode 0666 less the umask when missing; -1 with
// errno when it cannot be opened or is not regular (an existing non-regular file is left as it was).
int openRegularFileForWriting(const char* path, WriteMode mode);

// Writes all count bytes, going on after short writes; false (errno set) when the device refuses any.
bool writeFully(int descriptor, const void* bytes, size_t count);

// Has the kernel put the file's data and size on its device (not its times); false on failure.
bool syncDescriptor(int descriptor);

// Closes the descriptor; false when the close reports an error (the descriptor is gone either way).
bool closeDescriptor(int descriptor);

// Whether path names a regular file (following symbolic links), readable or not.
bool isRegularFile(const char* path);

// Puts the directory holding path on its device, so that a rename or removal in it survives a crash.
bool syncParentDirectory(const char* path);

}  // namespace platform
