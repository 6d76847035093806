// Image creation: blank, from ARGB integers, by copying or transforming another image, and by decoding
// PNG and JPEG bytes through the platform decoders.
#include "graphics/Image.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/PixelLoops.h"
#include "graphics/Texture2DOver3D.h"
#include "library/File.h"
#include "library/FileInputStream.h"
#include "library/InputStream.h"
#include "platform/codecs/ImageLimits.h"
#include "platform/codecs/JpegDecoder.h"
#include "platform/codecs/PngDecoder.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IOException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"

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

// One image read from a stream may hold at most this many bytes: more than any image within the
// decode limits needs.
constexpr int64_t kMaxStreamedImageBytes = int64_t{1} << 28;

// Appends exactly count bytes of the stream; false when the stream ends first or the image would
// grow beyond its bound.
bool copyFromStream(java::io::InputStream& stream, int64_t count, std::vector<uint8_t>& bytes) {
    if (count < 0 || static_cast<int64_t>(bytes.size()) + count > kMaxStreamedImageBytes) return false;
    for (int64_t i = 0; i < count; ++i) {
        int b = stream.read();
        if (b < 0) return false;
        bytes.push_back(static_cast<uint8_t>(b));
    }
    return true;
}

// Reads and drops count bytes; false when the stream ends first.
bool skipInStream(java::io::InputStream& stream, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
        if (stream.read() < 0) return false;
    }
    return true;
}

uint32_t bigEndianAt(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
           bytes[at + 3];
}

uint32_t littleEndianAt(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t{bytes[at + 3]} << 24 | uint32_t{bytes[at + 2]} << 16 | uint32_t{bytes[at + 1]} << 8 |
           bytes[at];
}

// The bytes of one image at the front of the stream, or false (the bytes already taken stay taken).
bool takeOneImage(java::io::InputStream& stream, std::vector<uint8_t>& bytes) {
    if (!copyFromStream(stream, 2, bytes)) return false;
    if (bytes[0] == 'B' && bytes[1] == 'M') {
        // An 8-bit palette bitmap: 54 header bytes and a 1024-byte palette, rows padded to 4 bytes.
        // Its bytes are consumed but not decoded.
        if (!copyFromStream(stream, 24, bytes)) return false;
        int64_t width = static_cast<int32_t>(littleEndianAt(bytes, 18));
        int64_t height = static_cast<int32_t>(littleEndianAt(bytes, 22));
        int64_t rest = height * ((width + 3) & ~int64_t{3}) + 1052;
        if (width < 0 || height < 0 || rest > kMaxStreamedImageBytes) return false;
        skipInStream(stream, rest);
        return false;
    }
    if (bytes[0] == 0x89 && bytes[1] == 'P') {
        if (!copyFromStream(stream, 6, bytes)) return false;
        for (;;) {
            size_t chunk = bytes.size();
            if (!copyFromStream(stream, 8, bytes)) return false;
            uint32_t length = bigEndianAt(bytes, chunk);
            // Chunk lengths stop at 2^31 - 1.
            if (length > 0x7FFFFFFFu || !copyFromStream(stream, int64_t{length} + 4, bytes)) return false;
            if (std::memcmp(bytes.data() + chunk + 4, "IEND", 4) == 0) return true;
        }
    }
    if (bytes[0] == 0xFF && bytes[1] == 0xD8) {
        for (int b = stream.read(); b >= 0; b = stream.read()) {
            if (static_cast<int64_t>(bytes.size()) >= kMaxStreamedImageBytes) return false;
            bytes.push_back(static_cast<uint8_t>(b));
        }
        return true;
    }
    return false;
}

}  // namespace

Image::~Image() {
#if _ATTEMPTS_2D_OVER_3D
    removeTexture2DOver3D();
#endif
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

JavaPtr<Image> Image::createImageFromArgbBytes(const uint8_t* argb, int width, int height) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    // As the PNG decoder's buffer: a failed allocation answers null, as a failed decode does.
    auto* words = static_cast<uint32_t*>(std::malloc(count * 4));
    if (words == nullptr && count > 0) return nullptr;
    // Bytes A, R, G, B read as one little-endian word, turned to the pixel word's R, G, B, A order.
    for (size_t i = 0; i < count; ++i) {
        uint32_t word;
        std::memcpy(&word, argb + i * 4, 4);
        words[i] = word >> 8 | word << 24;
    }
    JavaPtr<Image> image = adopt(words, width, height);
    image->scanAlpha();
    return image;
}

JavaPtr<Image> Image::adopt(uint32_t* pixels, int width, int height) {
    JavaPtr<Image> image = jnew<Image>();
    image->m_pixels = pixels;
    image->m_width = width;
    image->m_height = height;
    return image;
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
        JavaPtr<Image> image = adopt(decoded, width, height);
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
        return adopt(words, width, height);
    }
    return nullptr;
}

JavaPtr<Image> Image::createImage(const JavaPtr<java::lang::String>& name) {
    if (!name) throw java::lang::NullPointerException();
    JavaPtr<java::io::File> file = jnew<java::io::File>(name);
    JavaPtr<java::io::FileInputStream> stream = jnew<java::io::FileInputStream>(file);
    long long length = file->length();
    if (length <= 0 || length > INT32_MAX) throw java::io::IOException();
    JavaPtr<JArray<signed char>> bytes;
    try {
        bytes = jnewArray<signed char>(static_cast<int>(length));
    } catch (const std::bad_alloc&) {
        // A file too large to hold fails as an unreadable one does.
        throw java::io::IOException();
    }
    int read = stream->read(bytes, 0, bytes->length);
    stream->close();
    JavaPtr<Image> image = read > 0 ? createImage(bytes, 0, read) : nullptr;
    if (!image) throw java::io::IOException();
    image->m_mutable = false;
    return image;
}

JavaPtr<Image> Image::createImage(const JavaPtr<java::io::InputStream>& stream) {
    if (!stream) throw java::lang::NullPointerException();
    std::vector<uint8_t> collected;
    if (!takeOneImage(*stream, collected)) return nullptr;
    JavaPtr<JArray<signed char>> bytes;
    try {
        bytes = jnewArray<signed char>(static_cast<int>(collected.size()));
    } catch (const std::bad_alloc&) {
        // This factory answers null for any image it cannot make.
        return nullptr;
    }
    std::memcpy(bytes->data, collected.data(), collected.size());
    return createImage(bytes, 0, bytes->length);
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
#if _ATTEMPTS_2D_OVER_3D
    prepareTextureFor2DOver3D();
    graphics->renderTexture = m_texture;
#endif
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
