// The desktop's keys and typed text as the phone's key codes, for an application canvas and for a
// high-level screen.
#include "platform/device/DesktopKeys.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

using platform::desktopKeyCode;
using platform::desktopTextCodes;
using platform::KeyTarget;

struct KeyCase {
    SDL_Keycode key;
    uint16_t modifiers;
    int screenCode;
    int canvasCode;
};

TEST(DesktopKeysTest, KeysSendThePhoneCodesOfTheirTarget) {
    const KeyCase cases[] = {
        {SDLK_UP, 0, -1, -1},
        {SDLK_DOWN, 0, -2, -2},
        {SDLK_LEFT, 0, -3, -3},
        {SDLK_RIGHT, 0, -4, -4},
        {SDLK_RETURN, 0, -5, -5},
        {SDLK_KP_ENTER, 0, -5, -5},
        {SDLK_RETURN, KMOD_LALT, 2002, -5},
        {SDLK_BACKSPACE, 0, -8, 0},
        {SDLK_DELETE, 0, -8, 0},
        {SDLK_ESCAPE, 0, -6, 0},
        {SDLK_F1, 0, -6, -6},
        {SDLK_F2, 0, -7, -7},
        {SDLK_F3, 0, 35, 0},
        {SDLK_KP_0, 0, 48, 48},
        {SDLK_KP_5, 0, 53, 53},
        {SDLK_KP_9, 0, 57, 57},
        {SDLK_KP_MULTIPLY, 0, 42, 42},
        // The top row and letters type text on a high-level screen; a canvas gets the keypad digits.
        {SDLK_1, 0, 0, 49},
        {SDLK_3, KMOD_LSHIFT, 0, 35},
        {SDLK_8, KMOD_RSHIFT, 0, 42},
        {SDLK_a, 0, 0, 0},
        {SDLK_SPACE, 0, 0, 0},
        {SDLK_TAB, 0, 0, 0},
    };
    for (const KeyCase& c : cases) {
        EXPECT_EQ(desktopKeyCode(c.key, c.modifiers, KeyTarget::HighLevelScreen), c.screenCode)
            << SDL_GetKeyName(c.key) << " modifiers " << c.modifiers;
        EXPECT_EQ(desktopKeyCode(c.key, c.modifiers, KeyTarget::Canvas), c.canvasCode)
            << SDL_GetKeyName(c.key) << " modifiers " << c.modifiers;
    }
}

TEST(DesktopKeysTest, OnlyKeypadKeysAlsoTypeText) {
    for (SDL_Keycode key : {SDLK_KP_0, SDLK_KP_1, SDLK_KP_9, SDLK_KP_MULTIPLY})
        EXPECT_TRUE(platform::desktopKeyAlsoTypesText(key)) << SDL_GetKeyName(key);
    for (SDL_Keycode key : {SDLK_UP, SDLK_RETURN, SDLK_F3, SDLK_1, SDLK_a})
        EXPECT_FALSE(platform::desktopKeyAlsoTypesText(key)) << SDL_GetKeyName(key);
}

TEST(DesktopKeysTest, TypedTextSendsKeyboardCodesAndDropsTheRest) {
    struct TextCase {
        const char* text;
        std::vector<int> codes;
    };
    const TextCase cases[] = {
        {"a", {1000}},
        {"z", {1025}},
        {"A", {1026}},
        {"Z", {1051}},
        {"0", {1052}},
        {"9", {1061}},
        {"#*", {2000, 2001}},
        {" ", {2003}},
        {"@~", {2034, 2020}},
        {"\xC2\xA3", {2032}},          // the pound sign, UTF-8
        {"q\xC3\xA9!", {1016, 2010}},  // e acute has no code
        {"\xE2\x82\xAC", {}},          // the euro sign
        {"\t\n", {}},                  // control characters are keys, not text
        {"\xC2", {}},                  // a truncated sequence
        {"\xFF"
         "b",
         {1001}},  // a bad byte, then a letter
    };
    for (const TextCase& c : cases) EXPECT_EQ(desktopTextCodes(c.text), c.codes) << c.text;
}

}  // namespace
