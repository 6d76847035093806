// JPEG decoding on libjpeg-turbo. Its errors jump back here instead of ending the process, and every
// decode has its own state, so threads may decode at once.
#include "platform/codecs/JpegDecoder.h"

#include <jerror.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "platform/codecs/ImageLimits.h"

namespace {

// A progressive file may hold any number of scans, each a pass over the whole image; this keeps a
// small hostile file from costing minutes.
constexpr int kMaxScans = 256;

struct JumpingErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

struct JpegDecode {
    jpeg_decompress_struct info;
    JumpingErrorManager error;
    jpeg_progress_mgr progress;
    uint8_t* pixels = nullptr;
};

[[noreturn]] void jumpOnError(j_common_ptr common) {
    std::longjmp(reinterpret_cast<JumpingErrorManager*>(common->err)->jump, 1);
}

// Warnings are dropped, except the end of the data in mid-image: libjpeg would pad the rest of the
// image with grey, but a truncated file is a failed decode.
void emitMessage(j_common_ptr common, int level) {
    if (level < 0 && common->err->msg_code == JWRN_JPEG_EOF) jumpOnError(common);
}

void outputNothing(j_common_ptr) {}

void limitScans(j_common_ptr common) {
    auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number > kMaxScans) jumpOnError(common);
}

// Four-colour files come out as ink amounts; Adobe's writers store them inverted.
void convertInkToBgra(uint8_t* row, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x) {
        uint8_t* p = row + size_t{x} * 4;
        unsigned c = p[0], m = p[1], y = p[2], k = p[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        p[0] = static_cast<uint8_t>(y * k / 255);
        p[1] = static_cast<uint8_t>(m * k / 255);
        p[2] = static_cast<uint8_t>(c * k / 255);
        p[3] = 0xFF;
    }
}

// Holds the jump point, so it has only trivially destructible locals.
bool readImage(JpegDecode& decode, const uint8_t* data, unsigned long length) {
    j_decompress_ptr info = &decode.info;
    if (setjmp(decode.error.jump)) return false;

    jpeg_create_decompress(info);
    info->progress = &decode.progress;
    jpeg_mem_src(info, data, length);
    jpeg_read_header(info, TRUE);
    if (!platform::decodedSizeAllowed(info->image_width, info->image_height)) return false;

    bool ink = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    // Bytes blue, green, red, alpha: the word 0xAARRGGBB on this little-endian processor.
    info->out_color_space = ink ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(info);
    JDIMENSION width = info->output_width;
    JDIMENSION height = info->output_height;
    if (info->output_components != 4 || !platform::decodedSizeAllowed(width, height)) return false;

    decode.pixels = static_cast<uint8_t*>(std::malloc(size_t{width} * height * 4));
    if (decode.pixels == nullptr) return false;
    while (info->output_scanline < height) {
        uint8_t* row = decode.pixels + size_t{info->output_scanline} * width * 4;
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(info, rows, 1) != 1) return false;
        if (ink) convertInkToBgra(row, width, info->saw_Adobe_marker);
    }
    jpeg_finish_decompress(info);
    return true;
}

}  // namespace

int32_t* _decodeJPEGtoRGB(const void* data, int length, int* width, int* height) {
    *width = -1;
    *height = -1;
    JpegDecode decode{};
    bool decoded = false;
    if (data != nullptr && length > 0) {
        decode.info.err = jpeg_std_error(&decode.error.base);
        decode.error.base.error_exit = jumpOnError;
        decode.error.base.emit_message = emitMessage;
        decode.error.base.output_message = outputNothing;
        decode.progress.progress_monitor = limitScans;
        decoded = readImage(decode, static_cast<const uint8_t*>(data), static_cast<unsigned long>(length));
        if (decoded) {
            *width = static_cast<int>(decode.info.output_width);
            *height = static_cast<int>(decode.info.output_height);
        }
        // Safe on a half-built decompressor: jpeg_create_decompress clears it before anything can fail.
        jpeg_destroy_decompress(&decode.info);
    }
    if (!decoded) {
        std::free(decode.pixels);
        *width = 0;
        *height = 0;
        return nullptr;
    }
    return reinterpret_cast<int32_t*>(decode.pixels);
}
