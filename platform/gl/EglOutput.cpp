#include "platform/gl/EglOutput.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES/gl.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/host/Host.h"

namespace platform {

namespace {

// A frame of another thread normally ends within one paint; this only keeps a thread that draws and
// never flushes from stopping every other one for good.
constexpr std::chrono::seconds kHolderWait{20};

struct EglState {
    // Guards every field below, and which thread holds the context.
    std::mutex mutex;
    // Signalled when the holder lets the context go.
    std::condition_variable released;
    std::thread::id holder;
    int outputWidth = 1;
    int outputHeight = 1;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    int depth = 0;
    bool in2dMode = true;
    uint64_t presented = 0;
    uint64_t generation = 0;
    uint64_t waitsAbandoned = 0;
    std::vector<uint32_t> frame;
    std::vector<uint32_t> readBack;
};

std::atomic<void (*)(bool)> viewSwitch{nullptr};

void switchView(bool glOnScreen) {
    if (auto switcher = viewSwitch.load()) switcher(glOnScreen);
}

EglState& state() {
    static EglState s;
    return s;
}

// EGL's last error by name, for a reason given in one line.
std::string eglErrorName() {
    const EGLint error = eglGetError();
    switch (error) {
        case EGL_SUCCESS:
            return "EGL_SUCCESS";
        case EGL_NOT_INITIALIZED:
            return "EGL_NOT_INITIALIZED";
        case EGL_BAD_ALLOC:
            return "EGL_BAD_ALLOC";
        case EGL_BAD_CONFIG:
            return "EGL_BAD_CONFIG";
        case EGL_BAD_DISPLAY:
            return "EGL_BAD_DISPLAY";
        case EGL_BAD_MATCH:
            return "EGL_BAD_MATCH";
        case EGL_BAD_PARAMETER:
            return "EGL_BAD_PARAMETER";
        default: {
            char text[24];
            std::snprintf(text, sizeof text, "EGL error 0x%04x", static_cast<unsigned>(error));
            return text;
        }
    }
}

EGLDisplay openDisplay(std::string& reason) {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        reason = "EGL has no eglGetPlatformDisplayEXT";
        return EGL_NO_DISPLAY;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        reason = "EGL offers no surfaceless display (" + eglErrorName() + ")";
        return EGL_NO_DISPLAY;
    }
    if (!eglInitialize(display, nullptr, nullptr)) {
        reason = "EGL could not initialise the surfaceless display (" + eglErrorName() + ")";
        return EGL_NO_DISPLAY;
    }
    return display;
}

bool chooseConfig(EGLDisplay display, int depth, EGLConfig& config) {
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 EGL_PBUFFER_BIT,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_ES_BIT,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_ALPHA_SIZE,
                                 8,
                                 EGL_DEPTH_SIZE,
                                 depth,
                                 EGL_NONE};
    EGLint count = 0;
    return eglChooseConfig(display, attributes, &config, 1, &count) && count == 1;
}

// Replaces the pbuffer by one of the output size and the given configuration, current with the
// context; the old one stays when the new one cannot be had. Called with the state locked.
bool replaceSurfaceLocked(EglState& s, EGLConfig config, int depth) {
    const EGLint surfaceAttributes[] = {EGL_WIDTH, s.outputWidth, EGL_HEIGHT, s.outputHeight, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(s.display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) return false;
    if (!eglMakeCurrent(s.display, surface, surface, s.context)) {
        eglDestroySurface(s.display, surface);
        if (s.surface != EGL_NO_SURFACE) eglMakeCurrent(s.display, s.surface, s.surface, s.context);
        return false;
    }
    if (s.surface != EGL_NO_SURFACE) eglDestroySurface(s.display, s.surface);
    s.surface = surface;
    s.surfaceWidth = s.outputWidth;
    s.surfaceHeight = s.outputHeight;
    s.depth = depth;
    return true;
}

// Makes the context current here, creating it and its pbuffer first when there are none, and the
// pbuffer again when the output size has changed. Called with the state locked.
bool startLocked(EglState& s, std::string& reason) {
    if (s.context != EGL_NO_CONTEXT) {
        if (s.surfaceWidth != s.outputWidth || s.surfaceHeight != s.outputHeight) {
            EGLConfig config = nullptr;
            if (chooseConfig(s.display, s.depth, config) && replaceSurfaceLocked(s, config, s.depth))
                return true;
            reason = "no pbuffer of the new output size";
        }
        return eglMakeCurrent(s.display, s.surface, s.surface, s.context) == EGL_TRUE;
    }
    if (s.display == EGL_NO_DISPLAY) {
        s.display = openDisplay(reason);
        if (s.display == EGL_NO_DISPLAY) return false;
    }
    if (!eglBindAPI(EGL_OPENGL_ES_API) || !chooseConfig(s.display, 16, s.config)) {
        reason = "no EGL configuration for OpenGL ES 1 pbuffers";
        return false;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
    // A context of no configuration can later be made current on a pbuffer of another depth.
    const char* extensions = eglQueryString(s.display, EGL_EXTENSIONS);
    const bool noConfig =
        extensions != nullptr && std::strstr(extensions, "EGL_KHR_no_config_context") != nullptr;
    s.context = eglCreateContext(s.display, noConfig ? EGL_NO_CONFIG_KHR : s.config, EGL_NO_CONTEXT,
                                 contextAttributes);
    if (s.context == EGL_NO_CONTEXT) {
        reason = "no OpenGL ES 1.1 context (" + eglErrorName() + ")";
        return false;
    }
    if (!replaceSurfaceLocked(s, s.config, 16)) {
        reason = "no pbuffer of the output size";
        eglDestroyContext(s.display, s.context);
        s.context = EGL_NO_CONTEXT;
        return false;
    }
    ++s.generation;
    return true;
}

// Waits until no other thread holds the context, then holds it. False when the wait ran out.
bool takeLocked(EglState& s, std::unique_lock<std::mutex>& lock) {
    const std::thread::id me = std::this_thread::get_id();
    if (s.holder == me) return true;
    if (!s.released.wait_for(lock, kHolderWait, [&] { return s.holder == std::thread::id(); })) {
        if (s.waitsAbandoned++ == 0)
            std::fprintf(stderr,
                         "quill: a thread held the GL context past a frame; drawing elsewhere skipped\n");
        return false;
    }
    s.holder = me;
    return true;
}

// Lets the context go from this thread. Called with the state locked by the holder.
void releaseLocked(EglState& s) {
    if (s.display != EGL_NO_DISPLAY)
        eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    s.holder = std::thread::id();
    s.released.notify_all();
}

void destroyLocked(EglState& s) {
    s.in2dMode = true;
    if (s.context == EGL_NO_CONTEXT) return;
    eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(s.display, s.surface);
    eglDestroyContext(s.display, s.context);
    s.surface = EGL_NO_SURFACE;
    s.context = EGL_NO_CONTEXT;
    s.surfaceWidth = 0;
    s.surfaceHeight = 0;
    s.depth = 0;
}

}  // namespace

void EglOutput::setOutputSize(int width, int height) {
    EglState& s = state();
    std::lock_guard lock(s.mutex);
    s.outputWidth = width > 0 ? width : 1;
    s.outputHeight = height > 0 ? height : 1;
}

bool EglOutput::probe(std::string& reason) {
    EglState& s = state();
    std::unique_lock lock(s.mutex);
    if (s.context != EGL_NO_CONTEXT) return true;
    if (!takeLocked(s, lock)) {
        reason = "another thread holds the context";
        return false;
    }
    const bool made = startLocked(s, reason);
    releaseLocked(s);
    return made;
}

int EglOutput::depthBits() {
    EglState& s = state();
    std::lock_guard lock(s.mutex);
    return s.surface == EGL_NO_SURFACE ? 0 : s.depth;
}

bool EglOutput::in2dMode() {
    EglState& s = state();
    std::lock_guard lock(s.mutex);
    return s.in2dMode;
}

std::vector<uint32_t> EglOutput::lastFrame(int& width, int& height) {
    EglState& s = state();
    std::lock_guard lock(s.mutex);
    width = s.frame.empty() ? 0 : s.surfaceWidth;
    height = s.frame.empty() ? 0 : s.surfaceHeight;
    return s.frame;
}

uint64_t EglOutput::framesPresented() {
    EglState& s = state();
    std::lock_guard lock(s.mutex);
    return s.presented;
}

uint64_t EglOutput::contextGeneration() {
    EglState& s = state();
    std::lock_guard lock(s.mutex);
    return s.generation;
}

bool EglOutput::heldHere() {
    EglState& s = state();
    std::lock_guard lock(s.mutex);
    return s.holder == std::this_thread::get_id();
}

void EglOutput::setViewSwitch(void (*switchView)(bool glOnScreen)) {
    viewSwitch.store(switchView);
}

uint64_t EglOutput::waitsAbandoned() {
    EglState& s = state();
    std::lock_guard lock(s.mutex);
    return s.waitsAbandoned;
}

}  // namespace platform

using platform::EglState;

std::atomic<bool> _sizeChangedResetGLView{false};

bool _EGLstart() {
    EglState& s = platform::state();
    std::unique_lock lock(s.mutex);
    if (!platform::takeLocked(s, lock)) return false;
    std::string reason;
    if (platform::startLocked(s, reason)) return true;
    platform::releaseLocked(s);
    return false;
}

bool _EGLWaitNative() {
    EglState& s = platform::state();
    std::lock_guard lock(s.mutex);
    return s.holder == std::this_thread::get_id() && s.context != EGL_NO_CONTEXT;
}

bool _EGLWaitGL() {
    EglState& s = platform::state();
    std::unique_lock lock(s.mutex);
    if (s.holder != std::this_thread::get_id()) return false;
    if (s.context == EGL_NO_CONTEXT) {
        platform::releaseLocked(s);
        return false;
    }
    // The first GL frame takes the screen from the image path.
    const bool switching = s.in2dMode;
    s.in2dMode = false;
    const int width = s.surfaceWidth;
    const int height = s.surfaceHeight;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    s.readBack.resize(count);
    s.frame.resize(count);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, s.readBack.data());
    for (int row = 0; row < height; ++row) {
        std::memcpy(s.frame.data() + static_cast<size_t>(row) * width,
                    s.readBack.data() + static_cast<size_t>(height - 1 - row) * width,
                    static_cast<size_t>(width) * 4);
    }
    ++s.presented;
    // The host copies the frame at once, under the lock, so that the next holder cannot rewrite it
    // meanwhile.
    if (platform::Host* host = platform::currentHost())
        host->presentFrame(s.frame.data(), width, height, width);
    platform::releaseLocked(s);
    lock.unlock();
    if (switching) platform::switchView(true);
    return true;
}

void _EGLdiscard() {
    EglState& s = platform::state();
    std::lock_guard lock(s.mutex);
    if (s.holder == std::this_thread::get_id()) platform::releaseLocked(s);
}

void _EGLstop() {
    EglState& s = platform::state();
    std::unique_lock lock(s.mutex);
    const bool held = platform::takeLocked(s, lock);
    const bool switching = !s.in2dMode;
    platform::destroyLocked(s);
    if (held) platform::releaseLocked(s);
    lock.unlock();
    if (switching) platform::switchView(false);
}

void _setGLBufferDepth(int depth) {
    EglState& s = platform::state();
    std::lock_guard lock(s.mutex);
    if (s.context == EGL_NO_CONTEXT || s.holder != std::this_thread::get_id()) return;
    const int bits = depth == 16 ? 16 : 24;
    EGLConfig config = nullptr;
    // The context keeps its configuration: only a pbuffer of a compatible one with the new depth
    // replaces the old.
    if (!platform::chooseConfig(s.display, bits, config)) return;
    if (!platform::replaceSurfaceLocked(s, config, bits)) return;
    EGLint actual = 0;
    eglGetConfigAttrib(s.display, config, EGL_DEPTH_SIZE, &actual);
    s.depth = actual;
}
