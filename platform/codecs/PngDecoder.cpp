// PNG decoding on libpng's read side through a bounded memory reader.
#include "platform/codecs/PngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include "platform/codecs/ImageLimits.h"

namespace platform {

namespace {

// Ancillary chunks (text, profiles) are skipped; this only bounds what libpng buffers for them.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;

struct MemoryReader {
    const uint8_t* data;
    size_t length;
    size_t position;
};

// Everything the decode allocates, kept outside the function that holds the jump point so that a
// libpng error can be cleaned up after the jump.
struct PngDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

void readFromMemory(png_structp png, png_bytep out, size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->length - reader->position) png_error(png, "read past the end of the data");
    std::memcpy(out, reader->data + reader->position, count);
    reader->position += count;
}

uint32_t bigEndianAt(const uint8_t* at) {
    return uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | at[3];
}

// libpng's text-chunk readers allocate and clear whatever length a chunk claims before reading it,
// outside the chunk allocation limit: a 41-byte file claiming a 2 GB zTXt costs 2 GB. So every
// chunk, up to IEND, must fit in the bytes that remain before libpng sees the data; then nothing it
// buffers for a chunk can exceed the data itself.
bool chunksFitInData(const uint8_t* data, size_t length) {
    size_t position = 8;
    for (;;) {
        if (length - position < 12) return false;
        const uint32_t chunkLength = bigEndianAt(data + position);
        if (chunkLength > 0x7FFFFFFFu || chunkLength > length - position - 12) return false;
        const bool last = std::memcmp(data + position + 4, "IEND", 4) == 0;
        position += size_t{chunkLength} + 12;
        if (last) return true;
    }
}

[[noreturn]] void jumpOnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Holds the jump point, so it has only trivially destructible locals: a longjmp out of libpng skips
// no destructor.
bool readImage(PngDecode& decode, MemoryReader& reader) {
    png_structp png = decode.png;
    png_infop info = decode.info;
    if (setjmp(png_jmpbuf(png))) return false;

    png_set_read_fn(png, &reader, readFromMemory);
    png_set_user_limits(png, kMaxDecodedSide, kMaxDecodedSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    if (!decodedSizeAllowed(width, height)) return false;

    png_set_strip_16(png);
    png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE || (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) ||
        png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_expand(png);
    }
    // Grey images would otherwise stay at one or two bytes per pixel.
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * 4) return false;

    decode.pixels = static_cast<uint32_t*>(std::malloc(size_t{width} * height * 4));
    if (decode.pixels == nullptr) return false;
    // After the transforms a row is exactly the pixel words, so rows are read in place; interlaced
    // passes fill the rows of the earlier passes in.
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 row = 0; row < height; ++row) {
            png_read_row(png, reinterpret_cast<png_bytep>(decode.pixels + size_t{row} * width), nullptr);
        }
    }
    png_read_end(png, nullptr);
    decode.width = static_cast<int32_t>(width);
    decode.height = static_cast<int32_t>(height);
    return true;
}

}  // namespace

bool isPngSignature(const uint8_t* data, size_t length) {
    return data != nullptr && length >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

uint32_t* decodePNG(const uint8_t* data, size_t length, int32_t* width, int32_t* height) {
    *width = 0;
    *height = 0;
    if (!isPngSignature(data, length) || !chunksFitInData(data, length)) return nullptr;

    PngDecode decode;
    decode.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, ignoreWarning);
    if (decode.png == nullptr) return nullptr;
    decode.info = png_create_info_struct(decode.png);
    MemoryReader reader{data, length, 0};
    bool decoded = decode.info != nullptr && readImage(decode, reader);
    png_destroy_read_struct(&decode.png, decode.info != nullptr ? &decode.info : nullptr, nullptr);
    if (!decoded) {
        std::free(decode.pixels);
        return nullptr;
    }
    *width = decode.width;
    *height = decode.height;
    return decode.pixels;
}

}  // namespace platform
