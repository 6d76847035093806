#include "library/ByteArrayInputStream.h"

#include "library/StreamChecks.h"
#include "runtime/NullPointerException.h"

namespace java::io {

ByteArrayInputStream::~ByteArrayInputStream() {
    ByteArrayInputStream::close();
}

ByteArrayInputStream* ByteArrayInputStream::TESLinvokeconstructor(const JavaPtr<JArray<signed char>>& b) {
    if (!b) throw ::java::lang::NullPointerException();
    return TESLinvokeconstructor(b, 0, b->length);
}

ByteArrayInputStream* ByteArrayInputStream::TESLinvokeconstructor(const JavaPtr<JArray<signed char>>& b,
                                                                  int offset, int length) {
    InputStream::TESLinvokeconstructor();
    // A range beyond the array would have the reads walk off its end.
    tesl::checkByteRange(b, offset, length);
    m_buffer = b;
    m_position = offset;
    m_count = offset + length;
    return this;
}

int ByteArrayInputStream::available() {
    return m_count - m_position;
}

void ByteArrayInputStream::close() {
    m_buffer = nullptr;
}

void ByteArrayInputStream::mark(int) {
    m_mark = m_position;
}

bool ByteArrayInputStream::markSupported() {
    return true;
}

int ByteArrayInputStream::readableEnd() const {
    if (!m_buffer) return 0;
    // The owner may have shrunk the array since.
    return m_count < m_buffer->length ? m_count : m_buffer->length;
}

int ByteArrayInputStream::read() {
    if (m_position < 0 || m_position >= readableEnd()) return -1;
    return static_cast<unsigned char>(m_buffer->data[m_position++]);
}

int32_t ByteArrayInputStream::readBigEndianInt() {
    if (m_position >= 0 && readableEnd() - m_position >= 4) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(m_buffer->data + m_position);
        m_position += 4;
        return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) << 24 |
                                    static_cast<uint32_t>(bytes[1]) << 16 |
                                    static_cast<uint32_t>(bytes[2]) << 8 | bytes[3]);
    }
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | (static_cast<uint32_t>(ByteArrayInputStream::read()) & 0xFF);
    return static_cast<int32_t>(value);
}

int ByteArrayInputStream::read(const JavaPtr<JArray<signed char>>& b) {
    return InputStream::read(b);
}

int ByteArrayInputStream::read(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    if (!b) throw ::java::lang::NullPointerException();
    if (len <= 0) return -1;
    tesl::checkByteRange(b, off, len);
    const int end = readableEnd();
    if (m_position < 0 || m_position >= end) return -1;
    int copied = 0;
    while (copied < len && m_position < end) b->data[off + copied++] = m_buffer->data[m_position++];
    return copied;
}

void ByteArrayInputStream::reset() {
    m_position = m_mark;
}

long long ByteArrayInputStream::skip(long long n) {
    if (n > static_cast<long long>(m_count) - m_position) n = static_cast<long long>(m_count) - m_position;
    if (n <= 0) return 0;
    m_position += static_cast<int>(n);
    return n;
}

}  // namespace java::io
