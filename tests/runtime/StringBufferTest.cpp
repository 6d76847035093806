#include "runtime/StringBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/Long.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"
#include "runtime/StringIndexOutOfBoundsException.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

QUILL_REGISTER_CLASSES(java::lang::StringBuffer);

namespace {

using java::lang::Object;
using java::lang::String;
using java::lang::StringBuffer;
using testsupport::jstr;
using testsupport::narrow;

JavaPtr<StringBuffer> buffer() {
    return jnew<StringBuffer>();
}
JavaPtr<StringBuffer> buffer(const char* text) {
    return jnew<StringBuffer>(jstr(text));
}
JavaPtr<StringBuffer> bufferWithCapacity(int capacity) {
    return jnew<StringBuffer>(capacity);
}
std::string text(const JavaPtr<StringBuffer>& b) {
    return narrow(b->toString());
}

JavaPtr<JArray<unsigned short>> chars(const char* text) {
    return jstr(text)->toCharArray();
}

TEST(StringBuffer, ConstructorsSetTextAndCapacity) {
    struct Case {
        const char* name;
        JavaPtr<StringBuffer> made;
        int length;
        int capacity;
    };
    const std::vector<Case> cases = {
        {"default", buffer(), 0, 16},
        {"from abc", buffer("abc"), 3, 19},
        {"from empty", buffer(""), 0, 16},
        {"capacity 0", bufferWithCapacity(0), 0, 0},
        {"capacity 40", bufferWithCapacity(40), 0, 40},
        {"negative capacity counts as 0", bufferWithCapacity(-3), 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.made->length(), c.length) << c.name;
        EXPECT_EQ(c.made->capacity(), c.capacity) << c.name;
    }
    EXPECT_EQ(text(buffer("abc")), "abc");
    EXPECT_THROW(jnew<StringBuffer>(JavaPtr<String>()), java::lang::NullPointerException);
    // A buffer made with no room still takes text.
    JavaPtr<StringBuffer> empty = bufferWithCapacity(-3);
    empty->append(jstr("ok"));
    EXPECT_EQ(text(empty), "ok");
}

TEST(StringBuffer, EnsureCapacityGrowsToTheLargerOfTheRequestAndDouble) {
    struct Case {
        int start;
        const char* text;
        int minimum;
        int capacity;
    };
    for (const Case& c : std::vector<Case>{{16, "xy", 17, 34},
                                           {16, "xy", 100, 100},
                                           {16, "xy", 10, 16},
                                           {16, "xy", 16, 16},
                                           {16, "xy", -5, 16},
                                           {0, "", 1, 2},
                                           {5, "abcde", 13, 13},
                                           {5, "abcde", 6, 12}}) {
        JavaPtr<StringBuffer> b = bufferWithCapacity(c.start);
        b->append(jstr(c.text));
        ASSERT_EQ(b->capacity(), c.start);
        b->ensureCapacity(c.minimum);
        EXPECT_EQ(b->capacity(), c.capacity) << c.start << " " << c.minimum;
        EXPECT_EQ(text(b), c.text);
    }
}

TEST(StringBuffer, AppendsThatDoNotFitTakeExactlyWhatTheyNeed) {
    JavaPtr<StringBuffer> b = buffer();
    std::string expected;
    for (int i = 1; i <= 18; ++i) {
        const char letter = static_cast<char>('a' + i - 1);
        b->append(static_cast<unsigned short>(letter));
        expected += letter;
        EXPECT_EQ(b->capacity(), i <= 16 ? 16 : i) << "after append " << i;
    }
    EXPECT_EQ(text(b), expected);
    b->append(jstr("0123456789"));
    EXPECT_EQ(b->length(), 28);
    EXPECT_EQ(b->capacity(), 28);
}

TEST(StringBuffer, TextFormsOfEveryAppendedKind) {
    struct Case {
        const char* name;
        std::function<void(const JavaPtr<StringBuffer>&)> append;
        std::string appended;
    };
    const std::vector<Case> cases = {
        {"String", [](auto& b) { b->append(jstr("text")); }, "text"},
        {"null String", [](auto& b) { b->append(JavaPtr<String>()); }, "null"},
        {"Object", [](auto& b) { b->append(JavaPtr<Object>(jnew<java::lang::Long>(-7LL))); }, "-7"},
        {"null Object", [](auto& b) { b->append(JavaPtr<Object>()); }, "null"},
        {"a buffer as Object", [](auto& b) { b->append(JavaPtr<Object>(buffer("inner"))); }, "inner"},
        {"char array", [](auto& b) { b->append(chars("units")); }, "units"},
        {"char array slice", [](auto& b) { b->append(chars("abcdef"), 1, 3); }, "bcd"},
        {"unit", [](auto& b) { b->append(static_cast<unsigned short>(0x263A)); }, "\\u263a"},
        {"char16_t", [](auto& b) { b->append(u'q'); }, "q"},
        {"8-bit byte", [](auto& b) { b->append(static_cast<char>(0xC4)); }, "\\u00c4"},
        {"true", [](auto& b) { b->append(true); }, "true"},
        {"false", [](auto& b) { b->append(false); }, "false"},
        {"int", [](auto& b) { b->append(-42); }, "-42"},
        {"long long", [](auto& b) { b->append(10000000000LL); }, "10000000000"},
        {"float", [](auto& b) { b->append(1.5f); }, "1.5"},
        {"double", [](auto& b) { b->append(100.0); }, "100.0"},
    };
    for (const Case& c : cases) {
        JavaPtr<StringBuffer> b = buffer("<");
        c.append(b);
        EXPECT_EQ(text(b), "<" + c.appended) << c.name;
    }
    EXPECT_THROW(buffer()->append(JavaPtr<JArray<unsigned short>>()), java::lang::NullPointerException);
}

// A C string converts to bool: a call that compiled would append "true" instead of the text.
template <class Buffer>
constexpr bool takesCStrings = requires(Buffer& b) {
    b.append("text");
}
|| requires(Buffer& b) {
    b.insert(0, "text");
};
static_assert(!takesCStrings<StringBuffer>);

TEST(StringBuffer, ChangesReturnTheSameBufferForChaining) {
    JavaPtr<StringBuffer> b = buffer();
    JavaPtr<StringBuffer> chained =
        b->append(jstr("ab"))->append(1)->insert(0, true)->reverse()->deleteJ(0, 1);
    EXPECT_EQ(chained.counted(), b.counted());
    EXPECT_EQ(text(b), "baeurt");
    EXPECT_EQ(b->m_referenceCount.load(), 2);
    // A chain that is not kept leaves no count behind.
    b->append(u'x')->reverse();
    EXPECT_EQ(b->m_referenceCount.load(), 2);
}

// The chain itself holds no count: a reference taken from it must, or a buffer whose only other reference
// was a temporary would be freed under it.
TEST(StringBuffer, ReferenceTakenFromAChainOutlivesTheChain) {
    JavaPtr<StringBuffer> kept = jnew<StringBuffer>()->append(jstr("ab"))->append(u'c');
    EXPECT_EQ(kept->m_referenceCount.load(), 1);
    EXPECT_EQ(text(kept), "abc");

    JavaPtr<Object> asObject = jnew<StringBuffer>()->append(7);
    EXPECT_EQ(asObject->m_referenceCount.load(), 1);
    EXPECT_EQ(narrow(asObject->toString()), "7");

    // Passed on as an argument: the callee's reference is counted too.
    const auto keep = [](const JavaPtr<StringBuffer>& b) { return b; };
    JavaPtr<StringBuffer> passed = keep(jnew<StringBuffer>()->append(true));
    EXPECT_EQ(text(passed), "true");
}

TEST(StringBuffer, InsertCountsTheOffsetInItsRoomTest) {
    JavaPtr<StringBuffer> b = buffer();
    b->append(jstr("abcd"));
    b->insert(2, jstr("xy"));
    EXPECT_EQ(text(b), "abxycd");
    EXPECT_EQ(b->capacity(), 16);

    JavaPtr<StringBuffer> tight = bufferWithCapacity(16);
    tight->append(jstr("0123456789"));
    tight->insert(0, jstr("abc"));  // 0 + 10 + 3 fits
    EXPECT_EQ(tight->capacity(), 16);
    JavaPtr<StringBuffer> atEnd = bufferWithCapacity(16);
    atEnd->append(jstr("0123456789"));
    atEnd->insert(10, jstr("abc"));  // 10 + 10 + 3 does not: exactly 13
    EXPECT_EQ(text(atEnd), "0123456789abc");
    EXPECT_EQ(atEnd->capacity(), 13);

    // The replacement block may be smaller than the one it replaces.
    JavaPtr<StringBuffer> wide = bufferWithCapacity(30);
    wide->append(jstr("0123456789"));
    wide->insert(6, jstr("ABCDEFGHIJKLMNO"));  // 6 + 10 + 15 > 30
    EXPECT_EQ(text(wide), "012345ABCDEFGHIJKLMNO6789");
    EXPECT_EQ(wide->capacity(), 25);

    JavaPtr<StringBuffer> same = buffer("abcd");
    same->insert(4, jstr(""));
    EXPECT_EQ(text(same), "abcd");
    EXPECT_EQ(same->capacity(), 20);
}

TEST(StringBuffer, TextFormsOfEveryInsertedKind) {
    struct Case {
        const char* name;
        std::function<void(const JavaPtr<StringBuffer>&)> insert;
        std::string result;
    };
    const std::vector<Case> cases = {
        {"null String", [](auto& b) { b->insert(1, JavaPtr<String>()); }, "[null]"},
        {"null Object", [](auto& b) { b->insert(1, JavaPtr<Object>()); }, "[null]"},
        {"Object", [](auto& b) { b->insert(1, JavaPtr<Object>(jstr("o"))); }, "[o]"},
        {"char array", [](auto& b) { b->insert(1, chars("ab")); }, "[ab]"},
        {"unit", [](auto& b) { b->insert(1, static_cast<unsigned short>('u')); }, "[u]"},
        {"char16_t", [](auto& b) { b->insert(1, u'w'); }, "[w]"},
        {"bool", [](auto& b) { b->insert(1, false); }, "[false]"},
        {"int", [](auto& b) { b->insert(1, -3); }, "[-3]"},
        {"long long", [](auto& b) { b->insert(1, -9000000000LL); }, "[-9000000000]"},
        {"float", [](auto& b) { b->insert(1, 0.25f); }, "[0.25]"},
        {"double", [](auto& b) { b->insert(1, -2.0); }, "[-2.0]"},
        {"at the start", [](auto& b) { b->insert(0, jstr(">")); }, ">[]"},
        {"at the end", [](auto& b) { b->insert(2, jstr("<")); }, "[]<"},
    };
    for (const Case& c : cases) {
        JavaPtr<StringBuffer> b = buffer("[]");
        c.insert(b);
        EXPECT_EQ(text(b), c.result) << c.name;
    }
}

TEST(StringBuffer, InsertOutsideTheTextThrowsAndChangesNothing) {
    for (int offset : {-1, 5, 1000}) {
        JavaPtr<StringBuffer> b = buffer("abcd");
        EXPECT_THROW(b->insert(offset, jstr("xy")), java::lang::StringIndexOutOfBoundsException) << offset;
        EXPECT_THROW(b->insert(offset, static_cast<unsigned short>('z')),
                     java::lang::StringIndexOutOfBoundsException)
            << offset;
        EXPECT_EQ(text(b), "abcd") << offset;
        EXPECT_EQ(b->capacity(), 20) << offset;
    }
}

TEST(StringBuffer, SetLengthZeroesWhatItAddsAndKeepsTheBlockWhenCutting) {
    JavaPtr<StringBuffer> b = buffer();
    b->append(jstr("ab"));
    b->setLength(20);
    EXPECT_EQ(b->length(), 20);
    EXPECT_EQ(b->capacity(), 20);
    for (int i = 2; i < 20; ++i) EXPECT_EQ(b->charAt(i), 0) << i;
    b->setLength(1);
    EXPECT_EQ(text(b), "a");
    EXPECT_EQ(b->capacity(), 20);

    // Units cut off and then brought back within the block come back as zeros, not as the old text.
    JavaPtr<StringBuffer> cut = buffer("abcdef");
    cut->setLength(2);
    cut->setLength(4);
    EXPECT_EQ(text(cut), "ab\\u0000\\u0000");

    EXPECT_THROW(cut->setLength(-1), java::lang::StringIndexOutOfBoundsException);
    EXPECT_EQ(cut->length(), 4);
}

TEST(StringBuffer, DeleteRemovesRangesAndClampsTheEnd) {
    struct Case {
        int start;
        int end;
        const char* result;
    };
    for (const Case& c : std::vector<Case>{
             {1, 3, "ade"}, {0, 5, ""}, {2, 2, "abcde"}, {1, 99, "a"}, {5, 9, "abcde"}, {0, 1, "bcde"}}) {
        JavaPtr<StringBuffer> b = buffer("abcde");
        b->deleteJ(c.start, c.end);
        EXPECT_EQ(text(b), c.result) << c.start << "," << c.end;
    }
    for (auto [start, end] : std::vector<std::pair<int, int>>{{-1, 2}, {3, 2}, {6, 9}, {-5, -1}}) {
        JavaPtr<StringBuffer> b = buffer("abcde");
        EXPECT_THROW(b->deleteJ(start, end), java::lang::StringIndexOutOfBoundsException)
            << start << "," << end;
        EXPECT_EQ(text(b), "abcde");
    }

    JavaPtr<StringBuffer> b = buffer("abc");
    b->deleteCharAt(0);
    EXPECT_EQ(text(b), "bc");
    b->deleteCharAt(1);
    EXPECT_EQ(text(b), "b");
    for (int index : {-1, 1, 50})
        EXPECT_THROW(b->deleteCharAt(index), java::lang::StringIndexOutOfBoundsException);
    EXPECT_EQ(text(b), "b");
}

TEST(StringBuffer, ReverseSwapsUnitsEndToEnd) {
    for (auto [before, after] : std::vector<std::pair<const char*, const char*>>{
             {"abc", "cba"}, {"abcd", "dcba"}, {"a", "a"}, {"", ""}}) {
        JavaPtr<StringBuffer> b = buffer(before);
        b->reverse();
        EXPECT_EQ(text(b), after);
    }
    // Units are reversed one by one: a surrogate pair comes out with its halves swapped.
    JavaPtr<StringBuffer> pair = buffer();
    pair->append(static_cast<unsigned short>(0xD83D))->append(static_cast<unsigned short>(0xDE00));
    pair->reverse();
    EXPECT_EQ(pair->charAt(0), 0xDE00);
    EXPECT_EQ(pair->charAt(1), 0xD83D);
}

TEST(StringBuffer, UnitAccessChecksItsIndexes) {
    JavaPtr<StringBuffer> b = buffer("abc");
    b->setCharAt(1, 'X');
    EXPECT_EQ(b->charAt(1), 'X');
    for (int index : {-1, 3, 17, 1 << 30}) {
        EXPECT_THROW(b->charAt(index), java::lang::StringIndexOutOfBoundsException) << index;
        EXPECT_THROW(b->setCharAt(index, 'Y'), java::lang::StringIndexOutOfBoundsException) << index;
    }
    EXPECT_EQ(text(b), "aXc");
}

TEST(StringBuffer, GetCharsCopiesARangeAndRefusesBadOnes) {
    JavaPtr<StringBuffer> b = buffer("hello");
    JavaPtr<JArray<unsigned short>> dst = jnew<JArray<unsigned short>>(6);
    b->getChars(1, 4, dst, 2);
    EXPECT_EQ(narrow(jnew<String>(dst)), "\\u0000\\u0000ell\\u0000");
    b->getChars(3, 3, JavaPtr<JArray<unsigned short>>(), 0);  // nothing to copy: no test of dst
    b->getChars(4, 1, dst, 0);

    EXPECT_THROW(b->getChars(-1, 2, dst, 0), java::lang::StringIndexOutOfBoundsException);
    EXPECT_THROW(b->getChars(0, 6, dst, 0), java::lang::StringIndexOutOfBoundsException);
    EXPECT_THROW(b->getChars(0, 2, JavaPtr<JArray<unsigned short>>(), 0), java::lang::NullPointerException);
    EXPECT_THROW(b->getChars(0, 2, dst, 5), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(b->getChars(0, 2, dst, -1), java::lang::ArrayIndexOutOfBoundsException);
}

TEST(StringBuffer, ToStringAndTheStringConstructorCopyTheText) {
    JavaPtr<StringBuffer> b = buffer("abc");
    JavaPtr<String> copy = b->toString();
    JavaPtr<String> made = jnew<String>(b);
    b->setCharAt(0, 'z');
    b->append(jstr("def"));
    EXPECT_EQ(narrow(copy), "abc");
    EXPECT_EQ(narrow(made), "abc");
    EXPECT_EQ(narrow(jnew<String>(buffer(""))), "");
    EXPECT_TRUE(jnew<String>(buffer(""))->hasUnits());
    EXPECT_THROW(jnew<String>(JavaPtr<StringBuffer>()), java::lang::NullPointerException);
}

TEST(StringBuffer, EightBitTextStaysUntilTheNextChange) {
    JavaPtr<StringBuffer> b = buffer("ab");
    b->append(static_cast<unsigned short>(0x0143));  // low byte 0x43
    char* first = b->val();
    EXPECT_STREQ(first, "abC");
    EXPECT_EQ(b->val(), first);  // a second call does not free the first text
    b->deleteCharAt(0);
    EXPECT_STREQ(b->val(), "bC");
    b->setLength(0);
    EXPECT_STREQ(b->val(), "");
}

// Random edits checked against std::u16string doing the same edits, with the capacity invariant.
TEST(StringBuffer, RandomEditsMatchAPlainStringModel) {
    std::mt19937 random(20240611);
    JavaPtr<StringBuffer> b = buffer();
    std::u16string model;
    auto pick = [&](int upTo) { return static_cast<int>(random() % static_cast<unsigned>(upTo + 1)); };
    for (int step = 0; step < 3000; ++step) {
        const int count = static_cast<int>(model.size());
        switch (random() % 8) {
            case 0: {
                const auto unit = static_cast<unsigned short>('a' + random() % 26);
                b->append(unit);
                model.push_back(static_cast<char16_t>(unit));
                break;
            }
            case 1: {
                const int value = static_cast<int>(random() % 20000) - 10000;
                b->append(value);
                for (char c : std::to_string(value)) model.push_back(static_cast<char16_t>(c));
                break;
            }
            case 2: {
                const int offset = pick(count);
                b->insert(offset, jstr("XYZ"));
                model.insert(static_cast<size_t>(offset), u"XYZ");
                break;
            }
            case 3: {
                const int start = pick(count);
                const int end = start + pick(6);
                b->deleteJ(start, end);
                model.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
                break;
            }
            case 4:
                if (count > 0) {
                    const int index = pick(count - 1);
                    b->deleteCharAt(index);
                    model.erase(static_cast<size_t>(index), 1);
                }
                break;
            case 5:
                b->reverse();
                model.assign(model.rbegin(), model.rend());
                break;
            case 6: {
                const int length = pick(count + 4);
                b->setLength(length);
                model.resize(static_cast<size_t>(length), u'\0');
                break;
            }
            default:
                b->ensureCapacity(pick(2 * count + 8));
                break;
        }
        ASSERT_EQ(b->length(), static_cast<int>(model.size())) << "step " << step;
        ASSERT_LE(b->length(), b->capacity()) << "step " << step;
        ASSERT_EQ(std::u16string(reinterpret_cast<const char16_t*>(b->unitData()), model.size()), model)
            << "step " << step;
    }
}

}  // namespace

namespace {

// The block may hold spare room beyond capacity(), but the reported capacity follows the growth rules
// exactly: a model that knows only the rules predicts it after every edit.
TEST(StringBuffer, CapacityFollowsTheGrowthRulesWhateverRoomTheBlockHas) {
    std::mt19937 random(46);
    JavaPtr<StringBuffer> b = buffer();
    std::u16string model;
    int capacity = 16;
    auto pick = [&](int upTo) { return static_cast<int>(random() % static_cast<unsigned>(upTo + 1)); };
    for (int step = 0; step < 4000; ++step) {
        const int count = static_cast<int>(model.size());
        switch (random() % 6) {
            case 0:
            case 1: {
                // Runs of single units: past the capacity each one regrows by exactly one.
                for (int i = pick(40); i > 0; --i) {
                    b->append(u'a');
                    model.push_back(u'a');
                    capacity = std::max(capacity, static_cast<int>(model.size()));
                }
                break;
            }
            case 2: {
                const int offset = pick(count);
                b->insert(offset, jstr("XYZ"));
                model.insert(static_cast<size_t>(offset), u"XYZ");
                if (offset + count + 3 > capacity) capacity = count + 3;
                break;
            }
            case 3: {
                const int start = pick(count);
                const int end = start + pick(30);
                b->deleteJ(start, end);
                model.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
                break;
            }
            case 4: {
                const int length = pick(capacity + 8);
                b->setLength(length);
                if (length > count && length > capacity) capacity = length;
                model.resize(static_cast<size_t>(length), u'\0');
                break;
            }
            default: {
                const int minimum = pick(capacity + 10);
                b->ensureCapacity(minimum);
                if (capacity < minimum) capacity = std::max(minimum, (capacity + 1) * 2);
                break;
            }
        }
        ASSERT_EQ(b->capacity(), capacity) << "step " << step;
        ASSERT_EQ(std::u16string(reinterpret_cast<const char16_t*>(b->unitData()), model.size()), model)
            << "step " << step;
    }
}

}  // namespace
