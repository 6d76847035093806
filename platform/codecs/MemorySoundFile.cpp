#include "platform/codecs/MemorySoundFile.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

sf_count_t fileLength(void* user) {
    return static_cast<MemorySoundFile*>(user)->length();
}

sf_count_t seek(sf_count_t offset, int whence, void* user) {
    auto* file = static_cast<MemorySoundFile*>(user);
    sf_count_t base = whence == SEEK_CUR ? file->position : whence == SEEK_END ? file->length() : 0;
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
    sf_count_t target = base + offset;
    if (target < 0) return -1;
    // Reading may look past the end (it then reads nothing); writing past it leaves a zeroed gap.
    file->position = target;
    return target;
}

sf_count_t read(void* destination, sf_count_t count, void* user) {
    auto* file = static_cast<MemorySoundFile*>(user);
    sf_count_t available = std::max<sf_count_t>(0, file->length() - file->position);
    sf_count_t n = std::clamp<sf_count_t>(count, 0, available);
    if (n == 0) return 0;
    const uint8_t* source = file->writeTarget ? file->writeTarget->data() : file->readView.data();
    std::memcpy(destination, source + file->position, static_cast<size_t>(n));
    file->position += n;
    return n;
}

sf_count_t write(const void* source, sf_count_t count, void* user) {
    auto* file = static_cast<MemorySoundFile*>(user);
    if (file->writeTarget == nullptr || count < 0) return 0;
    size_t end = static_cast<size_t>(file->position + count);
    if (end > file->writeTarget->size()) file->writeTarget->resize(end);
    std::memcpy(file->writeTarget->data() + file->position, source, static_cast<size_t>(count));
    file->position += count;
    return count;
}

sf_count_t tell(void* user) {
    return static_cast<MemorySoundFile*>(user)->position;
}

}  // namespace

SF_VIRTUAL_IO& MemorySoundFile::callbacks() {
    static SF_VIRTUAL_IO io{fileLength, seek, read, write, tell};
    return io;
}

}  // namespace platform
