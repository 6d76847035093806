// The window host on SDL's dummy video driver (no display needed): events are pushed into SDL's queue as a
// desktop would send them, and the window's pixels are read back.
#include "platform/host/Sdl2Host.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <thread>

#include "platform/codecs/PngEncoder.h"
#include "tests/support/Eventually.h"
#include "tests/support/RecordingHostEvents.h"
#include "tests/support/ScopedVariable.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/Watchdog.h"

namespace {

using platform::Sdl2Host;
using platform::Sdl2HostOptions;
using testsupport::RecordingHostEvents;

uint32_t pixelWord(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    uint32_t word;
    const uint8_t bytes[4] = {red, green, blue, alpha};
    std::memcpy(&word, bytes, 4);
    return word;
}

class Sdl2HostTest : public testing::Test {
protected:
    // A 4x3-point screen at scale 2, not zoomed: one window pixel per frame pixel.
    std::unique_ptr<Sdl2Host> openHost(bool midpKeys = false) {
        Sdl2HostOptions options;
        options.screen.widthPoints = 4;
        options.screen.heightPoints = 3;
        options.screen.scale = 2;
        options.zoom = 1;
        options.title = "Quill test";
        options.midpKeys = midpKeys;
        std::string error;
        auto host = Sdl2Host::open(options, error);
        EXPECT_NE(host, nullptr) << error;
        return host;
    }

    // Runs the host's loop on this thread, which opened it, while driver works from another; the
    // driver's end quits the loop.
    static void runDriven(Sdl2Host& host, platform::HostEvents& events, const std::function<void()>& driver) {
        std::thread driving([&] {
            driver();
            host.quit(0);
        });
        host.run(events);
        driving.join();
    }

    // The window's pixels, read on the main thread.
    static std::vector<uint32_t> windowPixels(Sdl2Host& host) {
        std::vector<uint32_t> pixels;
        host.runOnMain(
            [&] {
                int width = 0;
                int height = 0;
                pixels = host.readWindowPixels(width, height);
                EXPECT_EQ(width, 8);
                EXPECT_EQ(height, 6);
            },
            true);
        return pixels;
    }

    static void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

    SDL_Event mouseButton(Sdl2Host& host, Uint32 type, int x, int y) {
        SDL_Event event{};
        event.type = type;
        event.button.windowID = host.windowId();
        event.button.which = 0;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.x = x;
        event.button.y = y;
        return event;
    }

    SDL_Event mouseMotion(Sdl2Host& host, int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = host.windowId();
        event.motion.state = SDL_BUTTON_LMASK;
        event.motion.x = x;
        event.motion.y = y;
        return event;
    }

    SDL_Event finger(Sdl2Host& host, Uint32 type, SDL_FingerID id, float x, float y) {
        SDL_Event event{};
        event.type = type;
        event.tfinger.windowID = host.windowId();
        event.tfinger.touchId = 1;
        event.tfinger.fingerId = id;
        event.tfinger.x = x;
        event.tfinger.y = y;
        return event;
    }

    SDL_Event key(Uint32 type, SDL_Keycode code, Uint16 modifiers = KMOD_NONE, bool repeat = false) {
        SDL_Event event{};
        event.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.sym = code;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(code);
        event.key.keysym.mod = modifiers;
        return event;
    }

    SDL_Event windowEvent(Sdl2Host& host, SDL_WindowEventID id) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = host.windowId();
        event.window.event = id;
        return event;
    }

    // Waits until a task posted now has run, so that every event pushed before has been handled.
    static void settle(Sdl2Host& host) {
        host.runOnMain([] {}, true);
        host.runOnMain([] {}, true);
    }

    testsupport::Watchdog m_watchdog;
    testsupport::ScopedVariable m_driver{"SDL_VIDEODRIVER", "dummy"};
    testsupport::ScopedVariable m_renderer{"SDL_RENDER_DRIVER", "software"};
};

TEST_F(Sdl2HostTest, LaunchImageUntilTheFirstFrameThenFramesShownOpaque) {
    testsupport::TemporaryDirectory directory;
    const std::vector<uint32_t> green(8 * 6, pixelWord(0, 200, 0, 255));
    std::string error;
    const std::string picture = (directory.path() / "Default.png").string();
    ASSERT_TRUE(platform::writePNGFile(picture, green.data(), 8, 6, 8, error)) << error;

    auto host = openHost();
    ASSERT_NE(host, nullptr);
    RecordingHostEvents events(*host);
    runDriven(*host, events, [&] {
        EXPECT_FALSE(host->showLaunchImage((directory.path() / "Missing").string()));
        ASSERT_TRUE(host->showLaunchImage((directory.path() / "Default").string()));
        EXPECT_EQ(windowPixels(*host), std::vector<uint32_t>(48, 0x00C800));

        // Left half red, right half blue, alpha 0 throughout: shown as the colours, not as black.
        std::vector<uint32_t> frame(8 * 6);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                frame[y * 8 + x] = x < 4 ? pixelWord(255, 0, 0, 0) : pixelWord(0, 0, 255, 0);
            }
        }
        host->presentFrame(frame.data(), 8, 6, 8);
        std::vector<uint32_t> expected(48);
        for (int i = 0; i < 48; ++i) expected[i] = i % 8 < 4 ? 0xFF0000 : 0x0000FF;
        EXPECT_TRUE(testsupport::eventually([&] { return windowPixels(*host) == expected; }));

        // A launch image asked for late does not cover the frames.
        EXPECT_TRUE(host->showLaunchImage(picture));
        settle(*host);
        EXPECT_EQ(windowPixels(*host), expected);
    });
    EXPECT_EQ(events.eventsOffMainThread(), 0);
}

TEST_F(Sdl2HostTest, MouseAndFirstFingerAreTouchesInPoints) {
    auto host = openHost();
    ASSERT_NE(host, nullptr);
    RecordingHostEvents events(*host);
    runDriven(*host, events, [&] {
        // Window pixels (5, 3) are point (2, 1) of the 4x3-point screen.
        push(mouseButton(*host, SDL_MOUSEBUTTONDOWN, 5, 3));
        push(mouseMotion(*host, 7, 5));
        push(mouseMotion(*host, 20, -4));  // dragged off the window: held at its edge
        push(mouseButton(*host, SDL_MOUSEBUTTONUP, 1, 1));
        // A button press off the screen is no touch, nor is its drag or release.
        push(mouseButton(*host, SDL_MOUSEBUTTONDOWN, 9, 1));
        push(mouseMotion(*host, 2, 2));
        push(mouseButton(*host, SDL_MOUSEBUTTONUP, 2, 2));
        // SDL's mouse copy of a finger is left out; the finger itself counts, the second one does not.
        SDL_Event copy = mouseButton(*host, SDL_MOUSEBUTTONDOWN, 2, 2);
        copy.button.which = SDL_TOUCH_MOUSEID;
        push(copy);
        push(finger(*host, SDL_FINGERDOWN, 7, 0.5f, 0.5f));
        push(finger(*host, SDL_FINGERDOWN, 8, 0.1f, 0.1f));
        push(finger(*host, SDL_FINGERMOTION, 8, 0.2f, 0.2f));
        push(finger(*host, SDL_FINGERMOTION, 7, 0.9f, 0.1f));
        push(finger(*host, SDL_FINGERUP, 8, 0.2f, 0.2f));
        push(finger(*host, SDL_FINGERUP, 7, 0.9f, 0.1f));
        settle(*host);
    });
    EXPECT_EQ(events.linesStartingWith("down"), (std::vector<std::string>{"down 2 1", "down 2 1"}));
    EXPECT_EQ(events.linesStartingWith("drag"),
              (std::vector<std::string>{"drag 3 2", "drag 3 0", "drag 3 0"}));
    EXPECT_EQ(events.linesStartingWith("up"), (std::vector<std::string>{"up 0 0", "up 3 0"}));
}

TEST_F(Sdl2HostTest, ArrowKeysTiltTheDeviceAndSamplesKeepComing) {
    auto host = openHost();
    ASSERT_NE(host, nullptr);
    RecordingHostEvents events(*host);
    const std::string faceUp = "tilt 0.000 0.000 -1.000";
    const std::string rolledRight = "tilt 0.500 0.000 -0.866";
    const auto lastSample = [&] {
        const auto samples = events.linesStartingWith("tilt");
        return samples.empty() ? std::string() : samples.back();
    };
    runDriven(*host, events, [&] {
        EXPECT_TRUE(testsupport::eventually([&] { return lastSample() == faceUp; }));
        push(key(SDL_KEYDOWN, SDLK_RIGHT));
        EXPECT_TRUE(testsupport::eventually([&] { return lastSample() == rolledRight; }));
        push(key(SDL_KEYUP, SDLK_RIGHT));
        EXPECT_TRUE(testsupport::eventually([&] { return lastSample() == faceUp; }));
    });
    EXPECT_TRUE(events.linesStartingWith("key").empty()) << "arrows tilt; they are no keys in this mode";
    // Whatever the pace of the samples, none goes past thirty degrees.
    for (const std::string& sample : events.linesStartingWith("tilt")) {
        EXPECT_LE(std::stod(sample.substr(5)), 0.5) << sample;
    }
}

TEST_F(Sdl2HostTest, HighLevelScreenGetsKeysAndTypedTextWhateverTheKeyMode) {
    auto host = openHost();
    ASSERT_NE(host, nullptr);
    RecordingHostEvents events(*host);
    events.screenShown.store(true);
    const auto text = [](const char* typed) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        std::strncpy(event.text.text, typed, sizeof(event.text.text) - 1);
        return event;
    };
    runDriven(*host, events, [&] {
        push(key(SDL_KEYDOWN, SDLK_UP));
        push(key(SDL_KEYUP, SDLK_UP));
        push(key(SDL_KEYDOWN, SDLK_F3));
        push(key(SDL_KEYUP, SDLK_F3));
        // A letter: its key sends nothing, its text a press and a release.
        push(key(SDL_KEYDOWN, SDLK_q));
        push(text("q"));
        // The desktop's repeat of the held letter types again; neither is sent.
        push(key(SDL_KEYDOWN, SDLK_q, KMOD_NONE, true));
        push(text("q"));
        push(key(SDL_KEYUP, SDLK_q));
        // A keypad digit is the phone's number key; the digit it also types is dropped.
        push(key(SDL_KEYDOWN, SDLK_KP_5));
        push(text("5"));
        push(key(SDL_KEYUP, SDLK_KP_5));
        push(text("\xC2\xA3"));
        push(text("\xC3\xA9"));
        settle(*host);
    });
    EXPECT_EQ(events.linesStartingWith("key"),
              (std::vector<std::string>{"key-press -1", "key-release -1", "key-press 35", "key-release 35",
                                        "key-press 1016", "key-release 1016", "key-press 53",
                                        "key-release 53", "key-press 2032", "key-release 2032"}));
    for (const std::string& sample : events.linesStartingWith("tilt"))
        EXPECT_EQ(sample, "tilt 0.000 0.000 -1.000") << "arrows are keys on a high-level screen";
}

TEST_F(Sdl2HostTest, MidpKeysModeSendsThePhonesKeyCodes) {
    auto host = openHost(true);
    ASSERT_NE(host, nullptr);
    RecordingHostEvents events(*host);
    struct Press {
        SDL_Keycode key;
        Uint16 modifiers;
        int code;
    };
    const Press presses[] = {
        {SDLK_UP, KMOD_NONE, -1},    {SDLK_DOWN, KMOD_NONE, -2},   {SDLK_LEFT, KMOD_NONE, -3},
        {SDLK_RIGHT, KMOD_NONE, -4}, {SDLK_RETURN, KMOD_NONE, -5}, {SDLK_F1, KMOD_NONE, -6},
        {SDLK_F2, KMOD_NONE, -7},    {SDLK_0, KMOD_NONE, '0'},     {SDLK_9, KMOD_NONE, '9'},
        {SDLK_KP_5, KMOD_NONE, '5'}, {SDLK_3, KMOD_LSHIFT, '#'},   {SDLK_KP_MULTIPLY, KMOD_NONE, '*'},
        {SDLK_8, KMOD_RSHIFT, '*'},
    };
    std::vector<std::string> expected;
    runDriven(*host, events, [&] {
        for (const Press& press : presses) {
            push(key(SDL_KEYDOWN, press.key, press.modifiers));
            // Held down, the keyboard repeats; the phone's key does not.
            push(key(SDL_KEYDOWN, press.key, press.modifiers, true));
            // The shift is let go first: the release still names the key that was pressed.
            push(key(SDL_KEYUP, press.key, KMOD_NONE));
            expected.push_back("key-press " + std::to_string(press.code));
            expected.push_back("key-release " + std::to_string(press.code));
        }
        push(key(SDL_KEYDOWN, SDLK_a));
        push(key(SDL_KEYUP, SDLK_a));
        settle(*host);
    });
    EXPECT_EQ(events.linesStartingWith("key"), expected);
    for (const std::string& sample : events.linesStartingWith("tilt")) {
        EXPECT_EQ(sample, "tilt 0.000 0.000 -1.000") << "arrows are keys in this mode";
    }
}

TEST_F(Sdl2HostTest, MinimisingPausesOnceAndRestoringResumes) {
    auto host = openHost();
    ASSERT_NE(host, nullptr);
    RecordingHostEvents events(*host);
    runDriven(*host, events, [&] {
        push(windowEvent(*host, SDL_WINDOWEVENT_RESTORED));
        push(windowEvent(*host, SDL_WINDOWEVENT_MINIMIZED));
        push(windowEvent(*host, SDL_WINDOWEVENT_MINIMIZED));
        push(windowEvent(*host, SDL_WINDOWEVENT_RESTORED));
        push(windowEvent(*host, SDL_WINDOWEVENT_RESTORED));
        settle(*host);
    });
    EXPECT_EQ(events.linesStartingWith("paused"), std::vector<std::string>{"paused"});
    EXPECT_EQ(events.linesStartingWith("resumed"), std::vector<std::string>{"resumed"});
}

TEST_F(Sdl2HostTest, ClosingTheWindowTerminatesAndTasksRunUntilTheShellQuits) {
    auto host = openHost();
    ASSERT_NE(host, nullptr);
    RecordingHostEvents events(*host, false);
    int status = -1;
    std::thread driving([&] {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        push(quit);
        push(quit);
        EXPECT_TRUE(
            testsupport::eventually([&] { return !events.linesStartingWith("terminating").empty(); }));
        // No input after the close; the tear-down still reaches the main thread.
        push(mouseButton(*host, SDL_MOUSEBUTTONDOWN, 1, 1));
        bool ran = false;
        host->runOnMain([&] { ran = true; }, true);
        EXPECT_TRUE(ran);
        host->quit(5);
    });
    status = host->run(events);
    driving.join();
    EXPECT_EQ(status, 5);
    EXPECT_EQ(events.linesStartingWith("terminating").size(), 1u);
    EXPECT_TRUE(events.linesStartingWith("down").empty());
}

TEST_F(Sdl2HostTest, TerminationSignalEndsTheProgramLikeClosingTheWindow) {
    auto host = openHost();
    ASSERT_NE(host, nullptr);
    struct sigaction current {};
    sigaction(SIGTERM, nullptr, &current);
    if (current.sa_handler == SIG_DFL) GTEST_SKIP() << "SDL has not taken SIGTERM in this process";
    RecordingHostEvents events(*host);
    std::thread signalling([] { raise(SIGTERM); });
    EXPECT_EQ(host->run(events), 0);
    signalling.join();
    EXPECT_EQ(events.linesStartingWith("terminating").size(), 1u);
}

TEST_F(Sdl2HostTest, WindowIsThePixelsTimesTheZoomShrunkOnlyToFitTheDesktop) {
    // The dummy driver's desktop is 1024 x 768.
    struct Case {
        int widthPoints, heightPoints, scale, zoom;
        int width, height;
        bool shrunk;
    };
    for (const Case& c : {Case{160, 120, 1, 1, 160, 120, false}, Case{160, 120, 2, 1, 320, 240, false},
                          Case{160, 120, 1, 3, 480, 360, false}, Case{160, 120, 2, 3, 960, 720, false},
                          Case{160, 120, 2, 4, 960, 720, true}, Case{320, 480, 2, 1, 320, 480, true}}) {
        SCOPED_TRACE(std::to_string(c.widthPoints) + "x" + std::to_string(c.heightPoints) +
                     " points, scale " + std::to_string(c.scale) + ", zoom " + std::to_string(c.zoom));
        Sdl2HostOptions options;
        options.screen.widthPoints = c.widthPoints;
        options.screen.heightPoints = c.heightPoints;
        options.screen.scale = c.scale;
        options.zoom = c.zoom;
        std::string error;
        testing::internal::CaptureStderr();
        auto host = Sdl2Host::open(options, error);
        const std::string said = testing::internal::GetCapturedStderr();
        ASSERT_NE(host, nullptr) << error;
        int width = 0, height = 0;
        SDL_GetWindowSize(SDL_GetWindowFromID(host->windowId()), &width, &height);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        if (c.shrunk) {
            const std::string line = "quill: the desktop (1024 x 768) is too small for a " +
                                     std::to_string(c.widthPoints * c.scale * c.zoom) + " x " +
                                     std::to_string(c.heightPoints * c.scale * c.zoom) +
                                     " window; it opens at " + std::to_string(c.width) + " x " +
                                     std::to_string(c.height) + "\n";
            EXPECT_EQ(said, line);
        } else {
            EXPECT_EQ(said, "");
        }
    }
}

TEST_F(Sdl2HostTest, InvisibleDriversOpenOnlyWhenAskedForByName) {
    testsupport::ScopedVariable noX("DISPLAY", nullptr);
    testsupport::ScopedVariable noWayland("WAYLAND_DISPLAY", nullptr);
    Sdl2HostOptions options;
    options.screen.widthPoints = 32;
    options.screen.heightPoints = 48;
    {
        testsupport::ScopedVariable driver("SDL_VIDEODRIVER", "dummy");
        std::string error;
        EXPECT_NE(Sdl2Host::open(options, error), nullptr) << error;
    }
    // Left to choose, SDL finds no display and falls back on a driver that shows nothing.
    testsupport::ScopedVariable driver("SDL_VIDEODRIVER", nullptr);
    std::string error;
    EXPECT_EQ(Sdl2Host::open(options, error), nullptr);
    EXPECT_NE(error.find("no display available"), std::string::npos) << error;
    EXPECT_NE(error.find("--headless"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

TEST_F(Sdl2HostTest, NoDisplayIsOneLineThatSuggestsHeadless) {
    testsupport::ScopedVariable noDriver("SDL_VIDEODRIVER", "no-such-driver");
    Sdl2HostOptions options;
    options.screen.widthPoints = 320;
    options.screen.heightPoints = 480;
    std::string error;
    EXPECT_EQ(Sdl2Host::open(options, error), nullptr);
    EXPECT_NE(error.find("no display available"), std::string::npos) << error;
    EXPECT_NE(error.find("--headless"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

}  // namespace
