// What the window sends for the desktop's keys: one pure mapping from a key (SDL's key code and
// modifier bits, passed as plain numbers so that no other file needs SDL) or from typed text to the
// phone's key codes, for the two kinds of screen that take keys.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

enum class KeyTarget {
    // An application canvas, which takes keys only in the window's phone-keys mode: the phone's keypad.
    Canvas,
    // A high-level screen: navigation, soft keys and the keypad as keys, everything printable as text.
    HighLevelScreen,
};

// The code a key sends while held (pressed with its key-down, released with its key-up); 0 when the
// key sends nothing as a key (a printable key reaches a high-level screen through its text).
int desktopKeyCode(int32_t sdlKeycode, uint16_t sdlModifiers, KeyTarget target);

// Keypad keys also type their character; the window drops that text so that the key is not sent twice.
bool desktopKeyAlsoTypesText(int32_t sdlKeycode);

// The keyboard codes of typed UTF-8 text for a high-level screen, one per character in order; each is
// sent as a press and a release. Characters without a code, and malformed bytes, send nothing.
std::vector<int> desktopTextCodes(std::string_view utf8);

}  // namespace platform
