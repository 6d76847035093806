// The layout of an ENC string held in a byte array, for the canvas's readers: a truncated string or one
// with a negative count is refused as an array read past its end would be, never read outside the array.
#pragma once

#include "engine/EncStringLayout.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/JArray.h"
#include "runtime/NullPointerException.h"

namespace enctext {

inline const uint8_t* bytesOf(const JavaPtr<JArray<signed char>>& array) {
    return reinterpret_cast<const uint8_t*>(array->data);
}

inline EncStringLayout requireLayout(const JavaPtr<JArray<signed char>>& enc) {
    if (!enc) throw java::lang::NullPointerException();
    EncStringLayout layout;
    if (!readEncStringLayout(bytesOf(enc), enc->length, layout))
        throw java::lang::ArrayIndexOutOfBoundsException();
    return layout;
}

}  // namespace enctext
