// Small runtime services: raw output, aligned blocks and the throw helpers.
#pragma once

#include "runtime/JavaPtr.h"

namespace java::lang {
class String;
}

// Writes the C string to standard output as it stands.
void print_native(const char* text);
// Writes the string's text and a line feed.
void print_native(JavaPtr<java::lang::String> text);

[[noreturn]] void throwArrayException(int index, int length);
void checkNullPointer(void* pointer);
[[noreturn]] void throwClassCastException();

// A block of size bytes whose address is a multiple of alignment (a power of two, at most 128); the
// distance back to the real block start is kept in the byte below the result.
void* aligned_malloc(int size, int alignment);
void aligned_free(void* pointer);

void gcFinalCleanup();
