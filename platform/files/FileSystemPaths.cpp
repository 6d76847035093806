#include "platform/files/FileSystemPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <forward_list>
#include <mutex>
#include <system_error>

const char* _appPathIs = nullptr;
const char* _savePathIs = nullptr;

namespace platform {
namespace {

// Every text the globals have pointed at: a reader may still hold an old pointer, so none is freed.
std::mutex pathStorageMutex;  // guards pathStorage
std::forward_list<std::string> pathStorage;

const char* keep(std::string text) {
    std::lock_guard<std::mutex> lock(pathStorageMutex);
    pathStorage.push_front(std::move(text));
    return pathStorage.front().c_str();
}

std::string withoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

const char* nonEmpty(const char* text) {
    return text != nullptr && *text != 0 ? text : nullptr;
}

std::string absoluteDirectory(const std::string& path) {
    std::error_code ignored;
    std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    if (absolute.empty()) absolute = path;
    return withoutTrailingSlashes(absolute.lexically_normal().string());
}

bool defaultBundleDirectory(std::string& directory, std::string& error) {
    std::error_code failure;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", failure);
    if (failure) {
        error = "cannot read /proc/self/exe: " + failure.message();
        return false;
    }
    directory = executable.parent_path().string();
    return true;
}

bool defaultDataDirectory(std::string& directory, std::string& error) {
    // Per the XDG rules a relative $XDG_DATA_HOME is ignored.
    if (const char* dataHome = nonEmpty(std::getenv("XDG_DATA_HOME"));
        dataHome != nullptr && *dataHome == '/') {
        directory = std::string(dataHome) + "/" + kDataDirectoryName;
        return true;
    }
    const char* home = nonEmpty(std::getenv("HOME"));
    if (home == nullptr) {
        if (const passwd* entry = getpwuid(geteuid()); entry != nullptr) home = nonEmpty(entry->pw_dir);
    }
    if (home == nullptr) {
        error = "no XDG_DATA_HOME or home directory for the data directory; set " +
                std::string(kDataDirectoryVariable);
        return false;
    }
    directory = std::string(home) + "/.local/share/" + kDataDirectoryName;
    return true;
}

// mkdir -p with mode 0700 for each directory it makes.
bool makePrivateDirectory(const std::string& path, std::string& error) {
    std::string partial;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        partial = path.substr(0, end);
        start = end + 1;
        if (partial.empty()) continue;
        if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "cannot create " + partial + ": " + std::strerror(errno);
            return false;
        }
    }
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        error = path + " is not a directory";
        return false;
    }
    return true;
}

}  // namespace

bool chooseFileSystemPaths(const char* bundleFlag, const char* dataFlag, FileSystemPathChoice& choice,
                           std::string& error) {
    std::string bundle;
    if (const char* given =
            nonEmpty(bundleFlag) ? bundleFlag : nonEmpty(std::getenv(kBundleDirectoryVariable))) {
        bundle = given;
    } else if (!defaultBundleDirectory(bundle, error)) {
        return false;
    }
    std::string data;
    if (const char* given = nonEmpty(dataFlag) ? dataFlag : nonEmpty(std::getenv(kDataDirectoryVariable))) {
        data = given;
    } else if (!defaultDataDirectory(data, error)) {
        return false;
    }
    choice.bundleDirectory = absoluteDirectory(bundle);
    choice.dataDirectory = absoluteDirectory(data);
    return true;
}

bool setUpFileSystemPaths(const char* bundleFlag, const char* dataFlag, std::string& error) {
    FileSystemPathChoice choice;
    if (!chooseFileSystemPaths(bundleFlag, dataFlag, choice, error)) return false;
    struct stat status {};
    if (stat(choice.bundleDirectory.empty() ? "/" : choice.bundleDirectory.c_str(), &status) != 0) {
        error = "the bundle directory " + choice.bundleDirectory + " does not exist";
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        error = "the bundle directory " + choice.bundleDirectory + " is not a directory";
        return false;
    }
    if (!makePrivateDirectory(choice.dataDirectory.empty() ? "/" : choice.dataDirectory, error)) return false;
    setFileSystemPaths(choice.bundleDirectory.c_str(), choice.dataDirectory.c_str());
    return true;
}

void setFileSystemPaths(const char* bundleDirectory, const char* dataDirectory) {
    _appPathIs = bundleDirectory != nullptr ? keep(withoutTrailingSlashes(bundleDirectory)) : nullptr;
    _savePathIs = dataDirectory != nullptr ? keep(withoutTrailingSlashes(dataDirectory)) : nullptr;
}

}  // namespace platform
