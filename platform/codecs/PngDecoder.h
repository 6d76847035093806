// PNG decoding from memory for the image factories. Every colour type, bit depth and interlace comes
// out as 8-bit red, green, blue, alpha.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// True when data starts with the eight-byte PNG signature.
bool isPngSignature(const uint8_t* data, size_t length);

// Decodes the PNG held in data[0, length). Answers pixel words (bytes red, green, blue, alpha in
// memory), rows top to bottom with a stride of the width, in a buffer from malloc that the caller
// frees; or null when the data is not a complete, decodable PNG within the decode limits (every
// chunk up to IEND must lie within the data, whatever its kind). The sizes are set on success and
// to 0 on failure.
uint32_t* decodePNG(const uint8_t* data, size_t length, int32_t* width, int32_t* height);

}  // namespace platform
