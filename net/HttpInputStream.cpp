#include "net/HttpInputStream.h"

#include <cstring>

#include "library/StreamChecks.h"
#include "runtime/IOException.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::io {

HttpInputStream::~HttpInputStream() {
    HttpInputStream::close();
}

HttpInputStream* HttpInputStream::TESLinvokeconstructor() {
    ByteArrayInputStream::TESLinvokeconstructor(jnew<JArray<signed char>>(0));
    return this;
}

int HttpInputStream::available() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_buffer ? m_count - m_position : 0;
}

void HttpInputStream::close() {
    JavaPtr<JArray<signed char>> dropped;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        dropped = std::move(m_buffer);
    }
}

void HttpInputStream::mark(int readlimit) {
    std::lock_guard<std::mutex> lock(m_lock);
    ByteArrayInputStream::mark(readlimit);
}

int HttpInputStream::read() {
    std::lock_guard<std::mutex> lock(m_lock);
    return ByteArrayInputStream::read();
}

int HttpInputStream::read(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    if (!b) throw ::java::lang::NullPointerException();
    if (len <= 0) return -1;
    tesl::checkByteRange(b, off, len);
    std::lock_guard<std::mutex> lock(m_lock);
    const int end = readableEnd();
    if (m_position < 0 || m_position >= end) return -1;
    const int copied = len < end - m_position ? len : end - m_position;
    std::memcpy(b->data + off, m_buffer->data + m_position, static_cast<size_t>(copied));
    m_position += copied;
    return copied;
}

void HttpInputStream::reset() {
    std::lock_guard<std::mutex> lock(m_lock);
    ByteArrayInputStream::reset();
}

long long HttpInputStream::skip(long long n) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_buffer) return 0;
    return ByteArrayInputStream::skip(n);
}

void HttpInputStream::write(signed char b) {
    write(&b, 1);
}

void HttpInputStream::write(const signed char* data, int length) {
    if (!append(data, length)) throw ::java::io::IOException();
}

bool HttpInputStream::append(const signed char* data, int length) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_buffer || length < 0) return false;
    if (length == 0) return true;
    if (length > INT32_MAX - m_count) return false;
    const int needed = m_count + length;
    if (needed > m_buffer->length) {
        // Doubling keeps the copies of a long body linear in its size.
        long long grown = static_cast<long long>(m_buffer->length) * 2;
        if (grown < needed) grown = needed;
        if (grown < 4096) grown = 4096;
        if (grown > JArray<signed char>::maxLength) grown = JArray<signed char>::maxLength;
        if (m_buffer->reSize(static_cast<int>(grown)) != grown) return false;
    }
    std::memcpy(m_buffer->data + m_count, data, static_cast<size_t>(length));
    m_count = needed;
    return true;
}

int HttpInputStream::size() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_count;
}

}  // namespace javax::microedition::io
