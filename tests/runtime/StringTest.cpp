#include "runtime/String.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "runtime/Exception.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "tests/support/ClassRegistry.h"

QUILL_REGISTER_CLASSES(java::lang::String);

namespace {

using namespace std::string_literals;
using java::lang::IndexOutOfBoundsException;
using java::lang::NullPointerException;
using java::lang::Object;
using java::lang::String;

JavaPtr<String> str(const char* text) {
    return jnew<String>(text);
}

JavaPtr<String> fromUnits(const std::u16string& units) {
    return jnew<String>(reinterpret_cast<const unsigned short*>(units.data()),
                        static_cast<int>(units.size()));
}

std::u16string units(const JavaPtr<String>& text) {
    if (!text->hasUnits()) return u"<no units>";
    return std::u16string(reinterpret_cast<const char16_t*>(text->unitData()),
                          static_cast<size_t>(text->length()));
}

JavaPtr<JArray<signed char>> byteArray(const std::vector<int>& values) {
    JavaPtr<JArray<signed char>> bytes = jnew<JArray<signed char>>(static_cast<int>(values.size()));
    for (size_t i = 0; i < values.size(); ++i) bytes->data[i] = static_cast<signed char>(values[i]);
    return bytes;
}

std::vector<int> byteValues(const JavaPtr<JArray<signed char>>& bytes) {
    std::vector<int> values;
    for (signed char b : *bytes) values.push_back(static_cast<unsigned char>(b));
    return values;
}

JavaPtr<JArray<unsigned short>> charArray(const std::u16string& text) {
    JavaPtr<JArray<unsigned short>> array = jnew<JArray<unsigned short>>(static_cast<int>(text.size()));
    for (size_t i = 0; i < text.size(); ++i) array->data[i] = text[i];
    return array;
}

TEST(StringLiteral, DecodesBackslashUEscapesAndMarksTheLiteral) {
    struct Case {
        const char* text;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {"abc\\u00e9", u"abc\u00e9"},  {"abc\\u00E9", u"abc\u00e9"},
        {"\\u263Ax", u"\u263Ax"},      {"\\u00g9!", u"\u0009!"},  // a non-hex digit counts as 0
        {"a\\u00e9", u"a\u00e9"},                                 // an escape that ends the text
        {"ab\\u00e", u"ab\\u00e"},                                // one byte short: plain bytes
        {"\\n\\x", u"\\n\\x"},                                    // no other escapes
        {"\xe9\xff", u"\u00e9\u00ff"}, {"", u""},
    };
    for (const Case& c : cases) {
        JavaPtr<String> text = str(c.text);
        EXPECT_EQ(units(text), c.expected) << c.text;
        EXPECT_TRUE(text->isLiteral()) << c.text;
    }
    JavaPtr<String> nullText = jnew<String>(static_cast<const char*>(nullptr));
    EXPECT_EQ(units(nullText), u"null");
    EXPECT_FALSE(nullText->isLiteral());
    EXPECT_TRUE(String::valueOf(JavaPtr<Object>())->isLiteral());
}

TEST(StringConstruction, UnitAndCopyConstructors) {
    EXPECT_EQ(units(jnew<String>()), u"");
    EXPECT_EQ(units(jnew<String>('A')), u"A");
    EXPECT_EQ(units(jnew<String>(static_cast<char>(0xE9))), u"\uFFE9");  // the byte is sign-extended
    EXPECT_EQ(units(jnew<String>(static_cast<unsigned short>(0x263A))), u"\u263A");
    EXPECT_EQ(units(jnew<String>(-42)), u"-42");
    EXPECT_EQ(units(jnew<String>(10000000000LL)), u"10000000000");

    const unsigned short raw[] = {'x', 'y'};
    EXPECT_EQ(units(jnew<String>(raw, 2)), u"xy");
    EXPECT_FALSE(jnew<String>(raw, -1)->hasUnits());
    EXPECT_FALSE(jnew<String>(static_cast<const unsigned short*>(nullptr), 2)->hasUnits());

    JavaPtr<String> literal = str("abc");
    JavaPtr<String> copy = jnew<String>(literal);
    EXPECT_EQ(units(copy), u"abc");
    EXPECT_FALSE(copy->isLiteral());
    EXPECT_EQ(units(jnew<String>(JavaPtr<String>())), u"null");
    EXPECT_FALSE(jnew<String>(jnew<String>(raw, -1))->hasUnits());
}

TEST(StringConstruction, CharArraysAndTheirSlices) {
    JavaPtr<JArray<unsigned short>> array = charArray(u"hello");
    EXPECT_EQ(units(jnew<String>(array)), u"hello");
    EXPECT_EQ(units(jnew<String>(array, 1, 3)), u"ell");
    EXPECT_EQ(units(jnew<String>(array, 5, 0)), u"");
    EXPECT_EQ(units(String::valueOf(array)), u"hello");
    EXPECT_EQ(units(String::valueOf(array, 4, 1)), u"o");
    EXPECT_FALSE(jnew<String>(array, 1, -2)->hasUnits());
    EXPECT_FALSE(jnew<String>(jnew<JArray<unsigned short>>())->hasUnits());
    EXPECT_FALSE(jnew<String>(jnew<JArray<unsigned short>>(), 0, 3)->hasUnits());

    struct Slice {
        int offset;
        int count;
    };
    for (Slice bad : std::vector<Slice>{{-1, 2}, {6, 0}, {4, 2}, {1, 0x7FFFFFFF}}) {
        EXPECT_THROW(jnew<String>(array, bad.offset, bad.count), IndexOutOfBoundsException)
            << bad.offset << "," << bad.count;
    }
    EXPECT_THROW(jnew<String>(JavaPtr<JArray<unsigned short>>()), NullPointerException);
    EXPECT_THROW(jnew<String>(JavaPtr<JArray<unsigned short>>(), 0, 1), NullPointerException);
}

struct DecodeCase {
    std::vector<int> bytes;
    int offset;
    int length;
    const char* encoding;
    std::u16string expected;
};

TEST(StringDecoding, ByteSlicesDecodeAsUtf8OrIso88591) {
    const std::vector<DecodeCase> cases = {
        {{0xE2, 0x82, 0xAC}, 0, 3, "UTF-8", u"\u20AC"},
        {{0xC3, 0xA9}, 0, 2, "UTF-8", u"\u00E9"},
        {{0x41, 0x00, 0x7F}, 0, 3, "UTF-8", u"A\u0000\u007F"s},
        // A well-formed four-byte sequence gives its surrogate pair.
        {{0xF0, 0x9F, 0x98, 0x80}, 0, 4, "UTF-8", u"\U0001F600"},
        {{0xF4, 0x8F, 0xBF, 0xBF}, 0, 4, "UTF-8", u"\U0010FFFF"},
        // Malformed four-byte sequences fall back to the low seven bits, byte by byte.
        {{0xF0, 0x41, 0x42, 0x43}, 0, 4, "UTF-8", u"\u0070ABC"},
        {{0xF4, 0x90, 0x80, 0x80}, 0, 4, "UTF-8", u"\u0074\u0010\u0000\u0000"s},
        // Sequences cut off by the end of the slice never read past it.
        {{0xE2, 0x82}, 0, 2, "UTF-8", u"\u0062\u0002"},
        {{0x41, 0xC3}, 0, 2, "UTF-8", u"A\u0043"},
        {{0xF0, 0x9F, 0x98}, 0, 3, "UTF-8", u"\u0070\u001F\u0018"},
        {{0xE2, 0x82, 0xAC, 0x41}, 0, 2, "UTF-8", u"\u0062\u0002"},
        // Two- and three-byte sequences do not test their continuation bytes.
        {{0xC3, 0x41}, 0, 2, "UTF-8", u"\u00C1"},
        {{0x80, 0xBF}, 0, 2, "UTF-8", u"\u0000\u003F"s},
        // Only the exact name means UTF-8.
        {{0xC3, 0xA9}, 0, 2, "utf-8", u"\u00C3\u00A9"},
        {{0xC3, 0xA9}, 0, 2, "UTF8", u"\u00C3\u00A9"},
        {{0xC3, 0xA9}, 0, 2, nullptr, u"\u00C3\u00A9"},
        {{0xFF, 0x00}, 0, 2, "ISO-8859-1", u"\u00FF\u0000"s},
        // Slices: the length is cut to the array; an offset at the end gives an empty string.
        {{0x61, 0x62, 0x63, 0x64}, 2, 10, nullptr, u"cd"},
        {{0x61, 0x62, 0x63, 0x64}, 1, 2, "UTF-8", u"bc"},
        {{0x61, 0x62, 0x63, 0x64}, 4, 3, nullptr, u""},
        {{0x61, 0x62, 0x63, 0x64}, 5, 3, nullptr, u"<no units>"},
        {{}, 0, 0, "UTF-8", u""},
    };
    for (const DecodeCase& c : cases) {
        JavaPtr<JArray<signed char>> bytes = byteArray(c.bytes);
        JavaPtr<String> encoding = c.encoding ? str(c.encoding) : JavaPtr<String>();
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << " length " << c.length << " encoding "
                                        << (c.encoding ? c.encoding : "none") << " bytes " << c.bytes.size());
        EXPECT_EQ(units(jnew<String>(bytes, c.offset, c.length, encoding)), c.expected);

        unsigned short* decoded = reinterpret_cast<unsigned short*>(1);
        int count = -1;
        decodeStringFromByteArray(&decoded, &count, bytes, c.offset, c.length, encoding);
        if (c.expected == u"<no units>") {
            EXPECT_EQ(decoded, nullptr);
            EXPECT_EQ(count, 0);
        } else {
            ASSERT_NE(decoded, nullptr);
            EXPECT_EQ(std::u16string(reinterpret_cast<char16_t*>(decoded), static_cast<size_t>(count)),
                      c.expected);
            EXPECT_EQ(decoded[count], 0);
        }
        std::free(decoded);
    }
}

TEST(StringDecoding, WholeArraysAndBadSlices) {
    JavaPtr<JArray<signed char>> bytes = byteArray({0xC3, 0xA9, 0x21});
    EXPECT_EQ(units(jnew<String>(bytes)), u"\u00C3\u00A9!");
    EXPECT_EQ(units(jnew<String>(bytes, str("UTF-8"))), u"\u00E9!");
    EXPECT_EQ(units(jnew<String>(bytes, 1, 2)), u"\u00A9!");

    struct Slice {
        int offset;
        int length;
    };
    for (Slice bad : std::vector<Slice>{{-1, 2}, {0, -1}, {-5, -5}}) {
        EXPECT_THROW(jnew<String>(bytes, bad.offset, bad.length), IndexOutOfBoundsException);
        unsigned short* decoded = nullptr;
        int count = 0;
        EXPECT_THROW(decodeStringFromByteArray(&decoded, &count, bytes, bad.offset, bad.length, nullptr),
                     IndexOutOfBoundsException);
    }
    EXPECT_THROW(jnew<String>(JavaPtr<JArray<signed char>>()), NullPointerException);
    EXPECT_THROW(jnew<String>(JavaPtr<JArray<signed char>>(), 0, 1, str("UTF-8")), NullPointerException);
}

TEST(StringDecoding, ArbitraryBytesNeverReadOutsideTheSlice) {
    // Each slice is copied into an array of its exact size, so a read past it is an ASan report.
    std::mt19937 random(20240611);
    JavaPtr<String> utf8 = str("UTF-8");
    for (int round = 0; round < 2000; ++round) {
        std::vector<int> values(random() % 12);
        for (int& v : values) v = static_cast<int>(random() % 256);
        JavaPtr<String> text = jnew<String>(byteArray(values), utf8);
        EXPECT_LE(text->length(), static_cast<int>(values.size()));
    }
}

void appendUtf8(std::vector<int>& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<int>(code));
    } else if (code < 0x800) {
        out.insert(out.end(), {static_cast<int>(0xC0 | code >> 6), static_cast<int>(0x80 | (code & 0x3F))});
    } else if (code < 0x10000) {
        out.insert(out.end(),
                   {static_cast<int>(0xE0 | code >> 12), static_cast<int>(0x80 | (code >> 6 & 0x3F)),
                    static_cast<int>(0x80 | (code & 0x3F))});
    } else {
        out.insert(out.end(),
                   {static_cast<int>(0xF0 | code >> 18), static_cast<int>(0x80 | (code >> 12 & 0x3F)),
                    static_cast<int>(0x80 | (code >> 6 & 0x3F)), static_cast<int>(0x80 | (code & 0x3F))});
    }
}

void appendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
    } else {
        out.push_back(static_cast<char16_t>(0xD800 | (code - 0x10000) >> 10));
        out.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
    }
}

TEST(StringDecoding, WellFormedUtf8DecodesToItsUtf16) {
    std::mt19937 random(7);
    JavaPtr<String> utf8 = str("UTF-8");
    for (int round = 0; round < 500; ++round) {
        std::vector<int> encoded;
        std::u16string expected;
        for (int i = random() % 8; i > 0; --i) {
            char32_t code;
            do {
                code = random() % 0x110000;
            } while (code >= 0xD800 && code <= 0xDFFF);
            appendUtf8(encoded, code);
            appendUtf16(expected, code);
        }
        JavaPtr<String> text = jnew<String>(byteArray(encoded), utf8);
        ASSERT_EQ(units(text), expected);
        // Back to UTF-8 for the platform: valid pairs become one four-byte sequence.
        const std::string back = toUtf8(text);
        ASSERT_EQ(back.size(), encoded.size());
        for (size_t i = 0; i < encoded.size(); ++i)
            ASSERT_EQ(static_cast<unsigned char>(back[i]), encoded[i]);
    }
}

TEST(StringEncoding, GetBytesInBothEncodings) {
    struct Case {
        std::u16string text;
        const char* encoding;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        {u"\u0000"s, "UTF-8", {0x00}},
        {u"\u20AC", "UTF-8", {0xE2, 0x82, 0xAC}},
        {u"A\u00E9\u07FF\u0800", "UTF-8", {0x41, 0xC3, 0xA9, 0xDF, 0xBF, 0xE0, 0xA0, 0x80}},
        {u"\U0001F600", "UTF-8", {0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}},  // each surrogate by itself
        {u"\u20AC", nullptr, {0xAC}},
        {u"\u20AC", "utf-8", {0xAC}},
        {u"A\u00E9", "ISO-8859-1", {0x41, 0xE9}},
        {u"", "UTF-8", {}},
    };
    for (const Case& c : cases) {
        JavaPtr<String> text = fromUnits(c.text);
        JavaPtr<JArray<signed char>> bytes = c.encoding ? text->getBytes(str(c.encoding)) : text->getBytes();
        EXPECT_EQ(byteValues(bytes), c.expected) << (c.encoding ? c.encoding : "none");
    }
}

TEST(StringEncoding, EveryUnitRoundTripsThroughItsOwnUtf8AndLatin1ThroughIso) {
    std::mt19937 random(11);
    JavaPtr<String> utf8 = str("UTF-8");
    for (int round = 0; round < 300; ++round) {
        std::u16string any;
        std::u16string latin1;
        for (int i = random() % 10; i > 0; --i) {
            any.push_back(static_cast<char16_t>(random() % 0x10000));
            latin1.push_back(static_cast<char16_t>(random() % 0x100));
        }
        ASSERT_EQ(units(jnew<String>(fromUnits(any)->getBytes(utf8), utf8)), any);
        ASSERT_EQ(units(jnew<String>(fromUnits(latin1)->getBytes())), latin1);
    }
}

TEST(StringSearch, CharacterSearches) {
    struct Case {
        std::function<int(const String&)> search;
        int expected;
        const char* what;
    };
    const std::vector<Case> cases = {
        {[](const String& s) { return s.indexOf('l'); }, 2, "indexOf l"},
        {[](const String& s) { return s.indexOf('l', 3); }, 3, "indexOf l from 3"},
        {[](const String& s) { return s.indexOf('l', 4); }, 9, "indexOf l from 4"},
        {[](const String& s) { return s.indexOf('h', -7); }, 0, "negative start counts as 0"},
        {[](const String& s) { return s.indexOf('h', 12); }, -1, "start past the end"},
        {[](const String& s) { return s.indexOf('z'); }, -1, "absent"},
        {[](const String& s) { return s.indexOf(-23); }, 11, "sign-extended byte 0xE9"},
        {[](const String& s) { return s.indexOf(0x10000 + 'e'); }, 1, "low 16 bits"},
        {[](const String& s) { return s.lastIndexOf('l'); }, 9, "lastIndexOf l"},
        {[](const String& s) { return s.lastIndexOf('l', 8); }, 3, "lastIndexOf l from 8"},
        {[](const String& s) { return s.lastIndexOf('h', 100); }, 0, "start lowered to the end"},
        {[](const String& s) { return s.lastIndexOf('h', -1); }, -1, "negative start"},
        {[](const String& s) { return s.lastIndexOf(-23); }, 11, "last sign-extended byte"},
    };
    JavaPtr<String> text = str("hello world\\u00e9");
    for (const Case& c : cases) EXPECT_EQ(c.search(*text), c.expected) << c.what;

    JavaPtr<String> noUnits = jnew<String>(static_cast<const unsigned short*>(nullptr), 0);
    EXPECT_EQ(noUnits->indexOf('a'), -1);
    EXPECT_EQ(noUnits->lastIndexOf('a'), -1);
    EXPECT_EQ(noUnits->indexOf(str("")), -1);
}

TEST(StringSearch, TextSearchesAndPrefixes) {
    JavaPtr<String> text = str("abcabc");
    struct Case {
        std::function<long(const JavaPtr<String>&)> search;
        long expected;
        const char* what;
    };
    const std::vector<Case> cases = {
        {[](auto& s) { return s->indexOf(str("bc")); }, 1, "indexOf bc"},
        {[](auto& s) { return s->indexOf(str("bc"), 2); }, 4, "indexOf bc from 2"},
        {[](auto& s) { return s->indexOf(str("bc"), -3); }, 1, "negative start"},
        {[](auto& s) { return s->indexOf(str("bc"), 5); }, -1, "cannot fit after the start"},
        {[](auto& s) { return s->indexOf(str("")); }, 0, "empty text"},
        {[](auto& s) { return s->indexOf(str(""), 6); }, 6, "empty text at the end"},
        {[](auto& s) { return s->indexOf(str("abcabcd")); }, -1, "longer than the string"},
        {[](auto& s) { return s->startsWith(str("abc")); }, 1, "startsWith abc"},
        {[](auto& s) { return s->startsWith(str("")); }, 1, "startsWith empty"},
        {[](auto& s) { return s->startsWith(str("abcabcabc")); }, 0, "prefix longer"},
        {[](auto& s) { return s->startsWith(str("ca"), 2); }, 1, "startsWith at 2"},
        {[](auto& s) { return s->startsWith(str("bcd"), 4); }, 0, "prefix runs past the end"},
        {[](auto& s) { return s->startsWith(str(""), 6); }, 0, "offset at the end"},
        {[](auto& s) { return s->startsWith(str("a"), -1); }, 0, "negative offset"},
        {[](auto& s) { return s->startsWith(str("a"), 0x7FFFFFFF); }, 0, "huge offset"},
        {[](auto& s) { return s->endsWith(str("bc")); }, 1, "endsWith bc"},
        {[](auto& s) { return s->endsWith(str("")); }, 1, "endsWith empty"},
        {[](auto& s) { return s->endsWith(str("xabcabc")); }, 0, "suffix longer"},
        {[](auto& s) { return s->endsWith(str("ab")); }, 0, "not a suffix"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.search(text), c.expected) << c.what;

    JavaPtr<String> empty = str("");
    EXPECT_FALSE(empty->startsWith(str("")));
    EXPECT_FALSE(str("abc")->startsWith(str(""), 3));
    EXPECT_TRUE(empty->endsWith(str("")));
    EXPECT_EQ(empty->indexOf(str("")), 0);
}

TEST(StringCompare, CompareToEqualsAndHash) {
    struct Case {
        std::u16string left;
        std::u16string right;
        int compare;
    };
    const std::vector<Case> cases = {
        {u"abc", u"abd", -1}, {u"ab", u"abc", -1}, {u"", u"abc", -3},
        {u"abc", u"", 3},     {u"abc", u"abc", 0}, {u"\uFFFF", u"a", 0xFFFF - 'a'},
        {u"b", u"abc", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fromUnits(c.left)->compareTo(fromUnits(c.right)), c.compare);
        EXPECT_EQ(fromUnits(c.left)->equals(fromUnits(c.right)),
                  c.compare == 0 && c.left.size() == c.right.size());
    }
    EXPECT_EQ(str("a")->hashCode(), 97);
    EXPECT_EQ(str("ab")->hashCode(), 3105);
    EXPECT_EQ(str("")->hashCode(), 0);
    EXPECT_EQ(str("java.lang.String")->hashCode(), 0x473e3665);
    JavaPtr<String> text = str("java.lang.Object");
    EXPECT_EQ(text->hashCode(), 0x3f697993);
    EXPECT_EQ(text->hashCode(), 0x3f697993);  // cached

    EXPECT_FALSE(str("a")->equals(JavaPtr<String>()));
    EXPECT_FALSE(str("a")->equals(JavaPtr<Object>(jnew<JArray<int>>(1))));
    EXPECT_TRUE(str("a")->equals(JavaPtr<Object>(str("a"))));
}

TEST(StringCompare, EqualsIgnoreCaseAndRegionMatches) {
    struct Case {
        std::u16string left;
        std::u16string right;
        bool equal;
    };
    const std::vector<Case> cases = {
        {u"Hello", u"hELLO", true},    {u"\u00C9t\u00E9", u"\u00E9T\u00C9", true},
        {u"\u00D7", u"\u00F7", false}, {u"\u00DF", u"\u00DF", true},
        {u"\u00FF", u"\u0178", false}, {u"abc", u"abcd", false},
        {u"[", u"{", false},
    };
    for (const Case& c : cases) EXPECT_EQ(fromUnits(c.left)->equalsIgnoreCase(fromUnits(c.right)), c.equal);
    EXPECT_FALSE(str("a")->equalsIgnoreCase(JavaPtr<String>()));
    EXPECT_TRUE(jnew<String>(static_cast<const unsigned short*>(nullptr), 0)->equalsIgnoreCase(str("")));

    struct Region {
        bool ignoreCase;
        int offset;
        int otherOffset;
        int length;
        bool expected;
    };
    JavaPtr<String> text = str("Quiz Level");
    JavaPtr<String> other = str("my level up");
    const std::vector<Region> regions = {
        {false, 5, 3, 5, false},          {true, 5, 3, 5, true},
        {false, 6, 4, 4, true},           {true, 0, 0, 0, true},
        {true, -3, 0, 0, true},           {false, -1, 3, 2, false},
        {false, 5, -1, 2, false},         {true, 8, 3, 5, false},
        {true, 5, 9, 5, false},           {false, 2, 2, 0x7FFFFFFF, false},
        {false, 0x7FFFFFFF, 0, 1, false},
    };
    for (const Region& r : regions) {
        EXPECT_EQ(text->regionMatches(r.ignoreCase, r.offset, other, r.otherOffset, r.length), r.expected)
            << r.offset << "," << r.otherOffset << "," << r.length;
    }
}

TEST(StringTransform, SubstringReplaceCaseAndTrim) {
    JavaPtr<String> text = str("grammar");
    EXPECT_EQ(units(text->substring(3)), u"mmar");
    EXPECT_EQ(units(text->substring(1, 4)), u"ram");
    EXPECT_EQ(units(text->substring(7)), u"");
    EXPECT_EQ(units(text->substring(2, 2)), u"");
    for (auto [begin, end] : std::vector<std::pair<int, int>>{{-1, 2}, {0, 8}, {4, 3}, {8, 8}}) {
        EXPECT_THROW(text->substring(begin, end), IndexOutOfBoundsException) << begin << "," << end;
    }
    EXPECT_EQ(units(text->replace('m', 'n')), u"grannar");
    JavaPtr<String> unchanged = text->replace('z', 'y');
    EXPECT_NE(unchanged, text);
    EXPECT_EQ(units(unchanged), u"grammar");

    EXPECT_EQ(units(fromUnits(u"Caf\u00E9 \u00DF\u00FF\u00F7")->toUpperCase()),
              u"CAF\u00C9 \u00DF\u00FF\u00F7");
    EXPECT_EQ(units(fromUnits(u"\u00C0\u00D7\u00DEZ\u0100")->toLowerCase()), u"\u00E0\u00D7\u00FEz\u0100");
    JavaPtr<String> empty = str("");
    EXPECT_EQ(empty->toUpperCase(), empty);
    EXPECT_EQ(empty->toLowerCase(), empty);
    EXPECT_NE(text->toLowerCase(), text);

    struct Trim {
        std::u16string text;
        std::u16string expected;
    };
    const std::vector<Trim> trims = {
        {u"  a b \t", u"a b"},
        {u" \u0001\n\u0020", u""},
        {u"x", u"x"},
        {u"\u00A0x\u00A0", u"\u00A0x\u00A0"},
        {u"", u""},
    };
    for (const Trim& t : trims) EXPECT_EQ(units(fromUnits(t.text)->trim()), t.expected);
    JavaPtr<String> one = str("x");
    EXPECT_NE(one->trim(), one);
}

TEST(StringTransform, TransformsOfAStringOutsideTheHeap) {
    // A string made on the stack must not be referenced (and so freed) by its own operations.
    String local("  Mixed Case  ");
    EXPECT_EQ(units(local.trim()), u"Mixed Case");
    EXPECT_EQ(units(local.replace(' ', '_')), u"__Mixed_Case__");
    EXPECT_EQ(units(local.substring(2, 7)), u"Mixed");
    EXPECT_EQ(units(local + 5), u"  Mixed Case  5");
}

TEST(StringUnits, CharAtToCharArrayAndGetChars) {
    JavaPtr<String> text = str("quiz");
    EXPECT_EQ(text->charAt(0), 'q');
    EXPECT_EQ(text->charAt(3), 'z');
    EXPECT_THROW(text->charAt(4), IndexOutOfBoundsException);
    EXPECT_THROW(text->charAt(-1), IndexOutOfBoundsException);
    EXPECT_EQ(jnew<String>(static_cast<const unsigned short*>(nullptr), 0)->charAt(5), 0);

    JavaPtr<JArray<unsigned short>> array = text->toCharArray();
    EXPECT_EQ(std::u16string(array->begin(), array->end()), u"quiz");
    EXPECT_EQ(str("")->toCharArray()->length, 0);

    JavaPtr<JArray<unsigned short>> destination = charArray(u"------");
    text->getChars(1, 3, destination, 2);
    EXPECT_EQ(std::u16string(destination->begin(), destination->end()), u"--ui--");
    text->getChars(2, 2, destination, 6);
    struct Bad {
        int sourceBegin;
        int sourceEnd;
        int destinationBegin;
    };
    for (Bad bad :
         std::vector<Bad>{{-1, 2, 0}, {3, 2, 0}, {0, 5, 0}, {0, 2, -1}, {0, 4, 3}, {0, 1, 0x7FFFFFFF}}) {
        EXPECT_THROW(text->getChars(bad.sourceBegin, bad.sourceEnd, destination, bad.destinationBegin),
                     IndexOutOfBoundsException)
            << bad.sourceBegin << "," << bad.sourceEnd << "," << bad.destinationBegin;
    }
    EXPECT_EQ(std::u16string(destination->begin(), destination->end()), u"--ui--");
    EXPECT_THROW(text->getChars(0, 1, nullptr, 0), NullPointerException);
}

TEST(StringNullArguments, ThrowNullPointerException) {
    JavaPtr<String> text = str("abc");
    const JavaPtr<String> none;
    EXPECT_THROW(text->compareTo(none), NullPointerException);
    EXPECT_THROW(text->startsWith(none), NullPointerException);
    EXPECT_THROW(text->startsWith(none, 1), NullPointerException);
    EXPECT_THROW(text->endsWith(none), NullPointerException);
    EXPECT_THROW(text->indexOf(none), NullPointerException);
    EXPECT_THROW(text->indexOf(none, 1), NullPointerException);
    EXPECT_THROW(text->regionMatches(false, 0, none, 0, 1), NullPointerException);
    EXPECT_THROW(String::valueOf(JavaPtr<JArray<unsigned short>>()), NullPointerException);
}

TEST(StringConcatenation, OperandTextForms) {
    JavaPtr<String> score = str("Score: ") + 12 + str("/") + 20;
    EXPECT_EQ(units(score), u"Score: 12/20");
    EXPECT_FALSE(score->isLiteral());

    struct Case {
        JavaPtr<String> result;
        std::u16string expected;
    };
    JavaPtr<String> a = str("a");
    const std::vector<Case> cases = {
        {a + -5, u"a-5"},
        {a + 10000000000LL, u"a10000000000"},
        {a + static_cast<signed char>(-128), u"a-128"},
        {a + static_cast<short>(-32768), u"a-32768"},
        {a + 'A', u"aA"},
        {a + static_cast<char>(0xE9), u"a\uFFE9"},
        {a + static_cast<unsigned short>(0x263A), u"a\u263A"},
        {a + u'x', u"ax"},
        {JavaPtr<String>() + u'x', u"nullx"},
        {jnew<String>(u'x'), u"x"},
        {String::valueOf(u'x'), u"x"},
        {a + JavaPtr<Object>(), u"anull"},
        {a + JavaPtr<Object>(str("b")), u"ab"},
        {a + "lit", u"alit"},
        {JavaPtr<String>() + 7, u"null7"},
        {JavaPtr<String>() + JavaPtr<Object>(), u"nullnull"},
        {a->concat(JavaPtr<String>()), u"anull"},
        {a->concat(str("z")), u"az"},
    };
    for (const Case& c : cases) EXPECT_EQ(units(c.result), c.expected);

    JavaPtr<String> built = str("x");
    built += str("y");
    built += JavaPtr<String>();
    EXPECT_EQ(units(built), u"xynull");

    java::lang::Exception plain;
    java::lang::Exception withMessage;
    withMessage.TESLinvokeconstructor(str("oops"));
    EXPECT_EQ(units(a + static_cast<java::lang::Throwable*>(&plain)), u"a");
    EXPECT_EQ(units(a + static_cast<java::lang::Throwable*>(&withMessage)), u"a:oops");
    EXPECT_EQ(units(a + static_cast<java::lang::Throwable*>(nullptr)), u"anull");
}

// Neither has a text form here; a call that compiled would give "1" or "true" through a conversion.
template <class S>
constexpr bool concatenatesBools = requires(const S& s) {
    s + true;
};
template <class S>
constexpr bool valueOfTakesCStrings = requires {
    S::valueOf("text");
};
static_assert(!concatenatesBools<String> && !valueOfTakesCStrings<String>);

TEST(StringIdentity, DoubleEqualsIsIdentityOrEqualLiterals) {
    JavaPtr<String> first = str("level");
    JavaPtr<String> second = str("level");
    JavaPtr<String> computed = str("lev") + "el";
    EXPECT_TRUE(*first == second);
    EXPECT_FALSE(*first == computed);
    EXPECT_FALSE(*computed == first);
    EXPECT_TRUE(*computed == computed);
    EXPECT_FALSE(*first == jnew<String>(first));
    EXPECT_FALSE(*first == JavaPtr<String>());
    EXPECT_FALSE(*str("a") == str("b"));
}

TEST(StringValueOf, Forms) {
    EXPECT_EQ(units(String::valueOf(JavaPtr<Object>())), u"null");
    EXPECT_EQ(units(String::valueOf(true)), u"true");
    EXPECT_EQ(units(String::valueOf(false)), u"false");
    EXPECT_EQ(units(String::valueOf(static_cast<unsigned short>(0x41))), u"A");
    EXPECT_EQ(units(String::valueOf(-2147483647 - 1)), u"-2147483648");
    EXPECT_EQ(units(String::valueOf(static_cast<long long>(INT64_MIN))), u"-9223372036854775808");
    JavaPtr<String> text = str("same");
    EXPECT_EQ(String::valueOf(JavaPtr<Object>(text)), text);
    EXPECT_EQ(text->toString(), text);
    EXPECT_EQ(text->intern(), text);
}

TEST(StringNumbers, FloatAndDoubleTextsComeFromTheDoubleFormatter) {
    // A float is widened before formatting, so its binary error shows.
    EXPECT_EQ(units(jnew<String>(100.1f)), u"100.09999847412109375");
    EXPECT_EQ(units(jnew<String>(100.0)), u"100.0");
    EXPECT_EQ(units(jnew<String>(-0.5)), u"-0.5");
    EXPECT_FALSE(jnew<String>(1.5)->isLiteral());
    EXPECT_EQ(units(String::valueOf(0.1f)), u"0.1");
    EXPECT_EQ(units(String::valueOf(1.0 / 3)), u"0.33333333333333330");
    EXPECT_EQ(units(String::valueOf(-std::numeric_limits<double>::infinity())), u"-Infinity");

    JavaPtr<String> speed = str("v=");
    EXPECT_EQ(units(speed + 2.5), u"v=2.5");
    EXPECT_EQ(units(speed + 0.5f), u"v=0.5");
    EXPECT_EQ(units(speed + 1e10), u"v=10000000000.0");
    EXPECT_EQ(units(speed + std::numeric_limits<double>::quiet_NaN()), u"v=NaN");
    EXPECT_EQ(units(JavaPtr<String>() + 3.0), u"null3.0");
    EXPECT_FALSE((speed + 2.5)->isLiteral());
}

TEST(StringEightBit, ValIsMadeOnceAndKeepsTheLowBytes) {
    JavaPtr<String> text = fromUnits(u"ab\u263A\u00E9");
    char* first = text->val();
    char* second = text->val();
    EXPECT_EQ(first, second);  // both stay valid, e.g. as two printf arguments
    EXPECT_EQ(std::string(first), std::string("ab\x3A\xE9"));
    EXPECT_EQ(jnew<String>(static_cast<const unsigned short*>(nullptr), 0)->val(), nullptr);
    EXPECT_STREQ(str("")->val(), "");
}

TEST(StringFreeFunctions, UnitBufferHelpers) {
    auto take = [](unsigned short* buffer, int count) {
        std::u16string text =
            buffer ? std::u16string(reinterpret_cast<char16_t*>(buffer), static_cast<size_t>(count))
                   : u"<null>";
        if (buffer) {
            EXPECT_EQ(buffer[count], 0);
        }
        std::free(buffer);
        return text;
    };
    EXPECT_EQ(take(make_new_string_copy("abc\xE9", -1, -1), 4), u"abc\u00E9");
    EXPECT_EQ(take(make_new_string_copy("abcdef", 2, -1), 2), u"ab");
    EXPECT_EQ(take(make_new_string_copy("ab", 5, -1), 2), u"ab");
    EXPECT_EQ(take(make_new_string_copy("abcdef", -1, 3), 3), u"abc");
    EXPECT_EQ(take(make_new_string_copy(nullptr, -1, -1), 0), u"<null>");
    EXPECT_EQ(take(make_new_string_copy("ab", -2, -1), 0), u"<null>");
    EXPECT_EQ(take(make_new_string_copy("ab", -1, -5), 0), u"<null>");

    const unsigned short units[] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(take(make_new_string_copy_from_jchars(units, 1, 2), 2), u"xy");
    EXPECT_EQ(take(make_new_string_copy_from_jchars(units, 0, 0), 0), u"");
    EXPECT_EQ(take(make_new_string_copy_from_jchars(units, 0, -1), 0), u"<null>");
    EXPECT_EQ(take(make_new_string_copy_from_jchars(nullptr, 0, 1), 0), u"<null>");

    EXPECT_EQ(take(append_strings(units, 2, units + 2, 2), 4), u"wxyz");
    EXPECT_EQ(take(append_strings(nullptr, 0, units, 3), 3), u"wxy");
    EXPECT_EQ(take(append_strings(units, 1, nullptr, 0), 1), u"w");
    EXPECT_EQ(take(append_strings(nullptr, 0, nullptr, 0), 0), u"<null>");
    EXPECT_EQ(take(append_strings(nullptr, 0, units, -1), 0), u"<null>");
    EXPECT_EQ(take(append_strings(units, -1, units, 2), 0), u"<null>");

    EXPECT_TRUE(myisspace(32));
    EXPECT_TRUE(myisspace(0));
    EXPECT_TRUE(myisspace(-4));
    EXPECT_FALSE(myisspace(33));
    EXPECT_FALSE(myisspace(0xA0));
}

}  // namespace
