// resseeds: writes the seeds of engine_resources_fuzzer into a folder, made with the resource writers:
// resource maps (reader byte 0) and image resources of every format (reader byte 1, then a control
// byte: split flag, second-palette flag and palette length / 4 in the upper six bits).
// Usage: resseeds <folder>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/ImageResourceWriter.h"
#include "tools/ResourceMapWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace restools;

bool writeSeed(const std::filesystem::path& path, uint8_t reader, const Bytes& control, const Bytes& body) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.put(static_cast<char>(reader));
    out.write(reinterpret_cast<const char*>(control.data()), static_cast<std::streamsize>(control.size()));
    out.write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: resseeds <folder>\n");
        return 64;
    }
    std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    std::string error;
    bool ok = true;

    ResourceMapWriter map;
    map.setLanguages({"en", "f"});
    int block = map.addBlock(0);
    map.addBlock(-1);
    map.addPackedResource(block, {1, 2, 3, 4, 5});
    map.addLooseResource({6, 7}, true);
    map.addKeyMapping(-6, 1);
    map.addMenuDefinition({2, 0, 1});
    map.addMenuDefinition({});
    ok = ok && writeSeed(dir / "map", 0, {}, map.build(&error).at("resmap"));
    ok = ok && writeSeed(dir / "map-empty", 0, {}, ResourceMapWriter().build(&error).at("resmap"));

    // 4 colours, palette of 16 bytes after the image: control = 16 / 4 << 2.
    Bytes palette = ImageResourceWriter::palette({0xFF000000, 0x80FF0000, 0x0000FF00, 0xFF0000FF});
    std::vector<uint8_t> indices{0, 1, 2, 3, 3, 3, 2, 1, 0, 0, 0, 1};
    std::vector<uint32_t> colours{0xFF102030, 0xFF102030, 0x80405060, 0x00000000, 0xFFFFFFFF, 0xFF000000};
    CellTable cells{2, 1, {{0, 0, 2, 3}, {3, 1, 1, 2}}};
    struct Image {
        const char* name;
        uint8_t control;
        Bytes bytes;
    };
    const Image images[] = {
        {"indexed-rle", 16 << 0 | 1,
         ImageResourceWriter::indexed(4, 3, indices, 4, PixelEncoding::RunLength, &cells, &error)},
        {"indexed-plain", 16,
         ImageResourceWriter::indexed(4, 3, indices, 4, PixelEncoding::Plain, nullptr, &error)},
        {"idat", 16 | 2, ImageResourceWriter::paletteIdat(4, 3, indices, 4, &cells, &error)},
        {"full-rle", 1,
         ImageResourceWriter::fullColour(3, 2, colours, PixelEncoding::RunLength, nullptr, &error)},
        {"full-plain", 0,
         ImageResourceWriter::fullColour(3, 2, colours, PixelEncoding::Plain, nullptr, &error)},
    };
    for (const Image& image : images) {
        Bytes body = image.bytes;
        if (image.control >> 2) body.insert(body.end(), palette.begin(), palette.end());
        ok = ok && !image.bytes.empty() && writeSeed(dir / image.name, 1, {image.control}, body);
    }
    if (!ok) {
        std::fprintf(stderr, "resseeds: %s\n", error.empty() ? "cannot write the seeds" : error.c_str());
        return 1;
    }
    return 0;
}
