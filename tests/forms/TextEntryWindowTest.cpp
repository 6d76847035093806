// The desktop's keyboard typing into a form's text field through the window host, on SDL's dummy
// video driver: text-input and key events are pushed as a desktop sends them when a person types, the
// window's loop hands them to the current canvas as the shell does, and the field holds the text.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>

#include "forms/Form.h"
#include "forms/TextField.h"
#include "platform/host/Sdl2Host.h"
#include "shell/Display.h"
#include "tests/forms/CurrentCanvasEvents.h"
#include "tests/forms/FormTestFixture.h"
#include "tests/support/ScopedVariable.h"
#include "tests/support/SteppedClock.h"
#include "tests/support/Watchdog.h"

namespace formstest {
namespace {

using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::TextField;

class TextEntryWindowTest : public FormFixture {
protected:
    static SDL_Event text(const char* typed) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        std::strncpy(event.text.text, typed, sizeof(event.text.text) - 1);
        return event;
    }
    static SDL_Event key(Uint32 type, SDL_Keycode code, Uint16 modifiers = KMOD_NONE) {
        SDL_Event event{};
        event.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = code;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(code);
        event.key.keysym.mod = modifiers;
        return event;
    }
    static void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
    // A person typing a letter: its key goes down, the desktop sends its text, the key comes up.
    static void typeLetter(SDL_Keycode code, const char* typed, Uint16 modifiers = KMOD_NONE) {
        push(key(SDL_KEYDOWN, code, modifiers));
        push(text(typed));
        push(key(SDL_KEYUP, code, modifiers));
    }
    static void settle(platform::Sdl2Host& host) {
        host.runOnMain([] {}, true);
        host.runOnMain([] {}, true);
    }

    testsupport::Watchdog m_watchdog;
    // The multi-tap window is read from the clock seam, which only the test moves.
    testsupport::SteppedClock m_clock;
    testsupport::ScopedVariable m_driver{"SDL_VIDEODRIVER", "dummy"};
    testsupport::ScopedVariable m_renderer{"SDL_RENDER_DRIVER", "software"};
};

TEST_F(TextEntryWindowTest, TypedTextAndBackspaceReachTheField) {
    platform::Sdl2HostOptions options;
    options.screen.widthPoints = kFormScreenWidth;
    options.screen.heightPoints = kFormScreenHeight;
    options.screen.scale = 1;
    options.title = "Quill text entry";
    std::string error;
    std::unique_ptr<platform::Sdl2Host> host = platform::Sdl2Host::open(options, error);
    if (!host) GTEST_SKIP() << "no offscreen window: " << error;

    JavaPtr<Display> display = Display::getDisplay(nullptr);
    JavaPtr<Form> form = newForm();
    JavaPtr<TextField> field = jnew<TextField>(testsupport::jstr("Name"), nullptr, 30, TextField::ANY);
    form->append(field);
    display->setCurrent(form);
    ASSERT_EQ(form->getHighlightedItem(), field);

    CurrentCanvasEvents events;
    std::thread driving([&] {
        typeLetter(SDLK_h, "h");
        typeLetter(SDLK_i, "i");
        typeLetter(SDLK_SPACE, " ");
        typeLetter(SDLK_1, "!", KMOD_LSHIFT);
        typeLetter(SDLK_a, "A", KMOD_LSHIFT);
        push(key(SDL_KEYDOWN, SDLK_BACKSPACE));
        push(key(SDL_KEYUP, SDLK_BACKSPACE));
        // Text that arrives in one event, as an input method sends it.
        push(
            text("\xC3\xA9t\xC3\xA9 \xC2\xA3"
                 "5"));
        // The keypad's 2, twice: multi-tap, and its own text is not typed as well.
        for (int i = 0; i < 2; ++i) {
            push(key(SDL_KEYDOWN, SDLK_KP_2));
            push(text("2"));
            push(key(SDL_KEYUP, SDLK_KP_2));
        }
        settle(*host);
        host->quit(0);
    });
    host->run(events);
    driving.join();
    // Characters without a key code (the accented letters) are not typed.
    EXPECT_EQ(testsupport::narrow(field->getString()), "hi !t \\u00a35b");
    display = nullptr;
}

}  // namespace
}  // namespace formstest
