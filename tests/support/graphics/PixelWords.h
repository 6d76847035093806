// Pixel words for the image and pixel-loop tests: the blend worked out the long way, as the model the
// drawing code is held to, and int arrays of ARGB values as the image calls take them.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/JArray.h"

namespace testsupport {

// Each colour byte moves by floor((s - d) x (a + 1) / 256), the floor taken on the signed product;
// the destination keeps its alpha.
inline uint32_t blendByChannel(uint32_t d, uint32_t s) {
    int a = static_cast<int>(s >> 24);
    if (a == 0) return d;
    if (a == 255) return s;
    uint32_t out = d & 0xFF000000u;
    for (int shift : {0, 8, 16}) {
        int sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        int product = (sc - dc) * (a + 1);
        int floored = product >= 0 ? product / 256 : -((-product + 255) / 256);
        out |= static_cast<uint32_t>(dc + floored) << shift;
    }
    return out;
}

// The largest difference of one colour byte: a GL frame keeps the colours only, so alpha is not
// compared.
inline int channelDifference(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference < 0) difference = -difference;
        if (difference > worst) worst = difference;
    }
    return worst;
}

inline JavaPtr<JArray<int>> intsOf(const std::vector<uint32_t>& values) {
    auto array = jnew<JArray<int>>(static_cast<int>(values.size()));
    for (size_t i = 0; i < values.size(); ++i) array->data[i] = static_cast<int>(values[i]);
    return array;
}

}  // namespace testsupport
