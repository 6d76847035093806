// The 2D-over-3D twins of the screen primitives: rectangles become coloured quads, lines GL lines and
// images textured quads, batched up to 256 entries per draw call. Drawing into an image stays in
// software; the image's texture is uploaded again when it is next drawn on the screen.
#include "graphics/Graphics.h"

#if _ATTEMPTS_2D_OVER_3D

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "graphics/Image.h"
#include "graphics/ScreenSize.h"
#include "graphics/Texture2DOver3D.h"
#include "library/Vector.h"
#include "platform/gl/EglOutput.h"
#include "platform/gl/Gles1.h"

namespace javax::microedition::lcdui {

namespace {

constexpr int kEntries = 256;
constexpr int kColouredFloats = 7;
constexpr int kTexturedFloats = 5;

// The batch, the texture list and the GL state belong to the thread that holds the GL context: the
// context's hand-over (platform/gl/EglOutput.cpp, under its mutex) orders one holder's writes before
// the next one's reads.
float _fc_xyz_rgba[kEntries * 6 * kColouredFloats];
float _tm_xyz_uv[kEntries * 6 * kTexturedFloats];
int _pending_buffer = -1;
int _pending_buffer_index = 0;
float _min_dimension = 1.0f;
float _inv_min_dimension = 1.0f;
// Guards _allTheTextures: images, and with them textures, are made on any thread (the loading
// thread among others), while only the GL context's holder sweeps and renames them.
std::mutex texturesMutex;
JavaPtr<java::util::Vector> _allTheTextures;
// The context the GL state above was set up for.
uint64_t _set_up_generation = 0;
// The calling thread's frame is open: it holds the context from its first primitive to the flush.
thread_local bool frameOpen = false;

void setUpGLState() {
    const int w = std::max(ScreenSize::width, 1);
    const int h = std::max(ScreenSize::height, 1);
    const float halfWidth = h < w ? 0.125f * (static_cast<float>(w) / static_cast<float>(h)) : 0.125f;
    const float halfHeight = halfWidth * static_cast<float>(h) / static_cast<float>(w);
    platform::gles1::configure2D(w, h, halfWidth, halfHeight);
    Graphics::last_bound_texture = -1;
    _min_dimension = static_cast<float>(std::min(w, h));
    _inv_min_dimension = 1.0f / _min_dimension;
    for (int v = 0; v < kEntries * 6; ++v) {
        _fc_xyz_rgba[v * kColouredFloats + 2] = 0.0f;
        _fc_xyz_rgba[v * kColouredFloats + 6] = 1.0f;
        _tm_xyz_uv[v * kTexturedFloats + 2] = 0.0f;
    }
}

void sweepTextures() {
    std::lock_guard<std::mutex> lock(texturesMutex);
    if (!_allTheTextures) return;
    bool removed = false;
    for (int i = _allTheTextures->size() - 1; i >= 0; --i) {
        auto* texture = static_cast<Texture2DOver3D*>(_allTheTextures->elementAt(i).get());
        if (texture == nullptr || !texture->orphaned.load(std::memory_order_acquire)) continue;
        texture->deletable = true;
        _allTheTextures->removeElementAt(i);
        removed = true;
    }
    // A deleted name may come back for a new texture: nothing may pass for bound any more.
    if (removed && Graphics::last_bound_texture != -1) {
        platform::gles1::texturingOff();
        Graphics::last_bound_texture = -1;
    }
}

// A new context knows none of the old names: every live texture is named and uploaded again.
void forgetTextureNames() {
    Graphics::last_bound_texture = -1;
    _pending_buffer = -1;
    _pending_buffer_index = 0;
    std::lock_guard<std::mutex> lock(texturesMutex);
    if (!_allTheTextures) return;
    for (int i = 0; i < _allTheTextures->size(); ++i) {
        auto* texture = static_cast<Texture2DOver3D*>(_allTheTextures->elementAt(i).get());
        if (texture == nullptr) continue;
        texture->textureName = -1;
        texture->uploadPending = true;
    }
}

struct GLPoint {
    float x, y;
};

}  // namespace

bool Graphics::initialise2DOver3D() {
    return _EGLstart();
}

bool Graphics::getReadyFor2DOver3D() {
    if (frameOpen) return true;
    // Takes the context, waiting for another thread's frame to end; the context may be a new one
    // since this thread last drew (after _EGLstop), whose set-up and texture names start afresh.
    if (!initialise2DOver3D()) return false;
    const uint64_t generation = platform::EglOutput::contextGeneration();
    if (generation != _set_up_generation) {
        initialised_3d = false;
        forgetTextureNames();
        _set_up_generation = generation;
    }
    if (!initialised_3d) {
        initialised_3d = true;
        _sizeChangedResetGLView.store(false);
        setUpGLState();
    } else if (_sizeChangedResetGLView.exchange(false)) {
        setUpGLState();
    }
    sweepTextures();
    if (!_EGLWaitNative()) {
        _EGLdiscard();
        return false;
    }
    platform::gles1::beginFrame(0.0f);
    _pending_buffer_index = 0;
    frameOpen = true;
    ready_for_2d_over_3d = true;
    return true;
}

void Graphics::discardFrame2DOver3D() {
    if (!frameOpen) return;
    _pending_buffer_index = 0;
    frameOpen = false;
    ready_for_2d_over_3d = false;
    _EGLdiscard();
}

bool Graphics::frameOpenHere2DOver3D() {
    return frameOpen;
}

static void endFrameHere() {
    frameOpen = false;
}

bool Graphics::flushPendingBuffer2DOver3D(int newKind, Texture2DOver3D* texture) {
    if (_pending_buffer_index > 0) {
        switch (_pending_buffer) {
            case 0:
                platform::gles1::drawColoured(_fc_xyz_rgba, _pending_buffer_index * 2, true);
                break;
            case 1:
                platform::gles1::drawColoured(_fc_xyz_rgba, _pending_buffer_index * 6, false);
                break;
            case 2:
                platform::gles1::drawTextured(_tm_xyz_uv, _pending_buffer_index * 6);
                break;
            default:
                break;
        }
    }
    _pending_buffer_index = 0;
    if (newKind != -1) _pending_buffer = newKind;
    if (texture == nullptr) {
        if (last_bound_texture != -1) {
            platform::gles1::texturingOff();
            last_bound_texture = -1;
        }
        return true;
    }
    const bool wasOff = last_bound_texture == -1;
    if (wasOff) platform::gles1::texturingOn();
    if (!texture->uploadPending && texture->textureName >= 0) {
        if (last_bound_texture != texture->textureName) platform::gles1::bindTexture(texture->textureName);
        last_bound_texture = texture->textureName;
        return true;
    }
    if (texture->textureName < 0) texture->textureName = platform::gles1::generateTexture();
    if (texture->textureName < 0 || texture->pixels == nullptr) {
        // Leave texturing as the bound state says, so that the next coloured batch is not textured.
        if (wasOff) platform::gles1::texturingOff();
        return false;
    }
    platform::gles1::uploadTexture(texture->textureName, texture->width, texture->height, texture->pixels);
    last_bound_texture = texture->textureName;
    texture->uploadPending = false;
    return true;
}

int Graphics::pendingEntries2DOver3D() {
    return _pending_buffer_index;
}

int Graphics::pendingKind2DOver3D() {
    return _pending_buffer;
}

int Graphics::liveTextures2DOver3D() {
    std::lock_guard<std::mutex> lock(texturesMutex);
    return _allTheTextures ? _allTheTextures->size() : 0;
}

void Graphics::markTextureDirty() {
    if (renderTexture) renderTexture->dirty.store(true, std::memory_order_release);
}

void Graphics::setColor2DOver3D(int c) {
    const auto v = static_cast<uint32_t>(c);
    glRed = static_cast<float>((v >> 16) & 0xFF) / 255.0f;
    glGreen = static_cast<float>((v >> 8) & 0xFF) / 255.0f;
    glBlue = static_cast<float>(v & 0xFF) / 255.0f;
}

namespace {

GLPoint toGL(float x, float y, int w, int h) {
    return GLPoint{(2.0f * x - static_cast<float>(w)) * _inv_min_dimension,
                   -(2.0f * y - static_cast<float>(h)) * _inv_min_dimension};
}

void putColoured(float* v, GLPoint p, float r, float g, float b) {
    v[0] = p.x;
    v[1] = p.y;
    v[3] = r;
    v[4] = g;
    v[5] = b;
}

}  // namespace

void Graphics::myRectBlit2DOver3D(const TSRect& r) {
    if (r.width <= 0 || r.height <= 0 || !getReadyFor2DOver3D()) return;
    if (_pending_buffer != 1 || _pending_buffer_index >= kEntries) flushPendingBuffer2DOver3D(1, nullptr);
    const float x0 = static_cast<float>(r.x), y0 = static_cast<float>(r.y);
    const float x1 = x0 + static_cast<float>(r.width), y1 = y0 + static_cast<float>(r.height);
    const GLPoint corners[6] = {toGL(x0, y0, width, height), toGL(x0, y1, width, height),
                                toGL(x1, y0, width, height), toGL(x0, y1, width, height),
                                toGL(x1, y0, width, height), toGL(x1, y1, width, height)};
    float* v = _fc_xyz_rgba + static_cast<ptrdiff_t>(_pending_buffer_index) * 6 * kColouredFloats;
    for (int i = 0; i < 6; ++i) putColoured(v + i * kColouredFloats, corners[i], glRed, glGreen, glBlue);
    ++_pending_buffer_index;
}

void Graphics::drawLine2DOver3D(int x1, int y1, int x2, int y2, bool rightward) {
    (void)rightward;
    if (!getReadyFor2DOver3D()) return;
    if (_pending_buffer != 0 || _pending_buffer_index >= kEntries) flushPendingBuffer2DOver3D(0, nullptr);
    // Through the pixel centres, stretched by half a pixel at both ends, so that GL's half-open
    // lines light both end pixels as the software line does.
    const float dx = static_cast<float>(x2 - x1), dy = static_cast<float>(y2 - y1);
    const float length = std::max(std::abs(dx), std::abs(dy));
    const float ex = length > 0 ? 0.5f * dx / length : 0.0f, ey = length > 0 ? 0.5f * dy / length : 0.0f;
    float* v = _fc_xyz_rgba + static_cast<ptrdiff_t>(_pending_buffer_index) * 2 * kColouredFloats;
    putColoured(v,
                toGL(static_cast<float>(x1) + 0.5f - ex, static_cast<float>(y1) + 0.5f - ey, width, height),
                glRed, glGreen, glBlue);
    putColoured(v + kColouredFloats,
                toGL(static_cast<float>(x2) + 0.5f + ex, static_cast<float>(y2) + 0.5f + ey, width, height),
                glRed, glGreen, glBlue);
    ++_pending_buffer_index;
}

void Graphics::myBlitter2DOver3D(const TSRect& dst, const TSRect& src, Image* img, int transform) {
    if (src.width <= 0 || src.height <= 0 || img == nullptr || !getReadyFor2DOver3D()) return;
    img->prepareTextureFor2DOver3D();
    Texture2DOver3D* texture = img->m_texture.get();
    if (texture == nullptr || texture->pixels == nullptr) return;
    // Taken before the copy: drawing into the image meanwhile marks it again for the next use
    // instead of being lost.
    if (texture->dirty.exchange(false, std::memory_order_acq_rel) && img->m_pixels != nullptr) {
        for (int row = 0; row < img->m_height; ++row) {
            std::memcpy(texture->pixels + static_cast<size_t>(row) * texture->width,
                        img->m_pixels + static_cast<size_t>(row) * img->m_width,
                        static_cast<size_t>(img->m_width) * 4);
        }
        texture->uploadPending = true;
    }
    // A changed texture flushes too: quads already batched must draw with the pixels they were given.
    if (_pending_buffer != 2 || _pending_buffer_index >= kEntries ||
        last_bound_texture != texture->textureName || texture->uploadPending) {
        if (!flushPendingBuffer2DOver3D(2, texture)) return;
    }
    const float tw = static_cast<float>(texture->width), th = static_cast<float>(texture->height);
    const float su[2] = {static_cast<float>(src.x + textureOffsetX) / tw,
                         static_cast<float>(src.x + textureOffsetX + src.width) / tw};
    const float sv[2] = {static_cast<float>(src.y + textureOffsetY) / th,
                         static_cast<float>(src.y + textureOffsetY + src.height) / th};
    const float x0 = static_cast<float>(dst.x), y0 = static_cast<float>(dst.y);
    const float x1 = x0 + static_cast<float>(dst.width), y1 = y0 + static_cast<float>(dst.height);
    // The quad's corners (dx, dy), each 0 or 1, in triangle order, and for each transform the source
    // corner that lands on a destination corner.
    static constexpr int kCorners[6][2] = {{0, 0}, {0, 1}, {1, 0}, {0, 1}, {1, 0}, {1, 1}};
    float* v = _tm_xyz_uv + static_cast<ptrdiff_t>(_pending_buffer_index) * 6 * kTexturedFloats;
    for (int i = 0; i < 6; ++i) {
        const int dx = kCorners[i][0], dy = kCorners[i][1];
        int u = dx, w = dy;
        switch (transform) {
            case 1:
                u = dx, w = 1 - dy;
                break;
            case 2:
                u = 1 - dx, w = dy;
                break;
            case 3:
                u = 1 - dx, w = 1 - dy;
                break;
            case 4:
                u = dy, w = dx;
                break;
            case 5:
                u = dy, w = 1 - dx;
                break;
            case 6:
                u = 1 - dy, w = dx;
                break;
            case 7:
                u = 1 - dy, w = 1 - dx;
                break;
            default:
                break;
        }
        const GLPoint p = toGL(dx ? x1 : x0, dy ? y1 : y0, width, height);
        float* vertex = v + i * kTexturedFloats;
        vertex[0] = p.x;
        vertex[1] = p.y;
        vertex[3] = su[u];
        vertex[4] = sv[w];
    }
    ++_pending_buffer_index;
}

void Graphics::drawRGB2DOver3D(const int* rgbData, int scanlength, int x, int y, int w, int h,
                               bool processAlpha) {
    if (w <= 0 || h <= 0) return;
    std::vector<int> values(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int row = 0; row < h; ++row) {
        std::memcpy(values.data() + static_cast<size_t>(row) * w,
                    rgbData + static_cast<ptrdiff_t>(row) * scanlength, static_cast<size_t>(w) * 4);
    }
    JavaPtr<Image> image = Image::createRGBImage(values.data(), w, h, processAlpha);
    TSRect dst{x, y, w, h};
    TSRect src{0, 0, w, h};
    myBlitter2DOver3D(dst, src, image.get(), 0);
    // The image dies here; its texture may still be in the batch, so only the next sweep reclaims it.
    if (image->m_texture) image->m_texture->orphaned.store(true, std::memory_order_release);
}

void Graphics::myBlitChar2DOver3D(const uint8_t* coverage, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    // The coverage becomes the alpha of the current colour: GL's source-over blend then does what
    // the software blend does, rounded instead of floored.
    const uint32_t rgb = static_cast<uint32_t>(color) & 0x00FFFFFFu;
    std::vector<int> values(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int>(uint32_t{coverage[i]} << 24 | rgb);
    drawRGB2DOver3D(values.data(), w, x, y, w, h, true);
}

void Image::prepareTextureFor2DOver3D() {
    if (m_texture) return;
    m_texture = jnew<Texture2DOver3D>(m_width, m_height);
    std::lock_guard<std::mutex> lock(texturesMutex);
    if (!_allTheTextures) _allTheTextures = jnew<java::util::Vector>();
    _allTheTextures->addElement(m_texture);
}

void Image::removeTexture2DOver3D() {
    if (m_texture) m_texture->orphaned.store(true, std::memory_order_release);
}

}  // namespace javax::microedition::lcdui

using javax::microedition::lcdui::Graphics;

void flushGraphics2DOver3D(void*) {
    // Only the thread that drew this frame presents it: another thread's flush (or a flush with
    // nothing drawn) presents nothing and counts nothing.
    if (!Graphics::frameOpenHere2DOver3D()) return;
    Graphics::flushPendingBuffer2DOver3D(-1, nullptr);
    platform::gles1::flush();
    Graphics::ready_for_2d_over_3d = false;
    javax::microedition::lcdui::endFrameHere();
    _EGLWaitGL();
}

#endif
