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

namespace platform {

// The entries of the tree below path in the listing's order; empty when path is not a readable
// directory.
std::vector<std::string> listDirectoryTree(const std::string& path);

}  // namespace platform
