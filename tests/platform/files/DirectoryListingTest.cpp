#include "platform/files/DirectoryListing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TemporaryDirectory.h"

namespace {

std::vector<std::string> drain() {
    std::vector<std::string> names;
    while (const char* name = _directoryFileListNext()) names.emplace_back(name);
    return names;
}

TEST(DirectoryListing, ListsTheTreeSortedAsRelativePaths) {
    testsupport::TemporaryDirectory root;
    for (const char* name : {"rs_2", "rs_10", ".hidden", "b/deep/file", "a", "b/c"})
        testsupport::writeTextFile(root.path() / name, "x");
    std::filesystem::create_directories(root.path() / "empty");
    _directoryFileListStart(root.path().c_str());
    EXPECT_EQ(drain(), (std::vector<std::string>{".hidden", "a", "b", "b/c", "b/deep", "b/deep/file", "empty",
                                                 "rs_10", "rs_2"}));
    EXPECT_EQ(_directoryFileListNext(), nullptr) << "after the end";
}

TEST(DirectoryListing, SkipsNamesWithoutAnAsciiFormAndDoesNotFollowLinks) {
    testsupport::TemporaryDirectory root;
    testsupport::writeTextFile(root.path() / "a", "x");
    testsupport::writeTextFile(root.path() / "caf\xc3\xa9" / "inside", "x");
    testsupport::writeTextFile(root.path() / "na\xefve", "x");
    testsupport::writeTextFile(root.path() / "z", "x");
    std::filesystem::create_directory_symlink(root.path(), root.path() / "loop");
    EXPECT_EQ(platform::listDirectoryTree(root.path().string()),
              (std::vector<std::string>{"a", "loop", "z"}));
}

TEST(DirectoryListing, MissingDirectoryAndNoStartGiveNothing) {
    EXPECT_EQ(_directoryFileListNext(), nullptr);
    _directoryFileListStart("/nonexistent/quill/listing");
    EXPECT_EQ(_directoryFileListNext(), nullptr);
    _directoryFileListStart(nullptr);
    EXPECT_EQ(_directoryFileListNext(), nullptr);
}

TEST(DirectoryListing, ANewStartReplacesAListingUnderWay) {
    testsupport::TemporaryDirectory first, second;
    testsupport::writeTextFile(first.path() / "one", "x");
    testsupport::writeTextFile(first.path() / "two", "x");
    testsupport::writeTextFile(second.path() / "three", "x");
    _directoryFileListStart(first.path().c_str());
    EXPECT_STREQ(_directoryFileListNext(), "one");
    _directoryFileListStart(second.path().c_str());
    EXPECT_EQ(drain(), std::vector<std::string>{"three"});
}

}  // namespace
