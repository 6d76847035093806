#include "library/File.h"

#include <cstdio>

#include "library/FileNames.h"
#include "platform/files/FileSystemPaths.h"
#include "platform/files/RegularFiles.h"
#include "runtime/String.h"

namespace java::io {

using ::java::lang::String;

File::File(const JavaPtr<String>& name) {
    if (!name) return;
    const bool inBundle = tesl::beginsWithSlash(name);
    const char* directory = inBundle ? _appPathIs : _savePathIs;
    JavaPtr<String> mapped = tesl::pathUnder(directory, name);
    // Exact and case-sensitive: ".PNG" stays.
    if (mapped->endsWith(jnew<String>(".png"))) mapped = mapped->substring(0, mapped->length() - 4) + "_png";
    path = mapped;
    m_usable = directory != nullptr && tesl::isAcceptableFileName(name);
}

long long File::length() {
    if (!m_usable) return 0;
    FILE* file = platform::openRegularFileForReading(path->val());
    if (file == nullptr) return 0;
    long long size = 0;
    if (std::fseek(file, 0, SEEK_END) == 0) size = ftello(file);
    std::fclose(file);
    return size < 0 ? 0 : size;
}

}  // namespace java::io
