// The fuzzer's input as the runtime's byte array, which the canvas's readers take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "runtime/JArray.h"

namespace fuzzsupport {

inline JavaPtr<JArray<signed char>> copyOf(const uint8_t* data, size_t size) {
    JavaPtr<JArray<signed char>> bytes = jnewArray<signed char>(static_cast<int>(size));
    if (size > 0) std::memcpy(bytes->data, data, size);
    return bytes;
}

}  // namespace fuzzsupport
