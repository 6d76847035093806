// Feeds arbitrary bytes to the image factories, as an array and as a stream: every input must give
// an image or null, and an image's size must match its pixels.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "graphics/Image.h"
#include "library/ByteArrayInputStream.h"

using javax::microedition::lcdui::Image;

namespace {

void checkImage(const JavaPtr<Image>& image) {
    if (!image) return;
    if (image->getWidth() <= 0 || image->getHeight() <= 0 || image->m_pixels == nullptr) std::abort();
    // Touch the last pixel, so a buffer shorter than the size shows under the address sanitizer.
    volatile uint32_t last = image->m_pixels[static_cast<size_t>(image->getWidth()) * image->getHeight() - 1];
    (void)last;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    auto bytes = jnew<JArray<signed char>>(static_cast<int>(size));
    if (size > 0) std::memcpy(bytes->data, data, size);
    checkImage(Image::createImage(bytes, 0, static_cast<int>(size)));
    // The same bytes as a stream of images, read until one is refused.
    auto stream = jnew<java::io::ByteArrayInputStream>(bytes);
    for (int images = 0; images < 4; ++images) {
        JavaPtr<Image> image = Image::createImage(stream);
        checkImage(image);
        if (!image) break;
    }
    return 0;
}
