#include "platform/codecs/JpegEncoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace platform {

namespace {

struct ErrorJump {
    jpeg_error_mgr base;
    jmp_buf jump;
};

void jumpOnError(j_common_ptr info) {
    longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1);
}

// Kept apart from encodeJPEG so that no object with a destructor lives across the setjmp.
bool compress(const uint32_t* argb, int width, int height, int quality, unsigned char** buffer,
              unsigned long* size, std::vector<uint8_t>& row) {
    jpeg_compress_struct info{};
    ErrorJump error{};
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = jumpOnError;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const uint32_t* source = argb + static_cast<size_t>(info.next_scanline) * width;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(source[x] >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(source[x] >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(source[x]);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::vector<uint8_t> encodeJPEG(const uint32_t* argb, int width, int height, int quality) {
    if (width <= 0 || height <= 0 || argb == nullptr) return {};
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool ok = compress(argb, width, height, quality, &buffer, &size, row);
    std::vector<uint8_t> out;
    if (ok && buffer != nullptr) out.assign(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace platform
