// The ENC string layout, shared by the canvas's readers and the resource writers: a flags byte, a 16-bit
// character count, a 16-bit guideline count when the guideline flag is set, the characters (8- or
// 16-bit, big-endian) and the guideline records (2 bytes up to 255 characters, 3 bytes from 256). Header
// only, so the writers need not link the engine.
#pragma once

#include <cstdint>

namespace enctext {

constexpr int kGuidelineFlag = 4;
constexpr int kWidthMask = 3;
// Strings of up to this many characters store guideline positions in one byte.
constexpr int kShortRecordLimit = 255;
// In memory a guideline is position | type << 24.
constexpr int kGuidelineTypeShift = 24;
constexpr int32_t kGuidelinePositionMask = 0x00FFFFFF;

// Both counts are read unsigned: a question bank holds texts of up to 65535 bytes, and a count read
// signed made every text from 32768 characters on unreadable. No stored string had such a count, since
// the readers refused it.
constexpr int kMaxCount = 0xFFFF;

inline int guidelineRecordSize(int characterCount) {
    return characterCount <= kShortRecordLimit ? 2 : 3;
}

inline int readS16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] << 8 | p[1]));
}

inline int readU16(const uint8_t* p) {
    return p[0] << 8 | p[1];
}

struct EncStringLayout {
    int flags = 0;
    // 1 for 8-bit characters; every other width value is read as 16-bit units.
    int bytesPerCharacter = 2;
    int count = 0;
    // 0 when the flag is clear; a set flag with a count of 0 means no guidelines.
    int guidelineCount = 0;
    int charactersOffset = 3;
    int guidelinesOffset = 3;
    int recordSize = 2;
    // Bytes the string occupies, header to last record.
    int64_t length = 3;

    unsigned short characterAt(const uint8_t* bytes, int i) const {
        if (bytesPerCharacter == 1) return bytes[charactersOffset + i];
        const uint8_t* p = bytes + charactersOffset + 2 * i;
        return static_cast<unsigned short>(p[0] << 8 | p[1]);
    }
    int32_t guidelineAt(const uint8_t* bytes, int g) const {
        const uint8_t* p = bytes + guidelinesOffset + recordSize * g;
        const int32_t position = recordSize == 2 ? p[0] : (p[0] << 8 | p[1]);
        return position |
               static_cast<int32_t>(static_cast<uint32_t>(p[recordSize - 1]) << kGuidelineTypeShift);
    }
};

// Reads the header of the string at `bytes` with `available` bytes to its end. False when the
// characters or records would run past `available`. `storedWidth` selects the
// width rule: the table loader sizes an entry by the flags' width field itself (1 or 2 only), the
// readers take any width but 1 as 16-bit.
inline bool readEncStringLayout(const uint8_t* bytes, int64_t available, EncStringLayout& out,
                                bool storedWidth = false) {
    if (available < 3) return false;
    EncStringLayout layout;
    layout.flags = bytes[0];
    const int width = layout.flags & kWidthMask;
    if (storedWidth && width != 1 && width != 2) return false;
    layout.bytesPerCharacter = width == 1 ? 1 : 2;
    layout.count = readU16(bytes + 1);
    layout.charactersOffset = 3;
    if ((layout.flags & kGuidelineFlag) != 0) {
        if (available < 5) return false;
        layout.guidelineCount = readU16(bytes + 3);
        layout.charactersOffset = 5;
    }
    layout.recordSize = guidelineRecordSize(layout.count);
    layout.guidelinesOffset = layout.charactersOffset + layout.bytesPerCharacter * layout.count;
    layout.length = static_cast<int64_t>(layout.guidelinesOffset) +
                    static_cast<int64_t>(layout.recordSize) * layout.guidelineCount;
    if (layout.length > available) return false;
    out = layout;
    return true;
}

}  // namespace enctext
