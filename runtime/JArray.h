// JArray: the array object of every element type. An array is a length and an owned block of exactly that
// many elements; code reads `length` and indexes `data` (or uses [] and range-for), as the class sources do.
#pragma once

#include <atomic>
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "runtime/Object.h"

// What an instance is called and which cast ids it answers, per element type: `typeId`, `className`,
// `dimensionCount` and `answers(id)`. The primitive element types are below; arrays of references and
// nested arrays add their own specialisations beside them, so JArray and its users stay as they are.
template <class E>
struct JArrayTraits;

namespace tesl {

struct PrimitiveArrayTraits {
    static constexpr int32_t dimensionCount = 1;
};

template <int32_t Id>
struct PrimitiveArrayId : PrimitiveArrayTraits {
    static constexpr int32_t typeId = Id;
    // A primitive array answers its own id only: not Object's, not Smart's.
    static constexpr bool answers(int id) { return id == Id; }
};

}  // namespace tesl

// The small ids replace a hash of the name; 10 and 11 belong to no type.
// clang-format off
template <> struct JArrayTraits<bool> : tesl::PrimitiveArrayId<1> { static constexpr const char* className = "[Z"; };
template <> struct JArrayTraits<signed char> : tesl::PrimitiveArrayId<2> { static constexpr const char* className = "[B"; };
template <> struct JArrayTraits<unsigned short> : tesl::PrimitiveArrayId<3> { static constexpr const char* className = "[C"; };
template <> struct JArrayTraits<short> : tesl::PrimitiveArrayId<4> { static constexpr const char* className = "[S"; };
template <> struct JArrayTraits<int> : tesl::PrimitiveArrayId<5> { static constexpr const char* className = "[I"; };
template <> struct JArrayTraits<long long> : tesl::PrimitiveArrayId<6> { static constexpr const char* className = "[J"; };
template <> struct JArrayTraits<float> : tesl::PrimitiveArrayId<7> { static constexpr const char* className = "[F"; };
template <> struct JArrayTraits<double> : tesl::PrimitiveArrayId<8> { static constexpr const char* className = "[D"; };
template <> struct JArrayTraits<unsigned char> : tesl::PrimitiveArrayId<9> { static constexpr const char* className = "[UB"; };
template <> struct JArrayTraits<unsigned int> : tesl::PrimitiveArrayId<12> { static constexpr const char* className = "[UI"; };
template <> struct JArrayTraits<unsigned long long> : tesl::PrimitiveArrayId<13> { static constexpr const char* className = "[UJ"; };
// clang-format on

template <class E>
class JArray : public java::lang::Object {
    using Traits = JArrayTraits<E>;
    // Primitive blocks come from malloc so that their owners may grow them with realloc.
    static_assert(std::is_trivially_copyable_v<E>,
                  "elements other than primitives need their own storage path");

public:
    static constexpr int32_t TESLclassTypeID = Traits::typeId;
    static constexpr const char* TESLclassName = Traits::className;
    static constexpr int32_t dimensionCount = Traits::dimensionCount;
    // The largest count whose byte size fits in 32 bits; larger requests fail like a failed allocation.
    static constexpr int32_t maxLength = static_cast<int32_t>(INT32_MAX / sizeof(E));

    JArray() noexcept {}
    // n zeroed elements; empty when n is not above 0 or the block cannot be had.
    explicit JArray(int n) noexcept {
        if (n <= 0 || n > maxLength) return;
        data = static_cast<E*>(std::calloc(static_cast<size_t>(n), sizeof(E)));
        if (data != nullptr) length = n;
    }
    JArray(const JArray&) = delete;
    JArray& operator=(const JArray&) = delete;
    ~JArray() override { std::free(data); }

    const char* getClassTypeName() override {
        // Threads may name a shared array at once: the count is written once, atomically, and then only read.
        std::atomic_ref<int32_t> count(m_dimensionCount);
        if (count.load(std::memory_order_acquire) != dimensionCount)
            count.store(dimensionCount, std::memory_order_release);
        return TESLclassName;
    }
    void* castAsTypeID(int typeId) override { return castAsTypeIDS(this, typeId); }
    static void* castAsTypeIDS(JArray* p, int typeId) {
        if (Traits::answers(typeId)) return p;
        return p ? nullptr : ::tesl::notAnswered();
    }

    // Grows by exactly one element; when the block cannot be had the array is unchanged and value is dropped.
    void append(E value) {
        if (length >= maxLength) return;
        E* grown = static_cast<E*>(std::realloc(data, sizeof(E) * static_cast<size_t>(length + 1)));
        if (grown == nullptr) return;
        grown[length] = value;
        data = grown;
        ++length;
    }

    // Exactly n elements, new ones zeroed; n, or 0 with the array unchanged when n is negative or too
    // large or the block cannot be had. reSize(0) leaves a block of no elements on every allocator.
    int reSize(int n) {
        if (n < 0 || n > maxLength) return 0;
        if (n == 0) {
            // realloc(p, 0) may free p and answer null, so the empty block is asked for as one byte.
            void* empty = std::realloc(data, 1);
            if (empty == nullptr) return 0;
            data = static_cast<E*>(empty);
            length = 0;
            return 0;
        }
        E* block = static_cast<E*>(std::realloc(data, sizeof(E) * static_cast<size_t>(n)));
        if (block == nullptr) return 0;
        if (n > length)
            std::memset(static_cast<void*>(block + length), 0, sizeof(E) * static_cast<size_t>(n - length));
        data = block;
        length = n;
        return length;
    }

    E& operator[](int index) noexcept {
        assert(index >= 0 && index < length && "array index out of range: test it against length first");
        return data[index];
    }
    const E& operator[](int index) const noexcept {
        assert(index >= 0 && index < length && "array index out of range: test it against length first");
        return data[index];
    }
    E* begin() noexcept { return data; }
    E* end() noexcept { return data + length; }
    const E* begin() const noexcept { return data; }
    const E* end() const noexcept { return data + length; }

    // Public, as the class sources read them; a stream that grows a byte array's block with realloc
    // writes both.
    int32_t length = 0;
    E* data = nullptr;
};
