// javax.microedition.lcdui.Graphics: the drawing context over a buffer of 32-bit pixel words (bytes
// R, G, B, A in memory), with colour, translation, clip and the shape primitives.
#pragma once

#include <bit>
#include <cstdint>

#include "graphics/PixelBox.h"
#include "graphics/PixelLoops.h"
#include "graphics/Switch2DOver3D.h"
#include "graphics/TSRect.h"
#include "runtime/JArray.h"
#include "runtime/Object.h"
#include "runtime/String.h"

static_assert(std::endian::native == std::endian::little,
              "pixel words are stored as bytes R, G, B, A: port the colour conversion first");

namespace javax::microedition::lcdui {

class Font;
class Image;
class Texture2DOver3D;

class Graphics : public java::lang::Object {
    TESL_CLASS(Graphics, "javax.microedition.lcdui.Graphics", java::lang::Object)
public:
    static constexpr int32_t HCENTER = 1;
    static constexpr int32_t VCENTER = 2;
    static constexpr int32_t LEFT = 4;
    static constexpr int32_t RIGHT = 8;
    static constexpr int32_t TOP = 16;
    static constexpr int32_t BOTTOM = 32;
    static constexpr int32_t BASELINE = 64;
    static constexpr int32_t SOLID = 0;
    static constexpr int32_t DOTTED = 1;

    // Opaque black, no translation, the clip covering the whole buffer of the display's size. The
    // creator points `pixels` at the buffer.
    Graphics() noexcept;
    ~Graphics() override;

    Graphics* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    // 0x00RRGGBB (or 0xAARRGGBB) and the pixel word convert both ways by exchanging bytes 0 and 2.
    static constexpr uint32_t argbToPixel(uint32_t argb) { return pixels::swapRedBlue(argb); }
    static constexpr uint32_t pixelToArgb(uint32_t pixel) { return argbToPixel(pixel); }

    // Text (GraphicsText.cpp). A null string or array throws NullPointerException, a bad substring
    // range StringIndexOutOfBoundsException, a bad array range ArrayIndexOutOfBoundsException.
    virtual void drawChars(const JavaPtr<JArray<unsigned short>>& data, int offset, int length, int x, int y,
                           int anchor);
    virtual void clipRect(int x, int y, int w, int h);
    // Copies the part of the source rectangle (absolute pixels) that lies in the buffer to the
    // anchored destination, translated and clipped, as opaque pixels.
    virtual void copyArea(int xSrc, int ySrc, int w, int h, int xDest, int yDest, int anchor);
    virtual void drawArc(int x, int y, int w, int h, int startAngle, int arcAngle);
    virtual void drawChar(unsigned short c, int x, int y, int anchor);
    // A null image, or one without pixels, draws nothing.
    virtual void drawImage(const JavaPtr<Image>& img, int x, int y, int anchor);
    virtual void drawLine(int x1, int y1, int x2, int y2);
    virtual void drawRect(int x, int y, int w, int h);
    // The region is cut to the image; what remains lands where it would have in the whole region.
    virtual void drawRegion(const JavaPtr<Image>& src, int xSrc, int ySrc, int width, int height,
                            int transform, int xDest, int yDest, int anchor);
    // Value (i, j) is rgbData[offset + j x scanlength + i]. Throws NullPointerException for a null
    // array and ArrayIndexOutOfBoundsException, before drawing anything, when a value that would be
    // drawn lies outside it.
    virtual void drawRGB(const JavaPtr<JArray<int>>& rgbData, int offset, int scanlength, int x, int y,
                         int width, int height, bool processAlpha);
    virtual void drawRoundRect(int x, int y, int w, int h, int arcWidth, int arcHeight);
    virtual void drawString(const JavaPtr<java::lang::String>& str, int x, int y, int anchor);
    virtual void drawSubstring(const JavaPtr<java::lang::String>& str, int offset, int len, int x, int y,
                               int anchor);
    virtual void fillArc(int x, int y, int w, int h, int startAngle, int arcAngle);
    virtual void fillRect(int x, int y, int w, int h);
    virtual void fillRoundRect(int x, int y, int w, int h, int arcWidth, int arcHeight);
    virtual void fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3);
    virtual int getBlueComponent();
    virtual int getClipHeight();
    virtual int getClipWidth();
    virtual int getClipX();
    virtual int getClipY();
    virtual int getColor();
    virtual int getDisplayColor(int c);
    virtual JavaPtr<Font> getFont();
    virtual int getGrayScale();
    virtual int getGreenComponent();
    virtual int getRedComponent();
    virtual int getStrokeStyle();
    virtual int getTranslateX();
    virtual int getTranslateY();
    virtual void setClip(int x, int y, int w, int h);
    virtual void setColor(int c);
    virtual void setColor(int r, int g, int b);
    virtual void setFont(const JavaPtr<Font>& f);
    virtual void setGrayScale(int v);
    virtual void setStrokeStyle(int style);
    virtual void translate(int dx, int dy);

    // Cuts r (absolute pixels) to the clip, and to the buffer whatever the clip says. An empty clip
    // makes r the clip rectangle itself; an empty result has a width or height of 0 or less.
    void reduceClip(TSRect& r);
    // Fills r (absolute pixels, already cut to the clip) with the pixel word; never writes outside
    // the buffer.
    void myRectBlit(TSRect& r);
    // Reads the pixels (x + i, y + j), absolute and unclipped but cut to the buffer, into
    // rgbData[offset + j x scanlength + i] as ARGB values; array errors as for drawRGB.
    void getRGB(const JavaPtr<JArray<int>>& rgbData, int offset, int scanlength, int x, int y, int width,
                int height);
    // Draws the source rectangle of img into dst (both already cut to each other, the image and the
    // clip) under the transform, with the loop the image's alpha flags choose.
    void myBlitter(TSRect& dst, TSRect& src, Image* img, int transform);
    // Blends a w x h coverage mask (w bytes per row) in the current colour at absolute (x, y); the
    // caller has cut it to the clip and the buffer.
    void myBlitChar(const uint8_t* coverage, int x, int y, int w, int h);

    int32_t width = 0;  // also the row stride in words
    int32_t height = 0;
    int32_t strokeStyle = SOLID;
    bool isScreen = false;
    uint32_t* pixels = nullptr;  // not owned
    int32_t translateX = 0;
    int32_t translateY = 0;
    int32_t color = 0;
    JavaPtr<Font> font;
    // Absolute buffer pixels, translation applied.
    int32_t clipX = 0;
    int32_t clipY = 0;
    int32_t clipWidth = 0;
    int32_t clipHeight = 0;
    uint32_t pixelWord = 0xFF000000u;
    // The image whose pixels this graphics draws into, kept alive as long as the graphics is.
    JavaPtr<Image> targetImage;

#if _ATTEMPTS_2D_OVER_3D
    // The current colour as fractions for GL.
    float glRed = 0.0f;
    float glGreen = 0.0f;
    float glBlue = 0.0f;
    // Set on an image's graphics: its drawing marks the image's texture for upload.
    JavaPtr<Texture2DOver3D> renderTexture;
    int32_t textureOffsetX = 0;
    int32_t textureOffsetY = 0;

    // These belong to the thread that holds the GL context (platform/gl/EglOutput.h), which takes it
    // with a frame's first primitive and gives it back when the frame is presented or dropped.
    static inline bool initialised_3d = false;
    static inline std::atomic<bool> ready_for_2d_over_3d{false};
    static inline int last_bound_texture = -1;

    // Starts the GL context through the shell; false when there is none.
    static bool initialise2DOver3D();
    // Prepares the calling thread's frame (and the GL state the first time, and again on a new
    // context); false when GL could not be had, and then nothing is drawn.
    static bool getReadyFor2DOver3D();
    // Drops the calling thread's unpresented frame, if it has one, and lets the context go.
    static void discardFrame2DOver3D();
    // True while the calling thread has a frame open.
    static bool frameOpenHere2DOver3D();
    // Draws the pending batch, makes newKind (-1 keeps the kind) the pending kind and binds texture
    // (null: texturing off). False when the texture could not be given a name.
    static bool flushPendingBuffer2DOver3D(int newKind, Texture2DOver3D* texture);
    // Entries pending and the pending kind (-1 none, 0 lines, 1 coloured, 2 textured).
    static int pendingEntries2DOver3D();
    static int pendingKind2DOver3D();
    // Live textures (those not yet swept).
    static int liveTextures2DOver3D();

    void setColor2DOver3D(int c);
    void myRectBlit2DOver3D(const TSRect& r);
    void drawLine2DOver3D(int x1, int y1, int x2, int y2, bool rightward);
    void myBlitter2DOver3D(const TSRect& dst, const TSRect& src, Image* img, int transform);
    void drawRGB2DOver3D(const int* rgbData, int scanlength, int x, int y, int width, int height,
                         bool processAlpha);
    // Glyph coverage as a translucent quad of the current colour.
    void myBlitChar2DOver3D(const uint8_t* coverage, int x, int y, int w, int h);
    // The screen draws through GL: only its graphics (no render texture) takes the GL twins.
    bool drawsThroughGL() const {
        return isScreen && !renderTexture;
    }
    // An image's graphics marks the texture to be uploaded again before its next use.
    void markTextureDirty();
#endif

private:
    // Every coordinate below is 64-bit, so that sums of translation, position and size never wrap.
    PixelBox bufferBox() const {
        return PixelBox{0, 0, width, height};
    }
    // The clip as stored, cut to the buffer: a clip left over from a larger buffer must not reach
    // past the end of this one.
    PixelBox drawableBox() const;
    void setAbsoluteClip(int64_t ax, int64_t ay, int64_t w, int64_t h);
    void fillBox(const PixelBox& box);
    // Draws the glyphs of count characters with the text's top left corner at absolute (ax, ay).
    void drawGlyphs(int fontIndex, const unsigned short* units, int count, int64_t ax, int64_t ay);
    void fillRectWide(int64_t x, int64_t y, int64_t w, int64_t h);
    void drawLineWide(int64_t x1, int64_t y1, int64_t x2, int64_t y2);
    void drawArcWide(int64_t x, int64_t y, int64_t w, int64_t h, int64_t startAngle, int64_t arcAngle);
    void fillArcWide(int64_t x, int64_t y, int64_t w, int64_t h, int64_t startAngle, int64_t arcAngle);
    // The composite shapes call the simpler ones through their virtual operations whenever the
    // arguments fit in an int; only sums beyond that range take the 64-bit bodies directly.
    void callFillRect(int64_t x, int64_t y, int64_t w, int64_t h);
    void callDrawLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2);
    void callDrawArc(int64_t x, int64_t y, int64_t w, int64_t h, int64_t startAngle, int64_t arcAngle);
    void callFillArc(int64_t x, int64_t y, int64_t w, int64_t h, int64_t startAngle, int64_t arcAngle);
    void drawImageRegion(Image* img, int xSrc, int ySrc, int regionWidth, int regionHeight, int transform,
                         int xDest, int yDest, int anchor);
};

}  // namespace javax::microedition::lcdui

#if _ATTEMPTS_2D_OVER_3D
// The flush of the 2D-over-3D configuration: draws the last batch and presents the frame. The
// argument is not used.
void flushGraphics2DOver3D(void*);
#endif
