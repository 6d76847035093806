// java.lang.String: immutable UTF-16 text, an 8-bit copy made once on demand for C interfaces, and a flag
// that marks strings made from literals. A string may also have no units at all (a slice of a missing
// array), which reads as length 0 but is not the same as the empty string for a few searches.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::lang {

class StringBuffer;
class Throwable;

class String : public Object {
    TESL_CLASS(String, "java.lang.String", Object)
public:
    // No constructor hands `this` out (jnew then counts the new string without an atomic add).
    static constexpr bool TESLconstructorSharesNothing = true;

    // Empty: count 0 with units.
    String();
    // The bytes of a C string, with backslash-u escapes decoded; marks the string as a literal.
    // A null pointer gives "null" without the mark.
    String(const char* text);
    // One unit: the byte sign-extended.
    String(char byte);
    String(unsigned short unit);
    // u'x' is a character, not the number its code would promote to.
    String(char16_t unit) : String(static_cast<unsigned short>(unit)) {}
    // No units for null units or a negative count.
    String(const unsigned short* units, int count);
    // A copy; null gives "null", a string without units gives one without units.
    String(const JavaPtr<String>& other);
    // The whole char array; no units when it has no storage.
    String(const JavaPtr<JArray<unsigned short>>& units);
    // (array, offset, count): no units when the array has no storage or count is negative; a slice
    // outside the array throws IndexOutOfBoundsException.
    String(const JavaPtr<JArray<unsigned short>>& units, int offset, int count);
    // Byte arrays decoded as ISO-8859-1, or as UTF-8 when the encoding is exactly "UTF-8".
    String(const JavaPtr<JArray<signed char>>& bytes);
    String(const JavaPtr<JArray<signed char>>& bytes, const JavaPtr<String>& encoding);
    String(const JavaPtr<JArray<signed char>>& bytes, int offset, int length);
    String(const JavaPtr<JArray<signed char>>& bytes, int offset, int length,
           const JavaPtr<String>& encoding);
    String(int value);
    String(long long value);
    // The text of Double::toString, a float widened first.
    String(float value);
    String(double value);
    // The buffer's text as it is now; a null buffer throws NullPointerException.
    String(const JavaPtr<StringBuffer>& buffer);

private:
    struct UnitsToWrite {
        int count;
    };

public:
    // For writtenInPlace (jnew needs the constructor public; the tag keeps it to this class).
    explicit String(UnitsToWrite units) : m_units(static_cast<size_t>(units.count), u'0'), m_hasUnits(true) {}
    String(const String&) = delete;
    String& operator=(const String&) = delete;
    ~String() override;

    int32_t length() const { return static_cast<int32_t>(m_units.size()); }
    unsigned short charAt(int index) const;
    int compareTo(const JavaPtr<String>& other) const;
    bool equals(const JavaPtr<String>& other) const;
    // Without it a String argument on a non-const string would be ambiguous with the Object overload.
    bool equals(const JavaPtr<String>& other) { return static_cast<const String&>(*this).equals(other); }
    bool equals(JavaPtr<Object> other) override;
    bool equalsIgnoreCase(const JavaPtr<String>& other) const;
    int32_t hashCode() override;

    // A negative character is taken as its low 8 bits (a sign-extended byte), any other as 16 bits.
    int indexOf(int character) const { return indexOf(character, 0); }
    int indexOf(int character, int fromIndex) const;
    int lastIndexOf(int character) const { return lastIndexOf(character, length() - 1); }
    int lastIndexOf(int character, int fromIndex) const;
    int indexOf(const JavaPtr<String>& text) const { return indexOf(text, 0); }
    int indexOf(const JavaPtr<String>& text, int fromIndex) const;

    // False for a string without units or of length 0, even for an empty prefix.
    bool startsWith(const JavaPtr<String>& prefix) const;
    // False when the offset is negative or not below length().
    bool startsWith(const JavaPtr<String>& prefix, int offset) const;
    bool endsWith(const JavaPtr<String>& suffix) const;
    // True for a length of 0 or less; false when either region lies outside its string.
    bool regionMatches(bool ignoreCase, int offset, const JavaPtr<String>& other, int otherOffset,
                       int length) const;

    JavaPtr<String> substring(int beginIndex) const { return substring(beginIndex, length()); }
    JavaPtr<String> substring(int beginIndex, int endIndex) const;
    JavaPtr<String> concat(const JavaPtr<String>& other) const;
    JavaPtr<String> replace(unsigned short oldChar, unsigned short newChar) const;
    // This same string when it is empty; otherwise a mapped copy (ASCII and Latin-1 letters).
    JavaPtr<String> toLowerCase();
    JavaPtr<String> toUpperCase();
    // Always a new string, without the leading and trailing units of 32 or less.
    JavaPtr<String> trim() const;
    JavaPtr<JArray<unsigned short>> toCharArray() const;
    void getChars(int sourceBegin, int sourceEnd, const JavaPtr<JArray<unsigned short>>& destination,
                  int destinationBegin) const;
    // ISO-8859-1 (the low byte of each unit), or UTF-8 when the encoding is exactly "UTF-8"; surrogate
    // units are then encoded one by one, as three bytes each, which the decoder reads back unchanged.
    JavaPtr<JArray<signed char>> getBytes() const;
    JavaPtr<JArray<signed char>> getBytes(const JavaPtr<String>& encoding) const;

    JavaPtr<String> toString() override;
    JavaPtr<String> intern() { return toString(); }

    // The 8-bit copy (low byte of each unit, then a 0): made on the first call and valid for the
    // string's life; null when there are no units.
    char* val();

    // The == of the class sources: the very same string, or two equal literals.
    bool operator==(const JavaPtr<String>& other) const;

    JavaPtr<String> operator+(const JavaPtr<Object>& right) const;
    JavaPtr<String> operator+(Throwable* right) const;
    JavaPtr<String> operator+(signed char right) const { return appendInteger(right); }
    JavaPtr<String> operator+(short right) const { return appendInteger(right); }
    JavaPtr<String> operator+(int right) const { return appendInteger(right); }
    JavaPtr<String> operator+(long long right) const { return appendInteger(right); }
    JavaPtr<String> operator+(char right) const;
    JavaPtr<String> operator+(unsigned short right) const;
    JavaPtr<String> operator+(char16_t right) const { return *this + static_cast<unsigned short>(right); }
    JavaPtr<String> operator+(float right) const { return appendDouble(right); }
    JavaPtr<String> operator+(double right) const { return appendDouble(right); }
    // There is no text form of a bool here; without this a bool would append "1" or "0" as an int.
    JavaPtr<String> operator+(bool right) const = delete;

    static JavaPtr<String> valueOf(const JavaPtr<Object>& object);
    static JavaPtr<String> valueOf(bool value);
    // A C string would convert to bool and give "true".
    static JavaPtr<String> valueOf(const char* text) = delete;
    static JavaPtr<String> valueOf(unsigned short unit);
    static JavaPtr<String> valueOf(char16_t unit) { return valueOf(static_cast<unsigned short>(unit)); }
    static JavaPtr<String> valueOf(int value);
    static JavaPtr<String> valueOf(long long value);
    static JavaPtr<String> valueOf(float value);
    static JavaPtr<String> valueOf(double value);
    static JavaPtr<String> valueOf(const JavaPtr<JArray<unsigned short>>& units);
    static JavaPtr<String> valueOf(const JavaPtr<JArray<unsigned short>>& units, int offset, int count);

    // count units that write(char16_t*) fills in place: a formatter's text goes straight into the new
    // string, with no copy from a buffer of its own.
    template <class Write>
    static JavaPtr<String> writtenInPlace(int count, Write write) {
        JavaPtr<String> text = jnew<String>(UnitsToWrite{count});
        write(text->m_units.data());
        return text;
    }

    // The units, for code of the runtime that reads them directly.
    const unsigned short* unitData() const {
        return m_hasUnits ? reinterpret_cast<const unsigned short*>(m_units.data()) : nullptr;
    }
    bool hasUnits() const { return m_hasUnits; }
    bool isLiteral() const { return m_literal; }

    // The concatenation of a (possibly null) left operand and a text.
    static JavaPtr<String> concatenate(const String* left, const String* text);

private:
    JavaPtr<String> appendInteger(long long value) const;
    JavaPtr<String> appendDouble(double value) const;
    void setUnits(const unsigned short* units, int count);
    void decode(const JavaPtr<JArray<signed char>>& bytes, int offset, int length,
                const JavaPtr<String>& encoding);
    static JavaPtr<String> withUnits(std::u16string&& units);
    JavaPtr<String> copyOfUnits() const;

    std::u16string m_units;
    bool m_hasUnits = false;
    bool m_literal = false;
    // Made once by val(); threads that race to make it keep the first one stored.
    std::atomic<char*> m_eightBit{nullptr};
    // 0 until computed (a text whose hash is 0 is simply hashed again).
    std::atomic<int32_t> m_hash{0};
};

}  // namespace java::lang

// Concatenation through a reference: a null left operand reads as "null".
template <class Right>
JavaPtr<java::lang::String> operator+(const JavaPtr<java::lang::String>& left, const Right& right) {
    if (left) return *left + right;
    java::lang::String nullText(static_cast<const char*>(nullptr));
    return nullText + right;
}
JavaPtr<java::lang::String> operator+(const JavaPtr<java::lang::String>& left, const char* literal);
JavaPtr<java::lang::String>& operator+=(JavaPtr<java::lang::String>& left,
                                        const JavaPtr<java::lang::String>& right);

// Unit buffers made with the C allocator (free them with free()); each ends with a 0 unit.

// (units out, count out, bytes, offset, length, encoding): decodes a slice as UTF-8 when the encoding is
// exactly "UTF-8", else as ISO-8859-1. An offset beyond the array gives null units and count 0; the length
// is cut to the array. A null array throws NullPointerException, a negative offset or length
// IndexOutOfBoundsException.
void decodeStringFromByteArray(unsigned short** units, int* count, const JavaPtr<JArray<signed char>>& bytes,
                               int offset, int length, const JavaPtr<java::lang::String>& encoding);
// (C string, limit, count): count bytes as units, or with a count of -1 the string's length cut to the
// limit (when the limit is not -1). Null for a null string, a limit below -1 or a count below -1.
unsigned short* make_new_string_copy(const char* text, int limit, int count);
// Null for null units or a negative count.
unsigned short* make_new_string_copy_from_jchars(const unsigned short* units, int offset, int count);
// Both runs; null when both are null or a count of a given run is negative; with one null, a copy of the
// other.
unsigned short* append_strings(const unsigned short* first, int firstCount, const unsigned short* second,
                               int secondCount);
// The trim rule: any value of 32 or less.
bool myisspace(int value);

// The text of a string as UTF-8, for tests and the platform layer; a surrogate pair becomes one four-byte
// sequence.
std::string toUtf8(const JavaPtr<java::lang::String>& text);
