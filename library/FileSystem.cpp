#include "library/FileSystem.h"

#include <cstdio>

#include "library/FileNames.h"
#include "platform/DirectoryListing.h"
#include "platform/FileSystemPaths.h"
#include "platform/RegularFiles.h"
#include "runtime/String.h"

namespace java::io {

using ::java::lang::String;

std::mutex FileSystem::s_instanceMutex;
std::atomic<FileSystem*> FileSystem::fileSystem{nullptr};
std::atomic<bool> FileSystem::valid{false};
std::mutex FileSystem::s_listingMutex;

namespace {

// The path of an accepted name in the data directory, or null.
JavaPtr<String> dataPath(const JavaPtr<String>& name) {
    if (_savePathIs == nullptr || !tesl::isAcceptableFileName(name)) return nullptr;
    return tesl::pathBelow(_savePathIs, name);
}

}  // namespace

FileSystem::FileSystem() {
    valid.store(true, std::memory_order_release);
}

FileSystem* FileSystem::getFileSystem() {
    if (FileSystem* existing = fileSystem.load(std::memory_order_acquire)) return existing;
    std::lock_guard<std::mutex> lock(s_instanceMutex);
    if (FileSystem* existing = fileSystem.load(std::memory_order_acquire)) return existing;
    auto* made = new FileSystem();
    fileSystem.store(made, std::memory_order_release);
    return made;
}

void FileSystem::destroyFileSystem() {
    std::lock_guard<std::mutex> lock(s_instanceMutex);
    delete fileSystem.exchange(nullptr, std::memory_order_acq_rel);
}

bool FileSystem::isValid() {
    return valid.load(std::memory_order_acquire);
}

JavaPtr<JArray<JavaPtr<String>>> FileSystem::listFilenames() {
    JavaPtr<JArray<JavaPtr<String>>> names = jnew<JArray<JavaPtr<String>>>(0);
    if (_savePathIs == nullptr) return names;
    std::lock_guard<std::mutex> lock(s_listingMutex);
    _directoryFileListStart(_savePathIs);
    // The names come as bytes; the escape decoding of the C-string constructor would alter them.
    while (const char* name = _directoryFileListNext()) names->append(tesl::bytesToString(name));
    return names;
}

bool FileSystem::deleteFile(const JavaPtr<String>& name) {
    JavaPtr<String> path = dataPath(name);
    if (!path) return false;
    const char* bytes = path->val();
    if (std::remove(bytes) != 0) return false;
    platform::syncParentDirectory(bytes);
    return true;
}

bool FileSystem::fileExists(const JavaPtr<String>& name) {
    JavaPtr<String> path = dataPath(name);
    if (!path) return false;
    FILE* file = platform::openRegularFileForReading(path->val());
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

bool FileSystem::renameFile(const JavaPtr<String>& from, const JavaPtr<String>& to) {
    JavaPtr<String> source = dataPath(from);
    JavaPtr<String> target = dataPath(to);
    if (!source || !target) return false;
    // Each string keeps its own 8-bit copy, so both stay valid together.
    if (std::rename(source->val(), target->val()) != 0) return false;
    // The rename has happened: a failed directory sync cannot undo it, so it is not reported as one.
    platform::syncParentDirectory(target->val());
    return true;
}

}  // namespace java::io
