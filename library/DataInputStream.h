// java.io.DataInputStream: reads the wire format from any input stream. Only readByte, readFully and
// readUTF notice the end of the data; every other reader takes each missing byte as 0xFF, which the
// structured files of the system rely on.
#pragma once

#include "library/DataInput.h"
#include "library/InputStream.h"

namespace java::io {

class ByteArrayInputStream;

class DataInputStream : public InputStream, public virtual DataInput {
    TESL_CLASS(DataInputStream, "java.io.DataInputStream", InputStream, DataInput)
public:
    DataInputStream() noexcept {}
    // Releases the source without closing it.
    ~DataInputStream() override = default;

    DataInputStream* TESLinvokeconstructor(const JavaPtr<InputStream>& in);

    // 0 without a source.
    int available() override;
    // Closes the source, if any.
    void close() override;
    void mark(int readlimit) override;
    bool markSupported() override;
    int read() override;
    int read(const JavaPtr<JArray<signed char>>& b) override;
    int read(const JavaPtr<JArray<signed char>>& b, int off, int len) override;
    void reset() override;
    long long skip(long long n) override;
    bool readBoolean() override;
    // Throws EOFException at the end of the data.
    signed char readByte() override;
    unsigned short readChar() override;
    double readDouble() override;
    float readFloat() override;
    void readFully(const JavaPtr<JArray<signed char>>& b) override;
    // Throws IndexOutOfBoundsException for a negative len and EOFException when the data ends first
    // (the bytes read until then are stored).
    void readFully(const JavaPtr<JArray<signed char>>& b, int off, int len) override;
    int readInt() override;
    long long readLong() override;
    short readShort() override;
    // -1 at the end of the data.
    int readUnsignedByte() override;
    int readUnsignedShort() override;
    JavaPtr<::java::lang::String> readUTF() override;
    int skipBytes(int n) override;

    // The string of writeUTF's form read from in: a 2-byte length N, then N bytes decoded leniently
    // (a malformed lead byte ends the text; all N bytes are consumed). Throws EOFException when fewer
    // than N bytes follow and NullPointerException for a null in.
    static JavaPtr<::java::lang::String> readUTF(const JavaPtr<DataInput>& in);

private:
    static JavaPtr<::java::lang::String> decodeUTF(DataInput& in);
    InputStream& source();

    JavaPtr<InputStream> m_source;
    // The source when it is a plain ByteArrayInputStream read by a plain DataInputStream: neither side's
    // read() is overridden, so readInt may take the four bytes at once. Null otherwise.
    ByteArrayInputStream* m_byteArraySource = nullptr;
};

}  // namespace java::io
