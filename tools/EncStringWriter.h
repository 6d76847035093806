// Writes ENC strings, the canvas's encoded texts: 8- or 16-bit characters and optional hyphenation
// guidelines, in the record width the character count selects. The language tables and the tests use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace restools {

struct EncGuideline {
    // Index of the character before which a line may break.
    int position = 0;
    // 0: a line broken here ends with "-"; any other value (up to 255) breaks without one.
    int type = 0;
};

class EncStringWriter {
public:
    using Bytes = std::vector<uint8_t>;
    enum class Width { Eight = 1, Sixteen = 2 };

    // The string's bytes, or an empty vector with the reason in *error when the reader could not take
    // it back: more than 32767 characters or guidelines, a unit above 0xFF in 8-bit form, guideline
    // positions outside 0..count or not ascending, a type outside 0..255.
    static Bytes write(const std::u16string& text, const std::vector<EncGuideline>& guidelines, Width width,
                       std::string* error);
    // 16-bit when any unit is above 0xFF, else 8-bit.
    static Bytes write(const std::u16string& text, const std::vector<EncGuideline>& guidelines,
                       std::string* error);
};

}  // namespace restools
