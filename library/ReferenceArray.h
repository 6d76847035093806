// A stand-in for the runtime's arrays of references until JArray holds counted elements: the same
// `length`, `data`, [] and append, so the collections switch by renaming the type.
#pragma once

#include <cassert>
#include <cstdint>
#include <new>
#include <utility>

#include "runtime/Object.h"

template <class E>
class ReferenceArray : public java::lang::Object {
public:
    ReferenceArray() noexcept {}
    explicit ReferenceArray(int n) noexcept {
        if (n <= 0 || n > maxLength) return;
        data = new (std::nothrow) E[static_cast<size_t>(n)];
        if (data != nullptr) length = n;
    }
    ReferenceArray(const ReferenceArray&) = delete;
    ReferenceArray& operator=(const ReferenceArray&) = delete;
    ~ReferenceArray() override {
        for (int32_t i = length - 1; i >= 0; --i) data[i] = nullptr;
        delete[] data;
    }

    static constexpr int32_t maxLength = static_cast<int32_t>(INT32_MAX / sizeof(E));

    void append(E value) {
        if (length >= maxLength) return;
        E* grown = new (std::nothrow) E[static_cast<size_t>(length) + 1];
        if (grown == nullptr) return;
        for (int32_t i = 0; i < length; ++i) grown[i] = std::move(data[i]);
        grown[length] = std::move(value);
        E* old = data;
        data = grown;
        ++length;
        delete[] old;
    }

    E& operator[](int index) noexcept {
        assert(index >= 0 && index < length && "array index out of range: test it against length first");
        return data[index];
    }

    int32_t length = 0;
    E* data = nullptr;
};
