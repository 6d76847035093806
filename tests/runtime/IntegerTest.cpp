#include "runtime/Integer.h"

#include <gtest/gtest.h>

#include "runtime/Long.h"
#include "runtime/NumberFormatException.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using java::lang::Integer;
using java::lang::NumberFormatException;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(java::lang::Integer);

namespace {

TEST(Integer, ParseIntAcceptsTheThirtyTwoBitRangeOfTheLongParser) {
    const struct {
        const char* text;
        int radix;
        int value;
    } cases[] = {
        {"123", 10, 123},
        {"-123", 10, -123},
        {"ff", 16, 255},
        {"FF", 16, 255},
        {"z", 36, 35},
        {"12x", 10, 12},
        {"", 10, 0},
        {"-", 10, 0},
        {"2147483647", 10, Integer::MAX_VALUE},
        {"19", 1, 19},
        {"-2147483648", 10, Integer::MIN_VALUE},
        {"7fffffff", 16, Integer::MAX_VALUE},
        // The range test sees the wrapped 64-bit value: 2^64 + 5 reads as 5.
        {"18446744073709551621", 10, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Integer::parseInt(jstr(c.text), c.radix), c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(Integer::parseInt(jstr("-17")), -17);
    EXPECT_EQ(Integer::valueOf(jstr("42"))->intValue(), 42);
    EXPECT_EQ(Integer::valueOf(jstr("101"), 2)->intValue(), 5);
}

TEST(Integer, ParseIntThrowsForNullBackslashAndOutOfRange) {
    const char* rejected[] = {"2147483648", "-2147483649", "\\1", "9223372036854775807", "ffffffff"};
    for (const char* text : rejected) {
        const int radix = text[0] == 'f' ? 16 : 10;
        EXPECT_THROW(Integer::parseInt(jstr(text), radix), NumberFormatException) << text;
    }
    EXPECT_THROW(Integer::parseInt(nullptr), NumberFormatException);
    EXPECT_THROW(Integer::valueOf(nullptr), NumberFormatException);
}

TEST(Integer, UnsignedFormsPrintTheTwosComplementPattern) {
    EXPECT_EQ(narrow(Integer::toHexString(-1)), "ffffffff");
    EXPECT_EQ(narrow(Integer::toHexString(255)), "ff");
    EXPECT_EQ(narrow(Integer::toHexString(Integer::MIN_VALUE)), "80000000");
    EXPECT_EQ(narrow(Integer::toOctalString(-1)), "37777777777");
    EXPECT_EQ(narrow(Integer::toOctalString(8)), "10");
    EXPECT_EQ(narrow(Integer::toBinaryString(5)), "101");
    EXPECT_EQ(narrow(Integer::toBinaryString(0)), "0");
    EXPECT_EQ(narrow(Integer::toString(-255, 16)), "-ff");
    EXPECT_EQ(narrow(Integer::toString(Integer::MIN_VALUE)), "-2147483648");
    EXPECT_EQ(narrow(Integer::toString(12, 99)), "12");
}

TEST(Integer, WrapperNarrowsByTruncationAndEqualsOnlyIntegers) {
    EXPECT_EQ(jnew<Integer>(200)->byteValue(), -56);
    EXPECT_EQ(jnew<Integer>(40000)->shortValue(), -25536);
    EXPECT_EQ(jnew<Integer>(-1)->longValue(), -1LL);
    EXPECT_EQ(jnew<Integer>(16777217)->floatValue(), 16777216.0f);
    EXPECT_EQ(jnew<Integer>(Integer::MIN_VALUE)->doubleValue(), -2147483648.0);
    JavaPtr<Integer> five = jnew<Integer>(5);
    EXPECT_TRUE(five->equals(jnew<Integer>(5)));
    EXPECT_FALSE(five->equals(jnew<Integer>(6)));
    EXPECT_FALSE(five->equals(jnew<java::lang::Long>(5LL)));
    EXPECT_FALSE(five->equals(nullptr));
    EXPECT_EQ(jnew<Integer>(-77)->hashCode(), -77);
    EXPECT_EQ(narrow(jnew<Integer>(-77)->toString()), "-77");
}

}  // namespace
