#include "runtime/Character.h"

#include <gtest/gtest.h>

#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using java::lang::Character;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(java::lang::Character);

namespace {

TEST(Character, CaseRulesCoverAsciiAndLatin1Letters) {
    const struct {
        unsigned short unit;
        bool upper;
        bool lower;
        unsigned short toUpper;
        unsigned short toLower;
    } cases[] = {
        {'A', true, false, 'A', 'a'},        {'Z', true, false, 'Z', 'z'},
        {'a', false, true, 'A', 'a'},        {'z', false, true, 'Z', 'z'},
        {'@', false, false, '@', '@'},       {'[', false, false, '[', '['},
        {'`', false, false, '`', '`'},       {'{', false, false, '{', '{'},
        {'5', false, false, '5', '5'},       {0xC0, true, false, 0xC0, 0xE0},
        {0xD6, true, false, 0xD6, 0xF6},     {0xD7, false, false, 0xD7, 0xD7},
        {0xD8, true, false, 0xD8, 0xF8},     {0xDE, true, false, 0xDE, 0xFE},
        {0xDF, false, true, 0xDF, 0xDF},     {0xE9, false, true, 0xC9, 0xE9},
        {0xF7, false, false, 0xF7, 0xF7},    {0xFE, false, true, 0xDE, 0xFE},
        {0xFF, false, true, 0xFF, 0xFF},     {0xBF, false, false, 0xBF, 0xBF},
        {0x100, false, false, 0x100, 0x100}, {0x3B1, false, false, 0x3B1, 0x3B1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Character::isUpperCase(c.unit), c.upper) << std::hex << c.unit;
        EXPECT_EQ(Character::isLowerCase(c.unit), c.lower) << std::hex << c.unit;
        EXPECT_EQ(Character::toUpperCase(c.unit), c.toUpper) << std::hex << c.unit;
        EXPECT_EQ(Character::toLowerCase(c.unit), c.toLower) << std::hex << c.unit;
    }
}

TEST(Character, CaseMappingsPairUpAndLeaveEverythingBeyondLatin1Alone) {
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
        const auto ch = static_cast<unsigned short>(unit);
        ASSERT_FALSE(Character::isUpperCase(ch) && Character::isLowerCase(ch)) << unit;
        if (Character::isUpperCase(ch)) {
            ASSERT_TRUE(Character::isLowerCase(Character::toLowerCase(ch))) << unit;
            ASSERT_EQ(Character::toUpperCase(Character::toLowerCase(ch)), ch) << unit;
        } else {
            ASSERT_EQ(Character::toLowerCase(ch), ch) << unit;
        }
        if (!Character::isLowerCase(ch)) {
            ASSERT_EQ(Character::toUpperCase(ch), ch) << unit;
        }
        if (unit >= 0x100) {
            ASSERT_FALSE(Character::isUpperCase(ch) || Character::isLowerCase(ch)) << unit;
        }
        ASSERT_EQ(Character::isDigit(ch), unit >= '0' && unit <= '9') << unit;
    }
}

TEST(Character, DigitValuesDependOnlyOnTheRadix) {
    const struct {
        unsigned short unit;
        int radix;
        int value;
    } cases[] = {
        {'7', 8, 7},   {'8', 8, -1}, {'z', 36, 35}, {'Z', 36, 35}, {'z', 40, 35},  {'a', 10, -1},
        {'a', 11, 10}, {'0', 1, 0},  {'/', 10, -1}, {':', 36, -1}, {0xE9, 36, -1}, {'0', 0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Character::digit(c.unit, c.radix), c.value) << static_cast<char>(c.unit) << ' ' << c.radix;
    }
}

TEST(Character, WrapperComparesUnits) {
    JavaPtr<Character> a = jnew<Character>(static_cast<unsigned short>(0x263A));
    EXPECT_EQ(a->charValue(), 0x263A);
    EXPECT_EQ(a->hashCode(), 0x263A);
    EXPECT_EQ(narrow(a->toString()), "\\u263a");
    EXPECT_TRUE(a->equals(jnew<Character>(static_cast<unsigned short>(0x263A))));
    EXPECT_FALSE(a->equals(jnew<Character>(static_cast<unsigned short>('a'))));
    EXPECT_FALSE(a->equals(nullptr));
}

}  // namespace
