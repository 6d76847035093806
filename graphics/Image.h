// javax.microedition.lcdui.Image: a rectangle of pixel words owned by the image, made blank, from ARGB
// integers, from another image, or by decoding PNG and JPEG data.
#pragma once

#include <cstdint>

#include "graphics/Switch2DOver3D.h"
#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::lang {
class String;
}
namespace java::io {
class InputStream;
}

namespace javax::microedition::lcdui {

class Graphics;
class Texture2DOver3D;

class Image : public java::lang::Object {
    TESL_CLASS(Image, "javax.microedition.lcdui.Image", java::lang::Object)
public:
    Image() noexcept {}
    ~Image() override;
    Image* TESLinvokeconstructor();

    // A mutable image of opaque white. Negative sizes, or more pixels than an image may hold, throw
    // IllegalArgumentException; 0 x 0 is allowed.
    static JavaPtr<Image> createImage(int width, int height);
    // One PNG or JPEG image starting at data[offset]; null when the bytes are neither or do not decode.
    static JavaPtr<Image> createImage(const JavaPtr<JArray<signed char>>& data, int offset, int length);
    // Reads the whole file (names beginning with "/" are bundle resources) and decodes it; throws
    // IOException for a missing, empty or undecodable file.
    static JavaPtr<Image> createImage(const JavaPtr<java::lang::String>& name);
    // Takes exactly one image's bytes from the stream, so that images may follow each other, and
    // decodes them; null when they are not a PNG or JPEG image, are cut short, or do not decode. A
    // JPEG image takes the rest of the stream.
    static JavaPtr<Image> createImage(const JavaPtr<java::io::InputStream>& stream);
    static JavaPtr<Image> createImage(const JavaPtr<Image>& source);
    static JavaPtr<Image> createImage(const JavaPtr<Image>& source, int x, int y, int width, int height,
                                      int transform);
    static JavaPtr<Image> createRGBImage(const JavaPtr<JArray<int>>& argb, int width, int height,
                                         bool processAlpha);
    // The caller has checked the sizes and that argb holds width x height values.
    static JavaPtr<Image> createRGBImage(const int* argb, int width, int height, bool processAlpha);
    // An immutable image of width x height pixels given as bytes A, R, G, B each, rows top to bottom:
    // the image decoding a PNG of those pixels gives. Null when its pixels cannot be had. The caller
    // has checked the sizes against the decode limits and that argb holds the pixels.
    static JavaPtr<Image> createImageFromArgbBytes(const uint8_t* argb, int width, int height);

    // A new graphics over the image's pixels on every call, clipped to the image; it keeps the image
    // alive. Immutable images answer one too.
    virtual JavaPtr<Graphics> getGraphics();
    virtual int getHeight();
    // The region's pixels as ARGB values, through Graphics::getRGB.
    virtual void getRGB(const JavaPtr<JArray<int>>& rgbData, int offset, int scanlength, int x, int y,
                        int width, int height);
    virtual int getWidth();
    virtual bool isMutable();

    // Sets both alpha flags from the pixels: translucent when some alpha lies strictly between 0 and
    // 255, otherwise binary alpha when some alpha is 0.
    void scanAlpha();

    bool m_mutable = false;
    int32_t m_width = 0;
    int32_t m_height = 0;
    // The image's one graphics in the 2D-over-3D back end; null in software drawing.
    JavaPtr<Graphics> m_graphics;
    // m_width x m_height words from malloc, rows top to bottom; null for an image of no pixels.
    uint32_t* m_pixels = nullptr;
    bool m_binaryAlpha = false;
    bool m_translucent = false;

#if _ATTEMPTS_2D_OVER_3D
    // The image's texture, made when it is first drawn on the screen or given a graphics. The image
    // keeps its own pixels: copies, getRGB and drawing into it work on them as in software, and the
    // texture's padded copy is refreshed from them before an upload.
    JavaPtr<Texture2DOver3D> m_texture;
    void prepareTextureFor2DOver3D();
    // Called by the destructor: the next frame's sweep reclaims the texture.
    void removeTexture2DOver3D();
#endif

private:
    // An image of the given size with uninitialised pixels; the caller has checked the sizes.
    static JavaPtr<Image> allocate(int width, int height);
    // An image that takes over pixels from malloc (a decoder's buffer).
    static JavaPtr<Image> adopt(uint32_t* pixels, int width, int height);
};

}  // namespace javax::microedition::lcdui
