#include "library/File.h"

#include <cstdio>

#include "library/FileNames.h"
#include "platform/FileSystemPaths.h"
#include "platform/RegularFiles.h"
#include "runtime/String.h"

namespace java::io {

using ::java::lang::String;

File::File(const JavaPtr<String>& name) {
    if (!name) return;
    const bool inBundle = tesl::beginsWithSlash(name);
    const char* directory = inBundle ? _appPathIs : _savePathIs;
    JavaPtr<String> mapped = tesl::pathUnder(directory, name);
    // Exact and case-sensitive: ".PNG" stays.
    static const char16_t pngEnding[] = u".png";
    const int n = mapped->length();
    const unsigned short* units = mapped->unitData();
    bool isPng = n >= 4;
    for (int i = 0; isPng && i < 4; ++i) isPng = units[n - 4 + i] == pngEnding[i];
    if (isPng) {
        JavaPtr<String> stem = jnew<String>(units, n - 4);
        mapped = stem + "_png";
    }
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
