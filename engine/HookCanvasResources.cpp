// The resource layer: the resource map read at start-up, packs of blocks loaded whole and counted by
// reference, loose "ur" files, typed big-endian getters and the static byte-array helpers.
#include <algorithm>
#include <cstring>
#include <string>

#include "engine/HookCanvas.h"
#include "engine/ResourceLayout.h"
#include "library/ByteArrayOutputStream.h"
#include "library/DataInputStream.h"
#include "library/InputStream.h"
#include "library/System.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/Class.h"
#include "runtime/Double.h"
#include "runtime/Exception.h"
#include "runtime/Float.h"
#include "runtime/IOException.h"
#include "runtime/NullPointerException.h"

using java::lang::String;
namespace layout = resourcelayout;

namespace {

using Bytes = JArray<signed char>;

uint32_t u32At(const signed char* p) {
    return uint32_t{static_cast<uint8_t>(p[0])} << 24 | uint32_t{static_cast<uint8_t>(p[1])} << 16 |
           uint32_t{static_cast<uint8_t>(p[2])} << 8 | uint32_t{static_cast<uint8_t>(p[3])};
}

uint16_t u16At(const signed char* p) {
    return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) << 8 | static_cast<uint8_t>(p[1]));
}

[[noreturn]] void failMap(const std::string& why) {
    java::io::IOException error;
    error.TESLinvokeconstructor(jnew<String>(("resmap: " + why).c_str()));
    throw error;
}

[[noreturn]] void throwIndex(int64_t index) {
    java::lang::ArrayIndexOutOfBoundsException error;
    error.TESLinvokeconstructor(static_cast<int>(index));
    throw error;
}

// The static helpers read count bytes at offset, as Java arrays would: a null array or a range outside
// it throws rather than reading stray memory.
const signed char* checkedRange(const JavaPtr<Bytes>& data, int32_t offset, int count) {
    if (!data) throw java::lang::NullPointerException();
    if (offset < 0) throwIndex(offset);
    if (int64_t{offset} + count > data->length) throwIndex(int64_t{offset} + count - 1);
    return data->data + offset;
}

// One 9-byte mapping record of a table.
struct MappingRecord {
    int owner;
    uint32_t index;
    uint32_t length;
};

MappingRecord recordAt(const Bytes& table, int32_t id) {
    const signed char* p = table.data + static_cast<int64_t>(id) * layout::kRecordBytes;
    return {p[layout::kRecordOwner], u32At(p + layout::kRecordIndex), u32At(p + layout::kRecordLength)};
}

// What initTessel takes from the map once the whole of it has been checked.
struct ParsedMap {
    int packs = 0;
    int blocks = 0;
    int64_t resources = 0;
    int64_t keyOffset = 0;
};

// Checks every count and id of the map against the file, so that nothing read later indexes outside
// the tables; throws with the reason.
ParsedMap checkMap(const Bytes& map) {
    ParsedMap parsed;
    int64_t size = map.length;
    if (size < layout::kMapRecordsOffset) failMap("shorter than its header");
    const signed char* bytes = map.data;
    parsed.packs = static_cast<uint8_t>(bytes[layout::kMapPackCountOffset]);
    parsed.blocks = static_cast<uint8_t>(bytes[layout::kMapBlockCountOffset]);
    parsed.resources = u32At(bytes + layout::kMapResourceCountOffset);
    int64_t recordsEnd =
        layout::kMapRecordsOffset + (int64_t{parsed.blocks} + parsed.resources) * layout::kRecordBytes;
    if (recordsEnd + 2 > size) failMap("shorter than its block and resource records");
    for (int b = 0; b < parsed.blocks; ++b) {
        const signed char* p = bytes + layout::kMapRecordsOffset + b * layout::kRecordBytes;
        int pack = p[layout::kRecordOwner];
        if (pack != layout::kNoOwner && (pack < 0 || pack >= parsed.packs))
            failMap("block " + std::to_string(b) + " names pack " + std::to_string(pack));
        // A pack is read into one array: its furthest block end must be an array length.
        if (int64_t{u32At(p + layout::kRecordIndex)} + u32At(p + layout::kRecordLength) > INT32_MAX)
            failMap("block " + std::to_string(b) + " ends beyond 2 GB");
    }
    int64_t resourcesStart = layout::kMapRecordsOffset + int64_t{parsed.blocks} * layout::kRecordBytes;
    for (int64_t r = 0; r < parsed.resources; ++r) {
        int block = bytes[resourcesStart + r * layout::kRecordBytes + layout::kRecordOwner];
        if (block != layout::kNoOwner && (block < 0 || block >= parsed.blocks))
            failMap("resource " + std::to_string(r) + " names block " + std::to_string(block));
    }
    int64_t at = recordsEnd;
    int keys = static_cast<uint8_t>(bytes[at++]);
    parsed.keyOffset = at;
    at += int64_t{keys} * layout::kKeyMappingBytes;
    if (at + 1 > size) failMap("shorter than its key mappings");
    int menus = static_cast<uint8_t>(bytes[at++]);
    for (int m = 0; m < menus; ++m) {
        if (at + 4 > size) failMap("shorter than menu definition " + std::to_string(m));
        int32_t count = static_cast<int32_t>(u32At(bytes + at));
        at += 4;
        if (count < 0 || int64_t{count} * 4 > size - at)
            failMap("menu definition " + std::to_string(m) + " counts " + std::to_string(count) + " values");
        at += int64_t{count} * 4;
    }
    return parsed;
}

// Exactly `length` bytes of the stream, or null when it ends first. The length comes from a record of
// the bundle, so it is believed only as far as the file reaches: an array of that size is made at once
// only when the stream says it still holds that many bytes; otherwise the bytes are gathered as they
// come, and a ten-byte file claiming 2 GB costs its ten bytes and one 16 KB buffer, not 2 GB.
JavaPtr<Bytes> readDeclaredLength(java::io::DataInputStream& in, int32_t length) {
    if (length <= in.available()) {
        JavaPtr<Bytes> whole = jnewArray<signed char>(length);
        // A file shorter than asked throws here: a part-filled array would pass for the whole.
        in.readFully(whole);
        return whole;
    }
    constexpr int kChunk = 16384;
    JavaPtr<java::io::ByteArrayOutputStream> out =
        jnew<java::io::ByteArrayOutputStream>()->TESLinvokeconstructor();
    JavaPtr<Bytes> buffer = jnewArray<signed char>(kChunk);
    int32_t gathered = 0;
    while (gathered < length) {
        const int n = in.read(buffer, 0, std::min(kChunk, length - gathered));
        if (n < 1) return nullptr;
        out->write(buffer, 0, n);
        gathered += n;
    }
    return out->toByteArray();
}

}  // namespace

void HookCanvas::initTessel() {
    JavaPtr<Bytes> map = loadFileFromJar(jnew<String>("resmap"), -1);
    if (!map) failMap("missing or unreadable");
    // Nothing is replaced until the whole map has been found sound.
    ParsedMap parsed = checkMap(*map);
    const signed char* bytes = map->data;

    JavaPtr<Bytes> newLanguages = jnewArray<signed char>(layout::kMapLanguageBytes);
    std::memcpy(newLanguages->data, bytes + layout::kMapLanguagesOffset, layout::kMapLanguageBytes);
    int blockBytes = parsed.blocks * layout::kRecordBytes;
    int resourceBytes = static_cast<int>(parsed.resources * layout::kRecordBytes);
    JavaPtr<Bytes> newBlocks = jnewArray<signed char>(blockBytes);
    if (blockBytes > 0) std::memcpy(newBlocks->data, bytes + layout::kMapRecordsOffset, blockBytes);
    JavaPtr<Bytes> newResources = jnewArray<signed char>(resourceBytes);
    if (resourceBytes > 0)
        std::memcpy(newResources->data, bytes + layout::kMapRecordsOffset + blockBytes, resourceBytes);

    int64_t at = parsed.keyOffset - 1;
    int keys = static_cast<uint8_t>(bytes[at++]);
    if (keys != 0) {
        JavaPtr<JArray<int32_t>> mappings = jnewArray<int32_t>(2 * keys);
        for (int i = 0; i < keys; ++i, at += layout::kKeyMappingBytes) {
            mappings->data[2 * i] = static_cast<int16_t>(u16At(bytes + at));
            mappings->data[2 * i + 1] = static_cast<int32_t>(u32At(bytes + at + 2));
        }
        internal_key_mappings = mappings;
    }
    int menus = static_cast<uint8_t>(bytes[at++]);
    if (menus != 0) {
        JavaPtr<JArray<JavaPtr<JArray<int32_t>>>> definitions = jnewArray<JavaPtr<JArray<int32_t>>>(menus);
        for (int m = 0; m < menus; ++m) {
            int32_t count = static_cast<int32_t>(u32At(bytes + at));
            at += 4;
            if (count == 0) continue;
            JavaPtr<JArray<int32_t>> values = jnewArray<int32_t>(count);
            for (int32_t v = 0; v < count; ++v, at += 4)
                values->data[v] = static_cast<int32_t>(u32At(bytes + at));
            definitions->data[m] = values;
        }
        menu_definitions = definitions;
    }

    languages = newLanguages;
    block_pack_mappings = newBlocks;
    res_block_mappings = newResources;
    std::lock_guard<std::mutex> lock(resource_pack_mutex);
    resource_packs = jnewArray<JavaPtr<Bytes>>(parsed.packs);
    times_resource_pack_reference = jnewArray<int32_t>(parsed.packs);
}

JavaPtr<java::io::DataInputStream> HookCanvas::getFileFromJarAsDataInputStream(const JavaPtr<String>& name) {
    JavaPtr<java::lang::Class> opener;
    {
        std::lock_guard<std::mutex> lock(rtclass_mutex);
        if (!rtclass) rtclass = getClass();
        opener = rtclass;
    }
    JavaPtr<java::io::InputStream> stream = opener->getResourceAsStream(*jnew<String>("/") + name);
    if (!stream) return nullptr;
    return jnew<java::io::DataInputStream>()->TESLinvokeconstructor(stream);
}

JavaPtr<JArray<signed char>> HookCanvas::loadFileFromJar(const JavaPtr<String>& name, int32_t length) {
    JavaPtr<java::io::DataInputStream> in = getFileFromJarAsDataInputStream(name);
    if (!in) return nullptr;
    JavaPtr<Bytes> result;
    try {
        if (length == -1) {
            JavaPtr<java::io::ByteArrayOutputStream> out =
                jnew<java::io::ByteArrayOutputStream>()->TESLinvokeconstructor();
            JavaPtr<Bytes> buffer = jnewArray<signed char>(1024);
            for (int n = in->read(buffer); n >= 1; n = in->read(buffer)) out->write(buffer, 0, n);
            result = out->toByteArray();
            out->close();
        } else if (length >= 0) {
            result = readDeclaredLength(*in, length);
        }
        in->close();
    } catch (java::lang::Exception&) {
        result = nullptr;
    } catch (std::bad_alloc&) {
        result = nullptr;
    }
    return result;
}

JavaPtr<JArray<signed char>> HookCanvas::residentPack(int32_t pack) {
    std::lock_guard<std::mutex> lock(resource_pack_mutex);
    if (!resource_packs || pack < 0 || pack >= resource_packs->length) return nullptr;
    return resource_packs->data[pack];
}

void HookCanvas::loadResourceBlock(int32_t block) {
    JavaPtr<Bytes> blocks = block_pack_mappings;
    // An unknown block loads nothing, as a block in no pack does.
    if (!blocks || block < 0 || block >= blocks->length / layout::kRecordBytes) return;
    int pack = recordAt(*blocks, block).owner;
    if (pack != layout::kNoOwner) {
        {
            std::lock_guard<std::mutex> lock(resource_pack_mutex);
            if (!resource_packs || pack >= resource_packs->length) return;
            if (resource_packs->data[pack]) {
                ++times_resource_pack_reference->data[pack];
                return;
            }
        }
        int64_t length = 0;
        for (int b = 0; b < blocks->length / layout::kRecordBytes; ++b) {
            MappingRecord record = recordAt(*blocks, b);
            if (record.owner == pack)
                length = std::max<int64_t>(length, int64_t{record.index} + record.length);
        }
        // The file is read without the lock; a pack that does not read whole stays not resident.
        JavaPtr<Bytes> bytes = loadFileFromJar(jnew<String>("pk") + pack, static_cast<int32_t>(length));
        std::lock_guard<std::mutex> lock(resource_pack_mutex);
        if (bytes && resource_packs && pack < resource_packs->length) {
            if (resource_packs->data[pack]) {
                ++times_resource_pack_reference->data[pack];
            } else {
                resource_packs->data[pack] = bytes;
                times_resource_pack_reference->data[pack] = 1;
            }
        }
    }
    java::lang::System::gc();
}

void HookCanvas::unloadResourceBlock(int32_t block) {
    JavaPtr<Bytes> blocks = block_pack_mappings;
    if (!blocks || block < 0 || block >= blocks->length / layout::kRecordBytes) return;
    int pack = recordAt(*blocks, block).owner;
    if (pack == layout::kNoOwner) return;
    std::lock_guard<std::mutex> lock(resource_pack_mutex);
    if (times_resource_pack_reference && pack < times_resource_pack_reference->length)
        --times_resource_pack_reference->data[pack];
}

void HookCanvas::unloadUnusedResourcePacks() {
    {
        std::lock_guard<std::mutex> lock(resource_pack_mutex);
        if (times_resource_pack_reference && resource_packs) {
            for (int i = 0; i < times_resource_pack_reference->length; ++i) {
                if (times_resource_pack_reference->data[i] == 0 && resource_packs->data[i])
                    resource_packs->data[i] = nullptr;
            }
        }
    }
    java::lang::System::gc();
}

int32_t HookCanvas::getBlockOfResource(int32_t id) {
    JavaPtr<Bytes> resources = res_block_mappings;
    if (!resources || id < 0 || id >= resources->length / layout::kRecordBytes) return layout::kNoOwner;
    return recordAt(*resources, id).owner;
}

int32_t HookCanvas::getResID(const JavaPtr<String>&) {
    return -1;
}

JavaPtr<String> HookCanvas::getResString(int32_t id) {
    return String::valueOf(id);
}

JavaPtr<JArray<signed char>> HookCanvas::getResourceByteArray(int32_t id) {
    JavaPtr<Bytes> resources = res_block_mappings;
    JavaPtr<Bytes> blocks = block_pack_mappings;
    if (!resources || !blocks || id < 0 || id >= resources->length / layout::kRecordBytes) return nullptr;
    int block = getBlockOfResource(id);
    MappingRecord resource = recordAt(*resources, id);
    int32_t length = static_cast<int32_t>(resource.length);
    if (block == layout::kNoOwner) {
        // All ones asks for the whole file; any other length above 2 GB cannot be an array.
        if (length < -1) return nullptr;
        return loadFileFromJar(jnew<String>("ur") + id, length);
    }
    if (block < 0 || block >= blocks->length / layout::kRecordBytes) return nullptr;
    MappingRecord blockRecord = recordAt(*blocks, block);
    JavaPtr<Bytes> pack = residentPack(blockRecord.owner);
    if (!pack) return nullptr;
    int64_t start = int64_t{blockRecord.index} + resource.index;
    if (start + resource.length > pack->length) return nullptr;
    JavaPtr<Bytes> copy = jnewArray<signed char>(length);
    if (length > 0) std::memcpy(copy->data, pack->data + start, static_cast<size_t>(length));
    return copy;
}

namespace {

// The resource's bytes as big-endian elements of Size bytes; trailing bytes are dropped.
template <class E, int Size, class Decode>
JavaPtr<JArray<E>> typedArray(const JavaPtr<JArray<signed char>>& bytes, Decode decode) {
    if (!bytes) return nullptr;
    int count = bytes->length / Size;
    JavaPtr<JArray<E>> result = jnewArray<E>(count);
    for (int i = 0; i < count; ++i) result->data[i] = decode(bytes->data + i * Size);
    return result;
}

uint64_t u64At(const signed char* p) {
    return uint64_t{u32At(p)} << 32 | u32At(p + 4);
}

}  // namespace

JavaPtr<JArray<unsigned short>> HookCanvas::getResourceCharArray(int32_t id) {
    return typedArray<unsigned short, 2>(getResourceByteArray(id),
                                         [](const signed char* p) { return u16At(p); });
}

JavaPtr<JArray<short>> HookCanvas::getResourceShortArray(int32_t id) {
    return typedArray<short, 2>(getResourceByteArray(id),
                                [](const signed char* p) { return static_cast<short>(u16At(p)); });
}

JavaPtr<JArray<int32_t>> HookCanvas::getResourceIntArray(int32_t id) {
    return typedArray<int32_t, 4>(getResourceByteArray(id),
                                  [](const signed char* p) { return static_cast<int32_t>(u32At(p)); });
}

JavaPtr<JArray<long long>> HookCanvas::getResourceLongArray(int32_t id) {
    return typedArray<long long, 8>(getResourceByteArray(id),
                                    [](const signed char* p) { return static_cast<long long>(u64At(p)); });
}

JavaPtr<JArray<float>> HookCanvas::getResourceFloatArray(int32_t id) {
    return typedArray<float, 4>(getResourceByteArray(id), [](const signed char* p) {
        return java::lang::Float::intBitsToFloat(static_cast<int32_t>(u32At(p)));
    });
}

JavaPtr<JArray<double>> HookCanvas::getResourceDoubleArray(int32_t id) {
    return typedArray<double, 8>(getResourceByteArray(id), [](const signed char* p) {
        return java::lang::Double::longBitsToDouble(static_cast<int64_t>(u64At(p)));
    });
}

short HookCanvas::readShortFromByteArray(const JavaPtr<JArray<signed char>>& data, int32_t offset) {
    return static_cast<short>(u16At(checkedRange(data, offset, 2)));
}

int32_t HookCanvas::readIntFromByteArray(const JavaPtr<JArray<signed char>>& data, int32_t offset) {
    return static_cast<int32_t>(u32At(checkedRange(data, offset, 4)));
}

long long HookCanvas::readLongFromByteArray(const JavaPtr<JArray<signed char>>& data, int32_t offset) {
    return static_cast<long long>(u64At(checkedRange(data, offset, 8)));
}

int32_t HookCanvas::writeIntToByteArray(const JavaPtr<JArray<signed char>>& data, int32_t offset,
                                        int32_t value) {
    signed char* p = const_cast<signed char*>(checkedRange(data, offset, 4));
    for (int i = 0; i < 4; ++i) p[i] = static_cast<signed char>(static_cast<uint32_t>(value) >> (24 - 8 * i));
    return offset + 4;
}
