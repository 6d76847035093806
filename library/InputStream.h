// java.io.InputStream: the abstract byte source every input stream derives from, with the default
// block read and skip loops that subclasses without a faster path inherit.
#pragma once

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::io {

class InputStream : public ::java::lang::Object {
    TESL_CLASS(InputStream, "java.io.InputStream", ::java::lang::Object)
public:
    InputStream() noexcept {}
    ~InputStream() override = default;

    InputStream* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    virtual int available();
    virtual void close();
    virtual void mark(int readlimit);
    virtual bool markSupported();
    // The next byte as 0 to 255, or -1 at the end of the data.
    virtual int read() = 0;
    virtual int read(const JavaPtr<JArray<signed char>>& b);
    // Reads up to len bytes into b from off: the count, or -1 at the end of the data. Throws
    // NullPointerException for a null b and IndexOutOfBoundsException for a range outside b.
    virtual int read(const JavaPtr<JArray<signed char>>& b, int off, int len);
    // Throws IOException: the default stream cannot go back.
    virtual void reset();
    virtual long long skip(long long n);
};

}  // namespace java::io
