// JPEG decoding from memory, the native behind Image's JPEG path.
#pragma once

#include <cstdint>

// Decodes JPEG bytes into width x height words 0xAARRGGBB (alpha 0xFF), rows top to bottom, in a
// buffer from malloc that the caller frees. Answers null on failure, with both sizes 0. Safe to call
// from several threads at once.
int32_t* _decodeJPEGtoRGB(const void* data, int length, int* width, int* height);
