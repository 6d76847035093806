// Images by id: image resources in their four shapes decoded into the 256-slot cache through the
// in-memory PNG writer, their sizes by selector and transform, and drawing a cell at an anchored point.
#include <algorithm>
#include <cstring>
#include <new>

#include "engine/HookCanvas.h"
#include "engine/ResourceLayout.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "runtime/Exception.h"
#include "runtime/NullPointerException.h"

namespace layout = resourcelayout;

namespace {

using Bytes = JArray<signed char>;
using ImageRow = JArray<JavaPtr<javax::microedition::lcdui::Image>>;

constexpr int kSlots = HookCanvas::PARAM_TS_IMAGEBASE_SIZE_OF_IMAGE_CACHE;
constexpr int kAnchorTopLeft = 20;
constexpr int kHCenter = 1;
constexpr int kVCenter = 2;
constexpr int kRight = 8;
constexpr int kBottom = 32;
constexpr int kPaletteEntryBytes = 4;
constexpr int kMaxPaletteEntries = 256;

int s16At(const signed char* p) {
    return static_cast<int16_t>(
        static_cast<uint16_t>(static_cast<uint8_t>(p[0]) << 8 | static_cast<uint8_t>(p[1])));
}

bool isPngSignature(const Bytes& bytes) {
    return bytes.length >= 4 && static_cast<uint8_t>(bytes.data[0]) == 0x89 && bytes.data[1] == 'P' &&
           bytes.data[2] == 'N' && bytes.data[3] == 'G';
}

bool sizeAllowed(int64_t width, int64_t height) {
    // Each side is bounded first: a PNG's sides are 32-bit, and their product would overflow.
    return width > 0 && height > 0 && width <= layout::kMaxImagePixels && height <= layout::kMaxImagePixels &&
           width * height <= layout::kMaxImagePixels;
}

// The size a PNG declares in its header chunk, which must come first; false when the bytes from offset
// do not start with a whole one (the platform's decoder then refuses the file itself).
bool pngDeclaredSize(const Bytes& bytes, int offset, int64_t& width, int64_t& height) {
    constexpr int kWidthAt = 16;
    constexpr int kHeaderEnd = 24;
    if (bytes.length - offset < kHeaderEnd) return false;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data) + offset;
    if (std::memcmp(p + 12, "IHDR", 4) != 0) return false;
    auto u32 = [](const uint8_t* q) {
        return int64_t{q[0]} << 24 | int64_t{q[1]} << 16 | int64_t{q[2]} << 8 | int64_t{q[3]};
    };
    width = u32(p + kWidthAt);
    height = u32(p + kWidthAt + 4);
    return true;
}

// The fewest data bytes, after the encoding byte, that can hold `count` pixels: a run record covers at
// most 256 pixels (or 2^(8 - b) for b-bit indices), a plain pixel takes its whole width. Checked before
// the output is allocated, so a short resource never costs its declared size.
int64_t leastDataBytes(bool runLength, int64_t count, int indexBits, bool fullColour) {
    auto runs = [count](int64_t perRecord) { return (count + perRecord - 1) / perRecord; };
    if (fullColour) return runLength ? runs(256) * 5 : count * 4;
    if (indexBits == 8) return runLength ? runs(256) * 2 : count;
    return runLength ? runs(int64_t{1} << (8 - indexBits)) : (count * indexBits + 7) / 8;
}

// A cell table whose every rectangle lies inside a width x height image.
bool cellTableFits(const Bytes& table, int width, int height) {
    int across = s16At(table.data);
    int down = s16At(table.data + 2);
    if (across <= 0 || down <= 0) return false;
    for (int c = 0; c < across * down; ++c) {
        const signed char* r = table.data + layout::kCellTableHeaderBytes + c * layout::kCellRecordBytes;
        int x = s16At(r), y = s16At(r + 2), w = s16At(r + 4), h = s16At(r + 6);
        if (x < 0 || y < 0 || w < 0 || h < 0 || x + w > width || y + h > height) return false;
    }
    return true;
}

JavaPtr<Bytes> copyOf(const Bytes& bytes, int from) {
    JavaPtr<Bytes> copy = jnewArray<signed char>(bytes.length - from);
    if (copy->length > 0) std::memcpy(copy->data, bytes.data + from, static_cast<size_t>(copy->length));
    return copy;
}

// The palette the PNG is written with: at most 256 entries, and long enough for every index used, the
// added entries transparent (an index beyond the palette draws nothing).
JavaPtr<Bytes> paletteCovering(const JavaPtr<Bytes>& palette, int highestIndex) {
    int entries = palette->length / kPaletteEntryBytes;
    int wanted = std::min(std::max(entries, highestIndex + 1), kMaxPaletteEntries);
    if (wanted == entries && palette->length == entries * kPaletteEntryBytes) return palette;
    JavaPtr<Bytes> covering = jnewArray<signed char>(wanted * kPaletteEntryBytes);
    std::memcpy(covering->data, palette->data,
                static_cast<size_t>(std::min(entries, wanted) * kPaletteEntryBytes));
    return covering;
}

}  // namespace

int32_t HookCanvas::loadImageID(int32_t id, int32_t palette, int32_t transforms, bool splitCells) {
    return loadImageID(id, palette, palette, transforms, splitCells);
}

int32_t HookCanvas::loadImageID(int32_t id, int32_t firstPalette, int32_t secondPalette, int32_t transforms,
                                bool splitCells) {
    std::lock_guard<std::mutex> lock(image_cache_mutex);
    return loadImageIDLocked(id, firstPalette, secondPalette, transforms, splitCells);
}

int32_t HookCanvas::loadImageIDLocked(int32_t id, int32_t firstPalette, int32_t secondPalette,
                                      int32_t transforms, bool splitCells) {
    if (!image_cache || !image_keys || !image_dimensions || !image_cell_tables || !image_cells_split)
        return -1;
    if (firstPalette == -1) firstPalette = id + 1;
    if (secondPalette == -1) secondPalette = id + 1;
    int32_t key = secondPalette | static_cast<int32_t>(static_cast<uint32_t>(firstPalette) << 16);
    transforms &= 0xFF;

    int slot = -1;
    bool reused = false;
    for (int i = 0; i < kSlots; ++i) {
        if (image_cache->data[i] && image_keys->data[2 * i] == id && image_keys->data[2 * i + 1] == key) {
            transforms &= ~currentImageTransforms(i);
            if (transforms == 0) return i;
            slot = i;
            reused = true;
            break;
        }
    }
    if (slot == -1) {
        for (int i = 0; i < kSlots && slot == -1; ++i) {
            if (!image_cache->data[i]) slot = i;
        }
        // Every slot in use: nothing is written and there is no image id to answer.
        if (slot == -1) return -1;
        image_keys->data[2 * slot] = id;
        image_keys->data[2 * slot + 1] = key;
        image_cells_split->data[slot] = splitCells;
    }

    // A missing resource, or one that cannot be an image, leaves a newly taken slot free and answers -1:
    // the id that draws nothing and measures 0. Answering the free slot's number, as the loader once
    // did, gave the broken picture the id of whatever image was loaded next.
    auto reject = [&]() {
        if (reused) return slot;
        image_cache->data[slot] = nullptr;
        image_cell_tables->data[slot] = nullptr;
        return -1;
    };
    JavaPtr<Bytes> bytes = getResourceByteArray(id);
    if (!bytes) return reject();

    try {
        int format = layout::kFormatRawPng;
        int flags = 0;
        int offset = 0;
        int width = 0;
        int height = 0;
        bool headerless = true;
        if (isPngSignature(*bytes)) {
            offset = 0;
        } else if (bytes->length >= 1 && bytes->data[0] == 0) {
            offset = 1;
        } else {
            headerless = false;
            if (bytes->length < layout::kImageHeaderBytes) return reject();
            flags = static_cast<uint8_t>(bytes->data[layout::kImageFormatOffset]);
            width = s16At(bytes->data + layout::kImageWidthOffset);
            height = s16At(bytes->data + layout::kImageHeightOffset);
            image_dimensions->data[2 * slot] = width;
            image_dimensions->data[2 * slot + 1] = height;
            offset = layout::kImageHeaderBytes;
            if (flags & layout::kFormatCellInfoBit) {
                if (bytes->length < offset + layout::kCellTableHeaderBytes) return reject();
                int across = s16At(bytes->data + offset);
                int down = s16At(bytes->data + offset + 2);
                if (across <= 0 || down <= 0) return reject();
                int64_t tableBytes = layout::kCellTableHeaderBytes + int64_t{8} * across * down;
                if (offset + tableBytes > bytes->length) return reject();
                JavaPtr<Bytes> table = jnewArray<signed char>(static_cast<int>(tableBytes));
                std::memcpy(table->data, bytes->data + offset, static_cast<size_t>(tableBytes));
                image_cell_tables->data[slot] = table;
                offset += static_cast<int>(tableBytes);
            } else {
                image_cell_tables->data[slot] = nullptr;
            }
            format = flags & layout::kFormatMask;
        }
        if (format == layout::kFormatRawPng) {
            if (headerless) image_cell_tables->data[slot] = nullptr;
            int64_t pngWidth = 0;
            int64_t pngHeight = 0;
            if (pngDeclaredSize(*bytes, offset, pngWidth, pngHeight) && !sizeAllowed(pngWidth, pngHeight))
                return reject();
            JavaPtr<Image> image;
            try {
                image = Image::createImage(bytes, offset, bytes->length - offset);
                if (image) {
                    image_dimensions->data[2 * slot] = image->getWidth();
                    image_dimensions->data[2 * slot + 1] = image->getHeight();
                }
            } catch (java::lang::Exception&) {
                image = nullptr;
            }
            // A PNG the platform cannot decode is refused like any other corrupt image.
            if (!image) return reject();
            JavaPtr<Bytes> table = image_cell_tables->data[slot];
            if (table && !cellTableFits(*table, image_dimensions->data[2 * slot],
                                        image_dimensions->data[2 * slot + 1]))
                return reject();
            JavaPtr<ImageRow> row = jnewArray<JavaPtr<Image>>(1);
            row->data[0] = image;
            image_cache->data[slot] = row;
            return slot;
        }

        if (!sizeAllowed(width, height)) return reject();
        JavaPtr<Bytes> table = image_cell_tables->data[slot];
        if (table && !cellTableFits(*table, width, height)) return reject();

        JavaPtr<Bytes> palette;
        if ((flags & layout::kFormatFullColourBit) == 0) {
            palette = getResourceByteArray(firstPalette);
            if (palette && secondPalette != firstPalette) {
                // The second palette replaces the leading colours of a copy of the first.
                JavaPtr<Bytes> second = getResourceByteArray(secondPalette);
                if (second) {
                    JavaPtr<Bytes> merged = copyOf(*palette, 0);
                    std::memcpy(merged->data, second->data,
                                static_cast<size_t>(std::min(merged->length, second->length)));
                    palette = merged;
                }
            }
        }

        if (format == layout::kFormatRawPngNoPalette) {
            // The stream's indices cannot be seen before decoding: every index gets an entry.
            if (!palette) return reject();
            JavaPtr<Image> image =
                pngCreateImage(width, height, 8, paletteCovering(palette, kMaxPaletteEntries - 1),
                               copyOf(*bytes, offset), true);
            // A stream that does not inflate to the picture is corrupt.
            if (!image) return reject();
            JavaPtr<ImageRow> row = jnewArray<JavaPtr<Image>>(1);
            row->data[0] = image;
            image_cache->data[slot] = row;
            return slot;
        }

        if (!palette) {
            JavaPtr<Bytes> pixels = decodeImage(bytes, offset, width, height);
            if (!pixels) return reject();
            loadImage(slot, pixels, width, height, transforms, splitCells);
        } else {
            JavaPtr<Bytes> indices =
                decodeImage(bytes, offset, width, height, palette->length / kPaletteEntryBytes);
            if (!indices) return reject();
            int highest = 0;
            for (int i = 0; i < indices->length; ++i)
                highest = std::max(highest, int{static_cast<uint8_t>(indices->data[i])});
            loadImage(slot, indices, paletteCovering(palette, highest), width, height, transforms,
                      splitCells);
        }
        if (!image_cache->data[slot]) return reject();
        return slot;
    } catch (java::lang::Exception&) {
        return reject();
    } catch (std::bad_alloc&) {
        return reject();
    }
}

JavaPtr<JArray<signed char>> HookCanvas::decodeImage(const JavaPtr<JArray<signed char>>& resource,
                                                     int32_t offset, int32_t width, int32_t height) {
    if (!resource || !sizeAllowed(width, height) || offset < 0 || offset >= resource->length) return nullptr;
    const uint8_t* in = reinterpret_cast<const uint8_t*>(resource->data);
    int64_t end = resource->length;
    int64_t p = offset + 1;
    int64_t count = int64_t{width} * height;
    if (p + leastDataBytes(in[offset] == layout::kEncodingRunLength, count, 8, true) > end) return nullptr;
    JavaPtr<Bytes> out = jnewArray<signed char>(static_cast<int>(count * 4));
    uint8_t* pixels = reinterpret_cast<uint8_t*>(out->data);
    if (in[offset] == layout::kEncodingRunLength) {
        for (int64_t pos = 0; pos < count; p += 5) {
            // Data that ends before the last pixel is refused; a last run past it is cut short.
            if (p + 5 > end) return nullptr;
            int64_t run = std::min<int64_t>(in[p + 4] + 1, count - pos);
            for (int64_t i = 0; i < run; ++i, ++pos) std::memcpy(pixels + pos * 4, in + p, 4);
        }
    } else {
        if (p + count * 4 > end) return nullptr;
        std::memcpy(pixels, in + p, static_cast<size_t>(count * 4));
    }
    return out;
}

JavaPtr<JArray<signed char>> HookCanvas::decodeImage(const JavaPtr<JArray<signed char>>& resource,
                                                     int32_t offset, int32_t width, int32_t height,
                                                     int32_t colourCount) {
    if (!resource || !sizeAllowed(width, height) || offset < 0 || offset >= resource->length) return nullptr;
    const uint8_t* in = reinterpret_cast<const uint8_t*>(resource->data);
    int64_t end = resource->length;
    int64_t p = offset + 1;
    int64_t count = int64_t{width} * height;
    int bits = layout::indexBitsFor(colourCount);
    if (p + leastDataBytes(in[offset] == layout::kEncodingRunLength, count, bits, false) > end)
        return nullptr;
    JavaPtr<Bytes> out = jnewArray<signed char>(static_cast<int>(count));
    uint8_t* indices = reinterpret_cast<uint8_t*>(out->data);
    if (in[offset] == layout::kEncodingRunLength) {
        for (int64_t pos = 0; pos < count;) {
            int index;
            int64_t run;
            if (bits == 8) {
                if (p + 2 > end) return nullptr;
                index = in[p];
                run = in[p + 1] + 1;
                p += 2;
            } else {
                if (p + 1 > end) return nullptr;
                index = in[p] >> (8 - bits);
                run = (in[p] & ((1 << (8 - bits)) - 1)) + 1;
                p += 1;
            }
            run = std::min(run, count - pos);
            std::memset(indices + pos, index, static_cast<size_t>(run));
            pos += run;
        }
    } else if (bits == 8) {
        if (p + count > end) return nullptr;
        std::memcpy(indices, in + p, static_cast<size_t>(count));
    } else {
        if (p + (count * bits + 7) / 8 > end) return nullptr;
        int mask = (1 << bits) - 1;
        for (int64_t i = 0; i < count; ++i) {
            int64_t bit = i * bits;
            indices[i] = static_cast<uint8_t>((in[p + bit / 8] >> (bit % 8)) & mask);
        }
    }
    return out;
}

namespace {

// Each cell of the slot's table as its own Image, made from the cropped rectangle of the pixels.
template <class MakeImage>
void loadCells(HookCanvas& canvas, int slot, const Bytes& pixels, int width, int height, int bytesPerPixel,
               MakeImage makeImage) {
    int cells = canvas.getImageDimension(slot, 0, 0, HookCanvas::IMAGEDIMENSION_NUM_CELLS_WIDE) *
                canvas.getImageDimension(slot, 0, 0, HookCanvas::IMAGEDIMENSION_NUM_CELLS_HIGH);
    if (!canvas.image_cache->data[slot])
        canvas.image_cache->data[slot] = jnewArray<JavaPtr<javax::microedition::lcdui::Image>>(cells);
    JavaPtr<ImageRow> row = canvas.image_cache->data[slot];
    for (int c = 0; c < cells && c < row->length; ++c) {
        int w = canvas.getImageDimension(slot, c, 0, HookCanvas::IMAGEDIMENSION_CELL_CROPPED_WIDTH);
        int h = canvas.getImageDimension(slot, c, 0, HookCanvas::IMAGEDIMENSION_CELL_CROPPED_HEIGHT);
        // A cell of no width, or of no height (no PNG can have it), holds no Image.
        if (w <= 0 || h <= 0 || row->data[c]) continue;
        int x = canvas.getImageDimension(slot, c, 0, HookCanvas::IMAGEDIMENSION_CELL_CROPPED_TL_X);
        int y = canvas.getImageDimension(slot, c, 0, HookCanvas::IMAGEDIMENSION_CELL_CROPPED_TL_Y);
        if (x < 0 || y < 0 || x + w > width || y + h > height) continue;
        if (int64_t{width} * height * bytesPerPixel > pixels.length) return;
        JavaPtr<Bytes> cell = jnewArray<signed char>(w * h * bytesPerPixel);
        for (int r = 0; r < h; ++r) {
            std::memcpy(cell->data + int64_t{r} * w * bytesPerPixel,
                        pixels.data + (int64_t{y + r} * width + x) * bytesPerPixel,
                        static_cast<size_t>(w) * bytesPerPixel);
        }
        row->data[c] = makeImage(w, h, cell);
    }
}

}  // namespace

void HookCanvas::loadImage(int32_t imageId, const JavaPtr<JArray<signed char>>& pixels, int32_t width,
                           int32_t height, int32_t, bool splitCells) {
    if (!image_cache || imageId < 0 || imageId >= kSlots || !pixels) return;
    if (!splitCells) {
        if (!image_cache->data[imageId]) {
            JavaPtr<ImageRow> row = jnewArray<JavaPtr<Image>>(1);
            row->data[0] = pngCreateImage(width, height, pixels);
            image_cache->data[imageId] = row;
        }
        return;
    }
    loadCells(*this, imageId, *pixels, width, height, 4,
              [this](int w, int h, const JavaPtr<Bytes>& cell) { return pngCreateImage(w, h, cell); });
}

void HookCanvas::loadImage(int32_t imageId, const JavaPtr<JArray<signed char>>& indices,
                           const JavaPtr<JArray<signed char>>& palette, int32_t width, int32_t height,
                           int32_t, bool splitCells) {
    if (!image_cache || imageId < 0 || imageId >= kSlots || !indices || !palette) return;
    if (!splitCells) {
        if (!image_cache->data[imageId]) {
            JavaPtr<ImageRow> row = jnewArray<JavaPtr<Image>>(1);
            row->data[0] = pngCreateImage(width, height, 8, palette, indices, false);
            image_cache->data[imageId] = row;
        }
        return;
    }
    loadCells(*this, imageId, *indices, width, height, 1,
              [this, &palette](int w, int h, const JavaPtr<Bytes>& cell) {
                  return pngCreateImage(w, h, 8, palette, cell, false);
              });
}

void HookCanvas::unloadImageID(int32_t imageId) {
    if (!image_cache || !image_cell_tables || imageId < 0 || imageId >= kSlots) return;
    std::lock_guard<std::mutex> lock(image_cache_mutex);
    image_cache->data[imageId] = nullptr;
    image_cell_tables->data[imageId] = nullptr;
}

int32_t HookCanvas::currentImageTransforms(int32_t imageId) {
    if (!image_cache || imageId < 0 || imageId >= kSlots) return 0;
    return image_cache->data[imageId] ? 0xFF : 0;
}

JavaPtr<javax::microedition::lcdui::Image> HookCanvas::getImage(int32_t id, int32_t firstPalette,
                                                                int32_t secondPalette, int32_t transform) {
    int32_t slot = loadImageID(id, firstPalette, secondPalette, 1 << (transform & 7), false);
    if (slot < 0) return nullptr;
    JavaPtr<ImageRow> row = image_cache->data[slot];
    JavaPtr<Image> image = row && transform >= 0 && transform < row->length ? row->data[transform] : nullptr;
    unloadImageID(slot);
    return image;
}

JavaPtr<javax::microedition::lcdui::Image> HookCanvas::getImage(int32_t id, int32_t palette,
                                                                int32_t transform) {
    return getImage(id, palette, palette, transform);
}

JavaPtr<javax::microedition::lcdui::Image> HookCanvas::getImage(int32_t id) {
    return getImage(id, -1, -1, 0);
}

JavaPtr<javax::microedition::lcdui::Image> HookCanvas::createRGBImage(const JavaPtr<JArray<int32_t>>& argb,
                                                                      int32_t width, int32_t height,
                                                                      bool processAlpha) {
    return Image::createRGBImage(argb, width, height, processAlpha);
}

JavaPtr<javax::microedition::lcdui::Image> HookCanvas::pngMakeMutable(const JavaPtr<Image>& image) {
    if (!image) throw java::lang::NullPointerException();
    JavaPtr<Image> mutableImage = Image::createImage(image->getWidth(), image->getHeight());
    mutableImage->getGraphics()->drawImage(image, 0, 0, kAnchorTopLeft);
    return mutableImage;
}

int32_t HookCanvas::getImageDimension(int32_t imageId, int32_t cell, int32_t transform, int32_t selector) {
    if (selector < IMAGEDIMENSION_WIDTH || selector > IMAGEDIMENSION_CELL_CROPPED_TL_Y) return -1;
    // Measuring an id that no load answered (-1) gives 0, as does a cell that does not exist.
    if (!image_dimensions || !image_cell_tables || imageId < 0 || imageId >= kSlots) return 0;
    int W = image_dimensions->data[2 * imageId];
    int H = image_dimensions->data[2 * imageId + 1];
    JavaPtr<Bytes> table = image_cell_tables->data[imageId];
    int across = 1;
    int down = 1;
    if (table && table->length >= layout::kCellTableHeaderBytes) {
        across = s16At(table->data);
        down = s16At(table->data + 2);
        if (across <= 0 || down <= 0 ||
            table->length < layout::kCellTableHeaderBytes + int64_t{across} * down * layout::kCellRecordBytes)
            return 0;
    } else {
        table = nullptr;
    }
    bool odd = (transform & 1) != 0;
    switch (selector) {
        case IMAGEDIMENSION_WIDTH:
            return odd ? H : W;
        case IMAGEDIMENSION_HEIGHT:
            return odd ? W : H;
        case IMAGEDIMENSION_NUM_CELLS_WIDE:
            return across;
        case IMAGEDIMENSION_NUM_CELLS_HIGH:
            return down;
        case IMAGEDIMENSION_CELL_WIDTH:
            return odd ? H / down : W / across;
        case IMAGEDIMENSION_CELL_HEIGHT:
            return odd ? W / across : H / down;
        default:
            break;
    }
    if (cell < 0 || cell >= across * down) return 0;
    if (!table) {
        if (selector == IMAGEDIMENSION_CELL_CROPPED_WIDTH) return odd ? H : W;
        if (selector == IMAGEDIMENSION_CELL_CROPPED_HEIGHT) return odd ? W : H;
        return 0;
    }
    const signed char* r = table->data + layout::kCellTableHeaderBytes + cell * layout::kCellRecordBytes;
    int x = s16At(r), y = s16At(r + 2), w = s16At(r + 4), h = s16At(r + 6);
    if (selector == IMAGEDIMENSION_CELL_CROPPED_WIDTH) return odd ? h : w;
    if (selector == IMAGEDIMENSION_CELL_CROPPED_HEIGHT) return odd ? w : h;
    // The corner of the cropped rectangle in the turned image: k picks one of the four distances.
    int k = ((transform + 1) - (selector & 1)) & 3;
    if (selector == IMAGEDIMENSION_CELL_CROPPED_TL_X && transform > 3) k = (k + 2) & 3;
    switch (k) {
        case 0:
            return y;
        case 1:
            return x;
        case 2:
            return H - y - h;
        default:
            return W - x - w;
    }
}

namespace {

// Moves an anchor point to the cell's top-left corner.
void anchorCell(int32_t& x, int32_t& y, int cellWidth, int cellHeight, int32_t anchor) {
    if (anchor & kHCenter)
        x -= cellWidth >> 1;
    else if (anchor & kRight)
        x -= cellWidth;
    if (anchor & kVCenter)
        y -= cellHeight >> 1;
    else if (anchor & kBottom)
        y -= cellHeight;
}

}  // namespace

void HookCanvas::drawImageID(const JavaPtr<Graphics>& g, int32_t imageId, int32_t cell, int32_t transform,
                             int32_t x, int32_t y, int32_t anchor) {
    int cellWidth = getImageDimension(imageId, cell, transform, IMAGEDIMENSION_CELL_WIDTH);
    int cellHeight = getImageDimension(imageId, cell, transform, IMAGEDIMENSION_CELL_HEIGHT);
    anchorCell(x, y, cellWidth, cellHeight, anchor);
    if (image_cell_tables && imageId >= 0 && imageId < kSlots && image_cell_tables->data[imageId]) {
        if (cellWidth > 0)
            x += getImageDimension(imageId, cell, transform, IMAGEDIMENSION_CELL_CROPPED_TL_X) % cellWidth;
        if (cellHeight > 0)
            y += getImageDimension(imageId, cell, transform, IMAGEDIMENSION_CELL_CROPPED_TL_Y) % cellHeight;
    }
    drawImageCell(g, imageId, cell, transform, x, y);
}

void HookCanvas::drawImageIDNoTransform(const JavaPtr<Graphics>& g, int32_t imageId, int32_t cell, int32_t x,
                                        int32_t y, int32_t anchor) {
    if (!image_dimensions || !image_cell_tables || imageId < 0 || imageId >= kSlots) return;
    JavaPtr<Bytes> table = image_cell_tables->data[imageId];
    int across = 1;
    int down = 1;
    if (table) {
        across = getImageDimension(imageId, cell, 0, IMAGEDIMENSION_NUM_CELLS_WIDE);
        down = getImageDimension(imageId, cell, 0, IMAGEDIMENSION_NUM_CELLS_HIGH);
        if (across <= 0 || down <= 0) return;
    }
    int cellWidth = image_dimensions->data[2 * imageId] / across;
    int cellHeight = image_dimensions->data[2 * imageId + 1] / down;
    anchorCell(x, y, cellWidth, cellHeight, anchor);
    if (table) {
        if (cell < 0 || cell >= across * down) return;
        const signed char* r = table->data + layout::kCellTableHeaderBytes + cell * layout::kCellRecordBytes;
        if (cellWidth > 0) x += s16At(r) % cellWidth;
        if (cellHeight > 0) y += s16At(r + 2) % cellHeight;
    }
    drawImageCell(g, imageId, cell, 0, x, y);
}

void HookCanvas::drawImageCell(const JavaPtr<Graphics>& g, int32_t imageId, int32_t cell, int32_t, int32_t x,
                               int32_t y) {
    // An id no load answered, a free slot, a missing Image or a cell beyond the table draws nothing.
    if (!g || !image_cache || !image_cells_split || imageId < 0 || imageId >= kSlots) return;
    JavaPtr<ImageRow> row = image_cache->data[imageId];
    if (!row) return;
    if (image_cells_split->data[imageId]) {
        if (cell < 0 || cell >= row->length || !row->data[cell]) return;
        g->drawImage(row->data[cell], x, y, kAnchorTopLeft);
        return;
    }
    if (row->length < 1 || !row->data[0]) return;
    int w = getImageDimension(imageId, cell, 0, IMAGEDIMENSION_CELL_CROPPED_WIDTH);
    int h = getImageDimension(imageId, cell, 0, IMAGEDIMENSION_CELL_CROPPED_HEIGHT);
    if (w <= 0 || h <= 0) return;
    g->drawRegion(row->data[0], getImageDimension(imageId, cell, 0, IMAGEDIMENSION_CELL_CROPPED_TL_X),
                  getImageDimension(imageId, cell, 0, IMAGEDIMENSION_CELL_CROPPED_TL_Y), w, h, 0, x, y,
                  kAnchorTopLeft);
}
