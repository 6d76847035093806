#include "library/FileNames.h"

#include <cstring>
#include <string>

namespace tesl {

using ::java::lang::String;

bool isAcceptableFileName(const JavaPtr<String>& name) {
    if (!name || name->length() == 0) return false;
    const unsigned short* units = name->unitData();
    const int count = name->length();
    int componentStart = 0;
    for (int i = 0; i <= count; ++i) {
        if (i < count && (units[i] == 0 || units[i] > 0xFF)) return false;
        if (i == count || units[i] == '/') {
            if (i - componentStart == 2 && units[componentStart] == '.' && units[componentStart + 1] == '.')
                return false;
            componentStart = i + 1;
        }
    }
    return true;
}

JavaPtr<String> bytesToString(const char* bytes) {
    std::u16string units;
    if (bytes != nullptr) {
        const size_t n = std::strlen(bytes);
        units.resize(n);
        for (size_t i = 0; i < n; ++i) units[i] = static_cast<unsigned char>(bytes[i]);
    }
    return jnew<String>(reinterpret_cast<const unsigned short*>(units.data()),
                        static_cast<int>(units.size()));
}

bool beginsWithSlash(const JavaPtr<String>& name) {
    return name && name->length() > 0 && name->charAt(0) == '/';
}

JavaPtr<String> pathUnder(const char* directory, const JavaPtr<String>& name) {
    if (beginsWithSlash(name)) return bytesToString(directory) + name;
    return pathBelow(directory, name);
}

JavaPtr<String> pathBelow(const char* directory, const JavaPtr<String>& name) {
    return (bytesToString(directory) + "/") + name;
}

}  // namespace tesl
