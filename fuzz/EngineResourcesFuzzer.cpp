// libFuzzer target for the canvas's resource readers. Byte 0 picks the reader, the rest is its input:
// - 0: a resource map read by initTessel, with every pack and loose file served from the same bytes
//   as a memory-backed file, so that every declared length goes through the real file reading; then
//   every block is loaded and every resource read through each typed getter. A refused map throws
//   IOException, which is its failure form.
// - 1: an image resource loaded into the cache, split or not, with palettes cut from the input, then
//   measured by every selector and drawn by every cell under every transform into a small image. A
//   failed load answers -1 and leaves every slot free.
// - 2: a language table loaded by loadLanguage; every entry it keeps is decoded, wrapped and inserted
//   into the next, which must not throw: a kept entry is a whole ENC string.
// Nothing read may crash or read outside its bytes; the image cache must stay consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/HookCanvas.h"
#include "fuzz/FuzzBytes.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "library/ByteArrayInputStream.h"
#include "library/DataInputStream.h"
#include "runtime/IOException.h"
#include "runtime/String.h"

namespace {

using Bytes = JArray<signed char>;

using fuzzsupport::copyOf;

// A canvas whose files are the fuzzer's input instead of the bundle's.
class FuzzCanvas : public HookCanvas {
    TESL_CLASS(FuzzCanvas, "fuzz.FuzzCanvas", HookCanvas)
public:
    FuzzCanvas() noexcept {}
    FuzzCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        return this;
    }

    // Files: every name opens the input as a stream, and the canvas's own reading takes it from there,
    // lengths declared by the map included.
    JavaPtr<java::io::DataInputStream> getFileFromJarAsDataInputStream(
        const JavaPtr<java::lang::String>&) override {
        JavaPtr<java::io::ByteArrayInputStream> file =
            jnew<java::io::ByteArrayInputStream>()->TESLinvokeconstructor(copyOf(input, inputSize));
        return jnew<java::io::DataInputStream>()->TESLinvokeconstructor(file);
    }
    // In the image mode: resource 0 the image, 1 and 2 palettes cut from its tail.
    JavaPtr<Bytes> getResourceByteArray(int32_t id) override {
        if (!imageMode) return HookCanvas::getResourceByteArray(id);
        if (id == 0) return copyOf(input, inputSize);
        size_t length = id == 1 ? paletteLength : paletteLength / 2;
        if (id > 2 || length == 0 || length > inputSize) return nullptr;
        return copyOf(input + inputSize - length, length);
    }

    // Widths from the character code, so that the text mode's wrap has lines to break.
    int32_t getCharWidth(int32_t, unsigned short c) override { return c % 7; }

    const uint8_t* input = nullptr;
    size_t inputSize = 0;
    bool imageMode = false;
    size_t paletteLength = 0;
};

void readMap(FuzzCanvas& canvas) {
    try {
        canvas.initTessel();
    } catch (java::io::IOException&) {
        return;
    }
    int blocks = HookCanvas::block_pack_mappings->length / HookCanvas::SIZE_BLOCKPACKPMAPPINGS;
    int resources = HookCanvas::res_block_mappings->length / HookCanvas::SIZE_RESBLOCKMAPPINGS;
    for (int b = -1; b <= blocks; ++b) canvas.loadResourceBlock(b);
    for (int r = -1; r <= resources && r < 64; ++r) {
        canvas.getResourceByteArray(r);
        canvas.getResourceShortArray(r);
        canvas.getResourceLongArray(r);
        canvas.getResourceDoubleArray(r);
    }
    for (int b = 0; b < blocks; ++b) canvas.unloadResourceBlock(b);
    canvas.unloadUnusedResourcePacks();
}

void readImage(FuzzCanvas& canvas, uint8_t control) {
    canvas.imageMode = true;
    canvas.paletteLength = static_cast<size_t>(control >> 2) * 4;
    bool split = (control & 1) != 0;
    int second = (control & 2) ? 2 : -1;
    int slot =
        canvas.loadImageID(0, 1, second == -1 ? 1 : second, HookCanvas::LOADIMAGETRANSFORM_NONE, split);
    if (slot < -1 || slot > 255) std::abort();
    // A loaded slot holds one Image, or one a cell when split; a failed load takes no slot.
    if (slot >= 0) {
        JavaPtr<JArray<JavaPtr<javax::microedition::lcdui::Image>>> row = canvas.image_cache->data[slot];
        if (!row || row->length < 1) std::abort();
    }

    JavaPtr<javax::microedition::lcdui::Image> target =
        javax::microedition::lcdui::Image::createImage(24, 16);
    JavaPtr<javax::microedition::lcdui::Graphics> g = target->getGraphics();
    int cells = canvas.getImageDimension(slot, 0, 0, HookCanvas::IMAGEDIMENSION_NUM_CELLS_WIDE) *
                canvas.getImageDimension(slot, 0, 0, HookCanvas::IMAGEDIMENSION_NUM_CELLS_HIGH);
    for (int cell = -1; cell <= cells && cell < 40; ++cell) {
        for (int t = 0; t < 8; ++t) {
            for (int selector = 0; selector <= 10; ++selector)
                canvas.getImageDimension(slot, cell, t, selector);
            canvas.drawImageID(g, slot, cell, t, 5, 3, t * 9 % 64);
        }
        canvas.drawImageIDNoTransform(g, slot, cell, 20, 12, 3);
    }
    canvas.unloadImageID(slot);
    for (int i = 0; i < HookCanvas::PARAM_TS_IMAGEBASE_SIZE_OF_IMAGE_CACHE; ++i) {
        if (canvas.image_cache->data[i]) std::abort();
    }
}

void readLanguage(FuzzCanvas& canvas) {
    // The guideline mask is a class static.
    static const bool staticsMade = (HookCanvas::HookCanvas_globalStaticCreate(), true);
    (void)staticsMade;
    canvas.loadLanguage(0);
    const auto table = HookCanvas::enc_strings;
    if (!table) return;
    const JavaPtr<java::lang::String> marker = jnew<java::lang::String>("%s");
    JavaPtr<Bytes> previous;
    for (int id = -1; id <= table->length && id < 64; ++id) {
        JavaPtr<Bytes> enc = canvas.getENCString(id);
        canvas.getString(id);
        if (!enc) continue;
        canvas.splitENCString(enc, 0, 20);
        if (previous)
            canvas.getStringFromENCString(canvas.insertENCStringIntoENCString(enc, marker, previous));
        previous = enc;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static JavaPtr<FuzzCanvas> canvas = jnew<FuzzCanvas>();
    canvas->input = data + 1;
    canvas->inputSize = size - 1;
    canvas->imageMode = false;
    switch (data[0]) {
        case 0:
            readMap(*canvas);
            break;
        case 1:
            if (size >= 2) {
                canvas->input = data + 2;
                canvas->inputSize = size - 2;
                readImage(*canvas, data[1]);
            }
            break;
        case 2:
            readLanguage(*canvas);
            break;
        default:
            break;
    }
    return 0;
}
