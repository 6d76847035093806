// Writes the resource map "resmap", the packs "pk<n>" and the loose resources "ur<id>" of a bundle
// from resources placed in blocks and packs. The tests make their bundles with it, and the resource
// builder makes the real one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace restools {

class ResourceMapWriter {
public:
    using Bytes = std::vector<uint8_t>;

    // Up to five codes of one or two ASCII characters; an empty code stays empty.
    void setLanguages(const std::vector<std::string>& codes);
    void addKeyMapping(int16_t keyCode, uint32_t flags);
    // A definition of no values is read back as a null entry.
    void addMenuDefinition(const std::vector<int32_t>& values);

    // A new block in the given pack (-1: in no pack); answers its block id. Blocks lie in their pack in
    // the order they are added, resources in their block likewise.
    int addBlock(int pack);
    // Answers the resource id.
    int addPackedResource(int block, const Bytes& bytes);
    // A resource kept as its own file "ur<id>". wholeFile writes the length field as all ones, so the
    // reader takes the whole file.
    int addLooseResource(const Bytes& bytes, bool wholeFile = false);
    int resourceCount() const { return static_cast<int>(m_resources.size()); }

    // Every file by name ("resmap", "pk0", "ur3", ...), or an empty map with the reason in *error when
    // the reader would refuse the result (too many packs, blocks, key mappings or menus, a block in an
    // unknown pack, a pack or resource beyond 2 GB, a bad language code).
    std::map<std::string, Bytes> build(std::string* error) const;
    // The same files written into dir; false with the reason in *error.
    bool writeTo(const std::filesystem::path& dir, std::string* error) const;

private:
    struct Resource {
        int block = -1;
        bool wholeFile = false;
        Bytes bytes;
    };
    std::vector<std::string> m_languages;
    std::vector<std::pair<int16_t, uint32_t>> m_keys;
    std::vector<std::vector<int32_t>> m_menus;
    std::vector<int> m_blockPacks;
    std::vector<Resource> m_resources;
};

}  // namespace restools
