// Image resources laid out as engine/ResourceLayout.h describes them.
#include "tools/ImageResourceWriter.h"

#include <zlib.h>

#include "engine/ResourceLayout.h"

namespace restools {

namespace layout = resourcelayout;

namespace {

using Bytes = ImageResourceWriter::Bytes;

void putS16(Bytes& out, int v) {
    out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void putArgb(Bytes& out, uint32_t argb) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(argb >> shift));
}

Bytes refuse(std::string* error, const std::string& why) {
    if (error) *error = why;
    return {};
}

bool sizeFits(int width, int height, std::string* error) {
    if (width <= 0 || height <= 0 || width > INT16_MAX || height > INT16_MAX ||
        int64_t{width} * height > layout::kMaxImagePixels) {
        refuse(error,
               "image size " + std::to_string(width) + " x " + std::to_string(height) + " cannot be read");
        return false;
    }
    return true;
}

// The header and cell table; false with the reason when the table does not fit the image.
bool putHeader(Bytes& out, int flags, int width, int height, const CellTable* cells, std::string* error) {
    if (cells) {
        if (cells->across <= 0 || cells->down <= 0 || cells->across > INT16_MAX || cells->down > INT16_MAX ||
            int64_t{cells->across} * cells->down != static_cast<int64_t>(cells->cells.size())) {
            refuse(error, "the cell table holds " + std::to_string(cells->cells.size()) +
                              " cells for a grid of " + std::to_string(cells->across) + " x " +
                              std::to_string(cells->down));
            return false;
        }
        for (size_t c = 0; c < cells->cells.size(); ++c) {
            const CellRect& r = cells->cells[c];
            if (r.x < 0 || r.y < 0 || r.width < 0 || r.height < 0 || r.x + r.width > width ||
                r.y + r.height > height) {
                refuse(error, "cell " + std::to_string(c) + " lies outside the image");
                return false;
            }
        }
        flags |= layout::kFormatCellInfoBit;
    }
    out.push_back(static_cast<uint8_t>(flags));
    putS16(out, width);
    putS16(out, height);
    if (cells) {
        putS16(out, cells->across);
        putS16(out, cells->down);
        for (const CellRect& r : cells->cells) {
            putS16(out, r.x);
            putS16(out, r.y);
            putS16(out, r.width);
            putS16(out, r.height);
        }
    }
    return true;
}

bool indicesFit(int width, int height, const std::vector<uint8_t>& indices, int colourCount,
                std::string* error) {
    if (static_cast<int64_t>(indices.size()) != int64_t{width} * height) {
        refuse(error, "the pixel data does not hold width x height indices");
        return false;
    }
    if (colourCount <= 0 || colourCount > 256) {
        refuse(error, "a palette of " + std::to_string(colourCount) + " colours");
        return false;
    }
    for (uint8_t index : indices) {
        if (index >= colourCount) {
            refuse(error, "index " + std::to_string(index) + " beyond the palette");
            return false;
        }
    }
    return true;
}

}  // namespace

Bytes ImageResourceWriter::palette(const std::vector<uint32_t>& argb) {
    Bytes out;
    for (uint32_t colour : argb) putArgb(out, colour);
    return out;
}

Bytes ImageResourceWriter::plainPng(const Bytes& png) {
    return png;
}

Bytes ImageResourceWriter::pngAfterZeroByte(const Bytes& png) {
    Bytes out{0};
    out.insert(out.end(), png.begin(), png.end());
    return out;
}

Bytes ImageResourceWriter::pngWithHeader(const Bytes& png, int width, int height, const CellTable* cells,
                                         std::string* error) {
    if (!sizeFits(width, height, error)) return {};
    // A format byte of 0 is how the loader knows a PNG after a 0 byte.
    if (!cells)
        return refuse(error, "a PNG behind a header needs a cell table (else write it after a 0 byte)");
    Bytes out;
    if (!putHeader(out, layout::kFormatRawPng, width, height, cells, error)) return {};
    out.insert(out.end(), png.begin(), png.end());
    return out;
}

Bytes ImageResourceWriter::paletteIdat(int width, int height, const std::vector<uint8_t>& indices,
                                       int colourCount, const CellTable* cells, std::string* error) {
    if (!sizeFits(width, height, error) || !indicesFit(width, height, indices, colourCount, error)) return {};
    Bytes out;
    if (!putHeader(out, layout::kFormatRawPngNoPalette, width, height, cells, error)) return {};
    // Filtered rows: filter type 0, then the row's indices.
    Bytes raw;
    raw.reserve(static_cast<size_t>(width + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), indices.begin() + static_cast<long>(y) * width,
                   indices.begin() + static_cast<long>(y + 1) * width);
    }
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    Bytes stream(length);
    if (compress2(stream.data(), &length, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) !=
        Z_OK)
        return refuse(error, "zlib could not compress the rows");
    out.insert(out.end(), stream.begin(), stream.begin() + static_cast<long>(length));
    return out;
}

Bytes ImageResourceWriter::indexed(int width, int height, const std::vector<uint8_t>& indices,
                                   int colourCount, PixelEncoding encoding, const CellTable* cells,
                                   std::string* error) {
    if (!sizeFits(width, height, error) || !indicesFit(width, height, indices, colourCount, error)) return {};
    Bytes out;
    if (!putHeader(out, layout::kFormatEncodedPixels, width, height, cells, error)) return {};
    int bits = layout::indexBitsFor(colourCount);
    if (encoding == PixelEncoding::RunLength) {
        out.push_back(layout::kEncodingRunLength);
        // One-byte runs hold up to 2^(8 - bits) pixels, two-byte runs up to 256.
        size_t longest = bits == 8 ? 256 : size_t{1} << (8 - bits);
        for (size_t i = 0; i < indices.size();) {
            size_t run = 1;
            while (i + run < indices.size() && run < longest && indices[i + run] == indices[i]) ++run;
            if (bits == 8) {
                out.push_back(indices[i]);
                out.push_back(static_cast<uint8_t>(run - 1));
            } else {
                out.push_back(static_cast<uint8_t>(indices[i] << (8 - bits) | (run - 1)));
            }
            i += run;
        }
    } else {
        out.push_back(layout::kEncodingPlain);
        if (bits == 8) {
            out.insert(out.end(), indices.begin(), indices.end());
        } else {
            // The first pixel in the lowest bits of each byte; rows are not padded.
            Bytes packed((indices.size() * bits + 7) / 8, 0);
            for (size_t i = 0; i < indices.size(); ++i)
                packed[i * bits / 8] |= static_cast<uint8_t>(indices[i] << (i * bits % 8));
            out.insert(out.end(), packed.begin(), packed.end());
        }
    }
    return out;
}

Bytes ImageResourceWriter::fullColour(int width, int height, const std::vector<uint32_t>& argb,
                                      PixelEncoding encoding, const CellTable* cells, std::string* error) {
    if (!sizeFits(width, height, error)) return {};
    if (static_cast<int64_t>(argb.size()) != int64_t{width} * height)
        return refuse(error, "the pixel data does not hold width x height colours");
    Bytes out;
    if (!putHeader(out, layout::kFormatEncodedPixels | layout::kFormatFullColourBit, width, height, cells,
                   error))
        return {};
    if (encoding == PixelEncoding::RunLength) {
        out.push_back(layout::kEncodingRunLength);
        for (size_t i = 0; i < argb.size();) {
            size_t run = 1;
            while (i + run < argb.size() && run < 256 && argb[i + run] == argb[i]) ++run;
            putArgb(out, argb[i]);
            out.push_back(static_cast<uint8_t>(run - 1));
            i += run;
        }
    } else {
        out.push_back(layout::kEncodingPlain);
        for (uint32_t colour : argb) putArgb(out, colour);
    }
    return out;
}

}  // namespace restools
