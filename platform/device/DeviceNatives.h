// What the runtime asks the platform about the device: its kind, its screen and the user's locale.
// Each answer is read afresh from the device profile (platform/device/DeviceProfile.h) or the environment.
#pragma once

// True when the system version is at least 3.2 and the screen's current mode is exactly 640 pixels wide.
bool _isRetinaDisplay();
// True when the model name begins with "iPad" (resp. "iPhone").
bool _isIPad();
bool _isIPhone();
// The user's locale identifier, language and region joined by "_" ("en_GB"), from the first set of
// LC_ALL, LC_MESSAGES and LANG without its encoding and modifier; "en_US" for "C", "POSIX", none, or
// a value that is not a plain identifier. The text stays valid until the calling thread's next call.
const char* _getLocale();
