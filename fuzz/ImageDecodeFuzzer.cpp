// Feeds arbitrary bytes to the image decoders: every input must give an image or a clean failure.
#include <cstdint>
#include <cstdlib>

#include "platform/JpegDecoder.h"
#include "platform/PngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t width = 0, height = 0;
    uint32_t* png = platform::decodePNG(data, size, &width, &height);
    if (png != nullptr && (width <= 0 || height <= 0)) std::abort();
    std::free(png);
    int jpegWidth = 0, jpegHeight = 0;
    int32_t* jpeg = _decodeJPEGtoRGB(data, static_cast<int>(size), &jpegWidth, &jpegHeight);
    if ((jpeg != nullptr) != (jpegWidth > 0 && jpegHeight > 0)) std::abort();
    std::free(jpeg);
    return 0;
}
