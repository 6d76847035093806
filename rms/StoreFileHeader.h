// The fixed head of a store file, the one place that knows its layout: the magic, the format version,
// then (for the formats this code reads) the version, lastModified, nextRecordID and, from format
// version 1 on, their checksum, all big-endian. The store's name follows as UTF-16 units ending in
// U+0000, then the record chunks.
#pragma once

#include "runtime/JavaPtr.h"

namespace java::io {
class DataInputStream;
class DataOutputStream;
}  // namespace java::io
namespace java::lang {
class String;
}

namespace javax::microedition::rms {

// The header checksum: version + 31 lo + 31^2 hi + 31^3 nextRecordID + 31^4 name.hashCode(), wrapping
// in 32 bits, with lo and hi the halves of lastModified.
int getHeaderChunkCRC(int version, long long lastModified, int nextRecordID,
                      const JavaPtr<::java::lang::String>& name);

struct StoreFileHeader {
    static constexpr int kMagicOffset = 0;
    static constexpr int kFormatVersionOffset = 4;
    static constexpr int kVersionOffset = 6;
    static constexpr int kLastModifiedOffset = 10;
    static constexpr int kNextRecordIDOffset = 18;
    static constexpr int kChecksumOffset = 22;

    // Where the name starts: the checksum came with format version 1.
    static constexpr int sizeFor(int formatVersion) {
        return formatVersion >= 1 ? kChecksumOffset + 4 : kChecksumOffset;
    }
    // Formats 0 and 1; a later one is listed and opened but never read past its format version.
    static constexpr bool isKnownFormat(int formatVersion) {
        return static_cast<unsigned>(formatVersion) < 2;
    }

    int magic = 0;
    int formatVersion = 0;
    int version = 0;
    long long lastModified = 0;
    int nextRecordID = 0;
    int checksum = 0;

    // Reads field by field and stops after a wrong magic or an unknown format, answering false then.
    // EOFException when the file ends inside what is read.
    bool read(::java::io::DataInputStream& in);
    // The checksum written is the one the fields and name call for.
    void write(::java::io::DataOutputStream& out, const JavaPtr<::java::lang::String>& name) const;
    // Puts version, lastModified, nextRecordID and (format 1) the checksum over a copy of the header
    // at bytes, which holds at least sizeFor(formatVersion) bytes.
    void patch(signed char* bytes, const JavaPtr<::java::lang::String>& name) const;
    bool checksumHolds(const JavaPtr<::java::lang::String>& name) const;
};

}  // namespace javax::microedition::rms
