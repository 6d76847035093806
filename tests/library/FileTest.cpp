#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "library/DataInputStream.h"
#include "library/File.h"
#include "library/FileInputStream.h"
#include "library/FileOutputStream.h"
#include "library/FileSystem.h"
#include "runtime/EOFException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "tests/library/ByteArrays.h"
#include "tests/library/FileFixture.h"
#include "tests/support/StringText.h"

using namespace java::io;
using java::lang::String;
using testsupport::bytesOf;
using testsupport::contentsOf;
using testsupport::jstr;
using testsupport::readTextFile;
using testsupport::unitString;
using testsupport::writeTextFile;

namespace {

class Files : public testsupport::FileFixture {
protected:
    JavaPtr<FileInputStream> openForReading(const JavaPtr<String>& name) {
        return jnew<FileInputStream>(jnew<File>(name));
    }
    // Writes the bytes with a FileOutputStream, closes it and answers its error flag.
    bool writeFails(const JavaPtr<String>& name, const std::string& bytes) {
        JavaPtr<FileOutputStream> out = jnew<FileOutputStream>(name);
        for (char c : bytes) out->write(static_cast<int>(c));
        out->close();
        return out->writeErrorOccurred();
    }
    std::vector<std::string> listing() {
        std::vector<std::string> names;
        JavaPtr<JArray<JavaPtr<String>>> listed = FileSystem::getFileSystem()->listFilenames();
        for (const JavaPtr<String>& name : *listed) names.push_back(toUtf8(name));
        return names;
    }
};

TEST_F(Files, NamesMapToTheBundleOrTheDataDirectory) {
    struct Case {
        const char* name;
        std::string path;
    };
    const std::string b = bundle().string(), d = data().string();
    const std::vector<Case> cases = {
        {"/x.png", b + "/x_png"},
        {"x.png", d + "/x_png"},
        {"X.PNG", d + "/X.PNG"},
        {"rs_12", d + "/rs_12"},
        {"/fonts/tsbmpfnt", b + "/fonts/tsbmpfnt"},
        {"sub/a.png", d + "/sub/a_png"},
    };
    for (const Case& c : cases) EXPECT_EQ(toUtf8(jnew<File>(jstr(c.name))->path), c.path) << c.name;
}

TEST_F(Files, ResourcesAreReadFromTheBundleUnderTheirPngNames) {
    writeTextFile(bundle() / "icons" / "star_png", "\x89PNG data");
    writeTextFile(data() / "icons" / "star_png", "saved");
    JavaPtr<File> file = jnew<File>(jstr("/icons/star.png"));
    EXPECT_EQ(file->length(), 9);
    JavaPtr<FileInputStream> in = jnew<FileInputStream>(file);
    ASSERT_TRUE(in->opened);
    EXPECT_EQ(in->path, file->path);
    EXPECT_EQ(in->available(), 9);
    JavaPtr<JArray<signed char>> b = jnew<JArray<signed char>>(16);
    EXPECT_EQ(in->read(b), 9);
    EXPECT_EQ(contentsOf(b, 4), (std::vector<int>{0x89, 'P', 'N', 'G'}));
    EXPECT_EQ(in->read(b), -1);
    EXPECT_EQ(toUtf8(openForReading(jstr("icons/star.png"))->path), (data() / "icons" / "star_png").string());
}

TEST_F(Files, MissingFileIsAnEmptyStream) {
    JavaPtr<FileInputStream> in = openForReading(jstr("/absent.dat"));
    EXPECT_FALSE(in->opened);
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(jnew<JArray<signed char>>(4), 0, 4), -1);
    EXPECT_EQ(in->available(), 0);
    EXPECT_EQ(in->skip(10), 0);
    EXPECT_EQ(in->getReadPos(), 0);
    in->reset();
    in->close();
    EXPECT_EQ(jnew<File>(jstr("absent"))->length(), 0);
}

TEST_F(Files, ReadsSkipsAndResetsATenByteFile) {
    writeTextFile(data() / "ten", "0123456789");
    JavaPtr<FileInputStream> in = openForReading(jstr("ten"));
    ASSERT_TRUE(in->opened);
    JavaPtr<JArray<signed char>> b = jnew<JArray<signed char>>(4);
    EXPECT_EQ(in->read(b, 0, 4), 4);
    EXPECT_EQ(in->available(), 6);
    EXPECT_EQ(in->read(b, 2, 4), 2) << "at most the room left in b";
    EXPECT_EQ(contentsOf(b), (std::vector<int>{'0', '1', '4', '5'}));
    EXPECT_EQ(in->read(b, 0, 0), -1);
    EXPECT_EQ(in->read(b, 4, 1), -1);
    in->mark(100);
    EXPECT_EQ(in->read(), '6');
    EXPECT_EQ(in->getReadPos(), 7);
    EXPECT_EQ(in->skip(100), 3);
    EXPECT_EQ(in->read(), -1);
    in->reset();
    EXPECT_EQ(in->getReadPos(), 0);
    EXPECT_EQ(in->read(), '0') << "reset goes to the start, not to the mark";
    EXPECT_FALSE(in->markSupported());
    in->close();
    EXPECT_FALSE(in->opened);
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->available(), 9) << "available keeps answering after close";

    EXPECT_THROW(in->read(nullptr, 0, 1), java::lang::NullPointerException);
    EXPECT_THROW(in->read(b, -1, 1), java::lang::IndexOutOfBoundsException);
    EXPECT_THROW(in->read(b, 0, -1), java::lang::IndexOutOfBoundsException);
}

TEST_F(Files, OutputStreamTouchesNothingUntilItsFirstWrite) {
    writeTextFile(data() / "kept", "old");
    { JavaPtr<FileOutputStream> unused = jnew<FileOutputStream>(jstr("kept")); }
    { JavaPtr<FileOutputStream> unused = jnew<FileOutputStream>(jstr("never")); }
    EXPECT_EQ(readTextFile(data() / "kept"), "old");
    EXPECT_FALSE(std::filesystem::exists(data() / "never"));

    EXPECT_FALSE(writeFails(jstr("kept"), "new"));
    EXPECT_EQ(readTextFile(data() / "kept"), "new") << "the first write empties the file";
}

TEST_F(Files, OutputNamesAllLiveInTheDataDirectory) {
    EXPECT_FALSE(writeFails(jstr("/lead"), "1"));
    EXPECT_FALSE(writeFails(jstr("pic.png"), "2"));
    EXPECT_EQ(readTextFile(data() / "lead"), "1");
    EXPECT_EQ(readTextFile(data() / "pic.png"), "2") << "written names keep .png";
    EXPECT_FALSE(openForReading(jstr("pic.png"))->opened) << "which File looks up as pic_png";
}

TEST_F(Files, WriteAfterFlushAppendsAndDestructionFlushes) {
    {
        JavaPtr<FileOutputStream> out = jnew<FileOutputStream>(jstr("log"));
        out->write(bytesOf({'a', 'b', 'c'}), 1, 2);
        out->flush();
        EXPECT_EQ(readTextFile(data() / "log"), "bc");
        out->write('d');
        out->write(bytesOf({'e'}));
        EXPECT_FALSE(out->writeErrorOccurred());
        EXPECT_THROW(out->write(bytesOf({1}), 1, 1), java::lang::IndexOutOfBoundsException);
        EXPECT_THROW(out->write(nullptr, 0, 0), java::lang::NullPointerException);
    }
    EXPECT_EQ(readTextFile(data() / "log"), "bcde");
}

TEST_F(Files, FileSystemRenamesDeletesTestsAndLists) {
    FileSystem* fs = FileSystem::getFileSystem();
    EXPECT_EQ(FileSystem::getFileSystem(), fs);
    EXPECT_TRUE(FileSystem::isValid());
    EXPECT_TRUE(listing().empty());

    writeTextFile(data() / "rs_tmp1", "fresh");
    writeTextFile(data() / "rs_1", "stale");
    writeTextFile(data() / "sub" / "inner", "x");
    EXPECT_TRUE(fs->fileExists(jstr("rs_1")));
    EXPECT_TRUE(fs->fileExists(jstr("/rs_1"))) << "a leading / is the double slash, the same file";
    EXPECT_EQ(listing(), (std::vector<std::string>{"rs_1", "rs_tmp1", "sub", "sub/inner"}));

    EXPECT_TRUE(fs->renameFile(jstr("rs_tmp1"), jstr("rs_1")));
    EXPECT_EQ(readTextFile(data() / "rs_1"), "fresh");
    EXPECT_FALSE(fs->fileExists(jstr("rs_tmp1")));
    EXPECT_FALSE(fs->renameFile(jstr("rs_tmp1"), jstr("rs_2")));

    EXPECT_TRUE(fs->deleteFile(jstr("rs_1")));
    EXPECT_FALSE(fs->deleteFile(jstr("rs_1")));
    EXPECT_FALSE(fs->fileExists(jstr("rs_1")));
    EXPECT_EQ(listing(), (std::vector<std::string>{"sub", "sub/inner"}));

    FileSystem::destroyFileSystem();
    EXPECT_TRUE(FileSystem::isValid());
    EXPECT_TRUE(FileSystem::getFileSystem()->fileExists(jstr("sub/inner")));
    FileSystem::destroyFileSystem();
}

TEST_F(Files, ListingSkipsNamesWithoutAnAsciiFormAndGoesOn) {
    writeTextFile(data() / "rs_1", "a");
    writeTextFile(data() / "caf\xc3\xa9", "b");
    writeTextFile(data() / "rs_2", "c");
    writeTextFile(data() / "back\\u0041slash", "d");
    EXPECT_EQ(listing(), (std::vector<std::string>{"back\\u0041slash", "rs_1", "rs_2"}));
    // The listed string keeps the bytes as they are (no escape decoding), so it names the file.
    EXPECT_TRUE(FileSystem::getFileSystem()->fileExists(FileSystem::getFileSystem()->listFilenames()->data[0]));
}

TEST_F(Files, BadNamesAreRefusedEverywhere) {
    // Files that the bad names would reach or alias if they were let through.
    writeTextFile(root() / "secret", "outside");
    writeTextFile(data() / "A", "aliased by U+0141");
    writeTextFile(data() / "a", "aliased by a U+0000 b");
    struct Case {
        const char* what;
        JavaPtr<String> name;
    };
    const std::vector<Case> cases = {
        {"..", jstr("..")},
        {"../secret", jstr("../secret")},
        {"/../secret", jstr("/../secret")},
        {"sub/../../secret", jstr("sub/../../secret")},
        {"U+0000", unitString(std::u16string(u"a\0b", 3))},
        {"U+0141", unitString(u"\u0141")},
        {"empty", jnew<String>()},
        {"null", JavaPtr<String>()},
    };
    FileSystem* fs = FileSystem::getFileSystem();
    for (const Case& c : cases) {
        JavaPtr<File> file = jnew<File>(c.name);
        EXPECT_FALSE(file->hasUsablePath()) << c.what;
        EXPECT_EQ(file->length(), 0) << c.what;
        EXPECT_FALSE(jnew<FileInputStream>(file)->opened) << c.what;
        EXPECT_TRUE(writeFails(c.name, "overwritten")) << c.what;
        EXPECT_FALSE(fs->fileExists(c.name)) << c.what;
        EXPECT_FALSE(fs->deleteFile(c.name)) << c.what;
        EXPECT_FALSE(fs->renameFile(c.name, jstr("moved"))) << c.what;
        EXPECT_FALSE(fs->renameFile(jstr("A"), c.name)) << c.what;
    }
    EXPECT_EQ(readTextFile(root() / "secret"), "outside");
    EXPECT_EQ(readTextFile(data() / "A"), "aliased by U+0141");
    EXPECT_EQ(readTextFile(data() / "a"), "aliased by a U+0000 b");
    EXPECT_FALSE(std::filesystem::exists(data() / "moved"));
    // Names that only look odd are fine.
    EXPECT_FALSE(writeFails(jstr("..hidden"), "ok"));
    EXPECT_FALSE(writeFails(unitString(u"\u00e9t\u00e9"), "ok"));
    EXPECT_TRUE(fs->fileExists(unitString(u"\u00e9t\u00e9")));
}

TEST_F(Files, DirectoriesAndFifosAreRefusedWithoutHanging) {
    testsupport::NoHangGuard guard;
    std::filesystem::create_directories(data() / "dir");
    std::filesystem::create_directories(bundle() / "dir");
    ASSERT_EQ(mkfifo((data() / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((bundle() / "fifo").c_str(), 0600), 0);
    FileSystem* fs = FileSystem::getFileSystem();
    for (const char* name : {"dir", "/dir", "fifo", "/fifo"}) {
        JavaPtr<FileInputStream> in = openForReading(jstr(name));
        EXPECT_FALSE(in->opened) << name;
        // A stream that did open a directory would fail every read; a DataInputStream loop over it
        // must still end.
        JavaPtr<DataInputStream> data = jnew<DataInputStream>(in);
        EXPECT_THROW(data->readFully(jnew<JArray<signed char>>(4)), EOFException) << name;
        EXPECT_EQ(jnew<File>(jstr(name))->length(), 0) << name;
    }
    for (const char* name : {"dir", "fifo"}) {
        EXPECT_FALSE(fs->fileExists(jstr(name))) << name;
        EXPECT_TRUE(writeFails(jstr(name), "x")) << name;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(data() / "fifo"));
    EXPECT_TRUE(std::filesystem::is_directory(data() / "dir"));
}

TEST_F(Files, UnreadableFileDoesNotOpen) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    writeTextFile(data() / "locked", "x");
    std::filesystem::permissions(data() / "locked", std::filesystem::perms::none);
    EXPECT_FALSE(openForReading(jstr("locked"))->opened);
    EXPECT_FALSE(FileSystem::getFileSystem()->fileExists(jstr("locked")));
}

// Lowers the file-size limit for the scope, with SIGXFSZ ignored so that an oversized write fails
// with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_applied = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    bool applied() const { return m_applied; }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = nullptr;
    bool m_applied = false;
};

TEST_F(Files, FullDiskIsAWriteError) {
    JavaPtr<JArray<signed char>> block = jnew<JArray<signed char>>(64 * 1024);
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.applied());
        // Small enough to sit in stdio's buffer: the failure can only show at close.
        JavaPtr<FileOutputStream> buffered = jnew<FileOutputStream>(jstr("buffered"));
        buffered->write(block, 0, 3000);
        buffered->write(block, 0, 3000);
        buffered->close();
        EXPECT_TRUE(buffered->writeErrorOccurred());

        JavaPtr<FileOutputStream> large = jnew<FileOutputStream>(jstr("large"));
        large->write(block);
        EXPECT_TRUE(large->writeErrorOccurred()) << "a short write is seen at once";
        large->close();

        JavaPtr<FileOutputStream> fits = jnew<FileOutputStream>(jstr("fits"));
        fits->write(block, 0, 4000);
        fits->close();
        EXPECT_FALSE(fits->writeErrorOccurred());
    }
    EXPECT_LE(std::filesystem::file_size(data() / "large"), 4096u);
    EXPECT_EQ(std::filesystem::file_size(data() / "fits"), 4000u);
}

}  // namespace
