#include "platform/files/DirectoryListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/files/FileOperations.h"

namespace platform {
namespace {

bool isAscii(const char* name) {
    for (const char* c = name; *c != 0; ++c) {
        if (static_cast<unsigned char>(*c) >= 0x80) return false;
    }
    return true;
}

// Walks the tree below the open directory descriptor (which it takes over). A name that is not
// ASCII is left out together with everything below it, since no path through it has an ASCII form.
void collect(int directory, const std::string& prefix, int depth, std::vector<std::string>& names) {
    DIR* stream = fdopendir(directory);
    if (stream == nullptr) {
        close(directory);
        return;
    }
    while (const dirent* entry = readdir(stream)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 || !isAscii(name)) continue;
        std::string relative = prefix + name;
        bool isDirectory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat status {};
            isDirectory =
                fstatat(dirfd(stream), name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
        }
        // Deep trees are cut off rather than exhausting descriptors.
        if (isDirectory && depth < 64) {
            const int child = openat(dirfd(stream), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            names.push_back(relative);
            if (child >= 0) collect(child, relative + "/", depth + 1, names);
            continue;
        }
        names.push_back(std::move(relative));
    }
    closedir(stream);
}

struct Listing {
    std::mutex mutex;  // guards the fields below
    bool active = false;
    bool failed = false;
    std::vector<std::string> names;
    size_t next = 0;
};

Listing& listing() {
    static Listing instance;
    return instance;
}

}  // namespace

bool readDirectoryTree(const char* path, std::vector<std::string>& names) {
    names.clear();
    const int directory = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) return false;
    collect(directory, "", 0, names);
    std::sort(names.begin(), names.end());
    return true;
}

bool listDirectoryTree(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    if (fileOperations().list(path.c_str(), &names) == 0) return true;
    names.clear();
    return false;
}

std::vector<std::string> listDirectoryTree(const std::string& path) {
    std::vector<std::string> names;
    listDirectoryTree(path, names);
    return names;
}

}  // namespace platform

void _directoryFileListStart(const char* path) {
    std::vector<std::string> names;
    const bool listed = path != nullptr && platform::listDirectoryTree(*path != 0 ? path : "/", names);
    platform::Listing& state = platform::listing();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.failed = !listed;
    state.names = std::move(names);
    state.next = 0;
    state.active = true;
}

const char* _directoryFileListNext() {
    platform::Listing& state = platform::listing();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.active) return nullptr;
    if (state.next < state.names.size()) return state.names[state.next++].c_str();
    state.active = false;
    state.names.clear();
    state.names.shrink_to_fit();
    state.next = 0;
    return nullptr;
}

bool _directoryFileListFailed() {
    platform::Listing& state = platform::listing();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.failed;
}
