#include "tools/resbuild/ArtLettering.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "tools/resbuild/WordWrap.h"

namespace resbuild {

struct ArtLettering::Faces {
    FT_Library library = nullptr;
    FT_Face regular = nullptr;
    FT_Face bold = nullptr;

    ~Faces() {
        if (bold != nullptr && bold != regular) FT_Done_Face(bold);
        if (regular != nullptr) FT_Done_Face(regular);
        if (library != nullptr) FT_Done_FreeType(library);
    }

    // Scales the face so that ascent plus descent is lineHeight pixels; returns the baseline's row.
    int setSize(FT_Face face, int lineHeight) {
        FT_Size_RequestRec request{};
        request.type = FT_SIZE_REQUEST_TYPE_REAL_DIM;
        request.height = static_cast<long>(lineHeight) * 64;
        if (FT_Request_Size(face, &request) != 0)
            throw std::runtime_error("the font cannot be scaled to " + std::to_string(lineHeight) +
                                     " pixels");
        const double ascent = face->ascender, descent = -static_cast<double>(face->descender);
        return static_cast<int>(std::lround(lineHeight * ascent / (ascent + descent)));
    }
};

ArtLettering::ArtLettering(const std::string& fontPath) : m_faces(std::make_unique<Faces>()) {
    if (FT_Init_FreeType(&m_faces->library) != 0)
        throw std::runtime_error("FreeType could not be initialised");
    if (FT_New_Face(m_faces->library, fontPath.c_str(), 0, &m_faces->regular) != 0)
        throw std::runtime_error(fontPath + ": cannot open the font");
    m_faces->bold = m_faces->regular;
    std::filesystem::path path(fontPath);
    std::filesystem::path boldPath =
        path.parent_path() / (path.stem().string() + "-Bold" + path.extension().string());
    std::error_code error;
    FT_Face bold = nullptr;
    if (std::filesystem::exists(boldPath, error) &&
        FT_New_Face(m_faces->library, boldPath.c_str(), 0, &bold) == 0) {
        m_faces->bold = bold;
    }
}

ArtLettering::~ArtLettering() = default;

int ArtLettering::width(const std::string& text, int lineHeight, bool bold) {
    FT_Face face = bold ? m_faces->bold : m_faces->regular;
    m_faces->setSize(face, lineHeight);
    long pen = 0;
    for (char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0)
            continue;
        pen += face->glyph->advance.x;
    }
    return static_cast<int>((pen + 32) >> 6);
}

void ArtLettering::draw(ArtCanvas& canvas, const std::string& text, double x, double y, int lineHeight,
                        bool bold, uint32_t colour, Align align) {
    const int textWidth = width(text, lineHeight, bold);
    FT_Face face = bold ? m_faces->bold : m_faces->regular;
    const int baseline = m_faces->setSize(face, lineHeight);
    double left = align == Align::Left ? x : align == Align::Centre ? x - textWidth / 2.0 : x - textWidth;
    // Whole pixels, so that the same words land on the same pixels in every picture that shows them.
    long pen = std::lround(left) * 64;
    const int top = static_cast<int>(std::lround(y));
    for (char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        const int originX = static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
        const int originY = top + baseline - slot->bitmap_top;
        for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
            const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
                const int px = originX + column, py = originY + row;
                if (source[column] == 0 || px < 0 || py < 0 || px >= canvas.width() || py >= canvas.height())
                    continue;
                canvas.blendPixel(px, py, colour, source[column]);
            }
        }
        pen += slot->advance.x;
    }
}

std::vector<std::string> ArtLettering::wrap(const std::string& text, int lineHeight, bool bold,
                                            int maxWidth) {
    return wrapWords(text, maxWidth,
                     [&](const std::string& candidate) { return width(candidate, lineHeight, bold); });
}

}  // namespace resbuild
