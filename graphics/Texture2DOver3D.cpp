#include "graphics/Texture2DOver3D.h"

#include "graphics/Graphics.h"

#if _ATTEMPTS_2D_OVER_3D

#include <cstdlib>

#include "platform/gl/Gles1.h"

namespace javax::microedition::lcdui {

int Texture2DOver3D::powerOfTwoAtLeast(int n) {
    int size = 2;
    while (size < n && size < (1 << 30)) size <<= 1;
    return size;
}

Texture2DOver3D::Texture2DOver3D(int imageWidth, int imageHeight) noexcept {
    width = powerOfTwoAtLeast(imageWidth);
    height = powerOfTwoAtLeast(imageHeight);
    pixels = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(width) * static_cast<size_t>(height), 4));
}

Texture2DOver3D::~Texture2DOver3D() {
    // The GL name is only given back by the sweep's thread, which holds the context; the copy is
    // ours and is freed in any case, so that a texture never swept does not leak it.
    if (deletable && textureName >= 0) platform::gles1::deleteTexture(textureName);
    std::free(pixels);
}

}  // namespace javax::microedition::lcdui

#endif
