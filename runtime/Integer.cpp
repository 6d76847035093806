#include "runtime/Integer.h"

#include "runtime/Long.h"
#include "runtime/NumberFormatException.h"
#include "runtime/String.h"

namespace java::lang {

namespace {

JavaPtr<String> unsignedText(int value, int radix) {
    return Long::toString(static_cast<long long>(static_cast<uint32_t>(value)), radix);
}

}  // namespace

Integer* Integer::TESLinvokeconstructor(int value) {
    Object::TESLinvokeconstructor();
    m_value = value;
    return this;
}

bool Integer::equals(JavaPtr<Object> other) {
    JavaPtr<Integer> number = jcast<Integer>(other);
    return number && number->m_value == m_value;
}

JavaPtr<String> Integer::toString() {
    return Long::toString(m_value, 10);
}

int Integer::parseInt(const JavaPtr<String>& text, int radix) {
    if (!text) throw NumberFormatException();
    const long long value = Long::parseLong(text, radix);
    if (value < MIN_VALUE || value > MAX_VALUE) throw NumberFormatException();
    return static_cast<int>(value);
}

JavaPtr<Integer> Integer::valueOf(const JavaPtr<String>& text, int radix) {
    return jnew<Integer>(parseInt(text, radix));
}

JavaPtr<String> Integer::toString(int value, int radix) {
    return Long::toString(value, radix);
}

JavaPtr<String> Integer::toHexString(int value) {
    return unsignedText(value, 16);
}

JavaPtr<String> Integer::toOctalString(int value) {
    return unsignedText(value, 8);
}

JavaPtr<String> Integer::toBinaryString(int value) {
    return unsignedText(value, 2);
}

}  // namespace java::lang
