#include "runtime/String.h"

#include <cstring>

#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/Long.h"
#include "runtime/Throwable.h"

namespace java::lang {

namespace {

int hexDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;  // any other byte counts as the digit 0
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
    m_count = static_cast<int32_t>(m_units.size());
    m_literal = true;
}

String::String(char byte) {
    const auto unit = static_cast<unsigned short>(static_cast<short>(static_cast<signed char>(byte)));
    setUnits(&unit, 1);
}

String::String(unsigned short unit) {
    setUnits(&unit, 1);
}

String::String(const unsigned short* units, int count) {
    if (units == nullptr || count < 0) return;
    setUnits(units, count);
}

String::String(const JavaPtr<String>& other) {
    if (!other) {
        setUnits(reinterpret_cast<const unsigned short*>(u"null"), 4);
        return;
    }
    if (!other->m_hasUnits) return;
    m_units = other->m_units;
    m_hasUnits = true;
    m_count = other->m_count;
}

String::String(int value) : String(static_cast<long long>(value)) {}

String::String(long long value) {
    JavaPtr<String> text = Long::toString(value);
    m_units = std::move(text->m_units);
    m_hasUnits = text->m_hasUnits;
    m_count = text->m_count;
}

void String::setUnits(const unsigned short* units, int count) {
    m_units.assign(reinterpret_cast<const char16_t*>(units), static_cast<size_t>(count));
    m_hasUnits = true;
    m_count = count;
    m_hasEightBit = false;
}

unsigned short String::charAt(int index) const {
    if (!m_hasUnits) return 0;
    if (index < 0 || index >= m_count) throw IndexOutOfBoundsException();
    return m_units[static_cast<size_t>(index)];
}

bool String::equals(const JavaPtr<String>& other) const {
    if (!other) return false;
    if (length() != other->length()) return false;
    return length() == 0 ||
           std::memcmp(m_units.data(), other->m_units.data(), sizeof(char16_t) * length()) == 0;
}

bool String::equals(JavaPtr<Object> other) {
    const String& self = *this;
    return self.equals(jcast<String>(other));
}

int32_t String::hashCode() {
    uint32_t h = 0;
    for (int32_t i = 0; i < length(); ++i) h = 31u * h + m_units[static_cast<size_t>(i)];
    return static_cast<int32_t>(h);
}

JavaPtr<String> String::toString() {
    return JavaPtr<String>(this);
}

JavaPtr<String> String::concat(const JavaPtr<String>& other) {
    return *this + JavaPtr<Object>(other);
}

char* String::val() {
    if (!m_hasUnits) {
        m_hasEightBit = false;
        return nullptr;
    }
    m_eightBit.assign(static_cast<size_t>(m_count), '\0');
    for (int32_t i = 0; i < m_count; ++i)
        m_eightBit[static_cast<size_t>(i)] = static_cast<char>(m_units[static_cast<size_t>(i)] & 0xFF);
    m_hasEightBit = true;
    return m_eightBit.data();
}

bool String::operator==(const JavaPtr<String>& other) const {
    return other && m_literal && other->m_literal && equals(other);
}

JavaPtr<String> String::concatenate(const String* left, const String* text) {
    JavaPtr<String> result;
    if (left == nullptr) {
        result = jnew<String>(static_cast<const char*>(nullptr));
    } else {
        result = jnew<String>();
        result->m_units = left->m_units;
        result->m_hasUnits = left->m_hasUnits;
        result->m_count = left->m_count;
    }
    if (text != nullptr && text->length() > 0) {
        result->m_units.resize(static_cast<size_t>(result->length()));
        result->m_units.append(text->m_units, 0, static_cast<size_t>(text->length()));
        result->m_hasUnits = true;
        result->m_count = result->length() + text->length();
    }
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

}  // namespace java::lang

using java::lang::String;

JavaPtr<String> operator+(const JavaPtr<String>& left, const char* literal) {
    return left + JavaPtr<java::lang::Object>(jnew<String>(literal));
}

JavaPtr<String>& operator+=(JavaPtr<String>& left, const JavaPtr<String>& right) {
    left = left + JavaPtr<java::lang::Object>(right);
    return left;
}

std::string toUtf8(const JavaPtr<String>& text) {
    std::string out;
    if (!text) return out;
    const unsigned short* units = text->unitData();
    for (int32_t i = 0; i < text->length(); ++i) {
        const unsigned u = units[i];
        if (u < 0x80) {
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
