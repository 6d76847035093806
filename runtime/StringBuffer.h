// java.lang.StringBuffer: mutable UTF-16 text in one malloc'd block with room for at least capacity + 1
// units. Each kind of change has its own growth rule, and the rules show through capacity(): only
// ensureCapacity grows geometrically, appends and inserts that do not fit take exactly what they need.
// The block itself may be larger than the reported capacity, so that a buffer grown by appends does not
// copy itself on every one. A buffer is used by one thread at a time; it takes no monitor.
#pragma once

#include <cassert>
#include <cstdint>
#include <type_traits>

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::lang {

class String;

class StringBuffer : public Object {
    TESL_CLASS(StringBuffer, "java.lang.StringBuffer", Object)
public:
    // What the changing methods return: this buffer, for the next call of a chain. Discarded or chained
    // it costs nothing; kept in a JavaPtr it becomes a counted reference. It holds no count itself, so it
    // is not for keeping (auto): the buffer may die under it.
    class Chain {
    public:
        Chain(const Chain&) = delete;
        Chain& operator=(const Chain&) = delete;
        StringBuffer* operator->() const noexcept { return m_buffer; }
        template <class T>
        requires std::is_convertible_v<StringBuffer*, T*>
        operator JavaPtr<T>() const { return m_buffer->self(); }

    private:
        friend class StringBuffer;
        explicit Chain(StringBuffer* buffer) noexcept : m_buffer(buffer) {}
        StringBuffer* m_buffer;
    };

    StringBuffer() noexcept {}
    StringBuffer(const StringBuffer&) = delete;
    StringBuffer& operator=(const StringBuffer&) = delete;
    ~StringBuffer() override;

    // Capacity 16.
    StringBuffer* TESLinvokeconstructor();
    // Capacity n; a negative n counts as 0.
    StringBuffer* TESLinvokeconstructor(int capacity);
    // The text's units with 16 units of room; a null text throws NullPointerException.
    StringBuffer* TESLinvokeconstructor(const JavaPtr<String>& text);

    int32_t length() const { return m_count; }
    int32_t capacity() const { return m_capacity; }
    // Indexes outside the text throw StringIndexOutOfBoundsException.
    unsigned short charAt(int index) const;
    void setCharAt(int index, unsigned short unit);
    // Units [srcBegin, srcEnd) into dst from dstBegin; nothing when srcBegin >= srcEnd. A source range
    // outside the text throws StringIndexOutOfBoundsException, a null dst NullPointerException, a
    // destination range outside dst ArrayIndexOutOfBoundsException.
    void getChars(int srcBegin, int srcEnd, const JavaPtr<JArray<unsigned short>>& dst, int dstBegin) const;
    // At least min units of room, growing to (capacity + 1) * 2 when that is more.
    void ensureCapacity(int minimumCapacity);
    // Longer: zero units are added (the block grows to exactly n when needed). Shorter: the text is cut and
    // the block stays. A negative length throws StringIndexOutOfBoundsException.
    void setLength(int newLength);

    // Each appends the text form of its argument; null references append "null".
    Chain append(const JavaPtr<String>& text);
    Chain append(const JavaPtr<Object>& object);
    Chain append(const JavaPtr<JArray<unsigned short>>& units);
    Chain append(const JavaPtr<JArray<unsigned short>>& units, int offset, int count);
    // Inline while the block has room: text built unit by unit is this class's busiest use.
    Chain append(unsigned short unit) {
        if (m_count >= m_room || m_eightBit != nullptr) return appendUnit(unit);
        m_units[m_count++] = unit;
        // Growth rule 2 as capacity() shows it: an append that does not fit leaves no room.
        if (m_count > m_capacity) m_capacity = m_count;
        return Chain(this);
    }
    // So that u'x' appends the character rather than its code in decimal.
    Chain append(char16_t unit) { return append(static_cast<unsigned short>(unit)); }
    // One unit: the byte read as unsigned (0xC4 gives U+00C4).
    Chain append(char byte);
    Chain append(bool value);
    // A C string would convert to bool and append "true": make a String of it first.
    Chain append(const char* text) = delete;
    Chain append(int value);
    Chain append(long long value);
    Chain append(float value);
    Chain append(double value);

    // Each inserts the text form of its argument before unit offset; an offset outside [0, length()] throws
    // StringIndexOutOfBoundsException.
    Chain insert(int offset, const JavaPtr<String>& text);
    Chain insert(int offset, const JavaPtr<Object>& object);
    Chain insert(int offset, const JavaPtr<JArray<unsigned short>>& units);
    Chain insert(int offset, unsigned short unit);
    Chain insert(int offset, char16_t unit) { return insert(offset, static_cast<unsigned short>(unit)); }
    Chain insert(int offset, bool value);
    Chain insert(int offset, const char* text) = delete;
    Chain insert(int offset, int value);
    Chain insert(int offset, long long value);
    Chain insert(int offset, float value);
    Chain insert(int offset, double value);

    // Removes units [start, end); an end past the text counts as its end. A negative start or one past end
    // throws StringIndexOutOfBoundsException.
    Chain deleteJ(int start, int end);
    Chain deleteCharAt(int index);
    Chain reverse();

    // A copy: later changes to the buffer do not reach it.
    JavaPtr<String> toString() override;
    // The low byte of each unit, 0-terminated; valid until the buffer next changes or dies.
    char* val();

    // The text, for runtime code that reads it directly (length() units).
    const unsigned short* unitData() const { return m_units; }

private:
    JavaPtr<StringBuffer> self() {
        assert(m_referenceCount.load(std::memory_order_relaxed) > 0 &&
               "a buffer hands out references to itself: create it with jnew");
        // Inline, where the constructor would call out for the count.
        acquireCounted(this);
        return JavaPtr<StringBuffer>::adopt(this);
    }
    Chain appendUnit(unsigned short unit);
    void appendUnits(const unsigned short* units, int32_t count);
    void appendText(const JavaPtr<String>& text);
    void insertUnits(int offset, const unsigned short* units, int32_t count);
    void insertText(int offset, const JavaPtr<String>& text);
    // Makes capacity() report newCapacity, moving the text to a block with room for at least
    // `room` units when the present block is too small for newCapacity.
    void setCapacity(int64_t newCapacity, int64_t room);
    void terminate();
    void textChanged();

    unsigned short* m_units = nullptr;
    // The capacity the growth rules give and capacity() reports; the block holds m_room + 1 units, and
    // m_capacity <= m_room always.
    int32_t m_capacity = 0;
    int32_t m_room = 0;
    int32_t m_count = 0;
    // Made by val(), dropped at the next change.
    char* m_eightBit = nullptr;
};

}  // namespace java::lang
