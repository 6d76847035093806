#include "runtime/Long.h"

#include <gtest/gtest.h>

#include <charconv>
#include <random>
#include <string>
#include <vector>

#include "runtime/Integer.h"
#include "runtime/NumberFormatException.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using java::lang::Long;
using java::lang::NumberFormatException;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(java::lang::Long);

namespace {

struct FormatCase {
    long long value;
    int radix;
    const char* text;
};

TEST(Long, ToStringWritesEveryRadixWithoutPrefixOrLeadingZeros) {
    const FormatCase cases[] = {
        {0, 10, "0"},
        {Long::MIN_VALUE, 10, "-9223372036854775808"},
        {Long::MAX_VALUE, 10, "9223372036854775807"},
        {255, 16, "ff"},
        {-255, 16, "-ff"},
        {Long::MAX_VALUE, 36, "1y2p0ij32e8e7"},
        {Long::MIN_VALUE, 2, "-1000000000000000000000000000000000000000000000000000000000000000"},
        {35, 36, "z"},
        {-7, 1, "-7"},
        {1234, 37, "1234"},
        {8, 8, "10"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(narrow(Long::toString(c.value, c.radix)), c.text) << c.value << " radix " << c.radix;
    }
    EXPECT_EQ(narrow(Long::toString(-42)), "-42");
}

struct ParseCase {
    const char* text;
    int radix;
    long long value;
};

TEST(Long, ParseLongStopsAtTheFirstNonDigitAndWrapsSilently) {
    const ParseCase cases[] = {
        {"123", 10, 123},
        {"-123", 10, -123},
        {"ff", 16, 255},
        {"FF", 16, 255},
        {"-Ff", 16, -255},
        {"z", 36, 35},
        {"12x", 10, 12},
        {"19", 8, 1},
        {"1-2", 10, 1},
        {"", 10, 0},
        {"-", 10, 0},
        {"+5", 10, 0},
        {" 5", 10, 0},
        {"--5", 10, 0},
        {"10", 1, 10},
        {"10", 37, 10},
        {"9223372036854775807", 10, Long::MAX_VALUE},
        {"-9223372036854775808", 10, Long::MIN_VALUE},
        {"9223372036854775808", 10, Long::MIN_VALUE},
        {"18446744073709551617", 10, 1},
        // Latin-1 letters upper-case to units above 'Z', which end the scan.
        {"1\\u00e9", 36, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Long::parseLong(jstr(c.text), c.radix), c.value) << '"' << c.text << "\" radix " << c.radix;
    }
    EXPECT_EQ(Long::parseLong(jstr("77")), 77);
}

TEST(Long, ParseLongRejectsNullAndALeadingBackslash) {
    EXPECT_THROW(Long::parseLong(nullptr), NumberFormatException);
    EXPECT_THROW(Long::parseLong(jstr("\\5")), NumberFormatException);
    EXPECT_EQ(Long::parseLong(jstr("5\\")), 5);
}

// Long::toString and parseLong against the standard library over random values and radices.
TEST(Long, ToStringAndParseLongAgreeWithToCharsAndFromChars) {
    std::mt19937_64 random(20240601);
    const char* noDigit = "!@#- .";
    for (int i = 0; i < 20000; ++i) {
        // Random magnitudes: shift away a random number of bits so short values occur as often as long.
        long long value = static_cast<long long>(random() >> (random() % 64));
        if (random() % 2) value = -value;
        if (i == 0) value = Long::MIN_VALUE;
        const int radix = 2 + static_cast<int>(random() % 35);

        char expected[80];
        const auto written = std::to_chars(expected, expected + sizeof expected, value, radix);
        const std::string reference(expected, written.ptr);
        ASSERT_EQ(narrow(Long::toString(value, radix)), reference) << value << " radix " << radix;

        // Upper-cased digits and a trailing unit that is no digit of the radix parse to the same value.
        std::string text = reference;
        if (random() % 2)
            for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        text += radix < 36 && random() % 2 ? 'z' : noDigit[random() % 6];
        long long parsed = 0;
        const auto read = std::from_chars(text.data(), text.data() + text.size(), parsed, radix);
        ASSERT_EQ(read.ec, std::errc());
        ASSERT_EQ(Long::parseLong(jstr(text.c_str()), radix), parsed) << text << " radix " << radix;
        ASSERT_EQ(parsed, value);
    }
}

// Decimal text is sized before it is written: every length change and the 32-bit boundary, either sign.
TEST(Long, DecimalToStringAgreesWithToCharsAtEveryLengthBoundary) {
    std::vector<long long> values = {0, Long::MAX_VALUE, Long::MIN_VALUE, 4294967295LL, 4294967296LL};
    for (long long power = 10;; power *= 10) {
        for (long long value : {power - 1, power, power + 1}) {
            values.push_back(value);
            values.push_back(-value);
        }
        if (power == 1000000000000000000LL) break;
    }
    for (long long value : values) {
        char expected[24];
        const auto written = std::to_chars(expected, expected + sizeof expected, value);
        const std::string reference(expected, written.ptr);
        const JavaPtr<java::lang::String> text = Long::toString(value);
        EXPECT_EQ(narrow(text), reference) << value;
        EXPECT_EQ(text->length(), static_cast<int32_t>(reference.size())) << value;
    }
}

TEST(Long, WrapperHashesTheLowWordAndEqualsOnlyLongs) {
    JavaPtr<Long> big = jnew<Long>((1LL << 32) + 5);
    EXPECT_EQ(big->hashCode(), 5);
    EXPECT_EQ(jnew<Long>(-1LL)->hashCode(), -1);
    EXPECT_TRUE(big->equals(jnew<Long>((1LL << 32) + 5)));
    EXPECT_FALSE(big->equals(jnew<Long>(5LL)));
    EXPECT_FALSE(jnew<Long>(5LL)->equals(jnew<java::lang::Integer>(5)));
    EXPECT_FALSE(big->equals(nullptr));
    EXPECT_EQ(narrow(jnew<Long>(Long::MIN_VALUE)->toString()), "-9223372036854775808");
    EXPECT_EQ(big->longValue(), (1LL << 32) + 5);
    EXPECT_EQ(jnew<Long>(Long::MAX_VALUE)->floatValue(), 9223372036854775808.0f);
    EXPECT_EQ(jnew<Long>(Long::MAX_VALUE)->doubleValue(), 9223372036854775808.0);
}

}  // namespace
