// java.lang.String: immutable UTF-16 text with a count, an 8-bit copy made on demand for C interfaces,
// and a flag that marks strings made from literals.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/Object.h"

namespace java::lang {

class Throwable;

class String : public Object {
    TESL_CLASS(String, "java.lang.String", Object)
public:
    // Empty: count 0 with a buffer.
    String();
    // The bytes of a C string, with backslash-u escapes decoded; marks the string as a literal.
    // A null pointer gives "null" without the mark.
    String(const char* text);
    String(char byte);
    String(unsigned short unit);
    String(const unsigned short* units, int count);
    String(const JavaPtr<String>& other);
    String(int value);
    String(long long value);
    ~String() override = default;

    int32_t length() const { return m_hasUnits ? m_count : 0; }
    unsigned short charAt(int index) const;
    bool equals(const JavaPtr<String>& other) const;
    bool equals(JavaPtr<Object> other) override;
    int32_t hashCode() override;
    JavaPtr<String> toString() override;
    JavaPtr<String> intern() { return toString(); }
    JavaPtr<String> concat(const JavaPtr<String>& other);

    // The 8-bit copy (low byte of each unit): valid until the next val() or the string's destruction;
    // null when there are no units.
    char* val();

    // The == of the class sources: both strings literals and equal.
    bool operator==(const JavaPtr<String>& other) const;

    JavaPtr<String> operator+(const JavaPtr<Object>& right) const;
    JavaPtr<String> operator+(Throwable* right) const;
    JavaPtr<String> operator+(signed char right) const { return appendInteger(right); }
    JavaPtr<String> operator+(short right) const { return appendInteger(right); }
    JavaPtr<String> operator+(int right) const { return appendInteger(right); }
    JavaPtr<String> operator+(long long right) const { return appendInteger(right); }
    JavaPtr<String> operator+(char right) const;
    JavaPtr<String> operator+(unsigned short right) const;

    static JavaPtr<String> valueOf(const JavaPtr<Object>& object);
    static JavaPtr<String> valueOf(bool value);
    static JavaPtr<String> valueOf(unsigned short unit);
    static JavaPtr<String> valueOf(int value);
    static JavaPtr<String> valueOf(long long value);

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
    void setUnits(const unsigned short* units, int count);

    std::u16string m_units;
    bool m_hasUnits = false;
    int32_t m_count = 0;
    bool m_literal = false;
    std::string m_eightBit;
    bool m_hasEightBit = false;
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

// The text of a string as UTF-8, for tests and the platform layer.
std::string toUtf8(const JavaPtr<java::lang::String>& text);
