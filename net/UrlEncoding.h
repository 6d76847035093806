// Percent-encoding for URLs and form bodies, as the application canvas offers it.
#pragma once

#include "runtime/String.h"

namespace net {

// Every unit outside "0-9A-Za-z-_.!*'()" becomes "%" and two upper-case hexadecimal digits of its low
// 8 bits (the higher bits are dropped: U+0141 gives "%41"). Throws NullPointerException for null.
JavaPtr<java::lang::String> urlEncode(const JavaPtr<java::lang::String>& text);

}  // namespace net
