#include "tools/FreeTypeGlyphSource.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace fonttools {

struct FreeTypeGlyphSource::Handles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

FreeTypeGlyphSource::FreeTypeGlyphSource() : m_handles(new Handles) {}

FreeTypeGlyphSource::~FreeTypeGlyphSource() {
    if (m_handles->face != nullptr) FT_Done_Face(m_handles->face);
    if (m_handles->library != nullptr) FT_Done_FreeType(m_handles->library);
    delete m_handles;
}

bool FreeTypeGlyphSource::open(const std::string& path, int lineHeight, std::string* error) {
    if (FT_Init_FreeType(&m_handles->library) != 0) {
        *error = "FreeType could not be initialised";
        return false;
    }
    if (FT_New_Face(m_handles->library, path.c_str(), 0, &m_handles->face) != 0) {
        *error = "cannot open the font " + path;
        return false;
    }
    m_lineHeight = lineHeight;
    if (!setScale(static_cast<long>(lineHeight) * 64)) {
        *error = "the font cannot be scaled to " + std::to_string(lineHeight) + " pixels";
        return false;
    }
    return true;
}

// requestedHeight is ascent plus descent in 26.6 pixels; the baseline sits at the ascent's share.
bool FreeTypeGlyphSource::setScale(long requestedHeight) {
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_REAL_DIM;
    request.width = 0;
    request.height = requestedHeight;
    if (FT_Request_Size(m_handles->face, &request) != 0) return false;
    const FT_Face face = m_handles->face;
    double ascent = face->ascender;
    double descent = -static_cast<double>(face->descender);
    if (ascent + descent <= 0) {
        ascent = face->size->metrics.ascender / 64.0;
        descent = -face->size->metrics.descender / 64.0;
    }
    m_baseline = static_cast<int>(std::lround(requestedHeight / 64.0 * ascent / (ascent + descent)));
    return true;
}

bool FreeTypeGlyphSource::fitLine(const std::vector<unsigned int>& codes) {
    const long nominal = static_cast<long>(m_lineHeight) * 64;
    for (long requested = nominal; requested >= nominal * 3 / 4; requested -= 8) {
        if (!setScale(requested)) break;
        int above = 0;
        int below = 0;
        for (unsigned int code : codes) {
            if (FT_Load_Char(m_handles->face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
            const FT_GlyphSlot slot = m_handles->face->glyph;
            if (slot->bitmap.rows == 0) continue;
            above = std::max(above, slot->bitmap_top);
            below = std::max(below, static_cast<int>(slot->bitmap.rows) - slot->bitmap_top);
        }
        if (above + below <= m_lineHeight) {
            m_baseline = above;
            return true;
        }
    }
    setScale(nominal);
    return false;
}

bool FreeTypeGlyphSource::hasGlyph(unsigned int code) const {
    return FT_Get_Char_Index(m_handles->face, code) != 0;
}

int FreeTypeGlyphSource::advance(unsigned int code) {
    if (FT_Load_Char(m_handles->face, code, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) return 0;
    return static_cast<int>((m_handles->face->glyph->advance.x + 32) >> 6);
}

bool FreeTypeGlyphSource::render(unsigned int code, GlyphMask* glyph, bool* clipped, std::string* error) {
    FT_Face face = m_handles->face;
    if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
        *error = "FreeType cannot render character " + std::to_string(code);
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows > 0) {
        *error = "the font gives no grey-level bitmap for character " + std::to_string(code);
        return false;
    }
    const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const int left = std::min(0, slot->bitmap_left);
    const int right = std::max(advance - 1, slot->bitmap_left + static_cast<int>(bitmap.width));
    const int fullWidth = std::max(0, right - left);
    const int width = std::min(fullWidth, kMaxGlyphWidth);
    *clipped = width < fullWidth;

    // Rows of the bitmap that fall inside the line.
    const int firstRow = m_baseline - slot->bitmap_top;
    int top = std::max(0, firstRow);
    int bottom = std::min(m_lineHeight, firstRow + static_cast<int>(bitmap.rows));
    if (firstRow < 0 || firstRow + static_cast<int>(bitmap.rows) > m_lineHeight) *clipped = true;
    if (bottom < top) bottom = top;

    std::vector<uint8_t> coverage(static_cast<size_t>(width) * (bottom - top), 0);
    for (int y = top; y < bottom; ++y) {
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(y - firstRow) * bitmap.pitch;
        for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
            const int x = slot->bitmap_left + column - left;
            if (x >= width) {
                if (source[column] != 0) *clipped = true;
                continue;
            }
            coverage[static_cast<size_t>(y - top) * width + x] = source[column];
        }
    }
    // Empty rows at the top and bottom are not part of the tight box.
    auto rowEmpty = [&](int row) {
        return std::all_of(coverage.begin() + static_cast<ptrdiff_t>(row) * width,
                           coverage.begin() + static_cast<ptrdiff_t>(row + 1) * width,
                           [](uint8_t value) { return value == 0; });
    };
    int firstKept = 0;
    int rowCount = bottom - top;
    while (firstKept < rowCount && rowEmpty(firstKept)) ++firstKept;
    int lastKept = rowCount;
    while (lastKept > firstKept && rowEmpty(lastKept - 1)) --lastKept;

    glyph->code = static_cast<unsigned short>(code);
    glyph->width = width;
    glyph->yOffset = lastKept > firstKept ? top + firstKept : 0;
    glyph->height = lastKept - firstKept;
    glyph->coverage.assign(coverage.begin() + static_cast<ptrdiff_t>(firstKept) * width,
                           coverage.begin() + static_cast<ptrdiff_t>(lastKept) * width);
    return true;
}

}  // namespace fonttools
