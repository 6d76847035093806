#include "platform/device/DesktopKeys.h"

#include <SDL.h>

#include "platform/device/KeyboardCodes.h"

namespace platform {

namespace {

// The phone's keypad as Shell III's window always sent it to an application canvas.
int canvasKeyCode(SDL_Keycode key, uint16_t modifiers) {
    const bool shift = (modifiers & KMOD_SHIFT) != 0;
    switch (key) {
        case SDLK_UP:
            return -1;
        case SDLK_DOWN:
            return -2;
        case SDLK_LEFT:
            return -3;
        case SDLK_RIGHT:
            return -4;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return -5;
        case SDLK_F1:
            return -6;
        case SDLK_F2:
            return -7;
        case SDLK_HASH:
        case SDLK_KP_HASH:
            return '#';
        case SDLK_ASTERISK:
        case SDLK_KP_MULTIPLY:
            return '*';
        default:
            break;
    }
    // On a US keyboard '#' and '*' are shifted digits.
    if (shift && key == SDLK_3) return '#';
    if (shift && key == SDLK_8) return '*';
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return '1' + (key - SDLK_KP_1);
    if (key == SDLK_KP_0) return '0';
    return 0;
}

int screenKeyCode(SDL_Keycode key, uint16_t modifiers) {
    switch (key) {
        case SDLK_UP:
            return -1;
        case SDLK_DOWN:
            return -2;
        case SDLK_LEFT:
            return -3;
        case SDLK_RIGHT:
            return -4;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            // Alt+Return types a new line into a text field; Return alone is FIRE.
            return (modifiers & KMOD_ALT) != 0 ? keyboardCodeForCharacter(U'\n') : -5;
        case SDLK_BACKSPACE:
        case SDLK_DELETE:
            return -8;
        case SDLK_ESCAPE:
        case SDLK_F1:
            return -6;
        case SDLK_F2:
            return -7;
        case SDLK_F3:
            return '#';
        case SDLK_KP_MULTIPLY:
            return '*';
        case SDLK_KP_0:
            return '0';
        default:
            break;
    }
    // The keypad's digits are the phone's number keys (multi-tap); the top row types digits.
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return '1' + (key - SDLK_KP_1);
    return 0;
}

// The next code point of UTF-8 text at i, moving i past it; 0xFFFFFFFF for a malformed sequence (one
// byte is skipped).
char32_t nextCodePoint(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    int extra = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        c = lead & 0x07;
    } else {
        ++i;
        return 0xFFFFFFFF;
    }
    if (i + static_cast<size_t>(extra) >= text.size()) {
        ++i;
        return 0xFFFFFFFF;
    }
    for (int k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return 0xFFFFFFFF;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    return c;
}

}  // namespace

int desktopKeyCode(int32_t sdlKeycode, uint16_t sdlModifiers, KeyTarget target) {
    return target == KeyTarget::Canvas ? canvasKeyCode(sdlKeycode, sdlModifiers)
                                       : screenKeyCode(sdlKeycode, sdlModifiers);
}

bool desktopKeyAlsoTypesText(int32_t sdlKeycode) {
    return sdlKeycode == SDLK_KP_MULTIPLY || sdlKeycode == SDLK_KP_0 ||
           (sdlKeycode >= SDLK_KP_1 && sdlKeycode <= SDLK_KP_9);
}

std::vector<int> desktopTextCodes(std::string_view utf8) {
    std::vector<int> codes;
    for (size_t i = 0; i < utf8.size();) {
        const char32_t c = nextCodePoint(utf8, i);
        // A typed line feed comes only from Alt+Return, which is a key; text never carries control codes.
        if (c < 0x20) continue;
        const int code = keyboardCodeForCharacter(c);
        if (code != kNoKeyCode) codes.push_back(code);
    }
    return codes;
}

}  // namespace platform
