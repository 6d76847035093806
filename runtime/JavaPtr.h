// JavaPtr: the counted reference through which all code holds objects. It keeps the counted pointer
// (the object's Smart part) and the typed pointer (the part of static type T), so fields of
// forward-declared classes compile.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "runtime/Smart.h"

template <class T, bool Counted = true>
class JavaPtr {
public:
    JavaPtr() noexcept = default;
    JavaPtr(std::nullptr_t) noexcept {}
    JavaPtr(T* p) : m_typed(p) { m_RtypeSetAndAcquire(&m_counted, static_cast<java::lang::Smart*>(p), p); }
    JavaPtr(const JavaPtr& other) noexcept : m_typed(other.m_typed) {
        m_RtypeSetAndAcquire(&m_counted, other.m_counted, other.m_typed);
    }
    JavaPtr(JavaPtr&& other) noexcept : m_counted(other.m_counted), m_typed(other.m_typed) {
        other.m_counted = nullptr;
        other.m_typed = nullptr;
    }
    template <class U>
    requires(std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>) JavaPtr(const JavaPtr<U, Counted>& other)
    noexcept : m_typed(other.get()) { m_RtypeSetAndAcquire(&m_counted, other.counted(), m_typed); }
    template <class U>
    requires(std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>) JavaPtr(JavaPtr<U, Counted>&& other)
    noexcept : m_counted(other.counted()), m_typed(other.get()) { other.forget(); }
    // A reference from a counted pointer and a typed pointer into the same object, as a cast makes it:
    // a null typed pointer gives a null reference.
    JavaPtr(java::lang::Smart* counted, T* typed) noexcept : m_typed(typed) {
        m_RtypeSetAndAcquire(&m_counted, counted, typed);
    }
    ~JavaPtr() { releaseCounted(m_counted); }

    // Takes over a count already held on the object (a constructor pin) instead of adding one.
    static JavaPtr adopt(T* p) noexcept {
        JavaPtr result;
        result.m_counted = p;
        result.m_typed = p;
        return result;
    }

    JavaPtr& operator=(const JavaPtr& other) noexcept {
        if (this == &other) return *this;
        m_typed = other.m_typed;
        assign(this, const_cast<JavaPtr*>(&other), &m_counted, other.m_counted);
        return *this;
    }
    JavaPtr& operator=(JavaPtr&& other) noexcept {
        if (this == &other) return *this;
        java::lang::Smart* old = m_counted;
        m_counted = other.m_counted;
        m_typed = other.m_typed;
        other.m_counted = nullptr;
        other.m_typed = nullptr;
        releaseCounted(old);
        return *this;
    }
    JavaPtr& operator=(std::nullptr_t) noexcept {
        m_typed = nullptr;
        java::lang::Smart* old = m_counted;
        m_counted = nullptr;
        releaseCounted(old);
        return *this;
    }

    T* operator->() const noexcept { return m_typed; }
    T& operator*() const noexcept { return *m_typed; }
    T* get() const noexcept { return m_typed; }
    java::lang::Smart* counted() const noexcept { return m_counted; }
    explicit operator bool() const noexcept { return m_counted != nullptr; }

    template <class U, bool C>
    bool operator==(const JavaPtr<U, C>& other) const noexcept {
        return m_counted == other.counted();
    }
    bool operator==(std::nullptr_t) const noexcept { return m_counted == nullptr; }

    // Hands the pointers over without touching the count (for moves between reference types).
    void forget() noexcept {
        m_counted = nullptr;
        m_typed = nullptr;
    }

private:
    java::lang::Smart* m_counted = nullptr;
    T* m_typed = nullptr;
};

template <class E>
class JArray;

namespace tesl {

// The dimensions an object must have to be handed out as a T: 0 for a class or an interface.
template <class T>
inline constexpr int32_t castDimensions = 0;
template <class E>
inline constexpr int32_t castDimensions<JArray<E>> = JArray<E>::dimensionCount;

// The part of p's object that is a T, or null. An array answers every id its element class answers, so
// the id alone would hand out a String[] as a String, or an int[][] as an int[], and the caller would read
// one layout as the other: the object must also have T's dimensions, or more for an Object array.
template <class T>
void* typedPart(java::lang::Smart* p) {
    void* part = recastObj(p, T::TESLclassTypeID);
    if (part == nullptr) return nullptr;
    constexpr int32_t wanted = castDimensions<T>;
    constexpr bool ofObject = T::TESLclassTypeID == classTypeIdOf("java.lang.Object");
    constexpr bool ofSmart = T::TESLclassTypeID == java::lang::Smart::TESLclassTypeID;
    // Every object, an array too, is an Object and a Smart.
    if constexpr (wanted == 0 && (ofObject || ofSmart)) return part;
    const int32_t own = dimensionCountOf(p);
    return own == wanted || (ofObject && own > wanted) ? part : nullptr;
}

}  // namespace tesl

// The cast of the class sources: the part of r's object that has type T, or a null reference.
template <class T, class U, bool C>
JavaPtr<T, C> jcast(const JavaPtr<U, C>& r) {
    if (!r) return JavaPtr<T, C>();
    return JavaPtr<T, C>(r.counted(), static_cast<T*>(tesl::typedPart<T>(r.counted())));
}

// The same test as jcast: whether the cast gives a reference.
template <class T, class U, bool C>
bool jinstanceof(const JavaPtr<U, C>& r) {
    return r && tesl::typedPart<T>(r.counted()) != nullptr;
}
