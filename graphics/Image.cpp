// Image creation: blank, from ARGB integers, by copying or transforming another image, and by decoding
// PNG and JPEG bytes through the platform decoders.
#include "graphics/Image.h"

#include <cstdlib>
#include <cstring>

#include "graphics/Graphics.h"
#include "graphics/PixelLoops.h"
#include "platform/ImageLimits.h"
#include "platform/JpegDecoder.h"
#include "platform/PngDecoder.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::lcdui {

namespace {

[[noreturn]] void throwIndexOutOfRange(int64_t index) {
    java::lang::ArrayIndexOutOfBoundsException error;
    error.TESLinvokeconstructor(static_cast<int>(index));
    throw error;
}

bool sizeAllowed(int width, int height) {
    return width >= 0 && height >= 0 && int64_t{width} * height <= platform::kMaxDecodedPixels;
}

}  // namespace

Image::~Image() {
    std::free(m_pixels);
}

Image* Image::TESLinvokeconstructor() {
    Object::TESLinvokeconstructor();
    m_graphics = nullptr;
    return this;
}

JavaPtr<Image> Image::allocate(int width, int height) {
    JavaPtr<Image> image = jnew<Image>();
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (count > 0) {
        image->m_pixels = static_cast<uint32_t*>(std::malloc(count * 4));
        // A size within the limits that still cannot be had is refused like an oversized one.
        if (image->m_pixels == nullptr) throw java::lang::IllegalArgumentException();
    }
    image->m_width = width;
    image->m_height = height;
    return image;
}

JavaPtr<Image> Image::createImage(int width, int height) {
    if (!sizeAllowed(width, height)) throw java::lang::IllegalArgumentException();
    JavaPtr<Image> image = allocate(width, height);
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (count > 0) std::memset(image->m_pixels, 0xFF, count * 4);
    image->m_mutable = true;
    return image;
}

JavaPtr<Image> Image::createRGBImage(const int* argb, int width, int height, bool processAlpha) {
    JavaPtr<Image> image = allocate(width, height);
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    uint32_t alphaOr = processAlpha ? 0 : 0xFF000000u;
    for (size_t i = 0; i < count; ++i) {
        image->m_pixels[i] = pixels::swapRedBlue(static_cast<uint32_t>(argb[i])) | alphaOr;
    }
    if (processAlpha) image->scanAlpha();
    return image;
}

JavaPtr<Image> Image::createRGBImage(const JavaPtr<JArray<int>>& argb, int width, int height,
                                     bool processAlpha) {
    if (!argb) throw java::lang::NullPointerException();
    if (!sizeAllowed(width, height)) throw java::lang::IllegalArgumentException();
    int64_t needed = int64_t{width} * height;
    if (needed > argb->length) throwIndexOutOfRange(argb->length);
    return createRGBImage(argb->data, width, height, processAlpha);
}

JavaPtr<Image> Image::createImage(const JavaPtr<JArray<signed char>>& data, int offset, int length) {
    if (!data) throw java::lang::NullPointerException();
    if (offset < 0 || length < 0 || int64_t{offset} + length > data->length) {
        throwIndexOutOfRange(offset < 0 ? offset : length < 0 ? length : data->length);
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(data->data) + offset;
    if (length >= 2 && bytes[0] == 0x89 && bytes[1] == 'P' && platform::isPngSignature(bytes, length)) {
        int32_t width = 0, height = 0;
        uint32_t* decoded = platform::decodePNG(bytes, static_cast<size_t>(length), &width, &height);
        if (decoded == nullptr) return nullptr;
        JavaPtr<Image> image = jnew<Image>();
        image->m_pixels = decoded;
        image->m_width = width;
        image->m_height = height;
        image->scanAlpha();
        return image;
    }
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
        int width = 0, height = 0;
        int32_t* argb = _decodeJPEGtoRGB(bytes, length, &width, &height);
        if (argb == nullptr) return nullptr;
        // The decoder's words become the image's pixels in place: opaque, so no alpha flags.
        auto* words = reinterpret_cast<uint32_t*>(argb);
        size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        for (size_t i = 0; i < count; ++i) words[i] = pixels::swapRedBlue(words[i]) | 0xFF000000u;
        JavaPtr<Image> image = jnew<Image>();
        image->m_pixels = words;
        image->m_width = width;
        image->m_height = height;
        return image;
    }
    return nullptr;
}

JavaPtr<Image> Image::createImage(const JavaPtr<Image>& source) {
    if (!source) throw java::lang::NullPointerException();
    // A transform value that acts as none but never hands back the source itself.
    return createImage(source, 0, 0, source->getWidth(), source->getHeight(), -1);
}

JavaPtr<Image> Image::createImage(const JavaPtr<Image>& source, int x, int y, int width, int height,
                                  int transform) {
    if (!source) throw java::lang::NullPointerException();
    if (x < 0 || y < 0 || width < 0 || height < 0 || int64_t{x} + width > source->m_width ||
        int64_t{y} + height > source->m_height) {
        throw java::lang::IllegalArgumentException();
    }
    if (!source->m_mutable && x == 0 && y == 0 && transform == 0 && width == source->m_width &&
        height == source->m_height) {
        return source;
    }
    if (transform < 1 || transform > 7) transform = 0;
    int drawnWidth = transform >= 4 ? height : width;
    int drawnHeight = transform >= 4 ? width : height;
    JavaPtr<Image> image = allocate(drawnWidth, drawnHeight);
    if (image->m_pixels != nullptr) {
        pixels::TransformWalk walk = pixels::transformWalk(transform, width, height, drawnWidth);
        pixels::blit(image->m_pixels + static_cast<ptrdiff_t>(walk.startY) * drawnWidth + walk.startX,
                     walk.columnStep, walk.rowStep,
                     source->m_pixels + static_cast<ptrdiff_t>(y) * source->m_width + x, source->m_width,
                     width, height, pixels::BlitLoop::Opaque);
    }
    image->m_binaryAlpha = source->m_binaryAlpha;
    image->m_translucent = source->m_translucent;
    return image;
}

JavaPtr<Graphics> Image::getGraphics() {
    JavaPtr<Graphics> graphics = jnew<Graphics>();
    graphics->width = m_width;
    graphics->height = m_height;
    graphics->pixels = m_pixels;
    graphics->clipX = 0;
    graphics->clipY = 0;
    graphics->clipWidth = m_width;
    graphics->clipHeight = m_height;
    graphics->targetImage = JavaPtr<Image>(this);
    return graphics;
}

void Image::getRGB(const JavaPtr<JArray<int>>& rgbData, int offset, int scanlength, int x, int y, int width,
                   int height) {
    getGraphics()->getRGB(rgbData, offset, scanlength, x, y, width, height);
}

int Image::getHeight() {
    return m_height;
}

int Image::getWidth() {
    return m_width;
}

bool Image::isMutable() {
    return m_mutable;
}

void Image::scanAlpha() {
    m_binaryAlpha = false;
    m_translucent = false;
    size_t count = static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
    for (size_t i = 0; i < count; ++i) {
        uint32_t alpha = m_pixels[i] >> 24;
        if (alpha == 255) continue;
        if (alpha != 0) {
            // Translucent wins over binary alpha, and nothing later changes either flag.
            m_binaryAlpha = false;
            m_translucent = true;
            return;
        }
        m_binaryAlpha = true;
    }
}

}  // namespace javax::microedition::lcdui
