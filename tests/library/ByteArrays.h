// Byte arrays from lists of values, and back, for the stream tests.
#pragma once

#include <initializer_list>
#include <vector>

#include "runtime/JArray.h"

namespace testsupport {

inline JavaPtr<JArray<signed char>> bytesOf(std::initializer_list<int> values) {
    JavaPtr<JArray<signed char>> array = jnew<JArray<signed char>>(static_cast<int>(values.size()));
    int i = 0;
    for (int v : values) array->data[i++] = static_cast<signed char>(v);
    return array;
}

inline JavaPtr<JArray<signed char>> bytesOf(const std::vector<int>& values) {
    JavaPtr<JArray<signed char>> array = jnew<JArray<signed char>>(static_cast<int>(values.size()));
    for (size_t i = 0; i < values.size(); ++i) array->data[i] = static_cast<signed char>(values[i]);
    return array;
}

// The first count bytes (all of them for -1) as 0 to 255.
inline std::vector<int> contentsOf(const JavaPtr<JArray<signed char>>& array, int count = -1) {
    std::vector<int> values;
    if (count < 0) count = array->length;
    for (int i = 0; i < count; ++i) values.push_back(static_cast<unsigned char>(array->data[i]));
    return values;
}

}  // namespace testsupport
