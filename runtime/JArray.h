// JArray: the array object of every element type. An array is a length and an owned block of exactly that
// many elements; code reads `length` and indexes `data` (or uses [] and range-for), as the class sources do.
// Elements are primitives, or counted references (JavaPtr) to a class, an interface or another array.
#pragma once

#include <atomic>
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "runtime/Object.h"

// What an instance is called and which cast ids it answers, per element type: `typeId`, `className`,
// `dimensionCount` and `answers(id)`. The primitive element types come first, then arrays of references
// and nested arrays, so JArray and its users stay as they are.
template <class E>
struct JArrayTraits;

template <class E>
class JArray;

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

namespace tesl {

template <class E>
inline constexpr bool isReferenceElement = false;
template <class X>
inline constexpr bool isReferenceElement<JavaPtr<X>> = true;

}  // namespace tesl

// An array of a class or interface X is named after X and answers exactly the ids X answers: X's own
// probe, asked with a null pointer, says which. Arrays thus agree with their element class by
// construction; X's id serves as the array's (a cast by id cannot tell the two apart, instanceofArray can).
template <class X>
struct JArrayTraits<JavaPtr<X>> {
    static constexpr int32_t dimensionCount = 1;
    static constexpr int32_t typeId = X::TESLclassTypeID;
    static constexpr const char* className = X::TESLclassName;
    static bool answers(int id) { return X::castAsTypeIDS(nullptr, id) == nullptr; }
};

// An array of arrays has one dimension more than its rows and the name, id and casts of the innermost
// element type.
template <class Row>
struct JArrayTraits<JavaPtr<JArray<Row>>> {
    static constexpr int32_t dimensionCount = JArrayTraits<Row>::dimensionCount + 1;
    static constexpr int32_t typeId = JArrayTraits<Row>::typeId;
    static constexpr const char* className = JArrayTraits<Row>::className;
    static bool answers(int id) { return JArrayTraits<Row>::answers(id); }
};

// The glyph tables of the bitmap font: named like an array of int arrays, as they always have been. Its id
// is that of its rows (12), not an int array's (5): with 5 it answered a cast to its own type with null.
template <>
struct JArrayTraits<JavaPtr<JArray<unsigned int>>> {
    static constexpr int32_t dimensionCount = 2;
    static constexpr int32_t typeId = JArrayTraits<unsigned int>::typeId;
    static constexpr const char* className = "[I";
    static bool answers(int id) { return JArrayTraits<unsigned int>::answers(id); }
};

namespace tesl {

// What code holding an array of references only as an Object (System.arraycopy through Object) needs:
// the Smart part of each element, and a store that takes a reference only when the element type does.
// Arrays of primitives do not have it.
class ReferenceArrayAccess {
public:
    virtual int32_t referenceCount() = 0;
    virtual java::lang::Smart* referenceAt(int32_t index) = 0;
    // Stores the reference (null is always taken), or stores nothing and answers false when the object is
    // not of the element type by the rules of instanceofArray.
    virtual bool storeReference(int32_t index, java::lang::Smart* counted) = 0;

protected:
    ~ReferenceArrayAccess() = default;
};

template <class X>
inline constexpr bool isArrayClass = false;
template <class R>
inline constexpr bool isArrayClass<JArray<R>> = true;

// The part of type X of a non-null object, or null when the object is not an X.
template <class X>
X* referenceAs(java::lang::Smart* counted) {
    if constexpr (std::is_same_v<X, java::lang::Object>) {
        // Every object is an Object, arrays of primitives too, though they answer no id but their own.
        return dynamic_cast<java::lang::Object*>(counted);
    } else {
        int32_t dimensions = 0;
        if constexpr (isArrayClass<X>) dimensions = X::dimensionCount;
        if (!instanceofArray(counted, X::TESLclassTypeID, dimensions)) return nullptr;
        return static_cast<X*>(counted->castAsTypeID(X::TESLclassTypeID));
    }
}

template <class Array, class E>
class ReferenceAccessBase {};

template <class Array, class X>
class ReferenceAccessBase<Array, JavaPtr<X>> : public ReferenceArrayAccess {
public:
    int32_t referenceCount() override { return self().length; }
    java::lang::Smart* referenceAt(int32_t index) override { return self().data[index].counted(); }
    bool storeReference(int32_t index, java::lang::Smart* counted) override {
        if (counted == nullptr) {
            self().data[index] = nullptr;
            return true;
        }
        X* typed = referenceAs<X>(counted);
        if (typed == nullptr) return false;
        self().data[index] = JavaPtr<X>(counted, typed);
        return true;
    }

protected:
    ~ReferenceAccessBase() = default;

private:
    Array& self() { return static_cast<Array&>(*this); }
};

}  // namespace tesl

template <class E>
class JArray : public java::lang::Object, public tesl::ReferenceAccessBase<JArray<E>, E> {
    using Traits = JArrayTraits<E>;
    // References are counted: their blocks are made with new[] and each element is released on the way
    // out. Primitive blocks come from malloc so that their owners may grow them with realloc.
    static constexpr bool kCounted = tesl::isReferenceElement<E>;
    static_assert(kCounted || std::is_trivially_copyable_v<E>,
                  "elements are primitives or JavaPtr references");

public:
    static constexpr int32_t TESLclassTypeID = Traits::typeId;
    static constexpr const char* TESLclassName = Traits::className;
    static constexpr int32_t dimensionCount = Traits::dimensionCount;
    // The largest count whose byte size fits in 32 bits; larger requests fail like a failed allocation.
    static constexpr int32_t maxLength = static_cast<int32_t>(INT32_MAX / sizeof(E));

    JArray() noexcept {}
    // n zeroed (or null) elements; empty when n is not above 0 or the block cannot be had. This quiet
    // form is for callers to whom an empty array is a valid answer; a caller that needs all n elements
    // makes the array with jnewArray, which throws instead.
    explicit JArray(int n) noexcept {
        if (n <= 0 || n > maxLength) return;
        data = allocateBlock(n);
        if (data != nullptr) length = n;
    }
    JArray(const JArray&) = delete;
    JArray& operator=(const JArray&) = delete;
    ~JArray() override {
        if constexpr (kCounted) {
            // Last first: rows of an array of arrays, and what only they hold, go in turn.
            for (int32_t i = length - 1; i >= 0; --i) data[i] = nullptr;
            delete[] data;
        } else {
            std::free(data);
        }
    }

    const char* getClassTypeName() override {
        // Threads may name a shared array at once: the count is written once, atomically, and then only read.
        std::atomic_ref<int32_t> count(m_dimensionCount);
        if (count.load(std::memory_order_acquire) != dimensionCount)
            count.store(dimensionCount, std::memory_order_release);
        return TESLclassName;
    }
    void* castAsTypeID(int typeId) override { return castAsTypeIDS(this, typeId); }
    // The array itself for every id it answers, except Smart's, which gets the Smart part as from any
    // object: the array's own address there would be a wrong Smart pointer.
    static void* castAsTypeIDS(JArray* p, int typeId) {
        if (!Traits::answers(typeId)) return p ? nullptr : ::tesl::notAnswered();
        if (p != nullptr && typeId == java::lang::Smart::TESLclassTypeID)
            return static_cast<java::lang::Smart*>(p);
        return p;
    }

    // Grows by exactly one element; when the block cannot be had the array is unchanged and value is dropped.
    // References are moved into the new block, so the counts end as they were plus one for value.
    void append(E value) {
        if (length >= maxLength) return;
        if constexpr (kCounted) {
            E* grown = allocateBlock(length + 1);
            if (grown == nullptr) return;
            for (int32_t i = 0; i < length; ++i) grown[i] = std::move(data[i]);
            grown[length] = std::move(value);
            E* old = data;
            data = grown;
            ++length;
            delete[] old;
        } else {
            E* grown = static_cast<E*>(std::realloc(data, sizeof(E) * static_cast<size_t>(length + 1)));
            if (grown == nullptr) return;
            grown[length] = value;
            data = grown;
            ++length;
        }
    }

    // Exactly n elements, new ones zeroed; n, or 0 with the array unchanged when n is negative or too
    // large or the block cannot be had. reSize(0) leaves a block of no elements on every allocator.
    // Arrays of references have none: their users build a longer array and copy.
    int reSize(int n) requires(!kCounted) {
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

private:
    static E* allocateBlock(int n) noexcept {
        if constexpr (kCounted)
            return new (std::nothrow) E[static_cast<size_t>(n)];
        else
            return static_cast<E*>(std::calloc(static_cast<size_t>(n), sizeof(E)));
    }
};

// An array of exactly n zeroed (or null) elements, for callers that cannot go on without them: a
// negative or too large n throws std::bad_array_new_length, a block that cannot be had std::bad_alloc,
// as the allocation of any object does.
template <class E>
JavaPtr<JArray<E>> jnewArray(int n) {
    if (n < 0 || n > JArray<E>::maxLength) throw std::bad_array_new_length();
    JavaPtr<JArray<E>> array = jnew<JArray<E>>(n);
    if (array->length != n) throw std::bad_alloc();
    return array;
}
