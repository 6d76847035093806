// RecordStore's work on its file: the record checksums, creating a store file and reading its header,
// the walk over the record chunks, and the whole-file rewrite every change goes through.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>

#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "library/File.h"
#include "library/FileInputStream.h"
#include "library/FileOutputStream.h"
#include "library/FileSystem.h"
#include "library/System.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreFullException.h"
#include "rms/StoreFileNames.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::rms {

using ::java::io::DataInputStream;
using ::java::io::DataOutputStream;
using ::java::io::File;
using ::java::io::FileInputStream;
using ::java::io::FileOutputStream;
using ::java::io::FileSystem;
using ::java::lang::String;

namespace {

JavaPtr<DataInputStream> dataInputOver(const JavaPtr<FileInputStream>& file) {
    return jnew<DataInputStream>(JavaPtr<::java::io::InputStream>(file));
}

void putInt(signed char* at, int value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<signed char>(static_cast<uint32_t>(value) >> (24 - 8 * i));
}

int intAt(const JArray<signed char>& bytes, long long at) {
    uint32_t value = 0;
    for (long long i = at; i < at + 4; ++i) value = (value << 8) | static_cast<uint8_t>(bytes.data[i]);
    return static_cast<int>(value);
}

// Larger store files are walked through the streams, so that no change needs more memory than this.
constexpr long long kLargestImage = 64LL * 1024 * 1024;
// The streamed copy of a file larger than kLargestImage.
constexpr int kCopyBlock = 64 * 1024;

}  // namespace

int getRecordChunkCRC(int recordID, const signed char* bytes, int count) {
    uint32_t crc = static_cast<uint32_t>(recordID);
    uint32_t multiplier = 1;
    for (int i = 0; i < count; ++i) {
        multiplier *= 31u;
        crc += static_cast<uint32_t>(static_cast<int32_t>(bytes[i])) * multiplier;
    }
    return static_cast<int>(crc);
}

int getRecordChunkCRC(int recordID, const JavaPtr<JArray<signed char>>& data) {
    if (!data) return recordID;
    return getRecordChunkCRC(recordID, data->data, data->length);
}

int getRecordInternal(const JavaPtr<FileInputStream>& file, int recordID, JavaPtr<JArray<signed char>>& data,
                      RecordStore& store) {
    RecordStore::FoundRecord found;
    if (!store.findRecord(file, recordID, found) || !found.checksumHolds) return -1;
    data = found.data;
    return found.offset;
}

// ---- Creating a store file and reading its header ------------------------------------------------

void RecordStore::createStoreFile() {
    FileSystem* files = FileSystem::getFileSystem();
    // The number is claimed by creating its file exclusively, so that nothing already there (a file
    // that does not open for reading, a directory) is ever emptied or deleted.
    JavaPtr<String> candidate;
    JavaPtr<FileOutputStream> file = claimNumberedFile(kStoreFilePrefix, 1, candidate);
    if (!file) return;
    fileName = candidate;
    formatVersion = RS_FORMAT_VERSION;
    version = 0;
    lastModified = ::java::lang::System::currentTimeMillis();
    nextRecordID = 1;
    StoreFileHeader header;
    header.formatVersion = formatVersion;
    header.version = version;
    header.lastModified = lastModified;
    header.nextRecordID = nextRecordID;
    JavaPtr<DataOutputStream> out = jnew<DataOutputStream>(JavaPtr<::java::io::OutputStream>(file));
    header.write(*out, name);
    for (int i = 0; i < name->length(); ++i) out->writeChar(name->charAt(i));
    out->writeChar(0);
    out->close();
    // The new name must survive a power loss as well as the bytes.
    if (file->writeErrorOccurred() || !files->syncDirectory()) {
        files->deleteFile(candidate);
        return;
    }
    isValid = true;
}

void RecordStore::loadHeader() {
    JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(fileName));
    if (!file->opened) return;
    JavaPtr<DataInputStream> in = dataInputOver(file);
    StoreFileHeader header;
    const bool known = header.read(*in);
    formatVersion = header.formatVersion;
    // A read error or a file cut meanwhile reads as FF bytes: only a header read to its last byte
    // tells a damaged store from one that could not be read.
    const long long expected = known ? headerSize() : StoreFileHeader::kVersionOffset;
    const bool whole = file->getReadPos() == expected;
    file->close();
    if (!known) {
        headerDamaged = whole && header.magic == RSMAGIC;
        return;
    }
    version = header.version;
    lastModified = header.lastModified;
    nextRecordID = header.nextRecordID;
    isValid = whole && header.checksumHolds(name);
    headerDamaged = whole && !isValid;
}

// ---- Reading records -----------------------------------------------------------------------------

void RecordStore::seekToFirstRecord(const JavaPtr<DataInputStream>& in) {
    in->reset();
    in->skip(StoreFileHeader::kVersionOffset);
    if (!formatIsWritable()) return;
    in->skip(headerSize() - StoreFileHeader::kVersionOffset);
    while (true) {
        const int high = in->read();
        const int low = in->read();
        if (high <= 0 && low <= 0) break;
    }
}

bool RecordStore::readChunkHead(DataInputStream& in, int& recordID, int& length) {
    if (in.available() < 8) return false;
    recordID = in.readInt();
    length = in.readInt();
    // Ids come from nextRecordID, which the checksummed header guards: one outside 1 to nextRecordID - 1
    // means the walk has lost the chunk boundaries (a damaged length before it), and what follows is
    // not records, even where an empty chunk's checksum happens to match.
    if (formatVersion >= 1 && (recordID < 1 || recordID >= nextRecordID)) return false;
    // A damaged length never sizes an allocation or a skip beyond what the file holds.
    return length >= 0 && static_cast<long long>(length) + checksumSize() <= in.available();
}

bool RecordStore::getNextRecord(const JavaPtr<DataInputStream>& in, JavaPtr<JArray<signed char>>* data,
                                int* recordID) {
    if (in->available() <= 0 || !formatIsWritable()) return false;
    int id = 0, length = 0;
    const bool whole = readChunkHead(*in, id, length);
    if (recordID != nullptr) *recordID = id;
    if (!whole) return false;
    if (data != nullptr) {
        *data = jnewArray<signed char>(length);
        if (length > 0 && in->read(*data) != length) return false;
    } else if (in->skip(length) < length) {
        return false;
    }
    if (formatVersion < 1) return true;
    const int stored = in->readInt();
    return data == nullptr || getRecordChunkCRC(id, *data) == stored;
}

bool RecordStore::findRecord(const JavaPtr<FileInputStream>& file, int recordID, FoundRecord& found) {
    if (!file || !file->opened || !formatIsWritable()) return false;
    JavaPtr<DataInputStream> in = dataInputOver(file);
    seekToFirstRecord(in);
    while (true) {
        const long long position = file->getReadPos();
        int id = 0, length = 0;
        if (!readChunkHead(*in, id, length)) return false;
        if (id != recordID) {
            if (in->skip(length + checksumSize()) < length + checksumSize()) return false;
            continue;
        }
        JavaPtr<JArray<signed char>> bytes = jnewArray<signed char>(length);
        if (length > 0 && in->read(bytes) != length) return false;
        found.offset = static_cast<int>(position);
        found.data = bytes;
        found.checksumHolds = formatVersion < 1 || in->readInt() == getRecordChunkCRC(id, bytes);
        return true;
    }
}

// ---- The same walks over the file read whole -----------------------------------------------------

JavaPtr<JArray<signed char>> RecordStore::readImage(bool& opened) const {
    JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(fileName));
    opened = file->opened;
    if (!opened) return nullptr;
    const long long length = file->available();
    if (length < 0 || length > kLargestImage) return nullptr;
    // The quiet form: without the memory for the whole file, the callers walk it as a stream, as they
    // do a file above kLargestImage.
    JavaPtr<JArray<signed char>> image = jnew<JArray<signed char>>(static_cast<int>(length));
    if (image->length != length) return nullptr;
    int got = 0;
    while (got < length) {
        const int n = file->read(image, got, static_cast<int>(length) - got);
        if (n <= 0) break;
        got += n;
    }
    file->close();
    // A file that shrank meanwhile is taken as it was read.
    if (got < length) {
        JavaPtr<JArray<signed char>> shorter = jnew<JArray<signed char>>(got);
        if (shorter->length != got) return nullptr;
        std::copy(image->data, image->data + got, shorter->data);
        image = shorter;
    }
    return image;
}

long long RecordStore::firstRecordOffset(const JArray<signed char>& image) const {
    const long long length = image.length;
    long long at = std::min<long long>(StoreFileHeader::kVersionOffset, length);
    if (!formatIsWritable()) return at;
    at = std::min<long long>(headerSize(), length);
    // The name's units up to U+0000, as seekToFirstRecord reads them.
    while (true) {
        const int high = at < length ? static_cast<uint8_t>(image.data[at++]) : -1;
        const int low = at < length ? static_cast<uint8_t>(image.data[at++]) : -1;
        if (high <= 0 && low <= 0) return at;
    }
}

bool RecordStore::chunkHeadAt(const JArray<signed char>& image, long long& at, int& recordID,
                              int& length) const {
    if (image.length - at < 8) return false;
    recordID = intAt(image, at);
    length = intAt(image, at + 4);
    at += 8;
    if (formatVersion >= 1 && (recordID < 1 || recordID >= nextRecordID)) return false;
    return length >= 0 && static_cast<long long>(length) + checksumSize() <= image.length - at;
}

bool RecordStore::findRecordIn(const JArray<signed char>& image, int recordID, FoundRecord& found) const {
    if (!formatIsWritable()) return false;
    long long at = firstRecordOffset(image);
    while (true) {
        const long long position = at;
        int id = 0, length = 0;
        if (!chunkHeadAt(image, at, id, length)) return false;
        if (id != recordID) {
            at += length + checksumSize();
            continue;
        }
        JavaPtr<JArray<signed char>> bytes = jnewArray<signed char>(length);
        std::copy(image.data + at, image.data + at + length, bytes->data);
        found.offset = static_cast<int>(position);
        found.data = bytes;
        found.checksumHolds = formatVersion < 1 || intAt(image, at + length) == getRecordChunkCRC(id, bytes);
        return true;
    }
}

long long RecordStore::readableEndOf(const JArray<signed char>& image) const {
    const long long length = image.length;
    if (length < headerSize()) return -1;
    long long at = headerSize();
    bool named = false;
    while (!named && length - at >= 2) {
        named = image.data[at] == 0 && image.data[at + 1] == 0;
        at += 2;
    }
    if (!named) return -1;
    long long end = at;
    int id = 0, size = 0;
    while (formatIsWritable() && chunkHeadAt(image, at, id, size)) {
        at += size + checksumSize();
        end = at;
    }
    return end;
}

// ---- Rewriting the file --------------------------------------------------------------------------

JavaPtr<JArray<signed char>> RecordStore::buildChunk(int recordID, const JavaPtr<JArray<signed char>>& data,
                                                     int offset, int numBytes) const {
    if (!data && numBytes != 0) throw ::java::lang::NullPointerException();
    if (numBytes < 0 || offset < 0 || (data && static_cast<long long>(offset) + numBytes > data->length))
        throw ::java::lang::ArrayIndexOutOfBoundsException();
    const long long size = 8LL + numBytes + checksumSize();
    if (size > JArray<signed char>::maxLength) throw RecordStoreFullException();
    JavaPtr<JArray<signed char>> chunk;
    try {
        chunk = jnewArray<signed char>(static_cast<int>(size));
    } catch (const std::bad_alloc&) {
        // A record the store cannot take, as one too large for any array.
        throw RecordStoreFullException();
    }
    const signed char* slice = numBytes > 0 ? data->data + offset : nullptr;
    putInt(chunk->data, recordID);
    putInt(chunk->data + 4, numBytes);
    if (numBytes > 0) std::copy(slice, slice + numBytes, chunk->data + 8);
    if (formatVersion >= 1) putInt(chunk->data + 8 + numBytes, getRecordChunkCRC(recordID, slice, numBytes));
    return chunk;
}

long long RecordStore::readableEnd() {
    JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(fileName));
    if (!file->opened) return -1;
    JavaPtr<DataInputStream> in = dataInputOver(file);
    if (in->skip(headerSize()) != headerSize()) return -1;
    bool named = false;
    while (!named && in->available() >= 2) named = in->readChar() == 0;
    if (!named) return -1;
    long long end = file->getReadPos();
    int id = 0, length = 0;
    while (formatIsWritable() && readChunkHead(*in, id, length)) {
        if (in->skip(length + checksumSize()) != length + checksumSize()) break;
        end = file->getReadPos();
    }
    file->close();
    return end;
}

JavaPtr<String> RecordStore::rewriteTarget(RecordStore& store) {
    if (!isNumberedName(store.fileName, kTemporaryFilePrefix)) return store.fileName;
    // A store found only in a temporary file (left by an interrupted rewrite of an earlier version)
    // takes a regular name: temporary files are listed by name, so a later leftover could otherwise
    // stand before it. The name is claimed with an empty file that the rename then replaces.
    JavaPtr<String> regular;
    JavaPtr<FileOutputStream> claim = claimNumberedFile(kStoreFilePrefix, 1, regular);
    if (!claim) return nullptr;
    claim->close();
    return claim->writeErrorOccurred() ? nullptr : regular;
}

RecordStore::Rewrite RecordStore::replaceRSFileChunk(const JavaPtr<RecordStore>& store, int offset,
                                                     int length, const JavaPtr<JArray<signed char>>& chunk) {
    std::lock_guard<std::mutex> guard(storeLock());
    return replaceRSFileChunkLocked(*store, offset, length, chunk);
}

RecordStore::Rewrite RecordStore::replaceRSFileChunkLocked(RecordStore& s, int offset, int length,
                                                           const JavaPtr<JArray<signed char>>& chunk,
                                                           JavaPtr<JArray<signed char>> image) {
    FileSystem* files = FileSystem::getFileSystem();
    const int header = s.headerSize();
    bool opened = true;
    if (!image) image = s.readImage(opened);
    if (!opened) return Rewrite::Failed;
    // Only a whole store file is rewritten; what follows its last whole record cannot be read and
    // is left behind, so that an appended record is never stranded after it.
    if (image ? image->length < header : jnew<File>(s.fileName)->length() < header) return Rewrite::Failed;
    const long long total = image ? s.readableEndOf(*image) : s.readableEnd();
    if (total < header) return Rewrite::Failed;
    const long long position = offset >= 0 && offset <= total ? offset : total;
    if (position < header) return Rewrite::Failed;
    const long long replaced = std::clamp<long long>(length, 0, total - position);
    const int chunkLength = chunk ? chunk->length : 0;
    const long long newLength = total + chunkLength - replaced;
    StoreFileHeader patched;
    patched.formatVersion = s.formatVersion;
    patched.version = static_cast<int>(static_cast<uint32_t>(s.version) + 1u);
    patched.lastModified = ::java::lang::System::currentTimeMillis();
    patched.nextRecordID = s.nextRecordID;

    JavaPtr<String> temporary;
    JavaPtr<FileOutputStream> out = claimNumberedFile(kTemporaryFilePrefix, 0, temporary);
    if (!out) return Rewrite::Failed;
    bool copied = false;
    if (image) {
        // The image is this change's own copy: the header is patched in place and the new file goes
        // out in three writes.
        patched.patch(image->data, s.name);
        const long long resume = position + replaced;
        out->write(image, 0, static_cast<int>(position));
        if (chunkLength > 0) out->write(chunk, 0, chunkLength);
        if (total > resume) out->write(image, static_cast<int>(resume), static_cast<int>(total - resume));
        copied = true;
    } else {
        JavaPtr<FileInputStream> in = jnew<FileInputStream>(jnew<File>(s.fileName));
        JavaPtr<JArray<signed char>> buffer = jnew<JArray<signed char>>(kCopyBlock);
        long long consumed = 0, written = 0;
        bool chunkWritten = false;
        copied = in->opened && buffer->length == kCopyBlock;
        while (copied && written < newLength) {
            int got = 0;
            if (consumed < position) {
                got = in->read(buffer, 0,
                               static_cast<int>(std::min<long long>(position - consumed, kCopyBlock)));
            } else if (!chunkWritten) {
                if (chunkLength > 0) out->write(chunk, 0, chunkLength);
                written += chunkLength;
                chunkWritten = true;
                continue;
            } else {
                const long long resume = position + replaced;
                if (consumed < resume && in->skip(resume - consumed) != resume - consumed) break;
                consumed = std::max(consumed, resume);
                got = in->read(buffer, 0,
                               static_cast<int>(std::min<long long>(newLength - written, kCopyBlock)));
            }
            if (got <= 0) break;
            consumed += got;
            if (written == 0) {
                // The first block carries the header, patched to the new values.
                if (got < header) break;
                patched.patch(buffer->data, s.name);
            }
            out->write(buffer, 0, got);
            written += got;
        }
        copied = copied && written == newLength;
        in->close();
    }
    out->close();
    JavaPtr<String> target = copied && !out->writeErrorOccurred() ? rewriteTarget(s) : nullptr;
    // Older copies go once the new file is whole on the device, before the rename: the directory sync
    // that makes the rename durable then makes their removal durable too, and whatever happens
    // between, the store is found as it was or as it becomes.
    if (target && s.leftoversMayExist) s.leftoversMayExist = !s.removeLeftoverTemporaries(temporary);
    const FileSystem::Change renamed =
        target ? files->renameFileDurably(temporary, target) : FileSystem::Change::Failed;
    if (renamed == FileSystem::Change::Failed) {
        if (!files->deleteFile(temporary)) s.leftoversMayExist = true;
        if (target && !target->equals(s.fileName)) files->deleteFile(target);
        return Rewrite::Failed;
    }
    s.version = patched.version;
    s.lastModified = patched.lastModified;
    if (!target->equals(s.fileName)) {
        // The regular file now shadows the temporary one; a removal that fails leaves it harmless.
        files->deleteFile(s.fileName);
        s.fileName = target;
    }
    return renamed == FileSystem::Change::Done ? Rewrite::Done : Rewrite::NotDurable;
}

bool RecordStore::removeLeftoverTemporaries(const JavaPtr<String>& replacement) {
    FileSystem* files = FileSystem::getFileSystem();
    JavaPtr<StringArray> names;
    bool removedAll = files->listFilenames(names);
    for (const JavaPtr<String>& candidate : *names) {
        if (!isNumberedName(candidate, kTemporaryFilePrefix) || candidate->equals(fileName) ||
            candidate->equals(replacement))
            continue;
        bool unreadable = false;
        JavaPtr<String> carried = readStoreName(candidate, unreadable);
        // A file that cannot be read could be any store's; one with another name is that store's.
        if (unreadable) continue;
        if (carried->length() != 0 && !carried->equals(name)) continue;
        if (carried->length() == 0 && !files->isRegularFile(candidate)) continue;
        if (!files->deleteFile(candidate)) removedAll = false;
    }
    return removedAll;
}

}  // namespace javax::microedition::rms
