// Opening regular files only, and making writes durable. A directory, FIFO, socket or device under a
// file name is refused without blocking: on Linux a directory opens for reading and then fails every
// read, and a FIFO would block the open itself.
#pragma once

#include <cstdio>

namespace platform {

// The file open for reading ("rb" stream), or null when it is missing, unreadable or not regular.
FILE* openRegularFileForReading(const char* path);

enum class WriteMode { Truncate, Append };

// The file open for writing, created with mode 0666 less the umask when missing; Truncate empties it,
// Append keeps its bytes and writes after them. Null when it cannot be opened or is not regular (an
// existing non-regular file is left as it was).
FILE* openRegularFileForWriting(const char* path, WriteMode mode);

// Writes stdio's buffer and has the kernel put the file's data on its device; false on any failure.
bool syncFile(FILE* file);

// Puts the directory holding path on its device, so that a rename or removal in it survives a crash.
bool syncParentDirectory(const char* path);

}  // namespace platform
