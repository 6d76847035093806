#include "platform/gl/EglOutput.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES/gl.h>

#include <cstring>
#include <mutex>

#include "platform/host/Host.h"

namespace platform {

namespace {

struct EglState {
    std::mutex mutex;
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
    std::vector<uint32_t> frame;
    std::vector<uint32_t> readBack;
};

EglState& state() {
    static EglState s;
    return s;
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
        reason = "no surfaceless EGL display";
        return EGL_NO_DISPLAY;
    }
    if (!eglInitialize(display, nullptr, nullptr)) {
        reason = "eglInitialize failed on the surfaceless platform";
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

// Called with the state locked.
bool startLocked(EglState& s, std::string& reason) {
    if (s.context != EGL_NO_CONTEXT) {
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
        reason = "no OpenGL ES 1.1 context";
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, s.outputWidth, EGL_HEIGHT, s.outputHeight, EGL_NONE};
    s.surface = eglCreatePbufferSurface(s.display, s.config, surfaceAttributes);
    if (s.surface == EGL_NO_SURFACE || !eglMakeCurrent(s.display, s.surface, s.surface, s.context)) {
        reason = "no pbuffer of the output size";
        if (s.surface != EGL_NO_SURFACE) eglDestroySurface(s.display, s.surface);
        eglDestroyContext(s.display, s.context);
        s.surface = EGL_NO_SURFACE;
        s.context = EGL_NO_CONTEXT;
        return false;
    }
    s.surfaceWidth = s.outputWidth;
    s.surfaceHeight = s.outputHeight;
    s.depth = 16;
    return true;
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
    std::lock_guard lock(s.mutex);
    if (s.context != EGL_NO_CONTEXT) return true;
    if (!startLocked(s, reason)) return false;
    eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    return true;
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

}  // namespace platform

using platform::EglState;

std::atomic<bool> _sizeChangedResetGLView{false};

bool _EGLstart() {
    EglState& s = platform::state();
    std::lock_guard lock(s.mutex);
    std::string reason;
    return platform::startLocked(s, reason);
}

void _EGLWaitNative() {
    EglState& s = platform::state();
    std::lock_guard lock(s.mutex);
    if (s.context != EGL_NO_CONTEXT) eglMakeCurrent(s.display, s.surface, s.surface, s.context);
}

void _EGLWaitGL() {
    EglState& s = platform::state();
    int width = 0, height = 0;
    {
        std::lock_guard lock(s.mutex);
        if (s.context == EGL_NO_CONTEXT) return;
        // The first GL frame takes the screen from the image path.
        s.in2dMode = false;
        width = s.surfaceWidth;
        height = s.surfaceHeight;
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
    }
    // The host copies the frame at once; the frame buffer is only rewritten by the next wait, on
    // this same drawing thread.
    if (platform::Host* host = platform::currentHost())
        host->presentFrame(s.frame.data(), width, height, width);
}

void _EGLstop() {
    EglState& s = platform::state();
    std::lock_guard lock(s.mutex);
    s.in2dMode = true;
    if (s.context == EGL_NO_CONTEXT) return;
    eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(s.display, s.surface);
    eglDestroyContext(s.display, s.context);
    s.surface = EGL_NO_SURFACE;
    s.context = EGL_NO_CONTEXT;
    s.depth = 0;
}

void _setGLBufferDepth(int depth) {
    EglState& s = platform::state();
    std::lock_guard lock(s.mutex);
    if (s.context == EGL_NO_CONTEXT) return;
    const int bits = depth == 16 ? 16 : 24;
    EGLConfig config = nullptr;
    // The context keeps its configuration: only a pbuffer of a compatible one with the new depth
    // replaces the old.
    if (!platform::chooseConfig(s.display, bits, config)) return;
    const EGLint surfaceAttributes[] = {EGL_WIDTH, s.surfaceWidth, EGL_HEIGHT, s.surfaceHeight, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(s.display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) return;
    if (!eglMakeCurrent(s.display, surface, surface, s.context)) {
        eglDestroySurface(s.display, surface);
        eglMakeCurrent(s.display, s.surface, s.surface, s.context);
        return;
    }
    eglDestroySurface(s.display, s.surface);
    s.surface = surface;
    EGLint actual = 0;
    eglGetConfigAttrib(s.display, config, EGL_DEPTH_SIZE, &actual);
    s.depth = actual;
}
