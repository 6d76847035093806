#include "library/FileInputStream.h"

#include <algorithm>

#include "platform/files/RegularFiles.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"

namespace java::io {

FileInputStream::FileInputStream(const JavaPtr<File>& file) : m_file(file) {
    if (!file) return;
    path = file->path;
    if (!file->hasUsablePath()) return;
    m_handle = platform::openRegularFileForReading(path->val());
    if (m_handle == nullptr) return;
    if (std::fseek(m_handle, 0, SEEK_END) == 0) m_fileLength = ftello(m_handle);
    if (m_fileLength < 0 || std::fseek(m_handle, 0, SEEK_SET) != 0) {
        std::fclose(m_handle);
        m_handle = nullptr;
        m_fileLength = 0;
        return;
    }
    opened = true;
}

FileInputStream::~FileInputStream() {
    if (m_handle != nullptr) std::fclose(m_handle);
}

int FileInputStream::available() {
    return static_cast<int>(m_fileLength - m_readPos);
}

void FileInputStream::close() {
    if (m_handle != nullptr) std::fclose(m_handle);
    m_handle = nullptr;
    opened = false;
}

int FileInputStream::read() {
    if (m_handle == nullptr) return -1;
    // A read error ends the data like the end of the file does, so read loops stop.
    const int c = std::fgetc(m_handle);
    if (c == EOF) return -1;
    ++m_readPos;
    return c;
}

int FileInputStream::read(const JavaPtr<JArray<signed char>>& b) {
    if (!b) throw ::java::lang::NullPointerException();
    return read(b, 0, b->length);
}

int FileInputStream::read(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    if (!b) throw ::java::lang::NullPointerException();
    if (off < 0 || len < 0) throw ::java::lang::IndexOutOfBoundsException();
    if (m_handle == nullptr) return -1;
    const long long room = static_cast<long long>(b->length) - off;
    const int n = room < len ? static_cast<int>(room < 0 ? 0 : room) : len;
    if (n == 0) return -1;
    int got = 0;
    while (got < n) {
        const size_t given = std::fread(b->data + off + got, 1, static_cast<size_t>(n - got), m_handle);
        got += static_cast<int>(given);
        // A short read is asked again only when it made progress and hit neither the end nor an error.
        if (given == 0 || std::feof(m_handle) || std::ferror(m_handle)) break;
    }
    m_readPos += got;
    return got == 0 ? -1 : got;
}

void FileInputStream::reset() {
    if (m_handle != nullptr) {
        std::rewind(m_handle);
    }
    m_readPos = 0;
}

long long FileInputStream::skip(long long n) {
    // Bytes are read and dropped (not sought past), so a file that shrank since it was opened still
    // gives the true count; a block at a time keeps that cheap for long skips.
    if (m_handle == nullptr || n <= 0) return 0;
    char block[4096];
    long long skipped = 0;
    while (skipped < n) {
        const size_t want = static_cast<size_t>(std::min<long long>(n - skipped, sizeof block));
        const size_t given = std::fread(block, 1, want, m_handle);
        skipped += static_cast<long long>(given);
        if (given < want) break;
    }
    m_readPos += skipped;
    return skipped;
}

}  // namespace java::io
