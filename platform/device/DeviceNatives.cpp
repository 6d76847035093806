#include "platform/device/DeviceNatives.h"

#include <charconv>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/device/DeviceProfile.h"

namespace {

// Read without the C library's locale, whose decimal point may not be ".".
double versionNumber(const std::string& text) {
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0;
}

const char* firstSetVariable(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != 0) return value;
    }
    return nullptr;
}

bool isPlainIdentifier(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != '_') return false;
    }
    return true;
}

}  // namespace

bool _isRetinaDisplay() {
    const platform::DeviceProfile profile = platform::deviceProfile();
    if (versionNumber(profile.systemVersion) < 3.2) return false;
    return profile.screenModeWidth == 640;
}

bool _isIPad() {
    return platform::deviceProfile().modelName.starts_with("iPad");
}

bool _isIPhone() {
    return platform::deviceProfile().modelName.starts_with("iPhone");
}

const char* _getLocale() {
    thread_local std::string identifier;
    std::string_view value;
    if (const char* set = firstSetVariable({"LC_ALL", "LC_MESSAGES", "LANG"})) value = set;
    value = value.substr(0, value.find_first_of(".@"));
    if (value == "C" || value == "POSIX" || !isPlainIdentifier(value)) value = "en_US";
    identifier.assign(value);
    return identifier.c_str();
}
