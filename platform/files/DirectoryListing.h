// The listing of a directory tree, as the file layer reads the names of its saved files: every file
// and directory below the path (subdirectories included, symbolic links not followed), as paths
// relative to it, sorted by name so that results do not depend on the file system's order.
#pragma once

#include <string>
#include <vector>

// Starts a listing of the tree below path, replacing any listing under way. One listing at a time.
void _directoryFileListStart(const char* path);
// The next entry, or null at the end (and before any start). A returned name stays valid until the
// listing ends or another starts. Entries whose names are not ASCII are skipped.
const char* _directoryFileListNext();
// Whether the listing last started found no readable directory at its path, so that an empty listing
// can be told from an empty directory.
bool _directoryFileListFailed();

namespace platform {

// The entries of the tree below path in the listing's order, read through the file operations
// (platform/files/FileOperations.h); empty when path is not a readable directory.
std::vector<std::string> listDirectoryTree(const std::string& path);
// The same; false when path is not a readable directory.
bool listDirectoryTree(const std::string& path, std::vector<std::string>& names);
// The walk itself, straight on the system: what the file operations' default list does.
bool readDirectoryTree(const char* path, std::vector<std::string>& names);

}  // namespace platform
