#include "runtime/RuntimeUtilities.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/ClassCastException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"

void print_native(const char* text) {
    if (text == nullptr) return;
    std::printf("%s", text);
    std::fflush(stdout);
}

void print_native(JavaPtr<java::lang::String> text) {
    JavaPtr<java::lang::String> line = text + static_cast<unsigned short>(10);
    // Units above 0xFF print as their low byte, as every 8-bit copy does; a 0 unit must not cut the line.
    char* bytes = line->val();
    std::fwrite(bytes, 1, static_cast<size_t>(line->length()), stdout);
    std::fflush(stdout);
}

void throwArrayException(int, int) {
    throw java::lang::ArrayIndexOutOfBoundsException();
}

void checkNullPointer(void* pointer) {
    if (pointer == nullptr) throw java::lang::NullPointerException();
}

void throwClassCastException() {
    throw java::lang::ClassCastException();
}

void* aligned_malloc(int size, int alignment) {
    if (size < 0 || alignment <= 0 || alignment > 128 || (alignment & (alignment - 1)) != 0) return nullptr;
    auto* block =
        static_cast<unsigned char*>(std::malloc(static_cast<size_t>(size) + static_cast<size_t>(alignment)));
    if (block == nullptr) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t aligned =
        (start / static_cast<uintptr_t>(alignment) + 1) * static_cast<uintptr_t>(alignment);
    auto* result = reinterpret_cast<unsigned char*>(aligned);
    result[-1] = static_cast<unsigned char>(aligned - start);
    return result;
}

void aligned_free(void* pointer) {
    if (pointer == nullptr) return;
    auto* bytes = static_cast<unsigned char*>(pointer);
    std::free(bytes - bytes[-1]);
}

void gcFinalCleanup() {}
