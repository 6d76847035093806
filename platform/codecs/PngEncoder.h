// Frames written as PNG files, with libpng's write side: 8-bit RGBA with every alpha at 255, since the
// screen shows frames opaque whatever their alpha bytes hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The PNG of width x height pixel words (bytes R, G, B, A), rows stride words apart; empty when the
// size is outside the image limits or libpng fails.
std::vector<uint8_t> encodePNG(const uint32_t* pixels, int width, int height, int stride);

// Encodes the frame and writes it durably under path: into a temporary file beside it, synced, then
// renamed over path and the directory synced, so a crash leaves the old file or the new one. False,
// with the reason, on any failure (the temporary file is removed).
bool writePNGFile(const std::string& path, const uint32_t* pixels, int width, int height, int stride,
                  std::string& error);

}  // namespace platform
