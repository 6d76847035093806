#include "library/ByteArrayOutputStream.h"

#include <cstdint>
#include <cstring>

#include "library/StreamChecks.h"
#include "runtime/IOException.h"
#include "runtime/String.h"

namespace java::io {

namespace {
constexpr int kGrowthMargin = 100;
}

ByteArrayOutputStream* ByteArrayOutputStream::TESLinvokeconstructor() {
    return TESLinvokeconstructor(32);
}

ByteArrayOutputStream* ByteArrayOutputStream::TESLinvokeconstructor(int size) {
    OutputStream::TESLinvokeconstructor();
    m_buffer = jnew<JArray<signed char>>(size);
    // An array that could not be had comes back empty; a capacity above its length would have the
    // next writes store past its end.
    m_capacity = size > m_buffer->length ? m_buffer->length : size;
    m_count = 0;
    return this;
}

JavaPtr<::java::lang::String> ByteArrayOutputStream::toString() {
    return jnew<::java::lang::String>(toByteArray());
}

void ByteArrayOutputStream::close() {}

void ByteArrayOutputStream::write(const JavaPtr<JArray<signed char>>& b) {
    OutputStream::write(b);
}

void ByteArrayOutputStream::write(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    tesl::checkByteRange(b, off, len);
    store(b->data + off, len);
}

void ByteArrayOutputStream::write(int v) {
    const auto byte = static_cast<signed char>(v);
    store(&byte, 1);
}

void ByteArrayOutputStream::reset() {
    m_count = 0;
}

int ByteArrayOutputStream::size() {
    return m_count;
}

JavaPtr<JArray<signed char>> ByteArrayOutputStream::toByteArray() {
    JavaPtr<JArray<signed char>> copy = jnewArray<signed char>(m_count);
    if (m_count > 0) std::memcpy(copy->data, m_buffer->data, static_cast<size_t>(m_count));
    return copy;
}

void ByteArrayOutputStream::store(const signed char* bytes, int k) {
    if (k <= 0) return;
    const long long newCount = static_cast<long long>(m_count) + k;
    if (newCount >= m_capacity) {
        if (newCount > JArray<signed char>::maxLength - kGrowthMargin) throw IOException();
        const int newCapacity = static_cast<int>(newCount) + kGrowthMargin;
        // bytes may lie in the buffer itself (a subclass writing its own data), which the resize moves.
        const auto start = reinterpret_cast<uintptr_t>(m_buffer->data);
        const auto offset = reinterpret_cast<uintptr_t>(bytes) - start;
        const bool fromBuffer =
            m_buffer->data != nullptr && offset < static_cast<uintptr_t>(m_buffer->length);
        if (m_buffer->reSize(newCapacity) != newCapacity) throw IOException();
        if (fromBuffer) bytes = m_buffer->data + offset;
        m_capacity = newCapacity;
    }
    std::memmove(m_buffer->data + m_count, bytes, static_cast<size_t>(k));
    m_count = static_cast<int>(newCount);
}

}  // namespace java::io
