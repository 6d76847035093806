// Tests of the file classes run against a bundle and a data directory made fresh for each test; the
// file layer's directory globals point at them for the test's length.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/files/FileSystemPaths.h"
#include "runtime/String.h"
#include "tests/support/TemporaryDirectory.h"

namespace testsupport {

class FileFixture : public testing::Test {
protected:
    void SetUp() override {
        m_savedBundle = _appPathIs;
        m_savedData = _savePathIs;
        std::filesystem::create_directories(bundle());
        std::filesystem::create_directories(data());
        // A trailing "/" is dropped: paths below get exactly one.
        platform::setFileSystemPaths((bundle().string() + "/").c_str(), data().c_str());
    }
    void TearDown() override {
        _appPathIs = m_savedBundle;
        _savePathIs = m_savedData;
    }

    std::filesystem::path root() const { return m_root.path(); }
    std::filesystem::path bundle() const { return m_root.path() / "bundle"; }
    std::filesystem::path data() const { return m_root.path() / "data"; }

private:
    TemporaryDirectory m_root;
    const char* m_savedBundle = nullptr;
    const char* m_savedData = nullptr;
};

// Ends the process (failing the test) if the scope is not left within the limit: for tests whose
// fault would be a hang.
class NoHangGuard {
public:
    explicit NoHangGuard(unsigned seconds = 20) { alarm(seconds); }
    ~NoHangGuard() { alarm(0); }
    NoHangGuard(const NoHangGuard&) = delete;
    NoHangGuard& operator=(const NoHangGuard&) = delete;
};

inline JavaPtr<java::lang::String> unitString(const std::u16string& units) {
    return jnew<java::lang::String>(reinterpret_cast<const unsigned short*>(units.data()),
                                    static_cast<int>(units.size()));
}

}  // namespace testsupport
