// The desktop's stand-in for a location service reads its fixes from a script: one fix a line,
// "t_ms lat lon hacc alt vacc [description]", where t_ms counts from the first start of the service;
// blank lines and lines starting with '#' are skipped.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct ScriptedFix {
    long long timeMs = 0;
    double latitude = 0.0;
    double longitude = 0.0;
    double horizontalAccuracy = 0.0;
    double altitude = 0.0;
    double verticalAccuracy = 0.0;
    bool hasDescription = false;
    std::string description;
};

struct LocationScript {
    std::vector<ScriptedFix> fixes;
    // One message per refused line, naming its number; those lines are left out of fixes.
    std::vector<std::string> problems;
};

// A line is refused when a field is missing or not a number, the time is negative or earlier than the
// line before, the latitude is outside -90..90, the longitude outside -180..180 (180 excluded), or a
// value is not finite.
LocationScript parseLocationScript(const std::string& text);

}  // namespace platform
