// java.lang.Character: the 16-bit unit wrapper and the case rules that String applies unit by unit.
// The rules cover ASCII and the Latin-1 letters only.
#pragma once

#include <cstdint>

#include "runtime/Object.h"

namespace java::lang {

class String;

class Character : public Object {
    TESL_CLASS(Character, "java.lang.Character", Object)
public:
    static constexpr unsigned short MIN_VALUE = 0;
    static constexpr unsigned short MAX_VALUE = 0xFFFF;
    static constexpr int32_t MIN_RADIX = 2;
    static constexpr int32_t MAX_RADIX = 36;

    Character() noexcept {}
    ~Character() override = default;

    Character* TESLinvokeconstructor(unsigned short unit);

    bool equals(JavaPtr<Object> other) override;
    int32_t hashCode() override { return m_value; }
    JavaPtr<String> toString() override;
    unsigned short charValue() const { return m_value; }

    static bool isDigit(unsigned short ch) { return ch >= '0' && ch <= '9'; }
    static bool isUpperCase(unsigned short ch) {
        return (ch >= 'A' && ch <= 'Z') || (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7);
    }
    static bool isLowerCase(unsigned short ch) {
        return (ch >= 'a' && ch <= 'z') || (ch >= 0xDF && ch <= 0xFF && ch != 0xF7);
    }
    // U+00DF and U+00FF have no upper-case partner within Latin-1.
    static unsigned short toUpperCase(unsigned short ch) {
        return isLowerCase(ch) && ch != 0xDF && ch != 0xFF ? static_cast<unsigned short>(ch - 0x20) : ch;
    }
    static unsigned short toLowerCase(unsigned short ch) {
        return isUpperCase(ch) ? static_cast<unsigned short>(ch + 0x20) : ch;
    }
    // The digit's value when it is below the radix, else -1. The radix is not checked against
    // MIN_RADIX and MAX_RADIX.
    static int32_t digit(unsigned short ch, int32_t radix) {
        int32_t value = -1;
        if (ch >= '0' && ch <= '9')
            value = ch - '0';
        else if (ch >= 'A' && ch <= 'Z')
            value = ch - 'A' + 10;
        else if (ch >= 'a' && ch <= 'z')
            value = ch - 'a' + 10;
        return value >= 0 && value < radix ? value : -1;
    }

private:
    unsigned short m_value = 0;
};

}  // namespace java::lang
