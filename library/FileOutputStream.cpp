#include "library/FileOutputStream.h"

#include "library/FileNames.h"
#include "library/StreamChecks.h"
#include "platform/FileSystemPaths.h"
#include "platform/RegularFiles.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"

namespace java::io {

FileOutputStream::FileOutputStream(const JavaPtr<::java::lang::String>& name)
    : m_path(tesl::pathUnder(_savePathIs, name)),
      m_usable(_savePathIs != nullptr && tesl::isAcceptableFileName(name)) {}

FileOutputStream::~FileOutputStream() {
    FileOutputStream::flush();
}

bool FileOutputStream::openStream() {
    if (m_opened) return true;
    if (m_usable) {
        m_handle = platform::openRegularFileForWriting(
            m_path->val(), m_started ? platform::WriteMode::Append : platform::WriteMode::Truncate);
    }
    if (m_handle == nullptr) {
        m_writeError = true;
        return false;
    }
    m_nameUnsynced = !m_started;
    m_opened = true;
    m_started = true;
    return true;
}

void FileOutputStream::write(int b) {
    if (!openStream()) return;
    if (std::fputc(b & 0xFF, m_handle) == EOF) m_writeError = true;
}

void FileOutputStream::write(const JavaPtr<JArray<signed char>>& b) {
    OutputStream::write(b);
}

void FileOutputStream::write(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    tesl::checkByteRange(b, off, len);
    if (!openStream()) return;
    if (len == 0) return;
    if (std::fwrite(b->data + off, 1, static_cast<size_t>(len), m_handle) != static_cast<size_t>(len))
        m_writeError = true;
}

void FileOutputStream::flush() {
    if (!m_opened) return;
    // A full disk often shows only here, when the buffered bytes finally go out.
    const bool synced = platform::syncFile(m_handle);
    const bool closed = std::fclose(m_handle) == 0;
    if (!synced || !closed) m_writeError = true;
    m_handle = nullptr;
    m_opened = false;
    // A file made by this stream must not vanish with its directory entry after a crash (a new
    // record store is written straight under its own name). Best effort, as for a rename: the
    // bytes themselves are on the device.
    if (m_nameUnsynced && synced) platform::syncParentDirectory(m_path->val());
    m_nameUnsynced = false;
}

void FileOutputStream::close() {
    flush();
    m_opened = false;
}

}  // namespace java::io
