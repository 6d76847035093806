// Writes a language table file: a count of text ids, then for each id its ENC string or a single 0 byte
// for an id without text. The file is named by its language code in the bundle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace restools {

class LanguageTableWriter {
public:
    using Bytes = std::vector<uint8_t>;

    // Each adds the next text id and answers it.
    int addText(const Bytes& encString);
    int addEmpty();
    int textCount() const { return static_cast<int>(m_entries.size()); }

    // The file bytes, or an empty vector with the reason in *error when the reader would drop the table:
    // more than 32767 ids, or an entry that is not exactly one whole ENC string (see EncStringWriter).
    Bytes build(std::string* error) const;

private:
    // An empty entry is an id without text.
    std::vector<Bytes> m_entries;
};

}  // namespace restools
