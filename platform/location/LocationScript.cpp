#include "platform/location/LocationScript.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The next blank-separated field from `at`, or empty at the end of the line.
std::string nextField(const std::string& line, size_t& at) {
    while (at < line.size() && isBlank(line[at])) ++at;
    const size_t begin = at;
    while (at < line.size() && !isBlank(line[at])) ++at;
    return line.substr(begin, at - begin);
}

bool readDouble(const std::string& field, double& value) {
    if (field.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(field.c_str(), &end);
    return end == field.c_str() + field.size() && errno != ERANGE && std::isfinite(value);
}

bool readTime(const std::string& field, long long& value) {
    if (field.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(field.c_str(), &end, 10);
    return end == field.c_str() + field.size() && errno != ERANGE && value >= 0;
}

// Why the line is refused, or empty when fix holds it.
std::string readFix(const std::string& line, long long previousTime, ScriptedFix& fix) {
    size_t at = 0;
    if (!readTime(nextField(line, at), fix.timeMs)) return "bad time";
    if (fix.timeMs < previousTime) return "time earlier than the line before";
    double* values[] = {&fix.latitude, &fix.longitude, &fix.horizontalAccuracy, &fix.altitude,
                        &fix.verticalAccuracy};
    for (double* value : values) {
        if (!readDouble(nextField(line, at), *value)) return "missing or bad number";
    }
    if (!(fix.latitude >= -90.0 && fix.latitude <= 90.0)) return "latitude out of range";
    if (!(fix.longitude >= -180.0 && fix.longitude < 180.0)) return "longitude out of range";
    while (at < line.size() && isBlank(line[at])) ++at;
    size_t end = line.size();
    while (end > at && isBlank(line[end - 1])) --end;
    fix.hasDescription = end > at;
    fix.description = line.substr(at, end - at);
    return {};
}

}  // namespace

LocationScript parseLocationScript(const std::string& text) {
    LocationScript script;
    std::istringstream lines(text);
    std::string line;
    long long previousTime = 0;
    for (int number = 1; std::getline(lines, line); ++number) {
        size_t first = 0;
        while (first < line.size() && isBlank(line[first])) ++first;
        if (first == line.size() || line[first] == '#') continue;
        ScriptedFix fix;
        const std::string problem = readFix(line, previousTime, fix);
        if (!problem.empty()) {
            script.problems.push_back("line " + std::to_string(number) + ": " + problem);
            continue;
        }
        previousTime = fix.timeMs;
        script.fixes.push_back(std::move(fix));
    }
    return script;
}

}  // namespace platform
