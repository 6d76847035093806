#include "platform/host/LaunchImage.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/codecs/PngDecoder.h"
#include "platform/files/RegularFiles.h"

namespace platform {
namespace {

// Launch pictures are a screen's worth of PNG; anything far larger is not one.
constexpr long kMaxFileBytes = 64l << 20;

std::optional<LaunchImage> loadFile(const std::string& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(openRegularFileForReading(path.c_str()), std::fclose);
    if (!file) return std::nullopt;
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t count;
    while ((count = std::fread(block, 1, sizeof block, file.get())) > 0) {
        bytes.insert(bytes.end(), block, block + count);
        if (static_cast<long>(bytes.size()) > kMaxFileBytes) return std::nullopt;
    }
    if (std::ferror(file.get())) return std::nullopt;
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<uint32_t, void (*)(void*)> pixels(decodePNG(bytes.data(), bytes.size(), &width, &height),
                                                      std::free);
    if (!pixels) return std::nullopt;
    LaunchImage image;
    image.pixels.assign(pixels.get(),
                        pixels.get() + static_cast<size_t>(width) * static_cast<size_t>(height));
    image.width = width;
    image.height = height;
    image.path = path;
    return image;
}

}  // namespace

std::optional<LaunchImage> loadLaunchImage(const std::string& path) {
    if (path.empty()) return std::nullopt;
    if (auto image = loadFile(path)) return image;
    const size_t lastName = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (lastName == std::string::npos || dot > lastName);
    if (hasExtension) return std::nullopt;
    if (auto image = loadFile(path + "@2x.png")) return image;
    return loadFile(path + ".png");
}

}  // namespace platform
