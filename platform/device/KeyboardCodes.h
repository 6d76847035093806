// The codes of the keyboard keys of the high-level screens: letters, digits and 35 extended characters
// above the phone's own key codes. The core canvas and the window's key mapping share this one table.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr int kKeyboardCodeLowerA = 1000;
inline constexpr int kKeyboardCodeUpperA = 1026;
inline constexpr int kKeyboardCodeDigit0 = 1052;
inline constexpr int kKeyboardCodeExtendedBegin = 2000;
inline constexpr int kKeyboardExtendedCount = 35;
inline constexpr int kKeyboardCodeExtendedEnd = kKeyboardCodeExtendedBegin + kKeyboardExtendedCount;
// No key: a key without a code, or the absence of a held key.
inline constexpr int kNoKeyCode = -9999;

// The extended characters in code order, one ISO 8859-1 byte each (the pound sign is 0xA3).
inline constexpr char kKeyboardExtendedCharacters[kKeyboardExtendedCount + 1] =
    "#*\n .,;:'\"!?(){}[]/\\~|`_+-=%<>^$\xA3&@";

// The keyboard code of a typed character (a letter, a digit or an extended character); kNoKeyCode for
// any other character.
constexpr int keyboardCodeForCharacter(char32_t c) {
    if (c >= U'a' && c <= U'z') return kKeyboardCodeLowerA + static_cast<int>(c - U'a');
    if (c >= U'A' && c <= U'Z') return kKeyboardCodeUpperA + static_cast<int>(c - U'A');
    if (c >= U'0' && c <= U'9') return kKeyboardCodeDigit0 + static_cast<int>(c - U'0');
    if (c == 0 || c > 0xFF) return kNoKeyCode;
    for (int i = 0; i < kKeyboardExtendedCount; ++i)
        if (static_cast<unsigned char>(kKeyboardExtendedCharacters[i]) == c)
            return kKeyboardCodeExtendedBegin + i;
    return kNoKeyCode;
}

}  // namespace platform
