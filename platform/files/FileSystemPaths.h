// The two base directories of the file layer and where they come from: the bundle (read-only
// resources) and the data directory (everything the program saves). Both are C strings without a
// trailing "/", set once before the runtime starts.
//
// Each directory is taken from the first of: a command-line flag (passed in by the shell), an
// environment variable (QUIZ_BUNDLE_DIR, QUIZ_DATA_DIR), and a default: the folder that holds the
// executable for the bundle, $XDG_DATA_HOME/quill (or ~/.local/share/quill) for the data.
#pragma once

#include <string>

// The bundle directory; names beginning with "/" are read from here. Null until set.
extern const char* _appPathIs;
// The data directory; every other name, and everything written, lives here. Null until set.
extern const char* _savePathIs;

namespace platform {

inline constexpr const char* kBundleDirectoryVariable = "QUIZ_BUNDLE_DIR";
inline constexpr const char* kDataDirectoryVariable = "QUIZ_DATA_DIR";
inline constexpr const char* kDataDirectoryName = "quill";

struct FileSystemPathChoice {
    std::string bundleDirectory;
    std::string dataDirectory;
};

// Picks both directories (flag, then environment, then default; a null or empty flag counts as
// absent) without touching the file system beyond reading /proc/self/exe. The results are absolute
// and have no trailing "/". False, with the reason, when no default can be formed.
bool chooseFileSystemPaths(const char* bundleFlag, const char* dataFlag, FileSystemPathChoice& choice,
                           std::string& error);

// Chooses the directories, checks that the bundle is a directory, creates the data directory (and
// missing parents) with mode 0700, and sets the two globals. False, with the reason, on any failure;
// the globals are then unchanged.
bool setUpFileSystemPaths(const char* bundleFlag, const char* dataFlag, std::string& error);

// Sets the globals as given, without checks (a trailing "/" is dropped). For tests and tools; a null
// argument leaves that global null.
void setFileSystemPaths(const char* bundleDirectory, const char* dataDirectory);

}  // namespace platform
