// The bundle's resource files as bytes: the resource map, its mapping records and the image resource
// header. The canvas's readers and the writers in tools/ share these numbers; all values big-endian.
#pragma once

#include <cstdint>

namespace resourcelayout {

// Resource map: P (u8), B (u8), R (u32), five two-byte language codes, then 9-byte block records,
// 9-byte resource records, K (u8) key mappings of 6 bytes, G (u8) menu definitions.
inline constexpr int kMapPackCountOffset = 0;
inline constexpr int kMapBlockCountOffset = 1;
inline constexpr int kMapResourceCountOffset = 2;
inline constexpr int kMapLanguagesOffset = 6;
inline constexpr int kMapLanguageBytes = 10;
inline constexpr int kMapRecordsOffset = 16;
inline constexpr int kKeyMappingBytes = 6;

// One mapping record, the same shape for blocks and resources: s8 owner (pack or block; -1 none),
// u32 offset, u32 length.
inline constexpr int kRecordOwner = 0;
inline constexpr int kRecordIndex = 1;
inline constexpr int kRecordLength = 5;
inline constexpr int kRecordBytes = 9;
// Owner byte of a block in no pack, or of a resource kept as its own "ur" file.
inline constexpr int kNoOwner = -1;
// Owner bytes are signed, so at most this many packs or blocks can be named.
inline constexpr int kMaxOwners = 128;

// Image resource header: format byte, s16 width, s16 height, then the optional cell table.
inline constexpr int kImageFormatOffset = 0;
inline constexpr int kImageWidthOffset = 1;
inline constexpr int kImageHeightOffset = 3;
inline constexpr int kImageHeaderBytes = 5;
inline constexpr int kCellRecordBytes = 8;
inline constexpr int kCellTableHeaderBytes = 4;

inline constexpr int kFormatMask = 3;
inline constexpr int kFormatRawPng = 0;
inline constexpr int kFormatRawPngNoPalette = 1;
inline constexpr int kFormatEncodedPixels = 2;
inline constexpr int kFormatFullColourBit = 64;
inline constexpr int kFormatCellInfoBit = 128;
inline constexpr int kEncodingRunLength = 0;
inline constexpr int kEncodingPlain = 1;

// Images of more pixels than this are refused as corrupt by the readers and the writers alike. An image
// is drawn on the device's screen, so none needs more than the largest screen (1024 x 768 at most) or
// the largest picture of the bundle (a 640 x 960 background) holds; 1024 x 1024 covers both with room to
// spare. A decoded image then costs at most 4 MB of pixels, where a 10-byte header once asked for 256 MB.
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 20;

// Bits per palette index for a palette of colourCount entries.
inline constexpr int indexBitsFor(int colourCount) {
    return colourCount <= 2 ? 1 : colourCount <= 4 ? 2 : colourCount <= 16 ? 4 : 8;
}

// The longest stored deflate block the in-memory PNG writer makes.
inline constexpr int kMaxStoredBlock = 64000;

}  // namespace resourcelayout
