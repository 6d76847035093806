// libsndfile's virtual I/O over bytes in memory: a read-only view of a clip, or a growing file the
// encoder writes into. Private to the platform layer.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

struct MemorySoundFile {
    // Exactly one of the two is used: the clip being read, or the bytes being written.
    std::span<const uint8_t> readView;
    std::vector<uint8_t>* writeTarget = nullptr;
    sf_count_t position = 0;

    static SF_VIRTUAL_IO& callbacks();

    sf_count_t length() const {
        return static_cast<sf_count_t>(writeTarget ? writeTarget->size() : readView.size());
    }
};

}  // namespace platform
