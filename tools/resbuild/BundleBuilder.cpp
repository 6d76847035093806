#include "tools/resbuild/BundleBuilder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/codecs/JpegEncoder.h"
#include "platform/codecs/PngEncoder.h"
#include "tools/EncStringWriter.h"
#include "tools/ImageResourceWriter.h"
#include "tools/LanguageTableWriter.h"
#include "tools/QuestionBankWriter.h"
#include "tools/ResourceMapWriter.h"
#include "tools/resbuild/ArtCatalogue.h"
#include "tools/resbuild/BundleLayout.h"
#include "tools/resbuild/ContentReader.h"
#include "tools/resbuild/ContentRules.h"
#include "tools/resbuild/CueSynthesizer.h"
#include "tools/resbuild/GlyphRenderer.h"
#include "tools/resbuild/QuizFonts.h"

namespace resbuild {

namespace {

using Bytes = std::vector<uint8_t>;

std::string latin1ToUtf8(const std::string& latin1) {
    std::string out;
    for (char c : latin1) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

reswriter::QuestionRecord toRecord(const Question& q) {
    return {latin1ToUtf8(q.text), latin1ToUtf8(q.right), latin1ToUtf8(q.wrongFirst),
            latin1ToUtf8(q.wrongSecond), latin1ToUtf8(q.explanation)};
}

void putInt(Bytes& out, int32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
}

// The timer column of the game screen, stored as a JPEG.
constexpr int kJpegBackgroundId = 73;

// PNG file of an opaque picture (the encoder writes every alpha as 255).
Bytes pngOf(const ArtCanvas& canvas) {
    // The encoder takes words whose bytes in memory are R, G, B, A.
    std::vector<uint32_t> words(canvas.pixels().size());
    for (size_t i = 0; i < words.size(); ++i) {
        uint32_t argbValue = canvas.pixels()[i];
        uint8_t bytes[4] = {static_cast<uint8_t>(argbValue >> 16), static_cast<uint8_t>(argbValue >> 8),
                            static_cast<uint8_t>(argbValue), static_cast<uint8_t>(argbValue >> 24)};
        std::memcpy(&words[i], bytes, 4);
    }
    Bytes png = platform::encodePNG(words.data(), canvas.width(), canvas.height(), canvas.width());
    if (png.empty())
        throw BuildError("the PNG encoder refused a " + std::to_string(canvas.width()) + " x " +
                         std::to_string(canvas.height()) + " picture");
    return png;
}

// The practice banks and topics from practice; the test bank from every question of all.
Bytes jpegOf(const ArtCanvas& canvas) {
    Bytes jpeg = platform::encodeJPEG(canvas.pixels().data(), canvas.width(), canvas.height(), 90);
    if (jpeg.empty()) throw BuildError("the JPEG encoder refused a picture");
    return jpeg;
}

// How each picture is stored. Opaque backgrounds go as PNG or JPEG files; everything with transparent
// edges as full-colour pixels; the sheets the quiz splits into cells carry a cell table. Between them
// the bundle holds every encoding the quiz's picture loads accept.
Bytes encodePicture(const PictureSpec& spec, const ArtCanvas& canvas) {
    using restools::ImageResourceWriter;
    using restools::PixelEncoding;
    std::string error;
    restools::CellTable wholeCell{1, 1, {{0, 0, canvas.width(), canvas.height()}}};
    Bytes out;
    switch (spec.kind) {
        case PictureKind::Backdrop:
            // Alternate the two PNG forms by id; the timer column's background is a JPEG.
            if (spec.lowId == kJpegBackgroundId) return ImageResourceWriter::pngAfterZeroByte(jpegOf(canvas));
            return spec.lowId % 2 ? ImageResourceWriter::plainPng(pngOf(canvas))
                                  : ImageResourceWriter::pngAfterZeroByte(pngOf(canvas));
        case PictureKind::Screen:
            return spec.lowId % 2 ? ImageResourceWriter::pngAfterZeroByte(jpegOf(canvas))
                                  : ImageResourceWriter::plainPng(pngOf(canvas));
        case PictureKind::Panel:
            // The title panels are split into cells when loaded.
            if (spec.variant >= 3) {
                out = ImageResourceWriter::pngWithHeader(pngOf(canvas), canvas.width(), canvas.height(),
                                                         &wholeCell, &error);
                break;
            }
            out = ImageResourceWriter::fullColour(canvas.width(), canvas.height(), canvas.pixels(),
                                                  PixelEncoding::RunLength, nullptr, &error);
            break;
        case PictureKind::Ranking:
        case PictureKind::Twinkle:
            // Plain pixels only for the small twinkles; the badges are long runs of one colour.
            out = ImageResourceWriter::fullColour(canvas.width(), canvas.height(), canvas.pixels(),
                                                  spec.kind == PictureKind::Twinkle && spec.variant % 2
                                                      ? PixelEncoding::Plain
                                                      : PixelEncoding::RunLength,
                                                  &wholeCell, &error);
            break;
        case PictureKind::Dot:
        case PictureKind::Tick:
        case PictureKind::Cross:
        case PictureKind::Star:
            out = ImageResourceWriter::fullColour(canvas.width(), canvas.height(), canvas.pixels(),
                                                  PixelEncoding::Plain, nullptr, &error);
            break;
        default:
            out = ImageResourceWriter::fullColour(canvas.width(), canvas.height(), canvas.pixels(),
                                                  PixelEncoding::RunLength, nullptr, &error);
            break;
    }
    if (out.empty()) throw BuildError(std::string(spec.name) + ": " + error);
    return out;
}

void addQuestionFiles(const QuizContent& practice, const QuizContent& all, BundleProfile profile,
                      BundleFiles& files) {
    const QuizContent& content = practice;
    std::string error;
    std::vector<reswriter::TopicCategory> topics;
    std::vector<std::vector<reswriter::QuestionRecord>> banks;
    for (size_t c = 0; c < content.categories.size(); ++c) {
        const Category& category = content.categories[c];
        reswriter::TopicCategory topic{latin1ToUtf8(category.name), {}};
        for (size_t s = 0; s < category.subsections.size(); ++s) {
            const Subsection& subsection = category.subsections[s];
            topic.subsections.push_back(latin1ToUtf8(subsection.name));
            std::vector<reswriter::QuestionRecord> records;
            for (const Question& q : subsection.questions) records.push_back(toRecord(q));
            Bytes bank = reswriter::writeQuestionBank(records, &error);
            if (bank.empty()) throw BuildError(subsection.name + ": " + error);
            files[reswriter::practiceBankFileName(static_cast<int>(c), static_cast<int>(s))] =
                std::move(bank);
        }
        topics.push_back(std::move(topic));
    }
    Bytes topicsFile = reswriter::writeTopics(topics, &error);
    if (topicsFile.empty()) throw BuildError(std::string(reswriter::kTopicsFileName) + ": " + error);
    files[reswriter::kTopicsFileName] = std::move(topicsFile);

    for (const Category& category : all.categories) {
        for (const Subsection& subsection : category.subsections) {
            std::vector<reswriter::QuestionRecord> records;
            for (const Question& q : subsection.questions) records.push_back(toRecord(q));
            banks.push_back(std::move(records));
        }
    }
    std::vector<reswriter::QuestionRecord> testBank = reswriter::shuffleForTestBank(banks, kShuffleSeed);
    if (profile == BundleProfile::Test) {
        // The test profile's practice banks are tiny; its test bank is still drawn from the whole content so
        // that the no-repeat ring (435 entries) always has a record left to offer.
        testBank.resize(std::min(testBank.size(), static_cast<size_t>(BundleBuilder::kTestBankRecords)));
    }
    Bytes testFile = reswriter::writeQuestionBank(testBank, &error);
    if (testFile.empty()) throw BuildError(std::string(reswriter::kTestBankFileName) + ": " + error);
    files[reswriter::kTestBankFileName] = std::move(testFile);
}

}  // namespace

QuizContent BundleBuilder::selectContent(const QuizContent& content, BundleProfile profile) {
    if (profile == BundleProfile::Full) return content;
    QuizContent small;
    for (size_t c = 0; c < content.categories.size(); ++c) {
        const Category& category = content.categories[c];
        Category kept{category.name, {}};
        // Even categories keep two subsections, odd ones one: both list lengths occur.
        size_t subsections = std::min(category.subsections.size(), c % 2 == 0 ? size_t{2} : size_t{1});
        for (size_t s = 0; s < subsections; ++s) {
            const Subsection& subsection = category.subsections[s];
            Subsection part{subsection.name, {}};
            part.questions.assign(
                subsection.questions.begin(),
                subsection.questions.begin() + std::min<size_t>(3, subsection.questions.size()));
            kept.subsections.push_back(std::move(part));
        }
        small.categories.push_back(std::move(kept));
    }
    return small;
}

BundleFiles BundleBuilder::build(const BundleOptions& options) {
    QuizContent content = ContentReader::readDirectory(options.contentDir / "questions");
    std::vector<std::string> faults = ContentRules::check(content);
    std::vector<std::string> wording = ContentRules::checkWording(content);
    faults.insert(faults.end(), wording.begin(), wording.end());
    GlyphRenderer mainFont(options.fontPath, kMainFontHeight);
    if (faults.empty()) {
        faults = ContentRules::checkLayout(
            content, [&](const std::string& text, int width) { return mainFont.wrap(text, width); });
    }
    if (!faults.empty()) {
        throw ContentError(
            faults.front() +
            (faults.size() > 1 ? " (and " + std::to_string(faults.size() - 1) + " more faults)" : ""));
    }
    bool flat = options.profile == BundleProfile::Test;
    BundleFiles files;
    addQuestionFiles(selectContent(content, options.profile), content, options.profile, files);

    // Resources by id; ids left empty become empty loose records.
    std::vector<Bytes> resources(kResourceCount);
    std::vector<bool> loose(kResourceCount, false);
    Bytes thresholds;
    for (int level = 0; level < kLevelCount; ++level) putInt(thresholds, flat ? 2 : 3 + level);
    resources[kLevelThresholdsId] = thresholds;
    for (const MaskSpec& mask : transitionMasks()) resources[mask.id] = mask.bytes();
    for (const PictureSpec& spec : ArtCatalogue::pictures()) {
        resources[spec.lowId] = encodePicture(spec, ArtCatalogue::draw(spec, 1, flat, options.fontPath));
        resources[spec.highId] = encodePicture(spec, ArtCatalogue::draw(spec, 2, flat, options.fontPath));
        if (spec.width == 320 && spec.height == 480) loose[spec.lowId] = loose[spec.highId] = true;
    }
    for (int i = 0; i < CueSynthesizer::kCueCount; ++i) {
        int id = CueSynthesizer::kFirstCueId + i;
        resources[id] = CueSynthesizer::wavFile(i);
        if (resources[id].empty()) throw BuildError("the WAV encoder refused cue " + std::to_string(id));
        loose[id] = true;
    }

    // The fonts: dark text for the light panels and buttons, white numbers for the title panels.
    struct FontPlace {
        int id;
        QuizFontSpec spec;
    };
    const FontPlace fonts[] = {
        {kMainFontLowId,
         {kMainFontHeight, false, BundleBuilder::kMainTextColour, 2, restools::PixelEncoding::RunLength}},
        {kNumbersFontLowId,
         {kNumbersFontHeight, true, BundleBuilder::kNumbersColour, 4, restools::PixelEncoding::Plain}},
        {kMainFontHighId,
         {2 * kMainFontHeight, false, BundleBuilder::kMainTextColour, 16,
          restools::PixelEncoding::RunLength}},
        {kNumbersFontHighId,
         {2 * kNumbersFontHeight, true, BundleBuilder::kNumbersColour, 256,
          restools::PixelEncoding::RunLength}},
    };
    for (const FontPlace& place : fonts) {
        restools::FontGroupWriter::Resources font = QuizFonts::render(options.fontPath, place.spec);
        resources[place.id] = font.characterTable;
        resources[place.id + 1] = font.widthTable;
        resources[place.id + 2] = font.glyphSheet;
        resources[place.id + 3] = font.palette;
    }

    restools::ResourceMapWriter map;
    map.setLanguages({kLanguageCode});
    int block = map.addBlock(0);
    for (int id = 0; id < kResourceCount; ++id) {
        bool isLoose = loose[id] || resources[id].empty();
        int written =
            isLoose ? map.addLooseResource(resources[id]) : map.addPackedResource(block, resources[id]);
        if (written != id)
            throw BuildError("resource " + std::to_string(id) + " was given id " + std::to_string(written));
    }
    std::string error;
    restools::LanguageTableWriter language;
    for (const std::string& text : screenTexts()) {
        std::u16string units(text.begin(), text.end());
        Bytes enc = restools::EncStringWriter::write(units, {}, &error);
        if (enc.empty()) throw BuildError("language table: " + error);
        language.addText(enc);
    }
    Bytes languageFile = language.build(&error);
    if (languageFile.empty()) throw BuildError("language table: " + error);
    files[kLanguageCode] = std::move(languageFile);

    BundleFiles mapFiles = map.build(&error);
    if (mapFiles.empty()) throw BuildError("resource map: " + error);
    files.merge(mapFiles);

    // Start-up pictures and the loading animation, read by file name.
    files[kSplashLow] = pngOf(ArtCatalogue::drawSplash(1, flat));
    files[kSplashHigh] = pngOf(ArtCatalogue::drawSplash(2, flat));
    for (int i = 1; i <= kLoadingFrames; ++i) {
        files[loadingFrameName(i, false)] = pngOf(ArtCatalogue::drawLoadingFrame(i - 1, 1, flat));
        files[loadingFrameName(i, true)] = pngOf(ArtCatalogue::drawLoadingFrame(i - 1, 2, flat));
    }

    // The runtime's own font, for the platform's text.
    fonttools::FontDescription runtimeFont =
        GlyphRenderer(options.fontPath, kRuntimeFontHeight).renderLatin1();
    Bytes fontFile = fonttools::writeBitmapFont(runtimeFont, fonttools::EncodingSettings{}, &error);
    if (fontFile.empty()) throw BuildError(std::string(kRuntimeFontName) + ": " + error);
    files[kRuntimeFontName] = std::move(fontFile);
    return files;
}

void BundleBuilder::writeFiles(const BundleFiles& files, const std::filesystem::path& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) throw BuildError(dir.string() + ": " + error.message());
    for (const auto& [name, bytes] : files) {
        // Into a temporary file, then renamed, so that an interrupted build never leaves half a file
        // under the real name. Not synced: the build writes the bundle again whenever it is stale.
        std::filesystem::path target = dir / name;
        std::filesystem::path temporary = dir / (name + ".part");
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) throw BuildError(temporary.string() + ": cannot be created");
        size_t written = 0;
        while (written < bytes.size()) {
            ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
            if (n <= 0) {
                ::close(fd);
                throw BuildError(temporary.string() + ": write failed");
            }
            written += static_cast<size_t>(n);
        }
        bool ok = ::close(fd) == 0;
        if (!ok || ::rename(temporary.c_str(), target.c_str()) != 0)
            throw BuildError(target.string() + ": write failed");
    }
}

}  // namespace resbuild
