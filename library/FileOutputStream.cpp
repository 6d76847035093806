#include "library/FileOutputStream.h"

#include <cerrno>
#include <cstring>

#include "library/FileNames.h"
#include "library/StreamChecks.h"
#include "platform/files/FileSystemPaths.h"
#include "platform/files/RegularFiles.h"
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
        m_descriptor = platform::openRegularFileForWriting(
            m_path->val(), m_started ? platform::WriteMode::Append : platform::WriteMode::Truncate);
    }
    if (m_descriptor < 0) {
        m_writeError = true;
        return false;
    }
    m_nameUnsynced = !m_started;
    m_opened = true;
    m_started = true;
    return true;
}

int FileOutputStream::createExclusively() {
    if (m_opened || m_started || !m_usable) {
        m_writeError = true;
        return m_usable ? EEXIST : EINVAL;
    }
    m_descriptor = platform::openRegularFileForWriting(m_path->val(), platform::WriteMode::CreateNew);
    if (m_descriptor < 0) {
        const int reason = errno != 0 ? errno : EIO;
        // Whatever holds the name is not ours to write.
        m_usable = false;
        m_writeError = true;
        return reason;
    }
    m_opened = true;
    m_started = true;
    return 0;
}

void FileOutputStream::drain() {
    if (m_buffered == 0) return;
    if (!platform::writeFully(m_descriptor, m_buffer.get(), static_cast<size_t>(m_buffered)))
        m_writeError = true;
    m_buffered = 0;
}

void FileOutputStream::writeThrough(const signed char* bytes, int count) {
    if (count >= kBufferSize) {
        drain();
        if (!platform::writeFully(m_descriptor, bytes, static_cast<size_t>(count))) m_writeError = true;
        return;
    }
    if (!m_buffer) m_buffer = std::make_unique<signed char[]>(kBufferSize);
    if (m_buffered + count > kBufferSize) drain();
    std::memcpy(m_buffer.get() + m_buffered, bytes, static_cast<size_t>(count));
    m_buffered += count;
}

void FileOutputStream::write(int b) {
    if (!openStream()) return;
    const signed char byte = static_cast<signed char>(b & 0xFF);
    writeThrough(&byte, 1);
}

void FileOutputStream::write(const JavaPtr<JArray<signed char>>& b) {
    OutputStream::write(b);
}

void FileOutputStream::write(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    tesl::checkByteRange(b, off, len);
    if (!openStream()) return;
    if (len == 0) return;
    writeThrough(b->data + off, len);
}

void FileOutputStream::flush() {
    if (!m_opened) return;
    drain();
    // A full disk often shows only here, when the kernel finally allocates the blocks.
    const bool synced = platform::syncDescriptor(m_descriptor);
    const bool closed = platform::closeDescriptor(m_descriptor);
    if (!synced || !closed) m_writeError = true;
    m_descriptor = -1;
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
