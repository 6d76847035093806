// java.io.ByteArrayInputStream: reads a byte array the caller keeps (no copy is made, so later changes
// to the array are seen).
#pragma once

#include <cstdint>

#include "library/InputStream.h"

namespace java::io {

class ByteArrayInputStream : public InputStream {
    TESL_CLASS(ByteArrayInputStream, "java.io.ByteArrayInputStream", InputStream)
public:
    ByteArrayInputStream() noexcept {}
    // Closes first, as the stream's own close would.
    ~ByteArrayInputStream() override;

    // Throws NullPointerException for a null b.
    ByteArrayInputStream* TESLinvokeconstructor(const JavaPtr<JArray<signed char>>& b);
    // Reads b[offset] to b[offset + length - 1]; the mark stays at 0. Throws NullPointerException
    // for a null b and IndexOutOfBoundsException for a range that does not lie in b.
    ByteArrayInputStream* TESLinvokeconstructor(const JavaPtr<JArray<signed char>>& b, int offset,
                                                int length);

    int available() override;
    // Drops the array; what is left reads as the end of the data.
    void close() override;
    void mark(int readlimit) override;
    bool markSupported() override;
    int read() override;
    int read(const JavaPtr<JArray<signed char>>& b) override;
    // -1 for len of 0 or less (even with data left) and at the end of the data. Throws
    // NullPointerException for a null b and IndexOutOfBoundsException for a range outside b.
    int read(const JavaPtr<JArray<signed char>>& b, int off, int len) override;
    // Back to the mark (index 0 when mark was never called).
    void reset() override;
    long long skip(long long n) override;

    // Four calls of this class's own read() in one, as the data streams read an int: the next four bytes
    // big-endian, each byte past the end read as 0xFF.
    int32_t readBigEndianInt();

protected:
    // Where reading stops: the count, or the array's end if that comes first; 0 once closed.
    int readableEnd() const;

    JavaPtr<JArray<signed char>> m_buffer;
    // One past the last readable index.
    int m_count = 0;
    int m_mark = 0;
    // The index of the next byte.
    int m_position = 0;
};

}  // namespace java::io
