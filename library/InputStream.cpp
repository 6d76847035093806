#include "library/InputStream.h"

#include "library/StreamChecks.h"
#include "runtime/IOException.h"
#include "runtime/NullPointerException.h"

namespace java::io {

int InputStream::available() {
    return 0;
}

void InputStream::close() {}

void InputStream::mark(int) {}

bool InputStream::markSupported() {
    return false;
}

int InputStream::read(const JavaPtr<JArray<signed char>>& b) {
    if (!b) throw ::java::lang::NullPointerException();
    return read(b, 0, b->length);
}

int InputStream::read(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    tesl::checkByteRange(b, off, len);
    if (len == 0) return 0;
    int i = 0;
    try {
        while (i < len) {
            const int c = read();
            if (c == -1) break;
            b->data[off + i] = static_cast<signed char>(c);
            ++i;
        }
    } catch (IOException&) {
        // Bytes already stored are returned rather than lost with the failure.
        if (i == 0) throw;
    }
    return i == 0 ? -1 : i;
}

void InputStream::reset() {
    throw IOException();
}

long long InputStream::skip(long long n) {
    long long skipped = 0;
    while (skipped < n && read() != -1) ++skipped;
    return skipped;
}

}  // namespace java::io
