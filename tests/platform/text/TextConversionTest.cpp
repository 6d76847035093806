#include "platform/text/TextConversion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string encode(const std::vector<uint16_t>& units) {
    std::unique_ptr<char, decltype(&std::free)> bytes(
        _utf8EncodeString(units.data(), static_cast<int>(units.size())), &std::free);
    if (!bytes) return "<null>";
    return bytes.get();
}

}  // namespace

TEST(TextConversion, UnitsAndPairsToUtf8) {
    const struct {
        std::vector<uint16_t> units;
        std::string bytes;
    } cases[] = {
        {{0x41}, "\x41"},
        {{0x7F}, "\x7F"},
        {{0x80}, "\xC2\x80"},
        {{0xE9}, "\xC3\xA9"},
        {{0x7FF}, "\xDF\xBF"},
        {{0x800}, "\xE0\xA0\x80"},
        {{0x20AC}, "\xE2\x82\xAC"},
        {{0xFFFF}, "\xEF\xBF\xBF"},
        {{0x48, 0x20AC, 0x69}, "H\xE2\x82\xACi"},
        // A valid pair is one code point in four bytes.
        {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
        {{0xD800, 0xDC00}, "\xF0\x90\x80\x80"},
        {{0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF"},
        // Lone halves, and halves in the wrong order, become U+FFFD.
        {{0xD83D}, "\xEF\xBF\xBD"},
        {{0xDE00}, "\xEF\xBF\xBD"},
        {{0xD83D, 0x41}, "\xEF\xBF\xBD\x41"},
        {{0xDE00, 0xD83D}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {{0xD83D, 0xD83D, 0xDE00}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.units));
        EXPECT_EQ(encode(c.units), c.bytes);
    }
}

TEST(TextConversion, AUnitZeroEndsTheCString) {
    const uint16_t units[] = {0x61, 0, 0x62};
    char* bytes = _utf8EncodeString(units, 3);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[0], 'a');
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 'b');
    std::free(bytes);
}

TEST(TextConversion, NullTextOrNegativeCountGivesAnEmptyString) {
    const uint16_t units[] = {0x61};
    for (auto [text, count] : {std::pair<const uint16_t*, int>{nullptr, 4}, {units, -1}, {units, 0}}) {
        char* bytes = _utf8EncodeString(text, count);
        ASSERT_NE(bytes, nullptr);
        EXPECT_STREQ(bytes, "");
        std::free(bytes);
    }
}

TEST(TextConversion, TheWorstCaseFillsExactlyTheBlock) {
    // Every unit takes three bytes: under AddressSanitizer an overrun of the 3n + 1 block would show.
    std::vector<uint16_t> units(1000, 0xFFFD);
    units.back() = 0xD800;
    const std::string bytes = encode(units);
    EXPECT_EQ(bytes.size(), 3000u);
}
