// The bundle's resource map and packs, laid out as engine/ResourceLayout.h describes them.
#include "tools/ResourceMapWriter.h"

#include <algorithm>
#include <fstream>

#include "engine/ResourceLayout.h"

namespace restools {

namespace layout = resourcelayout;

namespace {

void putU32(ResourceMapWriter::Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void putRecord(ResourceMapWriter::Bytes& out, int owner, uint64_t index, uint64_t length) {
    out.push_back(static_cast<uint8_t>(owner));
    putU32(out, static_cast<uint32_t>(index));
    putU32(out, static_cast<uint32_t>(length));
}

}  // namespace

void ResourceMapWriter::setLanguages(const std::vector<std::string>& codes) {
    m_languages = codes;
}

void ResourceMapWriter::addKeyMapping(int16_t keyCode, uint32_t flags) {
    m_keys.emplace_back(keyCode, flags);
}

void ResourceMapWriter::addMenuDefinition(const std::vector<int32_t>& values) {
    m_menus.push_back(values);
}

int ResourceMapWriter::addBlock(int pack) {
    m_blockPacks.push_back(pack);
    return static_cast<int>(m_blockPacks.size()) - 1;
}

int ResourceMapWriter::addPackedResource(int block, const Bytes& bytes) {
    m_resources.push_back({block, false, bytes});
    return resourceCount() - 1;
}

int ResourceMapWriter::addLooseResource(const Bytes& bytes, bool wholeFile) {
    m_resources.push_back({layout::kNoOwner, wholeFile, bytes});
    return resourceCount() - 1;
}

std::map<std::string, ResourceMapWriter::Bytes> ResourceMapWriter::build(std::string* error) const {
    auto refuse = [error](const std::string& why) {
        if (error) *error = why;
        return std::map<std::string, Bytes>{};
    };
    if (m_languages.size() > 5) return refuse("more than five language codes");
    for (const std::string& code : m_languages) {
        if (code.size() > 2) return refuse("language code longer than two characters: " + code);
        for (char c : code) {
            if (c == 0 || static_cast<unsigned char>(c) > 0x7F) return refuse("language code not ASCII");
        }
    }
    if (m_keys.size() > 255) return refuse("more than 255 key mappings");
    if (m_menus.size() > 255) return refuse("more than 255 menu definitions");
    if (m_blockPacks.size() > static_cast<size_t>(layout::kMaxOwners)) return refuse("more than 128 blocks");
    int packs = 0;
    for (int pack : m_blockPacks) {
        if (pack < layout::kNoOwner || pack >= layout::kMaxOwners)
            return refuse("a block names pack " + std::to_string(pack));
        packs = std::max(packs, pack + 1);
    }

    // Block contents in resource order, then blocks in their packs in block order.
    std::vector<Bytes> blockBytes(m_blockPacks.size());
    std::vector<uint64_t> resourceOffsets(m_resources.size(), 0);
    for (size_t r = 0; r < m_resources.size(); ++r) {
        const Resource& resource = m_resources[r];
        if (resource.block == layout::kNoOwner) continue;
        if (resource.block < 0 || resource.block >= static_cast<int>(m_blockPacks.size()))
            return refuse("resource " + std::to_string(r) + " names block " + std::to_string(resource.block));
        if (m_blockPacks[resource.block] == layout::kNoOwner)
            return refuse("resource " + std::to_string(r) + " lies in block " +
                          std::to_string(resource.block) + ", which is in no pack");
        Bytes& block = blockBytes[resource.block];
        resourceOffsets[r] = block.size();
        block.insert(block.end(), resource.bytes.begin(), resource.bytes.end());
    }
    std::vector<Bytes> packBytes(packs);
    std::vector<uint64_t> blockOffsets(m_blockPacks.size(), 0);
    for (size_t b = 0; b < m_blockPacks.size(); ++b) {
        if (m_blockPacks[b] == layout::kNoOwner) continue;
        Bytes& pack = packBytes[m_blockPacks[b]];
        blockOffsets[b] = pack.size();
        pack.insert(pack.end(), blockBytes[b].begin(), blockBytes[b].end());
        if (pack.size() > INT32_MAX)
            return refuse("pack " + std::to_string(m_blockPacks[b]) + " beyond 2 GB");
    }

    Bytes map;
    map.push_back(static_cast<uint8_t>(packs));
    map.push_back(static_cast<uint8_t>(m_blockPacks.size()));
    putU32(map, static_cast<uint32_t>(m_resources.size()));
    for (size_t i = 0; i < 5; ++i) {
        std::string code = i < m_languages.size() ? m_languages[i] : std::string();
        map.push_back(code.size() > 0 ? static_cast<uint8_t>(code[0]) : 0);
        map.push_back(code.size() > 1 ? static_cast<uint8_t>(code[1]) : 0);
    }
    for (size_t b = 0; b < m_blockPacks.size(); ++b)
        putRecord(map, m_blockPacks[b], blockOffsets[b], blockBytes[b].size());
    std::map<std::string, Bytes> files;
    for (size_t r = 0; r < m_resources.size(); ++r) {
        const Resource& resource = m_resources[r];
        if (resource.bytes.size() > INT32_MAX)
            return refuse("resource " + std::to_string(r) + " beyond 2 GB");
        uint64_t length = resource.wholeFile ? 0xFFFFFFFFu : resource.bytes.size();
        putRecord(map, resource.block, resourceOffsets[r], length);
        if (resource.block == layout::kNoOwner) files["ur" + std::to_string(r)] = resource.bytes;
    }
    map.push_back(static_cast<uint8_t>(m_keys.size()));
    for (const auto& [code, flags] : m_keys) {
        map.push_back(static_cast<uint8_t>(static_cast<uint16_t>(code) >> 8));
        map.push_back(static_cast<uint8_t>(code));
        putU32(map, flags);
    }
    map.push_back(static_cast<uint8_t>(m_menus.size()));
    for (const std::vector<int32_t>& menu : m_menus) {
        putU32(map, static_cast<uint32_t>(menu.size()));
        for (int32_t v : menu) putU32(map, static_cast<uint32_t>(v));
    }
    files["resmap"] = std::move(map);
    for (int p = 0; p < packs; ++p) files["pk" + std::to_string(p)] = std::move(packBytes[p]);
    return files;
}

bool ResourceMapWriter::writeTo(const std::filesystem::path& dir, std::string* error) const {
    std::map<std::string, Bytes> files = build(error);
    if (files.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const auto& [name, bytes] : files) {
        std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            if (error) *error = "cannot write " + (dir / name).string();
            return false;
        }
    }
    return true;
}

}  // namespace restools
