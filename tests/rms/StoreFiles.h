// Record-store tests: a fixture over a fresh data directory that drops every store object (and the
// directory lock) afterwards, and a builder of store-file bytes with every field under the test's
// control, damaged ones included.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "rms/RecordStore.h"
#include "runtime/JArray.h"
#include "tests/library/FileFixture.h"
#include "tests/support/StringText.h"

namespace testsupport {

// The bytes of a store file.
class StoreFileBytes {
public:
    explicit StoreFileBytes(const std::u16string& name, int formatVersion = 1, int version = 0,
                            long long lastModified = 1000, int nextRecordID = 1)
        : m_formatVersion(formatVersion) {
        putInt(0x74737366);
        putShort(formatVersion);
        putInt(version);
        putInt(static_cast<int>(static_cast<uint64_t>(lastModified) >> 32));
        putInt(static_cast<int>(lastModified));
        putInt(nextRecordID);
        if (formatVersion == 1) putInt(headerChecksum(version, lastModified, nextRecordID, name));
        for (char16_t unit : name) putShort(unit);
        putShort(0);
    }

    // A record chunk; the stored checksum is the right one plus checksumError.
    StoreFileBytes& record(int id, const std::string& data, int checksumError = 0) {
        putInt(id);
        putInt(static_cast<int>(data.size()));
        m_bytes += data;
        if (m_formatVersion == 1) putInt(recordChecksum(id, data) + checksumError);
        return *this;
    }
    StoreFileBytes& raw(const std::string& bytes) {
        m_bytes += bytes;
        return *this;
    }
    const std::string& bytes() const { return m_bytes; }

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
    void putInt(int v) {
        for (int shift = 24; shift >= 0; shift -= 8) m_bytes.push_back(static_cast<char>(v >> shift));
    }
    void putShort(int v) {
        m_bytes.push_back(static_cast<char>(v >> 8));
        m_bytes.push_back(static_cast<char>(v));
    }

    int m_formatVersion;
    std::string m_bytes;
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

inline std::vector<std::string> narrowAll(const javax::microedition::rms::RecordStore::StringList& names) {
    std::vector<std::string> out;
    for (const JavaPtr<java::lang::String>& name : names) out.push_back(narrow(name));
    return out;
}

class StoreFixture : public FileFixture {
protected:
    void TearDown() override {
        javax::microedition::rms::RecordStore::tidyUp();
        FileFixture::TearDown();
    }

    void writeStoreFile(const std::string& fileName, const std::string& bytes) {
        writeTextFile(data() / fileName, bytes);
    }
    std::string storeFile(const std::string& fileName) { return readTextFile(data() / fileName); }
    // The names of the data directory's files, sorted.
    std::vector<std::string> files() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(data()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace testsupport
