// Record-store tests: a fixture over a fresh data directory that drops every store object (and the
// directory lock) afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files/FileSystemPaths.h"
#include "rms/RecordStore.h"
#include "tests/library/FileFixture.h"
#include "tests/rms/StoreBytes.h"

namespace testsupport {

class StoreFixture : public FileFixture {
protected:
    // Tests of the store's logic rather than of the disk may keep the data directory in memory,
    // where there is a memory file system: fsync then costs nothing.
    explicit StoreFixture(bool inMemory = false) : m_inMemory(inMemory) {}

    void SetUp() override {
        FileFixture::SetUp();
        std::string pattern = "/dev/shm/quill-store-XXXXXX";
        if (m_inMemory && std::filesystem::is_directory("/dev/shm") && mkdtemp(pattern.data()) != nullptr) {
            m_memory = pattern;
            platform::setFileSystemPaths(bundle().c_str(), m_memory.c_str());
        }
    }
    void TearDown() override {
        javax::microedition::rms::RecordStore::tidyUp();
        FileFixture::TearDown();
        if (!m_memory.empty()) std::filesystem::remove_all(m_memory);
    }

    // The data directory the stores live in.
    std::filesystem::path storeDirectory() const {
        return m_memory.empty() ? data() : std::filesystem::path(m_memory);
    }
    void writeStoreFile(const std::string& fileName, const std::string& bytes) {
        writeTextFile(storeDirectory() / fileName, bytes);
    }
    std::string storeFile(const std::string& fileName) { return readTextFile(storeDirectory() / fileName); }
    // The names of the data directory's files, sorted.
    std::vector<std::string> files() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(storeDirectory()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    bool m_inMemory;
    std::string m_memory;
};

}  // namespace testsupport
