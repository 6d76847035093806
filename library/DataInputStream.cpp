#include "library/DataInputStream.h"

#include <cstdint>
#include <string>
#include <typeinfo>

#include "library/ByteArrayInputStream.h"
#include "runtime/Double.h"
#include "runtime/EOFException.h"
#include "runtime/Float.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"

namespace java::io {

using ::java::lang::String;

DataInputStream* DataInputStream::TESLinvokeconstructor(const JavaPtr<InputStream>& in) {
    InputStream::TESLinvokeconstructor();
    m_source = in;
    // The object is whole by now, so its type is final.
    if (in && typeid(*this) == typeid(DataInputStream) && typeid(*in) == typeid(ByteArrayInputStream))
        m_byteArraySource = static_cast<ByteArrayInputStream*>(in.get());
    return this;
}

InputStream& DataInputStream::source() {
    if (!m_source) throw ::java::lang::NullPointerException();
    return *m_source;
}

int DataInputStream::available() {
    return m_source ? m_source->available() : 0;
}

void DataInputStream::close() {
    if (m_source) m_source->close();
}

void DataInputStream::mark(int readlimit) {
    source().mark(readlimit);
}

bool DataInputStream::markSupported() {
    return source().markSupported();
}

int DataInputStream::read() {
    return source().read();
}

int DataInputStream::read(const JavaPtr<JArray<signed char>>& b) {
    return source().read(b);
}

int DataInputStream::read(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    return source().read(b, off, len);
}

void DataInputStream::reset() {
    source().reset();
}

long long DataInputStream::skip(long long n) {
    return source().skip(n);
}

bool DataInputStream::readBoolean() {
    return read() != 0;
}

signed char DataInputStream::readByte() {
    const int c = read();
    if (c == -1) throw EOFException();
    return static_cast<signed char>(c);
}

unsigned short DataInputStream::readChar() {
    return static_cast<unsigned short>(readShort());
}

double DataInputStream::readDouble() {
    return ::java::lang::Double::longBitsToDouble(readLong());
}

float DataInputStream::readFloat() {
    return ::java::lang::Float::intBitsToFloat(readInt());
}

void DataInputStream::readFully(const JavaPtr<JArray<signed char>>& b) {
    if (!b) throw ::java::lang::NullPointerException();
    readFully(b, 0, b->length);
}

void DataInputStream::readFully(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    if (len < 0) throw ::java::lang::IndexOutOfBoundsException();
    int n = 0;
    while (n < len) {
        const int r = read(b, off + n, len - n);
        // A source that makes no progress would otherwise be asked for ever.
        if (r <= 0) throw EOFException();
        n += r;
    }
}

// A missing byte (-1) keeps its low eight bits, 0xFF.
int DataInputStream::readInt() {
    if (m_byteArraySource != nullptr) return m_byteArraySource->readBigEndianInt();
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | (static_cast<uint32_t>(read()) & 0xFF);
    return static_cast<int32_t>(value);
}

long long DataInputStream::readLong() {
    const auto high = static_cast<uint32_t>(readInt());
    const auto low = static_cast<uint32_t>(readInt());
    return static_cast<long long>((static_cast<uint64_t>(high) << 32) | low);
}

short DataInputStream::readShort() {
    const auto high = static_cast<uint32_t>(read()) & 0xFF;
    const auto low = static_cast<uint32_t>(read()) & 0xFF;
    return static_cast<short>((high << 8) | low);
}

int DataInputStream::readUnsignedByte() {
    return read();
}

int DataInputStream::readUnsignedShort() {
    return static_cast<unsigned short>(readShort());
}

JavaPtr<String> DataInputStream::readUTF() {
    return decodeUTF(*this);
}

int DataInputStream::skipBytes(int n) {
    return static_cast<int>(source().skip(n));
}

JavaPtr<String> DataInputStream::readUTF(const JavaPtr<DataInput>& in) {
    if (!in) throw ::java::lang::NullPointerException();
    return decodeUTF(*in);
}

JavaPtr<String> DataInputStream::decodeUTF(DataInput& in) {
    const int n = in.readUnsignedShort();
    JavaPtr<JArray<signed char>> bytes = jnew<JArray<signed char>>(n);
    in.readFully(bytes, 0, n);
    auto at = [&bytes](int i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes->data[i])); };
    std::u16string units;
    units.reserve(static_cast<size_t>(n));
    int i = 0;
    while (i < n) {
        const unsigned c = at(i);
        const unsigned form = c >> 4;
        if (form <= 7) {
            units.push_back(static_cast<char16_t>(c));
            i += 1;
        } else if (form == 12 || form == 13) {
            // A character cut off by the end of the data ends the text: the bytes after it belong to
            // whatever follows in the stream.
            if (i + 1 >= n) break;
            units.push_back(static_cast<char16_t>(((c & 0x1F) << 6) | (at(i + 1) & 0x3F)));
            i += 2;
        } else if (form == 14) {
            if (i + 2 >= n) break;
            units.push_back(
                static_cast<char16_t>(((c & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) | (at(i + 2) & 0x3F)));
            i += 3;
        } else {
            break;
        }
    }
    return jnew<String>(reinterpret_cast<const unsigned short*>(units.data()),
                        static_cast<int>(units.size()));
}

}  // namespace java::io
