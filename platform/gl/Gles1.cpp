#include "platform/gl/Gles1.h"

#include <GLES/gl.h>

#include <atomic>

namespace platform::gles1 {

namespace {
std::atomic<uint64_t> g_drawCalls{0};
std::atomic<uint64_t> g_uploads{0};
}  // namespace

void configure2D(int viewportWidth, int viewportHeight, float halfWidth, float halfHeight) {
    glViewport(0, 0, viewportWidth, viewportHeight);
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustumf(-halfWidth, halfWidth, -halfHeight, halfHeight, 0.125f, 1000.0f);
    glMatrixMode(GL_MODELVIEW);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
}

void beginFrame(float rotateDegrees) {
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    if (rotateDegrees != 0.0f) glRotatef(rotateDegrees, 0.0f, 0.0f, 1.0f);
}

void drawColoured(const float* xyzRgba, int vertexCount, bool lines) {
    glColorPointer(4, GL_FLOAT, 28, xyzRgba + 3);
    glVertexPointer(3, GL_FLOAT, 28, xyzRgba);
    glDrawArrays(lines ? GL_LINES : GL_TRIANGLES, 0, vertexCount);
    g_drawCalls.fetch_add(1, std::memory_order_relaxed);
}

void drawTextured(const float* xyzUv, int vertexCount) {
    glTexCoordPointer(2, GL_FLOAT, 20, xyzUv + 3);
    glVertexPointer(3, GL_FLOAT, 20, xyzUv);
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
    g_drawCalls.fetch_add(1, std::memory_order_relaxed);
}

void texturingOff() {
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
}

void texturingOn() {
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    // Textured quads are drawn as they are, not tinted by the last colour.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void bindTexture(int name) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
}

int generateTexture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0 || glGetError() != GL_NO_ERROR || name > 0x7FFFFFFFu) return -1;
    return static_cast<int>(name);
}

void uploadTexture(int name, int width, int height, const uint32_t* pixels) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    g_uploads.fetch_add(1, std::memory_order_relaxed);
}

void deleteTexture(int name) {
    GLuint n = static_cast<GLuint>(name);
    glDeleteTextures(1, &n);
}

void flush() {
    glFlush();
}

uint64_t drawCallCount() {
    return g_drawCalls.load(std::memory_order_relaxed);
}

uint64_t uploadCount() {
    return g_uploads.load(std::memory_order_relaxed);
}

}  // namespace platform::gles1
