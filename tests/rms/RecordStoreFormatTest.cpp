// The store file format: checksums, the header a new store writes, the scan that maps store names to
// files, and the record readers over whole, damaged and version-0 files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "library/DataInputStream.h"
#include "library/File.h"
#include "library/FileInputStream.h"
#include "rms/RecordStore.h"
#include "tests/rms/StoreFiles.h"

using namespace javax::microedition::rms;
using java::io::DataInputStream;
using java::io::File;
using java::io::FileInputStream;
using java::lang::String;
using testsupport::byteArray;
using testsupport::bytesIn;
using testsupport::jstr;
using testsupport::narrow;
using testsupport::narrowAll;
using testsupport::StoreFileBytes;
using testsupport::unitString;

namespace {

class StoreFormat : public testsupport::StoreFixture {
protected:
    // The id and bytes getRecordInternal answers, or -1 and "".
    std::pair<int, std::string> lookUp(const JavaPtr<RecordStore>& store, int id) {
        JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(store->fileName));
        JavaPtr<JArray<signed char>> bytes;
        const int offset = getRecordInternal(file, id, bytes, *store);
        return {offset, offset < 0 ? "" : bytesIn(bytes)};
    }
    // Every chunk getNextRecord reads, as id:bytes, or id:- for one whose read answered false.
    std::vector<std::string> chunks(const JavaPtr<RecordStore>& store, bool readData) {
        JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(store->fileName));
        JavaPtr<DataInputStream> in = jnew<DataInputStream>(JavaPtr<java::io::InputStream>(file));
        store->seekToFirstRecord(in);
        std::vector<std::string> seen;
        for (int guard = 0; guard < 100 && in->available() > 0; ++guard) {
            JavaPtr<JArray<signed char>> bytes;
            int id = 0;
            const bool good = store->getNextRecord(in, readData ? &bytes : nullptr, &id);
            seen.push_back(std::to_string(id) + ":" + (good ? (readData ? bytesIn(bytes) : "ok") : "-"));
            if (!good && !readData) break;
        }
        return seen;
    }
};

TEST_F(StoreFormat, ChecksumsMatchTheWorkedExamples) {
    EXPECT_EQ(static_cast<uint32_t>(getHeaderChunkCRC(0, 1000, 1, jstr("abc"))), 3085657305u);
    EXPECT_EQ(getRecordChunkCRC(1, byteArray("abc")), 3046495);
    EXPECT_EQ(getRecordChunkCRC(5, byteArray("\xff")), -26);
    EXPECT_EQ(getRecordChunkCRC(77, byteArray("")), 77);
    EXPECT_EQ(getRecordChunkCRC(77, JavaPtr<JArray<signed char>>()), 77);
    // Wrapping arithmetic over the whole 64-bit time and a name hash with the top bit set.
    const JavaPtr<String> name = jstr("a longer store name");
    const int expected =
        StoreFileBytes::headerChecksum(-7, -123456789012345LL, 0x7fffffff, u"a longer store name");
    EXPECT_EQ(getHeaderChunkCRC(-7, -123456789012345LL, 0x7fffffff, name), expected);
    std::string mixed;
    for (int i = 0; i < 300; ++i) mixed.push_back(static_cast<char>(i * 37));
    EXPECT_EQ(getRecordChunkCRC(123, byteArray(mixed)), StoreFileBytes::recordChecksum(123, mixed));
}

TEST_F(StoreFormat, TheHeaderExampleIsThirtyFourBytes) {
    const std::string expected(
        "tssf\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x03\xe8\x00\x00\x00\x01"
        "\xb7\xeb\x64\xd9\x00\x61\x00\x62\x00\x63\x00\x00",
        34);
    EXPECT_EQ(StoreFileBytes(u"abc").bytes(), expected);
    writeStoreFile("rs_1", expected);
    EXPECT_EQ(narrow(RecordStore::getRecordStoreName(jstr("rs_1"))), "abc");
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("abc"), false);
    EXPECT_EQ(store->getVersion(), 0);
    EXPECT_EQ(store->getLastModified(), 1000);
    EXPECT_EQ(store->getNextRecordID(), 1);
    EXPECT_EQ(store->getSize(), 34);
}

TEST_F(StoreFormat, ANewStoreWritesItsHeaderAndName) {
    // The clock's first reading is a whole second.
    const long long before =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
                .count() *
            1000 -
        1000;
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(unitString(u"\u00e9t\u00e9s"), true);
    EXPECT_EQ(narrow(store->fileName), "rs_1");
    const long long made = store->getLastModified();
    EXPECT_GE(made, before);
    EXPECT_LE(made, before + 60000);
    EXPECT_EQ(storeFile("rs_1"), StoreFileBytes(u"\u00e9t\u00e9s", 1, 0, made, 1).bytes());
    EXPECT_EQ(store->getSize(), 28 + 2 * 4);
    EXPECT_EQ(store->formatVersion, 1);
}

TEST_F(StoreFormat, TheScanListsStoreFilesThenTemporaryFilesOfNamesNotSeen) {
    const std::u16string longest(32, u'n'), tooLong(33, u'n');
    writeStoreFile("rs_1", StoreFileBytes(u"alpha").bytes());
    writeStoreFile("rs_2", "tsfs" + StoreFileBytes(u"wrong magic").bytes().substr(4));
    writeStoreFile("rs_3x", StoreFileBytes(u"suffix").bytes());
    writeStoreFile("rs_-1", StoreFileBytes(u"minus").bytes());
    writeStoreFile("rs_tmp0", StoreFileBytes(u"alpha").bytes());
    writeStoreFile("rs_tmp1", StoreFileBytes(u"beta").bytes());
    writeStoreFile("rs_tmp2", StoreFileBytes(u"beta").bytes());
    writeStoreFile("rs_tmpx", StoreFileBytes(u"tmpx").bytes());
    writeStoreFile("rs_4", StoreFileBytes(u"gamma", 0).bytes());
    writeStoreFile("rs_5", StoreFileBytes(u"format two", 2).bytes());
    std::string negative = StoreFileBytes(u"format -1").bytes();
    negative[4] = negative[5] = '\xff';
    writeStoreFile("rs_6", negative);
    const std::string unterminated = StoreFileBytes(u"cut").bytes();
    writeStoreFile("rs_7", unterminated.substr(0, unterminated.size() - 2));
    writeStoreFile("rs_8", StoreFileBytes(u"").bytes());
    writeStoreFile("rs_9", StoreFileBytes(tooLong).bytes());
    writeStoreFile("rs_10", StoreFileBytes(longest).bytes());
    writeStoreFile("rs_", StoreFileBytes(u"delta").bytes());
    writeStoreFile("rs_11", StoreFileBytes(u"alpha").record(1, "second copy").bytes());
    writeStoreFile("sub/rs_12", StoreFileBytes(u"nested").bytes());
    std::filesystem::create_directories(data() / "rs_13");

    JavaPtr<RecordStore::StringArray> fileNames, storeNames;
    EXPECT_TRUE(RecordStore::getFilenamesAndRecordStoreNames(fileNames, storeNames));
    EXPECT_EQ(narrowAll(fileNames),
              (std::vector<std::string>{"rs_", "rs_1", "rs_10", "rs_11", "rs_4", "rs_tmp1"}));
    EXPECT_EQ(narrowAll(storeNames),
              (std::vector<std::string>{"delta", "alpha", std::string(32, 'n'), "alpha", "gamma", "beta"}));
    EXPECT_EQ(narrowAll(RecordStore::listRecordStores()), narrowAll(storeNames));

    EXPECT_EQ(narrow(RecordStore::getExistingRecordFilename(jstr("alpha"))), "rs_1")
        << "the first listed wins";
    EXPECT_EQ(narrow(RecordStore::getExistingRecordFilename(jstr("beta"))), "rs_tmp1");
    EXPECT_EQ(narrow(RecordStore::getExistingRecordFilename(unitString(longest))), "rs_10");
    for (const char* absent :
         {"suffix", "minus", "tmpx", "format two", "format -1", "cut", "nested", "Alpha"})
        EXPECT_FALSE(RecordStore::getExistingRecordFilename(jstr(absent))) << absent;
    EXPECT_FALSE(RecordStore::getExistingRecordFilename(unitString(tooLong)));
}

TEST_F(StoreFormat, AnEmptyDirectoryHasNoStores) {
    JavaPtr<RecordStore::StringArray> fileNames, storeNames;
    EXPECT_TRUE(RecordStore::getFilenamesAndRecordStoreNames(fileNames, storeNames));
    EXPECT_EQ(fileNames->length, 0);
    EXPECT_EQ(storeNames->length, 0);
    EXPECT_FALSE(RecordStore::getExistingRecordFilename(jstr("x")));
    ASSERT_TRUE(RecordStore::listRecordStores());
    EXPECT_EQ(RecordStore::listRecordStores()->length, 0);
}

TEST_F(StoreFormat, RecordsAreFoundByIdAndReadInFileOrder) {
    writeStoreFile("rs_1", StoreFileBytes(u"s", 1, 3, 5000, 9)
                               .record(4, "four")
                               .record(2, "")
                               .record(7, std::string("\0\xff\x80", 3))
                               .record(4, "shadowed")
                               .bytes());
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), false);
    const int first = 28 + 2;
    EXPECT_EQ(lookUp(store, 4), std::make_pair(first, std::string("four")));
    EXPECT_EQ(lookUp(store, 2), std::make_pair(first + 16, std::string()));
    EXPECT_EQ(lookUp(store, 7), std::make_pair(first + 28, std::string("\0\xff\x80", 3)));
    EXPECT_EQ(lookUp(store, 3).first, -1);
    EXPECT_EQ(chunks(store, true),
              (std::vector<std::string>{"4:four", "2:", std::string("7:\0\xff\x80", 5), "4:shadowed"}));
    EXPECT_EQ(chunks(store, false), (std::vector<std::string>{"4:ok", "2:ok", "7:ok", "4:ok"}));
}

TEST_F(StoreFormat, ADamagedChecksumHidesOnlyItsOwnRecord) {
    writeStoreFile("rs_1",
                   StoreFileBytes(u"s").record(1, "one").record(2, "two", 1).record(3, "three").bytes());
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), false);
    EXPECT_EQ(lookUp(store, 1).second, "one");
    EXPECT_EQ(lookUp(store, 2).first, -1);
    EXPECT_EQ(lookUp(store, 3).second, "three") << "the search goes on past the damaged record";
    EXPECT_EQ(chunks(store, true), (std::vector<std::string>{"1:one", "2:-", "3:three"}));
    EXPECT_EQ(chunks(store, false), (std::vector<std::string>{"1:ok", "2:ok", "3:ok"}))
        << "the skipping scan does not compare checksums";
}

TEST_F(StoreFormat, AWalkThatLostTheChunkBoundariesStopsThere) {
    // Record 1's length grown by one: the walk goes on a byte late, where the bytes of the empty record
    // 2 read as an empty record 512 whose checksum matches. No such id was ever given out.
    std::string bytes = StoreFileBytes(u"s").record(1, "one").record(2, "").record(3, "three").bytes();
    bytes[30 + 7] = 4;
    writeStoreFile("rs_1", bytes);
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), false);
    EXPECT_EQ(chunks(store, false), (std::vector<std::string>{"1:ok", "512:-"}));
    EXPECT_EQ(lookUp(store, 512).first, -1);
    EXPECT_EQ(lookUp(store, 1).first, -1) << "its checksum fails";
    EXPECT_EQ(lookUp(store, 3).first, -1) << "beyond the lost boundary";
}

TEST_F(StoreFormat, VersionZeroFilesHaveNoChecksums) {
    writeStoreFile("rs_4", StoreFileBytes(u"old", 0, 2, 77, 3).record(1, "a").record(2, "bc").bytes());
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("old"), false);
    EXPECT_EQ(store->formatVersion, 0);
    EXPECT_EQ(store->getVersion(), 2);
    EXPECT_EQ(store->getNextRecordID(), 3);
    EXPECT_EQ(lookUp(store, 2), std::make_pair(22 + 8 + 9, std::string("bc")));
    EXPECT_EQ(chunks(store, true), (std::vector<std::string>{"1:a", "2:bc"}));
}

TEST_F(StoreFormat, ChunksThatRunPastTheEndAreNotRecords) {
    const std::string whole = StoreFileBytes(u"s").record(1, "one").bytes();
    struct Case {
        const char* what;
        std::string tail;
        // What the skipping reader makes of the broken chunk (the id is not read from half a head).
        const char* seen;
    };
    const std::vector<Case> cases = {
        {"length beyond the file", std::string("\0\0\0\2\x7f\xff\xff\xf0", 8) + "data", "2:-"},
        {"negative length", std::string("\0\0\0\2\xff\xff\xff\xfe", 8) + "data", "2:-"},
        {"checksum cut short", std::string("\0\0\0\2\0\0\0\1", 8) + "x\0\0", "2:-"},
        {"half a chunk head", std::string("\0\0\0\2\0", 5), "0:-"},
    };
    for (const Case& c : cases) {
        writeStoreFile("rs_1", whole + c.tail);
        RecordStore::tidyUp();
        JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), false);
        EXPECT_EQ(lookUp(store, 1).second, "one") << c.what;
        EXPECT_EQ(lookUp(store, 2).first, -1) << c.what;
        EXPECT_EQ(chunks(store, false), (std::vector<std::string>{"1:ok", c.seen})) << c.what;
    }
}

}  // namespace
