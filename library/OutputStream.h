// java.io.OutputStream: the abstract byte sink every output stream derives from.
#pragma once

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::io {

class OutputStream : public ::java::lang::Object {
    TESL_CLASS(OutputStream, "java.io.OutputStream", ::java::lang::Object)
public:
    OutputStream() noexcept {}
    ~OutputStream() override = default;

    OutputStream* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    virtual void close();
    virtual void flush();
    virtual void write(const JavaPtr<JArray<signed char>>& b);
    // Writes b[off] to b[off + len - 1] one byte at a time; len of 0 or less writes nothing. Throws
    // NullPointerException for a null b and IndexOutOfBoundsException for a range outside b.
    virtual void write(const JavaPtr<JArray<signed char>>& b, int off, int len);
    // Writes the low 8 bits of v.
    virtual void write(int v) = 0;
};

}  // namespace java::io
