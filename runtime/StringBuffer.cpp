#include "runtime/StringBuffer.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>

#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/Double.h"
#include "runtime/Long.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"
#include "runtime/StringIndexOutOfBoundsException.h"

namespace java::lang {

namespace {

// The block holds capacity + 1 units, and its byte size must fit the allocator's arithmetic.
constexpr int64_t kMaxCapacity = INT32_MAX - 1;

const unsigned short kNull[] = {'n', 'u', 'l', 'l'};
const unsigned short kTrue[] = {'t', 'r', 'u', 'e'};
const unsigned short kFalse[] = {'f', 'a', 'l', 's', 'e'};

// A block that cannot be had throws, as the allocation of any object does; the buffer is then unchanged.
unsigned short* allocateBlock(int64_t capacity) {
    if (capacity < 0 || capacity > kMaxCapacity) throw std::bad_alloc();
    void* block = std::malloc(sizeof(unsigned short) * static_cast<size_t>(capacity + 1));
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<unsigned short*>(block);
}

void copyUnits(unsigned short* to, const unsigned short* from, int64_t count) {
    if (count > 0) std::memcpy(to, from, sizeof(unsigned short) * static_cast<size_t>(count));
}

}  // namespace

StringBuffer::~StringBuffer() {
    std::free(m_units);
    std::free(m_eightBit);
    m_units = nullptr;
    m_count = 0;
}

StringBuffer* StringBuffer::TESLinvokeconstructor() {
    return TESLinvokeconstructor(16);
}

StringBuffer* StringBuffer::TESLinvokeconstructor(int capacity) {
    Object::TESLinvokeconstructor();
    capacity = std::max(capacity, 0);
    m_units = allocateBlock(capacity);
    m_units[0] = 0;
    m_capacity = capacity;
    m_room = capacity;
    return this;
}

StringBuffer* StringBuffer::TESLinvokeconstructor(const JavaPtr<String>& text) {
    Object::TESLinvokeconstructor();
    if (!text) throw NullPointerException();
    const int32_t count = text->length();
    m_units = allocateBlock(int64_t{count} + 16);
    copyUnits(m_units, text->unitData(), count);
    m_units[count] = 0;
    m_capacity = count + 16;
    m_room = m_capacity;
    m_count = count;
    return this;
}

void StringBuffer::textChanged() {
    if (m_eightBit == nullptr) return;
    std::free(m_eightBit);
    m_eightBit = nullptr;
}

void StringBuffer::terminate() {
    if (m_units != nullptr) m_units[m_count] = 0;
}

void StringBuffer::setCapacity(int64_t newCapacity, int64_t room) {
    if (newCapacity > m_room) {
        room = std::max(room, newCapacity);
        unsigned short* block = allocateBlock(room);
        copyUnits(block, m_units, m_count);
        std::free(m_units);
        m_units = block;
        m_room = static_cast<int32_t>(room);
    }
    m_capacity = static_cast<int32_t>(newCapacity);
}

namespace {

// The room a block grown by an append or insert gets: half as much again, so that a buffer built unit by
// unit copies its text a logarithmic number of times, not once per unit.
int64_t spareRoomFor(int64_t needed) {
    return std::max(needed, std::min(needed + needed / 2 + 16, kMaxCapacity));
}

}  // namespace

unsigned short StringBuffer::charAt(int index) const {
    if (index < 0 || index >= m_count) throw StringIndexOutOfBoundsException();
    return m_units[index];
}

void StringBuffer::setCharAt(int index, unsigned short unit) {
    if (index < 0 || index >= m_count) throw StringIndexOutOfBoundsException();
    m_units[index] = unit;
    textChanged();
}

void StringBuffer::getChars(int srcBegin, int srcEnd, const JavaPtr<JArray<unsigned short>>& dst,
                            int dstBegin) const {
    if (srcBegin >= srcEnd) return;
    if (srcBegin < 0 || srcEnd > m_count) throw StringIndexOutOfBoundsException();
    if (!dst) throw NullPointerException();
    const int count = srcEnd - srcBegin;
    if (dstBegin < 0 || dstBegin > dst->length - count) throw ArrayIndexOutOfBoundsException();
    copyUnits(dst->data + dstBegin, m_units + srcBegin, count);
}

void StringBuffer::ensureCapacity(int minimumCapacity) {
    if (m_capacity >= minimumCapacity) return;
    const int64_t doubled = std::min((int64_t{m_capacity} + 1) * 2, kMaxCapacity);
    const int64_t grown = std::max<int64_t>(minimumCapacity, doubled);
    setCapacity(grown, grown);
    terminate();
}

void StringBuffer::setLength(int newLength) {
    if (newLength < 0) throw StringIndexOutOfBoundsException();
    if (newLength > m_count) {
        if (newLength > m_capacity) setCapacity(newLength, newLength);
        std::memset(m_units + m_count, 0, sizeof(unsigned short) * static_cast<size_t>(newLength - m_count));
    }
    m_count = newLength;
    textChanged();
}

// An append that does not fit leaves no spare room: a buffer grown only by appends regrows at each one.
void StringBuffer::appendUnits(const unsigned short* units, int32_t count) {
    const int64_t grown = int64_t{m_count} + count;
    if (grown > m_capacity) {
        setCapacity(grown, spareRoomFor(grown));
        copyUnits(m_units + m_count, units, count);
        m_units[grown] = 0;
    } else {
        copyUnits(m_units + m_count, units, count);
    }
    m_count = static_cast<int32_t>(grown);
    textChanged();
}

void StringBuffer::appendText(const JavaPtr<String>& text) {
    if (!text) {
        appendUnits(kNull, 4);
        return;
    }
    appendUnits(text->unitData(), text->length());
}

// The offset counts in the room test, so an insertion away from the start may replace a block that had
// room, and the new block can be smaller than the old one.
void StringBuffer::insertUnits(int offset, const unsigned short* units, int32_t count) {
    if (offset < 0 || offset > m_count) throw StringIndexOutOfBoundsException();
    if (count == 0) return;
    const int64_t grown = int64_t{m_count} + count;
    if (int64_t{offset} + grown > m_capacity) {
        // The reported capacity becomes exactly the new length, smaller than before perhaps; the block
        // is replaced only when it lacks the room.
        if (grown > m_room) {
            const int64_t room = spareRoomFor(grown);
            unsigned short* block = allocateBlock(room);
            copyUnits(block, m_units, offset);
            copyUnits(block + offset, units, count);
            copyUnits(block + offset + count, m_units + offset, m_count - offset);
            std::free(m_units);
            m_units = block;
            m_room = static_cast<int32_t>(room);
        } else {
            std::memmove(m_units + offset + count, m_units + offset,
                         sizeof(unsigned short) * static_cast<size_t>(m_count - offset));
            copyUnits(m_units + offset, units, count);
        }
        m_units[grown] = 0;
        m_capacity = static_cast<int32_t>(grown);
    } else {
        std::memmove(m_units + offset + count, m_units + offset,
                     sizeof(unsigned short) * static_cast<size_t>(m_count - offset));
        copyUnits(m_units + offset, units, count);
    }
    m_count = static_cast<int32_t>(grown);
    textChanged();
}

void StringBuffer::insertText(int offset, const JavaPtr<String>& text) {
    if (!text) {
        insertUnits(offset, kNull, 4);
        return;
    }
    insertUnits(offset, text->unitData(), text->length());
}

StringBuffer::Chain StringBuffer::append(const JavaPtr<String>& text) {
    appendText(text);
    return Chain(this);
}

StringBuffer::Chain StringBuffer::append(const JavaPtr<Object>& object) {
    appendText(object ? object->toString() : JavaPtr<String>());
    return Chain(this);
}

StringBuffer::Chain StringBuffer::append(const JavaPtr<JArray<unsigned short>>& units) {
    appendText(jnew<String>(units));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::append(const JavaPtr<JArray<unsigned short>>& units, int offset,
                                         int count) {
    appendText(jnew<String>(units, offset, count));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::appendUnit(unsigned short unit) {
    appendUnits(&unit, 1);
    return Chain(this);
}

StringBuffer::Chain StringBuffer::append(char byte) {
    const auto unit = static_cast<unsigned short>(static_cast<unsigned char>(byte));
    appendUnits(&unit, 1);
    return Chain(this);
}

StringBuffer::Chain StringBuffer::append(bool value) {
    if (value)
        appendUnits(kTrue, 4);
    else
        appendUnits(kFalse, 5);
    return Chain(this);
}

StringBuffer::Chain StringBuffer::append(int value) {
    appendText(Long::toString(value, 10));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::append(long long value) {
    appendText(Long::toString(value, 10));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::append(float value) {
    appendText(Double::toString(static_cast<double>(value)));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::append(double value) {
    appendText(Double::toString(value));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::insert(int offset, const JavaPtr<String>& text) {
    insertText(offset, text);
    return Chain(this);
}

StringBuffer::Chain StringBuffer::insert(int offset, const JavaPtr<Object>& object) {
    insertText(offset, object ? object->toString() : JavaPtr<String>());
    return Chain(this);
}

StringBuffer::Chain StringBuffer::insert(int offset, const JavaPtr<JArray<unsigned short>>& units) {
    insertText(offset, jnew<String>(units));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::insert(int offset, unsigned short unit) {
    insertUnits(offset, &unit, 1);
    return Chain(this);
}

StringBuffer::Chain StringBuffer::insert(int offset, bool value) {
    if (value)
        insertUnits(offset, kTrue, 4);
    else
        insertUnits(offset, kFalse, 5);
    return Chain(this);
}

StringBuffer::Chain StringBuffer::insert(int offset, int value) {
    insertText(offset, Long::toString(value, 10));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::insert(int offset, long long value) {
    insertText(offset, Long::toString(value, 10));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::insert(int offset, float value) {
    insertText(offset, Double::toString(static_cast<double>(value)));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::insert(int offset, double value) {
    insertText(offset, Double::toString(value));
    return Chain(this);
}

StringBuffer::Chain StringBuffer::deleteJ(int start, int end) {
    end = std::min(end, m_count);
    if (start < 0 || start > end) throw StringIndexOutOfBoundsException();
    if (start < end) {
        std::memmove(m_units + start, m_units + end,
                     sizeof(unsigned short) * static_cast<size_t>(m_count - end));
        m_count -= end - start;
    }
    terminate();
    textChanged();
    return Chain(this);
}

StringBuffer::Chain StringBuffer::deleteCharAt(int index) {
    if (index < 0 || index >= m_count) throw StringIndexOutOfBoundsException();
    std::memmove(m_units + index, m_units + index + 1,
                 sizeof(unsigned short) * static_cast<size_t>(m_count - index - 1));
    --m_count;
    terminate();
    textChanged();
    return Chain(this);
}

StringBuffer::Chain StringBuffer::reverse() {
    if (m_units != nullptr && m_count > 1) {
        std::reverse(m_units, m_units + m_count);
        textChanged();
    }
    return Chain(this);
}

JavaPtr<String> StringBuffer::toString() {
    if (m_units == nullptr) return jnew<String>();
    return jnew<String>(static_cast<const unsigned short*>(m_units), m_count);
}

char* StringBuffer::val() {
    if (m_eightBit != nullptr) return m_eightBit;
    auto* text = static_cast<char*>(std::malloc(static_cast<size_t>(m_count) + 1));
    if (text == nullptr) throw std::bad_alloc();
    for (int32_t i = 0; i < m_count; ++i) text[i] = static_cast<char>(m_units[i] & 0xFF);
    text[m_count] = '\0';
    m_eightBit = text;
    return text;
}

}  // namespace java::lang
