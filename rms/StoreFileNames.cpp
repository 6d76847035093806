#include "rms/StoreFileNames.h"

#include <cerrno>
#include <climits>

#include "library/FileOutputStream.h"
#include "library/FileSystem.h"
#include "runtime/String.h"

namespace javax::microedition::rms {

using ::java::io::FileOutputStream;
using ::java::io::FileSystem;
using ::java::lang::String;

bool isNumberedName(const JavaPtr<String>& name, const char* prefix) {
    int length = 0;
    while (prefix[length] != 0) ++length;
    if (name->length() < length) return false;
    for (int i = 0; i < length; ++i) {
        if (name->charAt(i) != static_cast<unsigned char>(prefix[i])) return false;
    }
    for (int i = length; i < name->length(); ++i) {
        if (name->charAt(i) < '0' || name->charAt(i) > '9') return false;
    }
    return true;
}

JavaPtr<FileOutputStream> claimNumberedFile(const char* prefix, int first, JavaPtr<String>& claimed) {
    FileSystem* files = FileSystem::getFileSystem();
    for (int number = first; number < INT_MAX; ++number) {
        JavaPtr<String> candidate = *jnew<String>(prefix) + number;
        if (files->fileExists(candidate)) continue;
        JavaPtr<FileOutputStream> file = jnew<FileOutputStream>(candidate);
        const int refused = file->createExclusively();
        if (refused == EEXIST) continue;
        if (refused != 0) return nullptr;
        claimed = candidate;
        return file;
    }
    return nullptr;
}

}  // namespace javax::microedition::rms
