// The check every image decoder must pass: each proper prefix of a good file decodes to nothing, with
// both sizes 0.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace testsupport {

// decode(bytes) answers a result with pixels, width and height. Each prefix is an exact-size copy, so
// that ASan sees any read past the given range.
template <class Decode>
void expectEveryTruncatedPrefixFails(const std::vector<uint8_t>& file, Decode decode) {
    for (size_t length = 0; length < file.size(); ++length) {
        std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<long>(length));
        auto d = decode(prefix);
        EXPECT_EQ(d.pixels, nullptr) << "prefix of " << length << " bytes";
        EXPECT_EQ(d.width, 0);
        EXPECT_EQ(d.height, 0);
    }
}

}  // namespace testsupport
