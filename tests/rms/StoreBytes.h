// Store-file bytes for record-store tests and fuzz targets: a builder with every field under the
// caller's control, damaged ones included, and conversions between byte arrays and std::string.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "rms/RecordStore.h"
#include "runtime/JArray.h"
#include "tests/support/StringText.h"

namespace testsupport {

// The bytes of a store file. nextRecordID -1 stands for one past the largest record id (at least 1).
class StoreFileBytes {
public:
    explicit StoreFileBytes(const std::u16string& name, int formatVersion = 1, int version = 0,
                            long long lastModified = 1000, int nextRecordID = -1)
        : m_name(name),
          m_formatVersion(formatVersion),
          m_version(version),
          m_lastModified(lastModified),
          m_nextRecordID(nextRecordID) {}

    // A record chunk; the stored checksum is the right one plus checksumError.
    StoreFileBytes& record(int id, const std::string& data, int checksumError = 0) {
        putInt(m_records, id);
        putInt(m_records, static_cast<int>(data.size()));
        m_records += data;
        if (m_formatVersion == 1) putInt(m_records, recordChecksum(id, data) + checksumError);
        m_largestId = std::max(m_largestId, id);
        return *this;
    }
    StoreFileBytes& raw(const std::string& bytes) {
        m_records += bytes;
        return *this;
    }
    std::string bytes() const {
        const int next = m_nextRecordID != -1 ? m_nextRecordID : m_largestId + 1;
        std::string out;
        putInt(out, 0x74737366);
        putShort(out, m_formatVersion);
        putInt(out, m_version);
        putInt(out, static_cast<int>(static_cast<uint64_t>(m_lastModified) >> 32));
        putInt(out, static_cast<int>(m_lastModified));
        putInt(out, next);
        if (m_formatVersion == 1) putInt(out, headerChecksum(m_version, m_lastModified, next, m_name));
        for (char16_t unit : m_name) putShort(out, unit);
        putShort(out, 0);
        return out + m_records;
    }

    static int headerChecksum(int version, long long lastModified, int nextRecordID,
                              const std::u16string& name) {
        uint32_t h = 0;
        for (char16_t unit : name) h = h * 31u + unit;
        const uint64_t time = static_cast<uint64_t>(lastModified);
        return static_cast<int>(static_cast<uint32_t>(version) + 31u * static_cast<uint32_t>(time) +
                                961u * static_cast<uint32_t>(time >> 32) +
                                29791u * static_cast<uint32_t>(nextRecordID) + 923521u * h);
    }
    static int recordChecksum(int id, const std::string& data) {
        uint32_t crc = static_cast<uint32_t>(id), power = 1;
        for (char c : data) {
            power *= 31u;
            crc += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c))) * power;
        }
        return static_cast<int>(crc);
    }

private:
    static void putInt(std::string& out, int v) {
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(v >> shift));
    }
    static void putShort(std::string& out, int v) {
        out.push_back(static_cast<char>(v >> 8));
        out.push_back(static_cast<char>(v));
    }

    std::u16string m_name;
    int m_formatVersion, m_version;
    long long m_lastModified;
    int m_nextRecordID;
    int m_largestId = 0;
    std::string m_records;
};

inline JavaPtr<JArray<signed char>> byteArray(const std::string& bytes) {
    JavaPtr<JArray<signed char>> array = jnew<JArray<signed char>>(static_cast<int>(bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i) array->data[i] = static_cast<signed char>(bytes[i]);
    return array;
}

inline std::string bytesIn(const JavaPtr<JArray<signed char>>& array) {
    if (!array) return "<null>";
    return std::string(reinterpret_cast<const char*>(array->data), static_cast<size_t>(array->length));
}

inline std::vector<std::string> narrowAll(
    const JavaPtr<javax::microedition::rms::RecordStore::StringArray>& names) {
    std::vector<std::string> out;
    for (const JavaPtr<java::lang::String>& name : *names) out.push_back(narrow(name));
    return out;
}

}  // namespace testsupport
