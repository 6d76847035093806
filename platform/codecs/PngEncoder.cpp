#include "platform/codecs/PngEncoder.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>

#include "platform/codecs/ImageLimits.h"
#include "platform/files/FileOperations.h"
#include "platform/files/RegularFiles.h"

namespace platform {
namespace {

void appendBytes(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// Holds the jump point, so no locals with destructors here: the row is the caller's.
bool writeRows(png_structp png, png_infop info, const uint32_t* pixels, int width, int height, int stride,
               uint8_t* row, std::vector<uint8_t>* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, appendBytes, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        std::memcpy(row, pixels + static_cast<size_t>(y) * static_cast<size_t>(stride),
                    static_cast<size_t>(width) * 4);
        for (int x = 0; x < width; ++x) row[static_cast<size_t>(x) * 4 + 3] = 0xFF;
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

std::vector<uint8_t> encodePNG(const uint32_t* pixels, int width, int height, int stride) {
    std::vector<uint8_t> out;
    if (pixels == nullptr || !decodedSizeAllowed(width, height) || stride < width) return out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return out;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return out;
    }
    std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
    const bool written = writeRows(png, info, pixels, width, height, stride, row.data(), &out);
    png_destroy_write_struct(&png, &info);
    if (!written) out.clear();
    return out;
}

bool writePNGFile(const std::string& path, const uint32_t* pixels, int width, int height, int stride,
                  std::string& error) {
    const std::vector<uint8_t> bytes = encodePNG(pixels, width, height, stride);
    if (bytes.empty()) {
        error = "the frame could not be encoded as PNG";
        return false;
    }
    const std::string temporary = path + ".tmp";
    const FileOperations& files = fileOperations();
    int descriptor = openRegularFileForWriting(temporary.c_str(), WriteMode::Truncate);
    if (descriptor < 0) {
        error = "cannot create " + temporary + ": " + std::strerror(errno);
        return false;
    }
    bool written = writeFully(descriptor, bytes.data(), bytes.size()) && syncDescriptor(descriptor);
    int writeError = errno;
    if (!closeDescriptor(descriptor) && written) {
        written = false;
        writeError = errno;
    }
    if (!written) {
        error = "cannot write " + temporary + ": " + std::strerror(writeError);
        files.unlink(temporary.c_str());
        return false;
    }
    if (files.rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot rename " + temporary + " to " + path + ": " + std::strerror(errno);
        files.unlink(temporary.c_str());
        return false;
    }
    if (!syncParentDirectory(path.c_str())) {
        error = "cannot sync the directory of " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace platform
