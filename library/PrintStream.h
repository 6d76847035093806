// java.io.PrintStream: values as text, sent to an output stream or, without one, to standard output.
// The text is the 8-bit form of each string (the low byte of each unit) and a line ends with 0x0A.
// A target receives each byte of text as two bytes: its sign (0x00 or 0xFF), then the byte.
#pragma once

#include "library/OutputStream.h"

namespace java::lang {
class String;
}

namespace java::io {

class PrintStream : public OutputStream {
    TESL_CLASS(PrintStream, "java.io.PrintStream", OutputStream)
public:
    PrintStream() noexcept {}
    // Releases the target without flushing or closing it.
    ~PrintStream() override = default;

    // A null out prints to standard output.
    PrintStream* TESLinvokeconstructor(const JavaPtr<OutputStream>& out);

    // With a target: flushes it, then closes it (the reference stays). Without: nothing.
    void close() override;
    void flush() override;
    void write(const JavaPtr<JArray<signed char>>& b) override;
    // To the target only; nothing reaches standard output.
    void write(const JavaPtr<JArray<signed char>>& b, int off, int len) override;
    void write(int v) override;
    // Only what setError set: no output failure sets it.
    virtual bool checkError();
    virtual void print(bool b);
    // The low byte of c; nothing when that byte is 0.
    virtual void print(unsigned short c);
    // A char16_t is a character too, not the number print(int) would make of it.
    void print(char16_t c) { print(static_cast<unsigned short>(c)); }
    // Throws NullPointerException for a null array.
    virtual void print(const JavaPtr<JArray<unsigned short>>& a);
    virtual void print(double d);
    virtual void print(float f);
    virtual void print(int i);
    virtual void print(long long l);
    // "null" for a null reference.
    virtual void print(const JavaPtr<::java::lang::Object>& o);
    // "null" for a null reference; the text ends at the first unit whose low byte is 0.
    virtual void print(const JavaPtr<::java::lang::String>& s);
    virtual void println();
    virtual void println(bool b);
    virtual void println(unsigned short c);
    void println(char16_t c) { println(static_cast<unsigned short>(c)); }
    virtual void println(const JavaPtr<JArray<unsigned short>>& a);
    virtual void println(double d);
    virtual void println(float f);
    virtual void println(int i);
    virtual void println(long long l);
    virtual void println(const JavaPtr<::java::lang::Object>& o);
    // The text and the line end in one output.
    virtual void println(const JavaPtr<::java::lang::String>& s);
    virtual void setError();
    // Where all text ends: to standard output, or to the target two bytes per byte of text.
    virtual void printInternal(const char* text);
    virtual void print(::java::lang::String* s);
    // Straight to standard output whatever the target, with no line end.
    virtual void println(const char* text);
    virtual void println(::java::lang::String* s);

protected:
    JavaPtr<OutputStream> m_target;
    bool m_error = false;
};

}  // namespace java::io
