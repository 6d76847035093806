// The language table bytes, each entry checked against the layout the canvas's loader reads.
#include "tools/LanguageTableWriter.h"

#include "engine/EncStringLayout.h"

namespace restools {

int LanguageTableWriter::addText(const Bytes& encString) {
    m_entries.push_back(encString);
    return textCount() - 1;
}

int LanguageTableWriter::addEmpty() {
    m_entries.emplace_back();
    return textCount() - 1;
}

LanguageTableWriter::Bytes LanguageTableWriter::build(std::string* error) const {
    auto fail = [error](const std::string& reason) {
        if (error != nullptr) *error = reason;
        return Bytes{};
    };
    if (m_entries.size() > 32767) return fail("more than 32767 text ids");
    Bytes out;
    out.push_back(static_cast<uint8_t>(m_entries.size() >> 8));
    out.push_back(static_cast<uint8_t>(m_entries.size()));
    for (size_t id = 0; id < m_entries.size(); ++id) {
        const Bytes& entry = m_entries[id];
        if (entry.empty()) {
            out.push_back(0);
            continue;
        }
        enctext::EncStringLayout layout;
        // A 0 flags byte would read as an id without text, and the loader sizes the entry from its header.
        if (entry[0] == 0 ||
            !enctext::readEncStringLayout(entry.data(), static_cast<int64_t>(entry.size()), layout, true) ||
            layout.length != static_cast<int64_t>(entry.size()))
            return fail("text id " + std::to_string(id) + " is not one whole ENC string");
        out.insert(out.end(), entry.begin(), entry.end());
    }
    return out;
}

}  // namespace restools
