// The few OpenGL ES 1.1 calls the 2D-over-3D back end makes, behind plain C++ functions so that no GL
// header reaches graphics/. Every call acts on the context made current by EglOutput.
#pragma once

#include <cstdint>

namespace platform::gles1 {

// Viewport (0, 0, w, h), lighting, dithering, culling and depth test off, source-over blending,
// transparent black clear colour, the frustum, and the vertex and colour arrays on.
void configure2D(int viewportWidth, int viewportHeight, float halfWidth, float halfHeight);
// Clears the colour buffer and sets the model view to a translation by (0, 0, -1), then a rotation
// about z by the given degrees when it is not 0.
void beginFrame(float rotateDegrees);
// Vertices of seven floats (x, y, z, r, g, b, a): lines (pairs) or triangles.
void drawColoured(const float* xyzRgba, int vertexCount, bool lines);
// Vertices of five floats (x, y, z, u, v), triangles, with the bound texture.
void drawTextured(const float* xyzUv, int vertexCount);
// Texturing off, the texture-coordinate array off and the colour array on.
void texturingOff();
// Texturing and the texture-coordinate array on, the colour array off.
void texturingOn();
void bindTexture(int name);
// A new texture name, or -1 when none can be made.
int generateTexture();
// Uploads width x height pixel words (bytes R, G, B, A) whole, nearest filtering both ways.
void uploadTexture(int name, int width, int height, const uint32_t* pixels);
void deleteTexture(int name);
void flush();

// Draw calls (drawColoured and drawTextured) and uploads made so far, for tests and benchmarks.
uint64_t drawCallCount();
uint64_t uploadCount();

}  // namespace platform::gles1
