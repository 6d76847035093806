#include "library/OutputStream.h"

#include "library/StreamChecks.h"
#include "runtime/NullPointerException.h"

namespace java::io {

void OutputStream::close() {}

void OutputStream::flush() {}

void OutputStream::write(const JavaPtr<JArray<signed char>>& b) {
    if (!b) throw ::java::lang::NullPointerException();
    write(b, 0, b->length);
}

void OutputStream::write(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    if (len <= 0) return;
    tesl::checkByteRange(b, off, len);
    for (int i = 0; i < len; ++i) write(static_cast<int>(b->data[off + i]));
}

}  // namespace java::io
