// TSRect: the plain rectangle that the clipping and blitting code passes by reference and cuts in
// place. A width or height of 0 or less is empty.
#pragma once

#include <cstdint>

struct TSRect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};
