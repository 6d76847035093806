// Builds PNG and JPEG files in memory for the decoder tests, with the codecs' own write sides.
// Header-only: a test suite that includes it links PNG::PNG, JPEG::JPEG and ZLIB::ZLIB.
#pragma once

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace testsupport {

struct PngSpec {
    int width = 1;
    int height = 1;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    bool interlaced = false;
    std::vector<png_color> palette;
    // tRNS: alpha per palette entry, or one colour key for grey and RGB images.
    std::vector<uint8_t> paletteAlpha;
    bool hasColourKey = false;
    png_color_16 colourKey{};
    // Rows as the file stores them: samples packed most significant first, 16-bit samples big-endian.
    std::vector<std::vector<uint8_t>> rows;
};

namespace detail {

inline void appendToVector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

inline void flushNothing(png_structp) {}

// Holds the jump point, so no locals with destructors.
inline bool writePng(png_structp png, png_infop info, const PngSpec& spec, std::vector<uint8_t>* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, appendToVector, flushNothing);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colourType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty()) {
        png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
    }
    if (!spec.paletteAlpha.empty()) {
        png_set_tRNS(png, info, spec.paletteAlpha.data(), static_cast<int>(spec.paletteAlpha.size()),
                     nullptr);
    } else if (spec.hasColourKey) {
        png_set_tRNS(png, info, nullptr, 0, &spec.colourKey);
    }
    png_write_info(png, info);
    int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (const auto& row : spec.rows) png_write_row(png, row.data());
    }
    png_write_end(png, info);
    return true;
}

}  // namespace detail

inline std::vector<uint8_t> encodePng(const PngSpec& spec) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> out;
    bool written = detail::writePng(png, info, spec, &out);
    png_destroy_write_struct(&png, &info);
    if (!written) throw std::runtime_error("the test PNG could not be written");
    return out;
}

// An opaque 8-bit RGB PNG from 0xRRGGBB values in row order.
inline std::vector<uint8_t> encodeRgbPng(int width, int height, const std::vector<uint32_t>& rgb,
                                         bool interlaced = false) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.colourType = PNG_COLOR_TYPE_RGB;
    spec.interlaced = interlaced;
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < width; ++x) {
            uint32_t v = rgb[static_cast<size_t>(y) * width + x];
            row.insert(row.end(), {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
        }
        spec.rows.push_back(row);
    }
    return encodePng(spec);
}

// One chunk with its length and CRC, for hand-made files.
inline std::vector<uint8_t> pngChunk(const char type[4], const std::vector<uint8_t>& data) {
    std::vector<uint8_t> chunk;
    uint32_t length = static_cast<uint32_t>(data.size());
    chunk.insert(chunk.end(),
                 {uint8_t(length >> 24), uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length)});
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    uint32_t crc = static_cast<uint32_t>(crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4)));
    chunk.insert(chunk.end(), {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
    return chunk;
}

struct JpegSpec {
    int width = 1;
    int height = 1;
    J_COLOR_SPACE colourSpace = JCS_RGB;  // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
    int components = 3;
    int quality = 100;
    bool progressive = false;
    std::vector<uint8_t> samples;  // interleaved, rows top to bottom
};

// An RGB JPEG's spec from 0xRRGGBB values in row order.
inline JpegSpec rgbJpegSpec(int width, int height, const std::vector<uint32_t>& rgb) {
    JpegSpec spec;
    spec.width = width;
    spec.height = height;
    for (uint32_t v : rgb)
        spec.samples.insert(spec.samples.end(), {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    return spec;
}

namespace detail {

struct JpegWriteError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] inline void jumpOnJpegError(j_common_ptr common) {
    std::longjmp(reinterpret_cast<JpegWriteError*>(common->err)->jump, 1);
}

inline bool writeJpeg(jpeg_compress_struct* info, const JpegSpec& spec, unsigned char** buffer,
                      unsigned long* size) {
    if (setjmp(reinterpret_cast<JpegWriteError*>(info->err)->jump)) return false;
    jpeg_create_compress(info);
    jpeg_mem_dest(info, buffer, size);
    info->image_width = spec.width;
    info->image_height = spec.height;
    info->input_components = spec.components;
    info->in_color_space = spec.colourSpace;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, spec.quality, TRUE);
    if (spec.progressive) jpeg_simple_progression(info);
    jpeg_start_compress(info, TRUE);
    while (info->next_scanline < info->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(spec.samples.data()) +
                       static_cast<size_t>(info->next_scanline) * spec.width * spec.components;
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    return true;
}

}  // namespace detail

inline std::vector<uint8_t> encodeJpeg(const JpegSpec& spec) {
    jpeg_compress_struct info{};
    detail::JpegWriteError error{};
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = detail::jumpOnJpegError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool written = detail::writeJpeg(&info, spec, &buffer, &size);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> out;
    if (written) out.assign(buffer, buffer + size);
    std::free(buffer);
    if (!written) throw std::runtime_error("the test JPEG could not be written");
    return out;
}

}  // namespace testsupport
