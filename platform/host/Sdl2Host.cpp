#include "platform/host/Sdl2Host.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "platform/device/DesktopKeys.h"
#include "platform/device/KeyboardTilt.h"
#include "platform/host/LaunchImage.h"
#include "platform/host/WindowSizing.h"

namespace platform {
namespace {

constexpr Uint32 kSampleIntervalMs = 20;
// How long the loop sleeps with the device at rest (level, no arrow held, the level sample sent): only
// a wake event lost to a full queue waits this long.
constexpr int kRestWaitMs = 250;
constexpr int kInvisibleRestWaitMs = 50;

// Pixel words hold the bytes R, G, B, A in memory; the texture reads the same bytes and ignores the
// fourth, so frames are shown opaque whatever their alpha.
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
constexpr Uint32 kFrameFormat = SDL_PIXELFORMAT_RGBX8888;
#else
constexpr Uint32 kFrameFormat = SDL_PIXELFORMAT_XBGR8888;
#endif

bool tiltKeyOf(SDL_Keycode key, KeyboardTilt::Key& tiltKey) {
    switch (key) {
        case SDLK_LEFT:
            tiltKey = KeyboardTilt::Key::Left;
            return true;
        case SDLK_RIGHT:
            tiltKey = KeyboardTilt::Key::Right;
            return true;
        case SDLK_UP:
            tiltKey = KeyboardTilt::Key::Up;
            return true;
        case SDLK_DOWN:
            tiltKey = KeyboardTilt::Key::Down;
            return true;
        default:
            return false;
    }
}

// The drivers SDL falls back on when there is no display: they open windows nobody sees.
bool isInvisibleVideoDriver(const std::string& driver) {
    return SDL_strcasecmp(driver.c_str(), "offscreen") == 0 || SDL_strcasecmp(driver.c_str(), "dummy") == 0;
}

// Whether SDL_VIDEODRIVER (a name, or a comma-separated list of them) names the driver.
bool videoDriverAskedFor(const std::string& driver) {
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (asked == nullptr) return false;
    const std::string names = asked;
    size_t start = 0;
    while (start <= names.size()) {
        const size_t comma = std::min(names.find(',', start), names.size());
        if (SDL_strcasecmp(names.substr(start, comma - start).c_str(), driver.c_str()) == 0) return true;
        start = comma + 1;
    }
    return false;
}

}  // namespace

struct Sdl2Host::Window {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    KeyboardTilt tilt;
    Uint32 nextSampleAt = 0;
    // The last sample sent was level with no arrow held: a device at rest sends nothing more until an
    // arrow moves it (a settled screen is then left entirely asleep).
    bool restSampleSent = false;
    // The code each held key was pressed with, by scancode, so that its release sends the same code
    // whatever the modifiers are by then.
    std::map<SDL_Scancode, int> heldKeys;
    // The next text event repeats a key already sent (a keypad key) or comes from a desktop repeat.
    bool dropNextText = false;
    bool mousePressed = false;
    bool fingerPressed = false;
    SDL_FingerID finger = 0;

    ~Window() {
        if (texture != nullptr) SDL_DestroyTexture(texture);
        if (renderer != nullptr) SDL_DestroyRenderer(renderer);
        if (window != nullptr) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }
};

Sdl2Host::Sdl2Host(const Sdl2HostOptions& options)
    : m_options(options),
      m_tasks([this] { wake(); }),
      m_urlOpener(options.urlOpener),
      m_mainThread(std::this_thread::get_id()) {}

std::unique_ptr<Sdl2Host> Sdl2Host::open(const Sdl2HostOptions& options, std::string& error) {
    const HostScreen& screen = options.screen;
    if (screen.widthPoints <= 0 || screen.heightPoints <= 0 || screen.scale < 1 || options.zoom < 1) {
        error = "the screen needs a positive size, scale and zoom";
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        error = std::string("no display available (") + SDL_GetError() +
                "); run with --headless to go without a window";
        return nullptr;
    }
    // Without a display SDL settles for a driver that shows nothing, and the program would run
    // unseen; such a driver is used only when asked for by name.
    const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
    if (isInvisibleVideoDriver(driver) && !videoDriverAskedFor(driver)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        error = "no display available (SDL found only its " + driver +
                " driver); run with --headless to go without a window";
        return nullptr;
    }
    SDL_Rect desktop{};
    if (SDL_GetDisplayUsableBounds(0, &desktop) != 0) desktop = SDL_Rect{};
    const WindowSizing size = chooseWindowSize(screen.widthPoints, screen.heightPoints,
                                               screen.scale * options.zoom, desktop.w, desktop.h);
    if (size.shrunk) {
        std::fprintf(stderr,
                     "quill: the desktop (%d x %d) is too small for a %d x %d window; it opens at %d x %d\n",
                     desktop.w, desktop.h, screen.widthPoints * screen.scale * options.zoom,
                     screen.heightPoints * screen.scale * options.zoom, size.width, size.height);
    }
    std::unique_ptr<Sdl2Host> host(new Sdl2Host(options));
    host->m_window = std::make_unique<Window>();
    Window& w = *host->m_window;
    w.window = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                size.width, size.height, SDL_WINDOW_RESIZABLE);
    if (w.window != nullptr) {
        w.renderer = SDL_CreateRenderer(w.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
        if (w.renderer == nullptr) w.renderer = SDL_CreateRenderer(w.window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (w.renderer == nullptr) {
        error = std::string("no window could be opened (") + SDL_GetError() +
                "); run with --headless to go without a window";
        return nullptr;
    }
    SDL_RenderSetLogicalSize(w.renderer, screen.widthPoints, screen.heightPoints);
    // Whole window pixels per point keep the picture sharp; a window smaller than the points cannot.
    SDL_RenderSetIntegerScale(w.renderer, size.pixelsPerPoint >= 1 ? SDL_TRUE : SDL_FALSE);
    host->m_wakeEvent = SDL_RegisterEvents(1);
    host->m_invisibleDriver = isInvisibleVideoDriver(driver);
    if (host->m_wakeEvent == static_cast<Uint32>(-1)) {
        error = "SDL has no user events left";
        return nullptr;
    }
    return host;
}

Sdl2Host::~Sdl2Host() {
    m_tasks.close();
    m_tasks.discardPending();
}

void Sdl2Host::wake() {
    if (m_invisibleDriver) {
        {
            std::lock_guard<std::mutex> guard(m_restLock);
            m_restRung = true;
        }
        m_restSignal.notify_one();
    }
    if (m_wakePending.exchange(true)) return;
    SDL_Event event{};
    event.type = m_wakeEvent;
    // A full queue loses this event; the loop still looks at its tasks and frames at the next tilt
    // sample, 20 ms later at most (kRestWaitMs with the device at rest).
    if (SDL_PushEvent(&event) != 1) m_wakePending = false;
}

int Sdl2Host::run(HostEvents& events) {
    if (!isMainThread() || m_running.exchange(true)) {
        std::fprintf(stderr, "quill: the window's loop runs once, on the thread that opened it\n");
        return -1;
    }
    m_events = &events;
    Window& w = *m_window;
    events.launched();
    w.nextSampleAt = SDL_GetTicks() + kSampleIntervalMs;
    while (!m_quitRequested) {
        const bool sampling = !w.restSampleSent || !w.tilt.atRest();
        const Uint32 now = SDL_GetTicks();
        int timeout = kRestWaitMs;
        if (sampling)
            timeout = SDL_TICKS_PASSED(now, w.nextSampleAt) ? 0 : static_cast<int>(w.nextSampleAt - now);
        SDL_Event event;
        if (!sampling && m_invisibleDriver) {
            {
                std::unique_lock<std::mutex> guard(m_restLock);
                m_restSignal.wait_for(guard, std::chrono::milliseconds(kInvisibleRestWaitMs),
                                      [this] { return m_restRung; });
                m_restRung = false;
            }
            while (SDL_PollEvent(&event) != 0) handleEvent(&event);
        } else if (SDL_WaitEventTimeout(&event, timeout) != 0) {
            handleEvent(&event);
            while (SDL_PollEvent(&event) != 0) handleEvent(&event);
        }
        if (!sampling) {
            // An arrow pressed at rest starts the samples at the usual pace from now.
            w.nextSampleAt = SDL_GetTicks() + kSampleIntervalMs;
        } else if (SDL_TICKS_PASSED(SDL_GetTicks(), w.nextSampleAt)) {
            deliverTilt();
            w.restSampleSent = w.tilt.atRest();
            w.nextSampleAt += kSampleIntervalMs;
            // After a long stall, go on from now rather than send the missed samples in a burst.
            if (SDL_TICKS_PASSED(SDL_GetTicks(), w.nextSampleAt))
                w.nextSampleAt = SDL_GetTicks() + kSampleIntervalMs;
        }
        m_wakePending = false;
        m_tasks.runPending();
        if (m_mailbox.takeLatest()) {
            const MailboxFrame frame = m_mailbox.front();
            m_frameShown = true;
            showFrame(frame.pixels, frame.width, frame.height);
        }
        if (m_needsRender) render();
    }
    m_tasks.close();
    m_tasks.runPending();
    m_events = nullptr;
    std::string failure;
    {
        std::lock_guard<std::mutex> guard(m_failureLock);
        failure = m_failure;
    }
    // Where no message box can be shown (no window system behind the driver), stderr's line stands.
    if (!failure.empty())
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, m_options.title.c_str(), failure.c_str(), w.window);
    return m_quitStatus;
}

void Sdl2Host::handleEvent(const void* raw) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
    Window& w = *m_window;
    const int width = m_options.screen.widthPoints;
    const int height = m_options.screen.heightPoints;
    const bool input = !m_terminating;
    const auto clampX = [&](int x) { return std::clamp(x, 0, width - 1); };
    const auto clampY = [&](int y) { return std::clamp(y, 0, height - 1); };
    const auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < width && y < height; };
    switch (event.type) {
        case SDL_QUIT:
            // Closing the window, SIGINT and SIGTERM all arrive as this.
            if (!m_terminating) {
                m_terminating = true;
                m_events->terminating();
            }
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_MINIMIZED && !m_paused && input) {
                m_paused = true;
                m_events->paused();
            } else if (event.window.event == SDL_WINDOWEVENT_RESTORED && m_paused && input) {
                m_paused = false;
                m_events->resumed();
            }
            m_needsRender = true;
            break;
        case SDL_MOUSEBUTTONDOWN:
            // Touches come as finger events; SDL's copies of them as mouse events are left out.
            if (!input || event.button.which == SDL_TOUCH_MOUSEID || event.button.button != SDL_BUTTON_LEFT ||
                w.fingerPressed || w.mousePressed || !inside(event.button.x, event.button.y))
                break;
            w.mousePressed = true;
            m_events->touchDown(event.button.x, event.button.y);
            break;
        case SDL_MOUSEMOTION:
            if (!input || event.motion.which == SDL_TOUCH_MOUSEID || !w.mousePressed) break;
            m_events->touchDragged(clampX(event.motion.x), clampY(event.motion.y));
            break;
        case SDL_MOUSEBUTTONUP:
            if (!input || event.button.which == SDL_TOUCH_MOUSEID || event.button.button != SDL_BUTTON_LEFT ||
                !w.mousePressed)
                break;
            w.mousePressed = false;
            m_events->touchUp(clampX(event.button.x), clampY(event.button.y));
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP: {
            if (!input) break;
            // With a logical size set, SDL gives finger positions as fractions of the logical screen.
            const int x = static_cast<int>(std::floor(event.tfinger.x * static_cast<float>(width)));
            const int y = static_cast<int>(std::floor(event.tfinger.y * static_cast<float>(height)));
            if (event.type == SDL_FINGERDOWN) {
                if (w.fingerPressed || w.mousePressed || !inside(x, y)) break;
                w.fingerPressed = true;
                w.finger = event.tfinger.fingerId;
                m_events->touchDown(x, y);
            } else if (w.fingerPressed && event.tfinger.fingerId == w.finger) {
                if (event.type == SDL_FINGERMOTION) {
                    m_events->touchDragged(clampX(x), clampY(y));
                } else {
                    w.fingerPressed = false;
                    m_events->touchUp(clampX(x), clampY(y));
                }
            }
            break;
        }
        case SDL_KEYDOWN: {
            if (!input) break;
            // The desktop's own repeats are not sent (a high-level screen repeats held keys itself), nor
            // the text a repeat types.
            if (event.key.repeat != 0) {
                w.dropNextText = true;
                break;
            }
            w.dropNextText = false;
            const bool screenKeys = m_events->highLevelScreenShown();
            if (screenKeys || m_options.midpKeys) {
                const int code = desktopKeyCode(event.key.keysym.sym, event.key.keysym.mod,
                                                screenKeys ? KeyTarget::HighLevelScreen : KeyTarget::Canvas);
                if (code == 0 || w.heldKeys.count(event.key.keysym.scancode) != 0) break;
                w.dropNextText = screenKeys && desktopKeyAlsoTypesText(event.key.keysym.sym);
                w.heldKeys[event.key.keysym.scancode] = code;
                m_events->keyPressed(code);
            } else if (KeyboardTilt::Key key; tiltKeyOf(event.key.keysym.sym, key)) {
                w.tilt.setKey(key, true);
            }
            break;
        }
        case SDL_KEYUP: {
            const auto held = w.heldKeys.find(event.key.keysym.scancode);
            if (held != w.heldKeys.end()) {
                const int code = held->second;
                w.heldKeys.erase(held);
                if (input) m_events->keyReleased(code);
            } else if (KeyboardTilt::Key key; tiltKeyOf(event.key.keysym.sym, key)) {
                w.tilt.setKey(key, false);
            }
            break;
        }
        case SDL_TEXTINPUT: {
            const bool drop = std::exchange(w.dropNextText, false);
            if (!input || drop || !m_events->highLevelScreenShown()) break;
            for (const int code : desktopTextCodes(event.text.text)) {
                m_events->keyPressed(code);
                m_events->keyReleased(code);
            }
            break;
        }
        default:
            break;
    }
}

void Sdl2Host::deliverTilt() {
    const AccelerometerSample sample = m_window->tilt.nextSample();
    if (!m_terminating) m_events->accelerated(sample.x, sample.y, sample.z);
}

void Sdl2Host::showFrame(const uint32_t* pixels, int width, int height) {
    Window& w = *m_window;
    if (w.texture == nullptr || w.textureWidth != width || w.textureHeight != height) {
        if (w.texture != nullptr) SDL_DestroyTexture(w.texture);
        w.texture = SDL_CreateTexture(w.renderer, kFrameFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
        w.textureWidth = w.texture != nullptr ? width : 0;
        w.textureHeight = w.texture != nullptr ? height : 0;
        if (w.texture == nullptr) {
            std::fprintf(stderr, "quill: no texture for a %dx%d frame: %s\n", width, height, SDL_GetError());
            return;
        }
        SDL_SetTextureBlendMode(w.texture, SDL_BLENDMODE_NONE);
    }
    SDL_UpdateTexture(w.texture, nullptr, pixels, width * 4);
    m_needsRender = true;
}

void Sdl2Host::render() {
    Window& w = *m_window;
    SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);
    SDL_RenderClear(w.renderer);
    if (w.texture != nullptr) SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
    SDL_RenderPresent(w.renderer);
    m_needsRender = false;
}

void Sdl2Host::quit(int status) {
    // The first quit decides the status, which is in place before the loop can see the request.
    if (m_quitClaimed.exchange(true)) return;
    m_quitStatus = status;
    m_quitRequested = true;
    wake();
}

void Sdl2Host::runOnMain(std::function<void()> fn, bool wait) {
    if (wait && isMainThread()) {
        fn();
        return;
    }
    m_tasks.post(std::move(fn), wait);
}

bool Sdl2Host::isMainThread() const {
    return std::this_thread::get_id() == m_mainThread;
}

HostScreen Sdl2Host::screen() const {
    return m_options.screen;
}

void Sdl2Host::presentFrame(const std::uint32_t* pixels, int width, int height, int stride) {
    if (m_mailbox.publish(pixels, width, height, stride)) wake();
}

bool Sdl2Host::showLaunchImage(const std::string& path) {
    auto image = loadLaunchImage(path);
    if (!image) return false;
    auto shared = std::make_shared<LaunchImage>(std::move(*image));
    runOnMain(
        [this, shared] {
            if (!m_frameShown) showFrame(shared->pixels.data(), shared->width, shared->height);
        },
        false);
    return true;
}

void Sdl2Host::showFailure(const std::string& message) {
    std::lock_guard<std::mutex> guard(m_failureLock);
    if (m_failure.empty()) m_failure = message;
}

void Sdl2Host::vibrate(int) {
    ++m_vibrations;
}

bool Sdl2Host::openUrl(const std::string& url) {
    return m_urlOpener.open(url);
}

std::vector<uint32_t> Sdl2Host::readWindowPixels(int& width, int& height) {
    width = 0;
    height = 0;
    if (!isMainThread()) return {};
    Window& w = *m_window;
    int outputWidth = 0;
    int outputHeight = 0;
    if (SDL_GetRendererOutputSize(w.renderer, &outputWidth, &outputHeight) != 0) return {};
    // What was presented is gone from the back buffer on some renderers, so draw it once more.
    SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);
    SDL_RenderClear(w.renderer);
    if (w.texture != nullptr) SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
    std::vector<uint32_t> pixels(static_cast<size_t>(outputWidth) * static_cast<size_t>(outputHeight));
    if (SDL_RenderReadPixels(w.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), outputWidth * 4) !=
        0)
        return {};
    m_needsRender = true;
    for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    width = outputWidth;
    height = outputHeight;
    return pixels;
}

uint32_t Sdl2Host::windowId() const {
    return SDL_GetWindowID(m_window->window);
}

}  // namespace platform
