// Test helpers between runtime strings and std::string: ASCII units read as chars, anything else as a
// \uXXXX escape, so a mismatch shows in the failure message.
#pragma once

#include <cstdio>
#include <string>

#include "runtime/String.h"

namespace testsupport {

inline JavaPtr<java::lang::String> jstr(const char* text) {
    return jnew<java::lang::String>(text);
}

inline std::string narrow(const JavaPtr<java::lang::String>& text) {
    if (!text) return "<null>";
    std::string out;
    for (int32_t i = 0; i < text->length(); ++i) {
        const unsigned short unit = text->charAt(i);
        if (unit >= 0x20 && unit < 0x7F) {
            out.push_back(static_cast<char>(unit));
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unit);
            out += escape;
        }
    }
    return out;
}

}  // namespace testsupport
