// The benchmark fonts that fontmaker writes at build time (DejaVu Sans at 16 pixels, plain and
// coverage), loaded into the bitmap font system.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/BitmapFontSystem.h"

namespace benchfont {

inline bool loadBenchFont(const char* name) {
    std::ifstream in(std::string(QUILL_BENCH_FONT_DIR) + "/" + name, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return javax::microedition::lcdui::BitmapFontSystem::initFromData(bytes.data(), bytes.size());
}

}  // namespace benchfont
