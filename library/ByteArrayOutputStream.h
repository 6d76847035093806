// java.io.ByteArrayOutputStream: collects bytes in a buffer that grows in place, linearly (100 bytes
// beyond what is needed), so the buffer array object stays the same across growth.
#pragma once

#include "library/OutputStream.h"

namespace java::lang {
class String;
}

namespace java::io {

class ByteArrayOutputStream : public OutputStream {
    TESL_CLASS(ByteArrayOutputStream, "java.io.ByteArrayOutputStream", OutputStream)
public:
    ByteArrayOutputStream() noexcept {}
    ~ByteArrayOutputStream() override = default;

    // A buffer of 32 bytes.
    ByteArrayOutputStream* TESLinvokeconstructor();
    // A buffer of size bytes (empty for 0 or less).
    ByteArrayOutputStream* TESLinvokeconstructor(int size);

    // Each byte one unit (ISO-8859-1).
    JavaPtr<::java::lang::String> toString() override;
    // Does nothing: the stream stays usable.
    void close() override;
    void write(const JavaPtr<JArray<signed char>>& b) override;
    // Throws NullPointerException for a null b, IndexOutOfBoundsException for a range outside b, and
    // IOException when the buffer cannot grow (the stream is then unchanged).
    void write(const JavaPtr<JArray<signed char>>& b, int off, int len) override;
    void write(int v) override;
    // Empties the stream, keeping the grown buffer.
    virtual void reset();
    virtual int size();
    virtual JavaPtr<JArray<signed char>> toByteArray();

protected:
    // Appends k bytes, growing the buffer first when the new count reaches the capacity.
    void store(const signed char* bytes, int k);

    JavaPtr<JArray<signed char>> m_buffer;
    int m_count = 0;
    int m_capacity = 0;
};

}  // namespace java::io
