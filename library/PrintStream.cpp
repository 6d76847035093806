#include "library/PrintStream.h"

#include "runtime/NullPointerException.h"
#include "runtime/RuntimeUtilities.h"
#include "runtime/String.h"

namespace java::io {

using ::java::lang::String;

PrintStream* PrintStream::TESLinvokeconstructor(const JavaPtr<OutputStream>& out) {
    OutputStream::TESLinvokeconstructor();
    m_target = out;
    m_error = false;
    return this;
}

void PrintStream::close() {
    if (!m_target) return;
    m_target->flush();
    m_target->close();
}

void PrintStream::flush() {
    if (m_target) m_target->flush();
}

void PrintStream::write(const JavaPtr<JArray<signed char>>& b) {
    OutputStream::write(b);
}

void PrintStream::write(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    if (m_target) m_target->write(b, off, len);
}

void PrintStream::write(int v) {
    if (m_target) m_target->write(v);
}

bool PrintStream::checkError() {
    return m_error;
}

void PrintStream::print(bool b) {
    print(String::valueOf(b));
}

void PrintStream::print(unsigned short c) {
    const char text[2] = {static_cast<char>(c & 0xFF), 0};
    printInternal(text);
}

void PrintStream::print(const JavaPtr<JArray<unsigned short>>& a) {
    if (!a) throw ::java::lang::NullPointerException();
    for (int i = 0; i < a->length; ++i) print(a->data[i]);
}

void PrintStream::print(double d) {
    print(String::valueOf(d));
}

void PrintStream::print(float f) {
    print(String::valueOf(f));
}

void PrintStream::print(int i) {
    print(String::valueOf(i));
}

void PrintStream::print(long long l) {
    print(String::valueOf(l));
}

void PrintStream::print(const JavaPtr<::java::lang::Object>& o) {
    print(String::valueOf(o));
}

void PrintStream::print(const JavaPtr<String>& s) {
    if (!s) {
        printInternal("null");
        return;
    }
    printInternal(s->val());
}

void PrintStream::println() {
    print(static_cast<unsigned short>(0x0A));
}

void PrintStream::println(bool b) {
    print(b);
    println();
}

void PrintStream::println(unsigned short c) {
    print(c);
    println();
}

void PrintStream::println(const JavaPtr<JArray<unsigned short>>& a) {
    print(a);
    println();
}

void PrintStream::println(double d) {
    print(d);
    println();
}

void PrintStream::println(float f) {
    print(f);
    println();
}

void PrintStream::println(int i) {
    print(i);
    println();
}

void PrintStream::println(long long l) {
    print(l);
    println();
}

void PrintStream::println(const JavaPtr<::java::lang::Object>& o) {
    print(o);
    println();
}

void PrintStream::println(const JavaPtr<String>& s) {
    // One output for text and line end, so that another thread's output cannot fall between them.
    JavaPtr<String> line = s + static_cast<unsigned short>(0x0A);
    printInternal(line->val());
}

void PrintStream::setError() {
    m_error = true;
}

void PrintStream::printInternal(const char* text) {
    if (text == nullptr) return;
    if (!m_target) {
        print_native(text);
        return;
    }
    for (const char* c = text; *c != 0; ++c) {
        const auto byte = static_cast<signed char>(*c);
        m_target->write(byte >> 8);
        m_target->write(static_cast<int>(byte));
    }
}

void PrintStream::print(String* s) {
    print(JavaPtr<String>(s));
}

void PrintStream::println(const char* text) {
    print_native(text);
}

void PrintStream::println(String* s) {
    println(JavaPtr<String>(s));
}

}  // namespace java::io
