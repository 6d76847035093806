#include "tools/resbuild/BundleCheck.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "engine/ResourceLayout.h"
#include "platform/codecs/JpegDecoder.h"
#include "platform/codecs/PngDecoder.h"
#include "platform/codecs/SoundDecoder.h"
#include "tools/QuestionBankWriter.h"
#include "tools/resbuild/ArtCatalogue.h"
#include "tools/resbuild/BundleBuilder.h"
#include "tools/resbuild/BundleLayout.h"
#include "tools/resbuild/ContentRules.h"
#include "tools/resbuild/CueSynthesizer.h"

namespace resbuild {

namespace {

namespace layout = resourcelayout;
using Bytes = std::vector<uint8_t>;

// A fault found: carries its message out of the nested readers.
struct Fault {
    std::string message;
};

[[noreturn]] void fail(const std::string& file, const std::string& what) {
    throw Fault{file + ": " + what};
}

// Bounds-checked big-endian reads over one file's bytes.
class Reader {
public:
    Reader(const Bytes& bytes, std::string name) : m_bytes(bytes), m_name(std::move(name)) {}

    size_t position() const { return m_position; }
    size_t remaining() const { return m_bytes.size() - m_position; }
    uint32_t unsignedValue(int width) {
        need(static_cast<size_t>(width));
        uint32_t value = 0;
        for (int i = 0; i < width; ++i) value = value << 8 | m_bytes[m_position++];
        return value;
    }
    int32_t s8() { return static_cast<int8_t>(unsignedValue(1)); }
    int32_t s16() { return static_cast<int16_t>(unsignedValue(2)); }
    uint32_t u8() { return unsignedValue(1); }
    uint32_t u16() { return unsignedValue(2); }
    uint32_t u32() { return unsignedValue(4); }
    void skip(size_t count) {
        need(count);
        m_position += count;
    }

private:
    void need(size_t count) const {
        if (count > remaining()) {
            fail(m_name, "ends at byte " + std::to_string(m_bytes.size()) + " where " +
                             std::to_string(count) + " more bytes are read at " + std::to_string(m_position));
        }
    }

    const Bytes& m_bytes;
    std::string m_name;
    size_t m_position = 0;
};

struct Record {
    int owner;
    uint32_t index;
    uint32_t length;
};

class Checker {
public:
    explicit Checker(std::filesystem::path dir) : m_dir(std::move(dir)) {
        for (const std::string& text : screenTexts()) {
            for (char c : text) m_textCharacters.insert(static_cast<unsigned char>(c));
        }
    }

    void run() {
        // Cheap checks first, the decoding of every picture last.
        readMap();
        checkThresholds();
        checkMasks();
        checkQuestions();
        checkFonts();
        checkLanguage();
        file(kRuntimeFontName);
        checkCues();
        checkStartupPictures();
        checkPictures();
    }

private:
    const Bytes& file(const std::string& name) {
        auto found = m_files.find(name);
        if (found != m_files.end()) return found->second;
        std::ifstream in(m_dir / name, std::ios::binary);
        if (!in) fail(name, "missing");
        Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return m_files.emplace(name, std::move(bytes)).first->second;
    }

    void readMap() {
        const Bytes& map = file("resmap");
        Reader in(map, "resmap");
        uint32_t packs = in.u8(), blocks = in.u8(), resources = in.u32();
        if (resources != static_cast<uint32_t>(BundleBuilder::kResourceCount)) {
            fail("resmap", std::to_string(resources) + " resources, not " +
                               std::to_string(BundleBuilder::kResourceCount));
        }
        std::string language;
        for (int i = 0; i < 2; ++i) {
            uint32_t c = in.u8();
            if (c != 0) language += static_cast<char>(c);
        }
        if (language != kLanguageCode) fail("resmap", "language 0 is \"" + language + "\", not \"en\"");
        in.skip(8);
        for (uint32_t b = 0; b < blocks; ++b) m_blocks.push_back({in.s8(), in.u32(), in.u32()});
        for (uint32_t r = 0; r < resources; ++r) m_resources.push_back({in.s8(), in.u32(), in.u32()});
        if (in.u8() != 0) fail("resmap", "key mappings present; the quiz has none");
        if (in.u8() != 0) fail("resmap", "menu definitions present; the quiz has none");
        if (m_blocks.empty() || m_blocks[0].owner < 0) fail("resmap", "block 0 lies in no pack");
        for (size_t b = 0; b < m_blocks.size(); ++b) {
            const Record& block = m_blocks[b];
            if (block.owner < 0) continue;
            if (static_cast<uint32_t>(block.owner) >= packs)
                fail("resmap", "block " + std::to_string(b) + " names a missing pack");
            std::string pack = "pk" + std::to_string(block.owner);
            if (static_cast<uint64_t>(block.index) + block.length > file(pack).size()) {
                fail(pack, "shorter than block " + std::to_string(b) + " needs");
            }
        }
        bool packed = false, looseSeen = false;
        for (size_t id = 0; id < m_resources.size(); ++id) {
            const Record& r = m_resources[id];
            if (r.owner == layout::kNoOwner) {
                looseSeen = true;
                std::string name = "ur" + std::to_string(id);
                if (r.length != 0xFFFFFFFFu && file(name).size() != r.length) {
                    fail(name, std::to_string(file(name).size()) + " bytes, the map says " +
                                   std::to_string(r.length));
                }
            } else if (r.owner != 0) {
                // Only block 0 is ever loaded, and a getter loads no pack.
                fail("resmap", "resource " + std::to_string(id) + " lies in block " +
                                   std::to_string(r.owner) + ", which the quiz never loads");
            } else {
                packed = true;
                if (static_cast<uint64_t>(r.index) + r.length > m_blocks[0].length) {
                    fail("resmap", "resource " + std::to_string(id) + " runs past the end of block 0");
                }
            }
        }
        if (!packed || !looseSeen) fail("resmap", "packed and loose resources must both occur");
    }

    Bytes resource(int id) {
        const Record& r = m_resources.at(static_cast<size_t>(id));
        if (r.owner == layout::kNoOwner) return file("ur" + std::to_string(id));
        const Record& block = m_blocks[0];
        const Bytes& pack = file("pk" + std::to_string(block.owner));
        auto first = pack.begin() + block.index + r.index;
        return Bytes(first, first + r.length);
    }

    void checkThresholds() {
        Bytes bytes = resource(kLevelThresholdsId);
        std::string name = "resource 0";
        if (bytes.size() != kLevelCount * 4)
            fail(name, "holds " + std::to_string(bytes.size() / 4) + " thresholds, not 30");
        Reader in(bytes, name);
        int32_t previous = 0;
        for (int level = 0; level < kLevelCount; ++level) {
            int32_t value = static_cast<int32_t>(in.u32());
            if (value <= 0 || value < previous)
                fail(name, "threshold " + std::to_string(level) + " is not positive and rising");
            previous = value;
        }
    }

    void checkMasks() {
        for (const MaskSpec& mask : transitionMasks()) {
            Bytes bytes = resource(mask.id);
            std::string name = "mask " + std::to_string(mask.id);
            if (bytes.empty()) fail(name, "empty");
            uint8_t all = static_cast<uint8_t>((1 << mask.segments) - 1);
            if ((bytes.back() & all) != all) {
                fail(name, "its last byte leaves some of the screen's " + std::to_string(mask.segments) +
                               " segments out");
            }
            // A step lasts four updates of 33 ms: eight steps are already more than a second.
            if (bytes.size() > 7)
                fail(name,
                     std::to_string(bytes.size()) + " steps; the screen would not settle within a second");
        }
    }

    // The size of a PNG or JPEG file as the platform decodes it.
    std::pair<int, int> decodedSize(const uint8_t* data, size_t length, const std::string& name) {
        int32_t w = 0, h = 0;
        std::unique_ptr<uint32_t, decltype(&std::free)> pixels(nullptr, &std::free);
        if (platform::isPngSignature(data, length)) {
            pixels.reset(platform::decodePNG(data, length, &w, &h));
        } else {
            pixels.reset(
                reinterpret_cast<uint32_t*>(_decodeJPEGtoRGB(data, static_cast<int>(length), &w, &h)));
        }
        if (!pixels) fail(name, "its PNG or JPEG picture does not decode");
        return {w, h};
    }

    // Walks encoded pixel data as the decoder does: the runs (or the plain pixels) must end exactly at
    // the last pixel and the last byte. Only full-colour pixels are allowed outside the glyph sheets.
    void walkPixels(Reader& in, uint32_t format, int w, int h, const std::string& name) {
        if (!(format & layout::kFormatFullColourBit))
            fail(name, "indexed pixels, which only the glyph sheets use");
        uint64_t pixels = static_cast<uint64_t>(w) * h;
        if (in.u8() == layout::kEncodingRunLength) {
            uint64_t produced = 0;
            while (produced < pixels) {
                in.skip(4);
                produced += in.u8() + 1;
            }
            if (produced != pixels) fail(name, "its last run passes the last pixel");
        } else {
            in.skip(pixels * 4);
        }
        if (in.remaining() != 0) fail(name, std::to_string(in.remaining()) + " bytes follow the pixels");
    }

    // Width and height of an image resource as the loader finds them, checking its header and data.
    std::pair<int, int> imageSize(const Bytes& bytes, const std::string& name) {
        if (bytes.empty()) fail(name, "empty");
        if (bytes[0] == 0) return decodedSize(bytes.data() + 1, bytes.size() - 1, name);
        if (platform::isPngSignature(bytes.data(), bytes.size()))
            return decodedSize(bytes.data(), bytes.size(), name);
        Reader in(bytes, name);
        uint32_t format = in.u8();
        int w = in.s16(), h = in.s16();
        if (w <= 0 || h <= 0) fail(name, "a header size of " + std::to_string(w) + " x " + std::to_string(h));
        if (format & layout::kFormatCellInfoBit) {
            int cw = in.s16(), ch = in.s16();
            if (cw <= 0 || ch <= 0)
                fail(name, "a cell table of " + std::to_string(cw) + " x " + std::to_string(ch));
            for (int c = 0; c < cw * ch; ++c) {
                int x = in.s16(), y = in.s16(), cellW = in.s16(), cellH = in.s16();
                if (x < 0 || y < 0 || cellW < 0 || cellH < 0 || x + cellW > w || y + cellH > h) {
                    fail(name, "cell " + std::to_string(c) + " lies outside the image");
                }
            }
        }
        if ((format & layout::kFormatMask) == layout::kFormatRawPng) {
            return decodedSize(bytes.data() + in.position(), in.remaining(), name);
        }
        if ((format & layout::kFormatMask) == layout::kFormatRawPngNoPalette) {
            fail(name, "palette IDAT contents, which no picture of the quiz may use");
        }
        walkPixels(in, format, w, h, name);
        return {w, h};
    }

    void checkPictures() {
        for (const PictureSpec& spec : ArtCatalogue::pictures()) {
            for (int scale = 1; scale <= 2; ++scale) {
                int id = scale == 1 ? spec.lowId : spec.highId;
                std::string name =
                    "resource " + std::to_string(id) + " (" + spec.name + (scale == 1 ? " low)" : " high)");
                auto [w, h] = imageSize(resource(id), name);
                if (w != spec.width * scale || h != spec.height * scale) {
                    fail(name, std::to_string(w) + " x " + std::to_string(h) + ", the layout needs " +
                                   std::to_string(spec.width * scale) + " x " +
                                   std::to_string(spec.height * scale));
                }
            }
        }
    }

    void checkCues() {
        for (int i = 0; i < CueSynthesizer::kCueCount; ++i) {
            int id = CueSynthesizer::kFirstCueId + i;
            Bytes bytes = resource(id);
            std::optional<platform::DecodedSound> sound = platform::decodeSound(bytes);
            std::string name = "cue " + std::to_string(id);
            if (!sound) fail(name, "does not decode");
            if (sound->format.sampleRate <= 0 ||
                sound->frames() >= static_cast<size_t>(sound->format.sampleRate)) {
                fail(name, "lasts a second or more");
            }
        }
    }

    void checkStartupPictures() {
        auto expect = [&](const std::string& name, int width, int height) {
            auto [w, h] = imageSize(file(name), name);
            if (w != width || h != height) fail(name, std::to_string(w) + " x " + std::to_string(h));
        };
        expect(kSplashLow, 320, 480);
        expect(kSplashHigh, 640, 960);
        for (int i = 1; i <= kLoadingFrames; ++i) {
            expect(loadingFrameName(i, false), 46, 46);
            expect(loadingFrameName(i, true), 92, 92);
        }
    }

    // A font group's character table: its codes.
    std::set<unsigned> fontCodes(int id, const std::string& name) {
        Bytes table = resource(id);
        Reader in(table, name);
        int32_t count = in.s16();
        if (count <= 0) fail(name, "a font without characters");
        in.skip(2);
        std::set<unsigned> codes;
        for (int32_t i = 0; i < count; ++i) codes.insert(in.u16());
        if (in.remaining() != 0) fail(name, "bytes follow the character codes");
        Bytes widths = resource(id + 1);
        if (widths.size() != static_cast<size_t>(count) * 2) {
            fail("resource " + std::to_string(id + 1),
                 "the width table does not match the " + std::to_string(count) + " characters");
        }
        return codes;
    }

    // A glyph sheet: indexed pixels with the palette at the next id; answers the bits of an index.
    int glyphSheetBits(int id) {
        std::string name = "resource " + std::to_string(id) + " (glyph sheet)";
        Bytes sheet = resource(id), palette = resource(id + 1);
        if (palette.empty() || palette.size() % 4 != 0)
            fail("resource " + std::to_string(id + 1), "not a palette");
        int colours = static_cast<int>(palette.size() / 4);
        Reader in(sheet, name);
        uint32_t format = in.u8();
        int w = in.s16(), h = in.s16();
        if ((format & layout::kFormatMask) != layout::kFormatEncodedPixels ||
            (format & layout::kFormatFullColourBit) || !(format & layout::kFormatCellInfoBit)) {
            fail(name, "not indexed pixels with a cell table");
        }
        int across = in.s16(), down = in.s16();
        if (across <= 0 || down <= 0) fail(name, "an empty cell table");
        in.skip(static_cast<size_t>(across) * down * layout::kCellRecordBytes);
        int bits = layout::indexBitsFor(colours);
        uint64_t pixels = static_cast<uint64_t>(w) * h;
        if (in.u8() == layout::kEncodingRunLength) {
            uint64_t produced = 0;
            while (produced < pixels) {
                if (bits == 8) {
                    if (in.u8() >= static_cast<uint32_t>(colours)) fail(name, "an index beyond the palette");
                    produced += in.u8() + 1;
                } else {
                    uint32_t run = in.u8();
                    if ((run >> (8 - bits)) >= static_cast<uint32_t>(colours))
                        fail(name, "an index beyond the palette");
                    produced += (run & ((1u << (8 - bits)) - 1)) + 1;
                }
            }
            if (produced != pixels) fail(name, "its last run passes the last pixel");
        } else {
            in.skip((pixels * bits + 7) / 8);
        }
        if (in.remaining() != 0) fail(name, std::to_string(in.remaining()) + " bytes follow the pixels");
        return bits;
    }

    // Every character the quiz sets in its main font: the banks, the names and the screens' texts.
    void checkFonts() {
        std::set<int> bits;
        for (int first : {kMainFontLowId, kNumbersFontLowId, kMainFontHighId, kNumbersFontHighId}) {
            bool numbers = first == kNumbersFontLowId || first == kNumbersFontHighId;
            std::string name =
                "resource " + std::to_string(first) + (numbers ? " (numbers font)" : " (main font)");
            std::set<unsigned> codes = fontCodes(first, name);
            bits.insert(glyphSheetBits(first + 2));
            const std::set<unsigned char>& needed = numbers ? m_numberCharacters : m_textCharacters;
            for (unsigned char c : needed) {
                if (c != ' ' && !codes.count(c))
                    fail(name, "has no glyph for character " + std::to_string(c));
            }
        }
        if (bits.size() != 4) fail("resmap", "the four glyph sheets do not use 1-, 2-, 4- and 8-bit indices");
    }

    void checkLanguage() {
        const Bytes& table = file(kLanguageCode);
        Reader in(table, kLanguageCode);
        if (in.u16() != screenTexts().size()) fail(kLanguageCode, "does not hold the screens' texts");
    }

    void noteCharacters(const Bytes& bytes, size_t from, size_t length) {
        for (size_t i = from; i < from + length; ++i) m_textCharacters.insert(bytes[i]);
    }

    // Walks a bank as the loader does; answers its records, texts in ISO-8859-1 as stored.
    std::vector<Question> walkBank(const std::string& name) {
        const Bytes& bytes = file(name);
        Reader in(bytes, name);
        uint32_t records = in.u16();
        if (records == 0) fail(name, "holds no question");
        std::vector<Question> questions;
        auto text = [&](size_t length) {
            size_t from = in.position();
            in.skip(length);
            return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                               bytes.begin() + static_cast<std::ptrdiff_t>(from + length));
        };
        for (uint32_t i = 0; i < records; ++i) {
            Question q;
            q.origin = name + ": record " + std::to_string(i);
            q.text = text(in.u16());
            for (std::string* field : {&q.right, &q.wrongFirst, &q.wrongSecond, &q.explanation}) {
                uint32_t length = in.u8();
                if (length == 0)
                    fail(name, "record " + std::to_string(i) + " has an empty answer or explanation");
                *field = text(length);
            }
            questions.push_back(std::move(q));
        }
        if (in.remaining() != 0)
            fail(name,
                 "the walk of its records ends " + std::to_string(in.remaining()) + " bytes before its end");
        return questions;
    }

    // Names are modified UTF-8; the quiz shows them in the main font, so their characters count too.
    void noteUtf(const Bytes& bytes, size_t from, size_t length) {
        for (size_t i = from; i < from + length; ++i) {
            uint8_t b = bytes[i];
            if (b < 0x80) {
                m_textCharacters.insert(b);
            } else if ((b & 0xE0) == 0xC0 && i + 1 < from + length) {
                m_textCharacters.insert(
                    static_cast<unsigned char>(((b & 0x1F) << 6) | (bytes[i + 1] & 0x3F)));
                ++i;
            }
        }
    }

    void checkQuestions() {
        const Bytes& topics = file(reswriter::kTopicsFileName);
        Reader in(topics, reswriter::kTopicsFileName);
        // The practice banks as the quiz reads them, for the wording rules.
        QuizContent content;
        for (int c = 0; c < reswriter::kTopicCategories; ++c) {
            uint32_t nameLength = in.u16();
            if (nameLength == 0)
                fail(reswriter::kTopicsFileName, "category " + std::to_string(c) + " has no name");
            Category& category = content.categories.emplace_back();
            category.name.assign(topics.begin() + static_cast<std::ptrdiff_t>(in.position()),
                                 topics.begin() + static_cast<std::ptrdiff_t>(in.position() + nameLength));
            in.skip(nameLength);
            int32_t subsections = static_cast<int32_t>(in.u32());
            if (subsections <= 0)
                fail(reswriter::kTopicsFileName, "category " + std::to_string(c) + " has no subsection");
            for (int s = 0; s < subsections; ++s) {
                uint32_t length = in.u16();
                noteUtf(topics, in.position(), length);
                in.skip(length);
                std::string bank = reswriter::practiceBankFileName(c, s);
                if (!std::filesystem::exists(m_dir / bank)) {
                    fail(reswriter::kTopicsFileName, "names " + bank + ", which is missing");
                }
                category.subsections.push_back({bank, walkBank(bank)});
            }
        }
        if (in.remaining() != 0) fail(reswriter::kTopicsFileName, "bytes follow the sixteenth category");
        std::vector<std::string> wording = ContentRules::checkWording(content);
        if (!wording.empty()) throw Fault{wording.front()};
        size_t testRecords = walkBank(reswriter::kTestBankFileName).size();
        if (testRecords <= static_cast<size_t>(kRepeatRingLength)) {
            fail(reswriter::kTestBankFileName,
                 std::to_string(testRecords) + " records; the test needs more than 435");
        }
    }

    std::filesystem::path m_dir;
    std::map<std::string, Bytes> m_files;
    std::set<unsigned char> m_textCharacters;
    std::set<unsigned char> m_numberCharacters{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '/', '%'};
    std::vector<Record> m_blocks;
    std::vector<Record> m_resources;
};

}  // namespace

std::string BundleCheck::check(const std::filesystem::path& dir) {
    try {
        Checker(dir).run();
    } catch (const Fault& fault) {
        return fault.message;
    }
    return {};
}

}  // namespace resbuild
