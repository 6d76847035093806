#include "platform/files/FileSystemPaths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/ScopedVariable.h"
#include "tests/support/TemporaryDirectory.h"

namespace {

using testsupport::ScopedVariable;

// Puts the globals back as they were.
class SavedGlobals {
public:
    ~SavedGlobals() {
        _appPathIs = m_bundle;
        _savePathIs = m_data;
    }

private:
    const char* m_bundle = _appPathIs;
    const char* m_data = _savePathIs;
};

std::string executableFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

TEST(FileSystemPaths, FlagBeatsEnvironmentWhichBeatsTheDefaults) {
    ScopedVariable bundleVariable(platform::kBundleDirectoryVariable, "/env/bundle");
    ScopedVariable dataVariable(platform::kDataDirectoryVariable, "/env/data/");
    ScopedVariable dataHome("XDG_DATA_HOME", "/xdg");
    platform::FileSystemPathChoice choice;
    std::string error;

    ASSERT_TRUE(platform::chooseFileSystemPaths("/flag/bundle/", "/flag/data", choice, error));
    EXPECT_EQ(choice.bundleDirectory, "/flag/bundle");
    EXPECT_EQ(choice.dataDirectory, "/flag/data");

    ASSERT_TRUE(platform::chooseFileSystemPaths(nullptr, "", choice, error));
    EXPECT_EQ(choice.bundleDirectory, "/env/bundle");
    EXPECT_EQ(choice.dataDirectory, "/env/data");

    unsetenv(platform::kBundleDirectoryVariable);
    setenv(platform::kDataDirectoryVariable, "", 1);
    ASSERT_TRUE(platform::chooseFileSystemPaths(nullptr, nullptr, choice, error));
    EXPECT_EQ(choice.bundleDirectory, executableFolder());
    EXPECT_EQ(choice.dataDirectory, "/xdg/quill");
}

TEST(FileSystemPaths, DataDefaultFallsBackToHomeAndRelativePathsBecomeAbsolute) {
    ScopedVariable dataVariable(platform::kDataDirectoryVariable, nullptr);
    ScopedVariable home("HOME", "/home/player");
    platform::FileSystemPathChoice choice;
    std::string error;
    for (const char* dataHome : {static_cast<const char*>(nullptr), "", "relative/share"}) {
        ScopedVariable xdg("XDG_DATA_HOME", dataHome);
        ASSERT_TRUE(platform::chooseFileSystemPaths(nullptr, nullptr, choice, error));
        EXPECT_EQ(choice.dataDirectory, "/home/player/.local/share/quill") << (dataHome ? dataHome : "unset");
    }
    ASSERT_TRUE(platform::chooseFileSystemPaths("bundle/./here/", "/a/../data", choice, error));
    EXPECT_EQ(choice.bundleDirectory, (std::filesystem::current_path() / "bundle" / "here").string());
    EXPECT_EQ(choice.dataDirectory, "/data");
}

TEST(FileSystemPaths, SetUpCreatesAPrivateDataDirectoryAndSetsTheGlobals) {
    SavedGlobals saved;
    testsupport::TemporaryDirectory root;
    const std::string data = (root.path() / "share" / "quill").string();
    std::string error;
    ASSERT_TRUE(platform::setUpFileSystemPaths(root.path().c_str(), (data + "/").c_str(), error)) << error;
    EXPECT_EQ(std::string(_appPathIs), root.path().string());
    EXPECT_EQ(std::string(_savePathIs), data);
    struct stat status {};
    ASSERT_EQ(stat(data.c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_EQ(stat((root.path() / "share").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    // An existing data directory is used as it is.
    ASSERT_TRUE(platform::setUpFileSystemPaths(root.path().c_str(), data.c_str(), error)) << error;
}

TEST(FileSystemPaths, SetUpFailsWithAReasonAndLeavesTheGlobals) {
    SavedGlobals saved;
    testsupport::TemporaryDirectory root;
    testsupport::writeTextFile(root.path() / "plain", "not a directory");
    platform::setFileSystemPaths("/before/bundle", "/before/data");
    struct Case {
        std::string bundle, data, reason;
    };
    const std::string base = root.path().string();
    for (const Case& c :
         {Case{base + "/missing", base + "/data", base + "/missing does not exist"},
          Case{base, base + "/plain", base + "/plain is not a directory"},
          Case{base, base + "/plain/below", "cannot create " + base + "/plain/below"},
          Case{base + "/plain", base + "/data", base + "/plain is not a directory"},
          Case{"/dev/null", base + "/data", "the bundle directory /dev/null is not a directory"}}) {
        std::string error;
        EXPECT_FALSE(platform::setUpFileSystemPaths(c.bundle.c_str(), c.data.c_str(), error))
            << c.bundle << " " << c.data;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_STREQ(_appPathIs, "/before/bundle");
        EXPECT_STREQ(_savePathIs, "/before/data");
    }
}

TEST(FileSystemPaths, SetPathsDropsTrailingSlashes) {
    SavedGlobals saved;
    platform::setFileSystemPaths("/b//", "/");
    EXPECT_STREQ(_appPathIs, "/b");
    EXPECT_STREQ(_savePathIs, "") << "the root: paths below it still start with one /";
    platform::setFileSystemPaths(nullptr, "/d");
    EXPECT_EQ(_appPathIs, nullptr);
    EXPECT_STREQ(_savePathIs, "/d");
}

}  // namespace
