// java.io.FileInputStream: reads the regular file at a File's path. A missing (or non-regular) file
// gives a normal stream whose `opened` is false and which reads as empty.
#pragma once

#include <cstdio>

#include "library/File.h"
#include "library/InputStream.h"

namespace java::io {

class FileInputStream : public InputStream {
    TESL_CLASS(FileInputStream, "java.io.FileInputStream", InputStream)
public:
    explicit FileInputStream(const JavaPtr<File>& file);
    ~FileInputStream() override;

    // fileLength - readPos; also after close.
    int available() override;
    void close() override;
    int read() override;
    int read(const JavaPtr<JArray<signed char>>& b) override;
    // Reads up to min(len, b.length - off) bytes; -1 when that is 0 or at the end of the file. Throws
    // NullPointerException for a null b and IndexOutOfBoundsException for a negative off or len.
    int read(const JavaPtr<JArray<signed char>>& b, int off, int len) override;
    // Back to the start of the file, wherever mark was.
    void reset() override;
    long long skip(long long n) override;

    // The bytes consumed since opening or the last reset.
    long long getReadPos() const { return m_readPos; }

    // Whether the file opened; read straight after construction to learn whether it exists.
    bool opened = false;
    // The same string as file->path.
    JavaPtr<::java::lang::String> path;

private:
    long long m_fileLength = 0;
    JavaPtr<File> m_file;
    long long m_readPos = 0;
    FILE* m_handle = nullptr;
};

}  // namespace java::io
