// java.io.FileOutputStream: writes a file in the data directory (a leading "/" names a file there
// too, and ".png" names keep their ending). The file is created or emptied by the first write, not
// by the constructor; flush and close put everything written on the device. Bytes gather in a buffer
// of its own and go out through the platform's file operations.
#pragma once

#include <memory>

#include "library/OutputStream.h"

namespace java::lang {
class String;
}

namespace java::io {

class FileOutputStream : public OutputStream {
    TESL_CLASS(FileOutputStream, "java.io.FileOutputStream", OutputStream)
public:
    explicit FileOutputStream(const JavaPtr<::java::lang::String>& name);
    // Flushes.
    ~FileOutputStream() override;

    void close() override;
    // Closes the file, so that the bytes are on the device; a later write appends to them.
    void flush() override;
    void write(const JavaPtr<JArray<signed char>>& b) override;
    // Throws NullPointerException for a null b and IndexOutOfBoundsException for a range outside b.
    void write(const JavaPtr<JArray<signed char>>& b, int off, int len) override;
    void write(int b) override;

    // Opens the file if it is not open: the first time emptied (or created), after a flush for
    // appending. A failure sets the write-error flag. Answers whether the file is open.
    bool openStream();
    // Makes the file now as a new one, failing when the name is taken (which leaves that file alone
    // and every later write refused): the way to claim a fresh name. Answers 0, or errno of the
    // failure (EEXIST for a taken name); a failure sets the write-error flag. Its name is not synced
    // at the flush: the caller renames the file or syncs the directory when the name must last.
    int createExclusively();
    // Set by a refused name, a failed open, a short write and a failed flush or close: the caller
    // must not take the file as saved.
    bool writeErrorOccurred() const { return m_writeError; }
    void setWriteErrorOccurred(bool error) { m_writeError = error; }

private:
    static constexpr int kBufferSize = 8192;

    // Writes out the buffered bytes; a failure sets the write-error flag.
    void drain();
    void writeThrough(const signed char* bytes, int count);

    JavaPtr<::java::lang::String> m_path;
    bool m_opened = false;
    bool m_writeError = false;
    int m_descriptor = -1;
    bool m_usable = false;
    // Whether the file was opened once already, so that reopening must keep its bytes.
    bool m_started = false;
    std::unique_ptr<signed char[]> m_buffer;
    int m_buffered = 0;
    // Set by the first open, which may have created the file: its name is put on the device too.
    bool m_nameUnsynced = false;
};

}  // namespace java::io
