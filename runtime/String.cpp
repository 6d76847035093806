#include "runtime/String.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include "runtime/Character.h"
#include "runtime/Double.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/Long.h"
#include "runtime/NullPointerException.h"
#include "runtime/StringBuffer.h"
#include "runtime/Throwable.h"

namespace java::lang {

namespace {

int hexDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;  // any other byte counts as the digit 0
}

bool isUtf8Name(const JavaPtr<String>& encoding) {
    static const char16_t kUtf8[] = u"UTF-8";
    return encoding && encoding->hasUnits() && encoding->length() == 5 &&
           std::memcmp(encoding->unitData(), kUtf8, sizeof(char16_t) * 5) == 0;
}

unsigned short searchedUnit(int character) {
    return static_cast<unsigned short>(character < 0 ? character & 0xFF : character & 0xFFFF);
}

void requireNotNull(const void* pointer) {
    if (pointer == nullptr) throw NullPointerException();
}

// Decodes bytes [0, count) and never reads outside them. Two- and three-byte sequences do not test their
// continuation bytes; a sequence cut off by the end, and any byte that starts no sequence, gives the byte's
// low 7 bits. A well-formed four-byte sequence gives its surrogate pair.
void decodeUtf8(const unsigned char* bytes, int count, std::u16string& out) {
    int i = 0;
    while (i < count) {
        const unsigned b = bytes[i];
        const int left = count - i - 1;
        if ((b & 0xF0) == 0xE0 && left >= 2) {
            out.push_back(
                static_cast<char16_t>((b & 0x0F) << 12 | (bytes[i + 1] & 0x3F) << 6 | (bytes[i + 2] & 0x3F)));
            i += 3;
        } else if ((b & 0xE0) == 0xC0 && left >= 1) {
            out.push_back(static_cast<char16_t>((b & 0x1F) << 6 | (bytes[i + 1] & 0x3F)));
            i += 2;
        } else if ((b & 0xF8) == 0xF0 && left >= 3 && (bytes[i + 1] & 0xC0) == 0x80 &&
                   (bytes[i + 2] & 0xC0) == 0x80 && (bytes[i + 3] & 0xC0) == 0x80) {
            const unsigned code = (b & 0x07) << 18 | (bytes[i + 1] & 0x3F) << 12 |
                                  (bytes[i + 2] & 0x3F) << 6 | (bytes[i + 3] & 0x3F);
            if (code >= 0x10000 && code <= 0x10FFFF) {
                out.push_back(static_cast<char16_t>(0xD800 | (code - 0x10000) >> 10));
                out.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
                i += 4;
            } else {
                out.push_back(static_cast<char16_t>(b & 0x7F));
                i += 1;
            }
        } else {
            out.push_back(static_cast<char16_t>(b & 0x7F));
            i += 1;
        }
    }
}

// The slice rules shared by the byte constructors and decodeStringFromByteArray: false when the offset
// lies beyond the array (no units); otherwise the length is cut to the array.
bool clipByteSlice(const JavaPtr<JArray<signed char>>& bytes, int offset, int& count) {
    requireNotNull(bytes.get());
    if (offset < 0 || count < 0) throw IndexOutOfBoundsException();
    if (bytes->length < offset) return false;
    count = std::min(count, bytes->length - offset);
    return true;
}

void decodeSlice(const JavaPtr<JArray<signed char>>& bytes, int offset, int count, bool utf8,
                 std::u16string& out) {
    if (count == 0) return;
    const auto* start = reinterpret_cast<const unsigned char*>(bytes->data) + offset;
    if (utf8) {
        out.reserve(static_cast<size_t>(count));
        decodeUtf8(start, count, out);
    } else {
        out.assign(start, start + count);
    }
}

unsigned short* allocateUnits(size_t count) {
    return static_cast<unsigned short*>(std::malloc(sizeof(unsigned short) * (count + 1)));
}

}  // namespace

String::String() : m_hasUnits(true) {}

String::String(const char* text) {
    if (text == nullptr) {
        setUnits(reinterpret_cast<const unsigned short*>(u"null"), 4);
        return;
    }
    const size_t n = std::strlen(text);
    m_units.reserve(n);
    size_t i = 0;
    while (i < n) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\\' && i + 5 < n && text[i + 1] == 'u') {
            unsigned unit = 0;
            for (size_t k = 2; k < 6; ++k)
                unit = unit << 4 | hexDigit(static_cast<unsigned char>(text[i + k]));
            m_units.push_back(static_cast<char16_t>(unit));
            i += 6;
        } else {
            m_units.push_back(static_cast<char16_t>(byte));
            i += 1;
        }
    }
    m_hasUnits = true;
    m_literal = true;
}

String::String(char byte) {
    const auto unit = static_cast<unsigned short>(static_cast<short>(static_cast<signed char>(byte)));
    setUnits(&unit, 1);
}

String::String(unsigned short unit) {
    setUnits(&unit, 1);
}

// The units are copied as the member is made: short texts (numbers) land in the string's own room
// without the general replace of an assignment.
String::String(const unsigned short* units, int count)
    : m_units(units == nullptr || count < 0
                  ? std::u16string()
                  : std::u16string(reinterpret_cast<const char16_t*>(units), static_cast<size_t>(count))),
      m_hasUnits(units != nullptr && count >= 0) {}

String::String(const JavaPtr<String>& other) {
    if (!other) {
        setUnits(reinterpret_cast<const unsigned short*>(u"null"), 4);
        return;
    }
    m_units = other->m_units;
    m_hasUnits = other->m_hasUnits;
}

String::String(const JavaPtr<JArray<unsigned short>>& units) {
    requireNotNull(units.get());
    if (units->data == nullptr || units->length < 0) return;
    setUnits(units->data, units->length);
}

String::String(const JavaPtr<JArray<unsigned short>>& units, int offset, int count) {
    requireNotNull(units.get());
    if (units->data == nullptr || count < 0) return;
    if (offset < 0 || offset > units->length || count > units->length - offset)
        throw IndexOutOfBoundsException();
    setUnits(units->data + offset, count);
}

String::String(const JavaPtr<JArray<signed char>>& bytes) : String(bytes, nullptr) {}

String::String(const JavaPtr<JArray<signed char>>& bytes, const JavaPtr<String>& encoding) {
    requireNotNull(bytes.get());
    decode(bytes, 0, bytes->length, encoding);
}

String::String(const JavaPtr<JArray<signed char>>& bytes, int offset, int length) {
    decode(bytes, offset, length, nullptr);
}

String::String(const JavaPtr<JArray<signed char>>& bytes, int offset, int length,
               const JavaPtr<String>& encoding) {
    decode(bytes, offset, length, encoding);
}

String::String(int value) : String(static_cast<long long>(value)) {}

String::String(long long value) {
    JavaPtr<String> text = Long::toString(value);
    m_units = std::move(text->m_units);
    m_hasUnits = text->m_hasUnits;
}

String::String(float value) : String(static_cast<double>(value)) {}

String::String(double value) {
    JavaPtr<String> text = Double::toString(value);
    m_units = std::move(text->m_units);
    m_hasUnits = text->m_hasUnits;
}

String::String(const JavaPtr<StringBuffer>& buffer) {
    requireNotNull(buffer.get());
    m_hasUnits = true;
    if (buffer->length() > 0) setUnits(buffer->unitData(), buffer->length());
}

String::~String() {
    char* eightBit = m_eightBit.load(std::memory_order_acquire);
    if (eightBit != nullptr) std::free(eightBit);
}

void String::decode(const JavaPtr<JArray<signed char>>& bytes, int offset, int length,
                    const JavaPtr<String>& encoding) {
    if (!clipByteSlice(bytes, offset, length)) return;
    decodeSlice(bytes, offset, length, isUtf8Name(encoding), m_units);
    m_hasUnits = true;
}

void String::setUnits(const unsigned short* units, int count) {
    m_units.assign(reinterpret_cast<const char16_t*>(units), static_cast<size_t>(count));
    m_hasUnits = true;
}

JavaPtr<String> String::withUnits(std::u16string&& units) {
    JavaPtr<String> result = jnew<String>();
    result->m_units = std::move(units);
    return result;
}

// A copy made without a reference to this string, which may live outside the heap.
JavaPtr<String> String::copyOfUnits() const {
    JavaPtr<String> copy = jnew<String>();
    copy->m_units = m_units;
    copy->m_hasUnits = m_hasUnits;
    return copy;
}

unsigned short String::charAt(int index) const {
    if (!m_hasUnits) return 0;
    if (index < 0 || index >= length()) throw IndexOutOfBoundsException();
    return m_units[static_cast<size_t>(index)];
}

int String::compareTo(const JavaPtr<String>& other) const {
    requireNotNull(other.get());
    const int count = length();
    const int otherCount = other->length();
    if (count <= 0 || otherCount <= 0) return count - otherCount;
    const int shorter = std::min(count, otherCount);
    for (int i = 0; i < shorter; ++i) {
        const int a = m_units[static_cast<size_t>(i)];
        const int b = other->m_units[static_cast<size_t>(i)];
        if (a != b) return a - b;
    }
    return count - otherCount;
}

bool String::equals(const JavaPtr<String>& other) const {
    if (!other) return false;
    return m_units.size() == other->m_units.size() &&
           std::memcmp(m_units.data(), other->m_units.data(), sizeof(char16_t) * m_units.size()) == 0;
}

bool String::equals(JavaPtr<Object> other) {
    const String& self = *this;
    return self.equals(jcast<String>(other));
}

bool String::equalsIgnoreCase(const JavaPtr<String>& other) const {
    if (!other || length() != other->length()) return false;
    for (size_t i = 0; i < m_units.size(); ++i) {
        const unsigned short a = m_units[i];
        const unsigned short b = other->m_units[i];
        if (a != b && Character::toUpperCase(a) != Character::toUpperCase(b) &&
            Character::toLowerCase(a) != Character::toLowerCase(b))
            return false;
    }
    return true;
}

int32_t String::hashCode() {
    int32_t cached = m_hash.load(std::memory_order_relaxed);
    if (cached != 0) return cached;
    uint32_t h = 0;
    for (const char16_t unit : m_units) h = 31u * h + unit;
    cached = static_cast<int32_t>(h);
    m_hash.store(cached, std::memory_order_relaxed);
    return cached;
}

int String::indexOf(int character, int fromIndex) const {
    const int start = std::max(fromIndex, 0);
    if (!m_hasUnits || start >= length()) return -1;
    const size_t found =
        m_units.find(static_cast<char16_t>(searchedUnit(character)), static_cast<size_t>(start));
    return found == std::u16string::npos ? -1 : static_cast<int>(found);
}

int String::lastIndexOf(int character, int fromIndex) const {
    const int start = std::min(fromIndex, length() - 1);
    if (!m_hasUnits || start < 0) return -1;
    const size_t found =
        m_units.rfind(static_cast<char16_t>(searchedUnit(character)), static_cast<size_t>(start));
    return found == std::u16string::npos ? -1 : static_cast<int>(found);
}

int String::indexOf(const JavaPtr<String>& text, int fromIndex) const {
    requireNotNull(text.get());
    const int start = std::max(fromIndex, 0);
    if (!m_hasUnits || start > length() - text->length()) return -1;
    const size_t found = std::u16string_view(m_units).find(text->m_units, static_cast<size_t>(start));
    return found == std::u16string_view::npos ? -1 : static_cast<int>(found);
}

bool String::startsWith(const JavaPtr<String>& prefix) const {
    requireNotNull(prefix.get());
    if (!m_hasUnits || length() == 0) return false;
    return std::u16string_view(m_units).starts_with(prefix->m_units);
}

bool String::startsWith(const JavaPtr<String>& prefix, int offset) const {
    requireNotNull(prefix.get());
    if (offset < 0 || offset >= length() || prefix->length() > length() - offset) return false;
    return std::u16string_view(m_units).substr(static_cast<size_t>(offset)).starts_with(prefix->m_units);
}

bool String::endsWith(const JavaPtr<String>& suffix) const {
    requireNotNull(suffix.get());
    return std::u16string_view(m_units).ends_with(suffix->m_units);
}

bool String::regionMatches(bool ignoreCase, int offset, const JavaPtr<String>& other, int otherOffset,
                           int length) const {
    requireNotNull(other.get());
    if (length <= 0) return true;
    // Compared in 64 bits so that offset + length cannot wrap.
    if (offset < 0 || otherOffset < 0 || static_cast<long long>(offset) + length > this->length() ||
        static_cast<long long>(otherOffset) + length > other->length())
        return false;
    const char16_t* a = m_units.data() + offset;
    const char16_t* b = other->m_units.data() + otherOffset;
    if (!ignoreCase) return std::memcmp(a, b, sizeof(char16_t) * static_cast<size_t>(length)) == 0;
    for (int i = 0; i < length; ++i) {
        if (Character::toLowerCase(a[i]) != Character::toLowerCase(b[i]) ||
            Character::toUpperCase(a[i]) != Character::toUpperCase(b[i]))
            return false;
    }
    return true;
}

JavaPtr<String> String::substring(int beginIndex, int endIndex) const {
    if (beginIndex < 0 || endIndex > length() || endIndex < beginIndex) throw IndexOutOfBoundsException();
    return withUnits(
        m_units.substr(static_cast<size_t>(beginIndex), static_cast<size_t>(endIndex - beginIndex)));
}

JavaPtr<String> String::concat(const JavaPtr<String>& other) const {
    return *this + JavaPtr<Object>(other);
}

JavaPtr<String> String::replace(unsigned short oldChar, unsigned short newChar) const {
    JavaPtr<String> copy = copyOfUnits();
    std::replace(copy->m_units.begin(), copy->m_units.end(), static_cast<char16_t>(oldChar),
                 static_cast<char16_t>(newChar));
    return copy;
}

JavaPtr<String> String::toLowerCase() {
    if (length() == 0) return JavaPtr<String>(this);
    std::u16string mapped(m_units);
    for (char16_t& unit : mapped) unit = Character::toLowerCase(unit);
    return withUnits(std::move(mapped));
}

JavaPtr<String> String::toUpperCase() {
    if (length() == 0) return JavaPtr<String>(this);
    std::u16string mapped(m_units);
    for (char16_t& unit : mapped) unit = Character::toUpperCase(unit);
    return withUnits(std::move(mapped));
}

JavaPtr<String> String::trim() const {
    JavaPtr<String> copy = copyOfUnits();
    std::u16string& units = copy->m_units;
    size_t end = units.size();
    while (end > 0 && myisspace(units[end - 1])) --end;
    size_t begin = 0;
    while (begin < end && myisspace(units[begin])) ++begin;
    units = units.substr(begin, end - begin);
    return copy;
}

JavaPtr<JArray<unsigned short>> String::toCharArray() const {
    JavaPtr<JArray<unsigned short>> array = jnewArray<unsigned short>(length());
    if (length() > 0) std::memcpy(array->data, m_units.data(), sizeof(char16_t) * m_units.size());
    return array;
}

void String::getChars(int sourceBegin, int sourceEnd, const JavaPtr<JArray<unsigned short>>& destination,
                      int destinationBegin) const {
    requireNotNull(destination.get());
    if (sourceBegin < 0 || sourceBegin > sourceEnd || sourceEnd > length() || destinationBegin < 0 ||
        static_cast<long long>(destinationBegin) + (sourceEnd - sourceBegin) > destination->length)
        throw IndexOutOfBoundsException();
    if (sourceEnd == sourceBegin) return;
    std::memcpy(destination->data + destinationBegin, m_units.data() + sourceBegin,
                sizeof(char16_t) * static_cast<size_t>(sourceEnd - sourceBegin));
}

JavaPtr<JArray<signed char>> String::getBytes() const {
    return getBytes(nullptr);
}

// The bytes a byte stream would collect unit by unit, written straight into the array.
JavaPtr<JArray<signed char>> String::getBytes(const JavaPtr<String>& encoding) const {
    if (!isUtf8Name(encoding)) {
        JavaPtr<JArray<signed char>> bytes = jnewArray<signed char>(length());
        for (int i = 0; i < length(); ++i)
            bytes->data[i] = static_cast<signed char>(m_units[static_cast<size_t>(i)]);
        return bytes;
    }
    // Up to three bytes a unit: the sum may pass the int range, which no array can hold.
    int64_t size = 0;
    for (const char16_t unit : m_units) size += unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
    if (size > JArray<signed char>::maxLength) throw std::bad_array_new_length();
    JavaPtr<JArray<signed char>> bytes = jnewArray<signed char>(static_cast<int>(size));
    auto* out = reinterpret_cast<unsigned char*>(bytes->data);
    for (const unsigned unit : m_units) {
        if (unit < 0x80) {
            *out++ = static_cast<unsigned char>(unit);
        } else if (unit < 0x800) {
            *out++ = static_cast<unsigned char>(0xC0 | (unit >> 6 & 0x1F));
            *out++ = static_cast<unsigned char>(0x80 | (unit & 0x3F));
        } else {
            *out++ = static_cast<unsigned char>(0xE0 | unit >> 12);
            *out++ = static_cast<unsigned char>(0x80 | (unit >> 6 & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (unit & 0x3F));
        }
    }
    return bytes;
}

JavaPtr<String> String::toString() {
    return JavaPtr<String>(this);
}

char* String::val() {
    if (!m_hasUnits) return nullptr;
    char* copy = m_eightBit.load(std::memory_order_acquire);
    if (copy != nullptr) return copy;
    char* made = static_cast<char*>(std::malloc(m_units.size() + 1));
    if (made == nullptr) return nullptr;
    for (size_t i = 0; i < m_units.size(); ++i) made[i] = static_cast<char>(m_units[i] & 0xFF);
    made[m_units.size()] = '\0';
    if (m_eightBit.compare_exchange_strong(copy, made, std::memory_order_acq_rel, std::memory_order_acquire))
        return made;
    std::free(made);
    return copy;
}

bool String::operator==(const JavaPtr<String>& other) const {
    if (!other) return false;
    if (other.get() == this) return true;
    return m_literal && other->m_literal && equals(other);
}

JavaPtr<String> String::concatenate(const String* left, const String* text) {
    JavaPtr<String> result = jnew<String>();
    std::u16string& units = result->m_units;
    static const std::u16string_view kNull = u"null";
    const std::u16string_view leftUnits = left ? std::u16string_view(left->m_units) : kNull;
    const size_t textCount = text ? text->m_units.size() : 0;
    units.reserve(leftUnits.size() + textCount);
    units.append(leftUnits);
    if (textCount > 0) units.append(text->m_units);
    // Only a left operand and a text that both have no units give a result without units.
    result->m_hasUnits = left == nullptr || left->m_hasUnits || (text != nullptr && text->m_hasUnits);
    return result;
}

JavaPtr<String> String::operator+(const JavaPtr<Object>& right) const {
    JavaPtr<String> text = right ? right->toString() : jnew<String>(static_cast<const char*>(nullptr));
    return concatenate(this, text.get());
}

JavaPtr<String> String::operator+(Throwable* right) const {
    JavaPtr<String> text = right ? right->toString() : jnew<String>(static_cast<const char*>(nullptr));
    return concatenate(this, text.get());
}

JavaPtr<String> String::appendInteger(long long value) const {
    JavaPtr<String> text = Long::toString(value);
    return concatenate(this, text.get());
}

JavaPtr<String> String::appendDouble(double value) const {
    JavaPtr<String> text = Double::toString(value);
    return concatenate(this, text.get());
}

JavaPtr<String> String::operator+(char right) const {
    String text(right);
    return concatenate(this, &text);
}

JavaPtr<String> String::operator+(unsigned short right) const {
    String text(right);
    return concatenate(this, &text);
}

JavaPtr<String> String::valueOf(const JavaPtr<Object>& object) {
    return object ? object->toString() : jnew<String>("null");
}

JavaPtr<String> String::valueOf(bool value) {
    return jnew<String>(value ? "true" : "false");
}

JavaPtr<String> String::valueOf(unsigned short unit) {
    return jnew<String>(unit);
}

JavaPtr<String> String::valueOf(int value) {
    return Long::toString(value);
}

JavaPtr<String> String::valueOf(long long value) {
    return Long::toString(value);
}

JavaPtr<String> String::valueOf(float value) {
    return Double::toString(value);
}

JavaPtr<String> String::valueOf(double value) {
    return Double::toString(value);
}

JavaPtr<String> String::valueOf(const JavaPtr<JArray<unsigned short>>& units) {
    requireNotNull(units.get());
    return valueOf(units, 0, units->length);
}

JavaPtr<String> String::valueOf(const JavaPtr<JArray<unsigned short>>& units, int offset, int count) {
    return jnew<String>(units, offset, count);
}

}  // namespace java::lang

using java::lang::String;

JavaPtr<String> operator+(const JavaPtr<String>& left, const char* literal) {
    return left + JavaPtr<java::lang::Object>(jnew<String>(literal));
}

JavaPtr<String>& operator+=(JavaPtr<String>& left, const JavaPtr<String>& right) {
    left = left + JavaPtr<java::lang::Object>(right);
    return left;
}

void decodeStringFromByteArray(unsigned short** units, int* count, const JavaPtr<JArray<signed char>>& bytes,
                               int offset, int length, const JavaPtr<String>& encoding) {
    *units = nullptr;
    *count = 0;
    if (!java::lang::clipByteSlice(bytes, offset, length)) return;
    std::u16string decoded;
    java::lang::decodeSlice(bytes, offset, length, java::lang::isUtf8Name(encoding), decoded);
    unsigned short* buffer = java::lang::allocateUnits(decoded.size());
    if (buffer == nullptr) return;
    std::memcpy(buffer, decoded.data(), sizeof(char16_t) * decoded.size());
    buffer[decoded.size()] = 0;
    *units = buffer;
    *count = static_cast<int>(decoded.size());
}

unsigned short* make_new_string_copy(const char* text, int limit, int count) {
    if (text == nullptr || limit < -1 || count < -1) return nullptr;
    if (count == -1) {
        size_t n = std::strlen(text);
        if (limit != -1) n = std::min(n, static_cast<size_t>(limit));
        count = static_cast<int>(std::min<size_t>(n, INT32_MAX));
    }
    unsigned short* buffer = java::lang::allocateUnits(static_cast<size_t>(count));
    if (buffer == nullptr) return nullptr;
    for (int i = 0; i < count; ++i) buffer[i] = static_cast<unsigned char>(text[i]);
    buffer[count] = 0;
    return buffer;
}

unsigned short* make_new_string_copy_from_jchars(const unsigned short* units, int offset, int count) {
    if (units == nullptr || count < 0) return nullptr;
    unsigned short* buffer = java::lang::allocateUnits(static_cast<size_t>(count));
    if (buffer == nullptr) return nullptr;
    if (count > 0) std::memcpy(buffer, units + offset, sizeof(unsigned short) * static_cast<size_t>(count));
    buffer[count] = 0;
    return buffer;
}

unsigned short* append_strings(const unsigned short* first, int firstCount, const unsigned short* second,
                               int secondCount) {
    if (first == nullptr && second == nullptr) return nullptr;
    if (first == nullptr) return make_new_string_copy_from_jchars(second, 0, secondCount);
    if (second == nullptr) return make_new_string_copy_from_jchars(first, 0, firstCount);
    if (firstCount < 0 || secondCount < 0) return nullptr;
    const size_t total = static_cast<size_t>(firstCount) + static_cast<size_t>(secondCount);
    unsigned short* buffer = java::lang::allocateUnits(total);
    if (buffer == nullptr) return nullptr;
    if (firstCount > 0) std::memcpy(buffer, first, sizeof(unsigned short) * static_cast<size_t>(firstCount));
    if (secondCount > 0)
        std::memcpy(buffer + firstCount, second, sizeof(unsigned short) * static_cast<size_t>(secondCount));
    buffer[total] = 0;
    return buffer;
}

bool myisspace(int value) {
    return value <= 32;
}

std::string toUtf8(const JavaPtr<String>& text) {
    std::string out;
    if (!text) return out;
    const unsigned short* units = text->unitData();
    const int32_t count = text->length();
    for (int32_t i = 0; i < count; ++i) {
        unsigned u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            const unsigned code = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00u);
            out.push_back(static_cast<char>(0xF0 | code >> 18));
            out.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
            ++i;
        } else if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}
