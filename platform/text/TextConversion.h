// Text conversions for the platform's C interfaces.
#pragma once

#include <cstdint>

// A new zero-terminated UTF-8 copy of count UTF-16 units, allocated with malloc (the caller frees it);
// three bytes per unit plus one are allocated. A valid surrogate pair becomes one four-byte sequence,
// a lone surrogate U+FFFD. Null units or a count of 0 or less give an empty string; null only when
// memory runs out.
char* _utf8EncodeString(const uint16_t* text, int count);
