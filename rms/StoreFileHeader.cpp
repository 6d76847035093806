#include "rms/StoreFileHeader.h"

#include <cstdint>

#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "rms/RecordStore.h"
#include "runtime/String.h"

namespace javax::microedition::rms {

namespace {

void putInt(signed char* at, int value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<signed char>(static_cast<uint32_t>(value) >> (24 - 8 * i));
}

}  // namespace

int getHeaderChunkCRC(int version, long long lastModified, int nextRecordID,
                      const JavaPtr<::java::lang::String>& name) {
    const uint32_t lo = static_cast<uint32_t>(static_cast<uint64_t>(lastModified));
    const uint32_t hi = static_cast<uint32_t>(static_cast<uint64_t>(lastModified) >> 32);
    const uint32_t h = static_cast<uint32_t>(name ? name->hashCode() : 0);
    const uint32_t crc = static_cast<uint32_t>(version) + 31u * lo + 961u * hi +
                         29791u * static_cast<uint32_t>(nextRecordID) + 923521u * h;
    return static_cast<int>(crc);
}

bool StoreFileHeader::read(::java::io::DataInputStream& in) {
    magic = in.readInt();
    if (magic != RecordStore::RSMAGIC) return false;
    formatVersion = in.readShort();
    if (!isKnownFormat(formatVersion)) return false;
    version = in.readInt();
    lastModified = in.readLong();
    nextRecordID = in.readInt();
    if (formatVersion >= 1) checksum = in.readInt();
    return true;
}

void StoreFileHeader::write(::java::io::DataOutputStream& out,
                            const JavaPtr<::java::lang::String>& name) const {
    out.writeInt(RecordStore::RSMAGIC);
    out.writeShort(formatVersion);
    out.writeInt(version);
    out.writeLong(lastModified);
    out.writeInt(nextRecordID);
    if (formatVersion >= 1) out.writeInt(getHeaderChunkCRC(version, lastModified, nextRecordID, name));
}

void StoreFileHeader::patch(signed char* bytes, const JavaPtr<::java::lang::String>& name) const {
    putInt(bytes + kVersionOffset, version);
    putInt(bytes + kLastModifiedOffset, static_cast<int>(static_cast<uint64_t>(lastModified) >> 32));
    putInt(bytes + kLastModifiedOffset + 4, static_cast<int>(lastModified));
    putInt(bytes + kNextRecordIDOffset, nextRecordID);
    if (formatVersion >= 1)
        putInt(bytes + kChecksumOffset, getHeaderChunkCRC(version, lastModified, nextRecordID, name));
}

bool StoreFileHeader::checksumHolds(const JavaPtr<::java::lang::String>& name) const {
    return formatVersion < 1 || checksum == getHeaderChunkCRC(version, lastModified, nextRecordID, name);
}

}  // namespace javax::microedition::rms
