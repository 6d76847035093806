// The file layer's pieces for durable saves: exclusive creation, checked listings, removals and
// renames that say whether they reached the device, and every write going through the file
// operations, where tests can fail it.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "library/FileOutputStream.h"
#include "library/FileSystem.h"
#include "platform/files/FileSystemPaths.h"
#include "tests/library/FileFixture.h"
#include "tests/support/FileOperationFaults.h"
#include "tests/support/StringText.h"

using java::io::FileOutputStream;
using java::io::FileSystem;
using testsupport::FileOperationFaults;
using testsupport::jstr;
using testsupport::readTextFile;
using testsupport::writeTextFile;

namespace {

class DurableFiles : public testsupport::FileFixture {};

TEST_F(DurableFiles, ExclusiveCreationNeverTouchesWhatHoldsTheName) {
    writeTextFile(data() / "taken", "keep me");
    std::filesystem::create_directories(data() / "folder");
    for (const char* name : {"taken", "folder"}) {
        JavaPtr<FileOutputStream> out = jnew<FileOutputStream>(jstr(name));
        EXPECT_EQ(out->createExclusively(), EEXIST) << name;
        EXPECT_TRUE(out->writeErrorOccurred()) << name;
        out->write(static_cast<int>('x'));
        out->close();
    }
    EXPECT_EQ(readTextFile(data() / "taken"), "keep me");
    EXPECT_TRUE(std::filesystem::is_directory(data() / "folder"));

    JavaPtr<FileOutputStream> fresh = jnew<FileOutputStream>(jstr("fresh"));
    EXPECT_EQ(fresh->createExclusively(), 0);
    EXPECT_TRUE(std::filesystem::exists(data() / "fresh")) << "made at once, before any write";
    fresh->write(static_cast<int>('a'));
    fresh->flush();
    fresh->write(static_cast<int>('b'));
    fresh->close();
    EXPECT_FALSE(fresh->writeErrorOccurred());
    EXPECT_EQ(readTextFile(data() / "fresh"), "ab");
    EXPECT_EQ(jnew<FileOutputStream>(jstr("../escape"))->createExclusively(), EINVAL);
}

TEST_F(DurableFiles, EveryFailingStepOfAWriteSetsTheErrorFlag) {
    using Kind = FileOperationFaults::Kind;
    for (Kind kind : {Kind::Open, Kind::Write, Kind::Fsync, Kind::Close}) {
        FileOperationFaults faults;
        faults.failEvery(kind, kind == Kind::Write ? ENOSPC : EIO);
        JavaPtr<FileOutputStream> out = jnew<FileOutputStream>(jstr("f"));
        out->write(static_cast<int>('x'));
        out->close();
        EXPECT_TRUE(out->writeErrorOccurred()) << static_cast<int>(kind);
        EXPECT_GE(faults.failures(), 1) << static_cast<int>(kind);
    }
    FileOperationFaults none;
    JavaPtr<FileOutputStream> out = jnew<FileOutputStream>(jstr("f"));
    out->write(static_cast<int>('x'));
    out->close();
    EXPECT_FALSE(out->writeErrorOccurred());
    EXPECT_GE(none.calls(), 4) << "open, write, fsync and close all go through the table";
}

TEST_F(DurableFiles, RenamesAndRemovalsTellAnUnsyncedDirectoryApart) {
    FileSystem* fs = FileSystem::getFileSystem();
    writeTextFile(data() / "a", "1");
    writeTextFile(data() / "b", "2");
    {
        FileOperationFaults faults;
        faults.failEvery(FileOperationFaults::Kind::Fsync, EIO);
        EXPECT_EQ(fs->renameFileDurably(jstr("a"), jstr("c")), FileSystem::Change::NotDurable);
        EXPECT_TRUE(fs->renameFile(jstr("c"), jstr("a"))) << "the rename itself happened";
        EXPECT_EQ(fs->deleteFileDurably(jstr("b")), FileSystem::Change::NotDurable);
        EXPECT_FALSE(fs->syncDirectory());
    }
    EXPECT_FALSE(std::filesystem::exists(data() / "b"));
    {
        FileOperationFaults faults;
        faults.failEvery(FileOperationFaults::Kind::Rename, EIO);
        EXPECT_EQ(fs->renameFileDurably(jstr("a"), jstr("c")), FileSystem::Change::Failed);
    }
    EXPECT_EQ(fs->renameFileDurably(jstr("a"), jstr("c")), FileSystem::Change::Done);
    EXPECT_EQ(fs->deleteFileDurably(jstr("c")), FileSystem::Change::Done);
    EXPECT_EQ(fs->deleteFileDurably(jstr("c")), FileSystem::Change::Failed);
    EXPECT_TRUE(fs->syncDirectory());
}

TEST_F(DurableFiles, AFailedListingIsNotAnEmptyDirectory) {
    FileSystem* fs = FileSystem::getFileSystem();
    writeTextFile(data() / "rs_1", "x");
    JavaPtr<JArray<JavaPtr<java::lang::String>>> names;
    EXPECT_TRUE(fs->listFilenames(names));
    EXPECT_EQ(names->length, 1);
    {
        FileOperationFaults faults;
        faults.failEvery(FileOperationFaults::Kind::List, EIO);
        EXPECT_FALSE(fs->listFilenames(names));
        EXPECT_EQ(names->length, 0);
        EXPECT_EQ(fs->listFilenames()->length, 0) << "the unchecked listing answers nothing";
    }
    const std::string empty = (root() / "empty").string();
    std::filesystem::create_directories(empty);
    platform::setFileSystemPaths(bundle().c_str(), empty.c_str());
    EXPECT_TRUE(fs->listFilenames(names));
    platform::setFileSystemPaths(bundle().c_str(), (root() / "missing").c_str());
    EXPECT_FALSE(fs->listFilenames(names));
}

}  // namespace
