#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "engine/HookCanvas.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "tests/library/FileFixture.h"
#include "tests/support/FileOperationFaults.h"
#include "tests/support/StringText.h"

using javax::microedition::rms::RecordStore;
using testsupport::FileOperationFaults;
using testsupport::jstr;
using testsupport::narrow;

namespace {

using Records = std::vector<std::string>;

JavaPtr<JArray<signed char>> bytesOf(const std::string& text) {
    JavaPtr<JArray<signed char>> bytes = jnewArray<signed char>(static_cast<int>(text.size()));
    for (size_t i = 0; i < text.size(); ++i) bytes->data[i] = static_cast<signed char>(text[i]);
    return bytes;
}

std::string textOf(const JavaPtr<JArray<signed char>>& bytes) {
    if (!bytes) return "<null>";
    return std::string(reinterpret_cast<const char*>(bytes->data), static_cast<size_t>(bytes->length));
}

// The store after a failed save: one list whole, with at most the records that could not be taken
// back from the other (the old list first, then the new records added before the failure; or what is
// left of the old list, then the whole new one).
bool oneListIsWhole(const Records& found, const Records& oldList, const Records& newList) {
    for (size_t added = 0; added <= newList.size(); ++added) {
        Records expected = oldList;
        expected.insert(expected.end(), newList.begin(), newList.begin() + static_cast<long>(added));
        if (found == expected) return true;
    }
    for (size_t left = 0; left <= oldList.size(); ++left) {
        Records expected(oldList.end() - static_cast<long>(left), oldList.end());
        expected.insert(expected.end(), newList.begin(), newList.end());
        if (found == expected) return true;
    }
    return false;
}

// A canvas that keeps the texts handed to debug.
class SlotCanvas : public HookCanvas {
    TESL_CLASS(SlotCanvas, "enginetest.SlotCanvas", HookCanvas)
public:
    SlotCanvas() noexcept {}
    SlotCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        return this;
    }
    void debug(const JavaPtr<java::lang::String>& message, int32_t flags) override {
        messages.push_back(narrow(message));
        flagsSeen.push_back(flags);
    }
    std::vector<std::string> messages;
    std::vector<int32_t> flagsSeen;
};

class RecordSlots : public testsupport::FileFixture {
protected:
    void SetUp() override {
        FileFixture::SetUp();
        canvas = jnew<SlotCanvas>();
    }
    void TearDown() override {
        canvas = nullptr;
        RecordStore::tidyUp();
        FileFixture::TearDown();
    }

    // Slot index 0's list, written at once.
    bool save(const Records& records) {
        JavaPtr<HookCanvas::RecordList> list =
            jnewArray<JavaPtr<JArray<signed char>>>(static_cast<int>(records.size()));
        for (size_t i = 0; i < records.size(); ++i) list->data[i] = bytesOf(records[i]);
        return canvas->setRecordStoreDataMult(list, 0);
    }
    // What a new run of the program finds in slot 1: every store object dropped first.
    Records readAfterRestart() {
        RecordStore::tidyUp();
        canvas = jnew<SlotCanvas>();
        canvas->record_store_prefix = jstr("QUILL");
        return readNow();
    }
    Records readNow() {
        Records found;
        JavaPtr<HookCanvas::RecordList> list = canvas->getRecordStoreDataMult(0);
        if (!list) return found;
        for (const auto& record : *list) found.push_back(textOf(record));
        return found;
    }
    std::vector<std::string> storeNames() {
        std::vector<std::string> names;
        const JavaPtr<RecordStore::StringArray> listed = RecordStore::listRecordStores();
        for (const auto& name : *listed) names.push_back(narrow(name));
        std::sort(names.begin(), names.end());
        return names;
    }

    JavaPtr<SlotCanvas> canvas;
};

TEST_F(RecordSlots, WritingReplacesTheStoreWithTheSlotsRecords) {
    canvas->record_store_prefix = jstr("QUILL");
    EXPECT_EQ(textOf(canvas->getRecordStoreData(0)), "<null>");
    EXPECT_TRUE(storeNames().empty()) << "a read must not create the store";

    ASSERT_TRUE(save({"one", "two"}));
    EXPECT_EQ(storeNames(), std::vector<std::string>{"QUILL1"});
    EXPECT_EQ(readAfterRestart(), (Records{"one", "two"}));
    EXPECT_EQ(textOf(canvas->getRecordStoreData(0)), "one");

    // The list stays in the slot after the write; null entries are passed over.
    JavaPtr<HookCanvas::RecordList> withNull = jnewArray<JavaPtr<JArray<signed char>>>(3);
    withNull->data[0] = bytesOf("a");
    withNull->data[2] = bytesOf("c");
    ASSERT_TRUE(canvas->setRecordStoreDataMult(withNull, 0));
    EXPECT_EQ(canvas->record_store_cache->data[1], withNull);
    EXPECT_EQ(readAfterRestart(), (Records{"a", "c"}));

    // Records of a longer list are added anew: ids keep rising from write to write.
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("QUILL1"), false);
    const int nextBefore = store->getNextRecordID();
    store->closeRecordStore();
    ASSERT_TRUE(save({"b", "d"}));
    store = RecordStore::openRecordStore(jstr("QUILL1"), false);
    EXPECT_EQ(store->getNextRecordID(), nextBefore + 2);
    store->closeRecordStore();
}

TEST_F(RecordSlots, EmptyListsEmptyTheStoreAndANullSlotLeavesIt) {
    canvas->record_store_prefix = jstr("QUILL");
    ASSERT_TRUE(save({"old"}));
    JavaPtr<HookCanvas::RecordList> nulls = jnewArray<JavaPtr<JArray<signed char>>>(2);
    ASSERT_TRUE(canvas->setRecordStoreDataMult(nulls, 0));
    EXPECT_EQ(readAfterRestart(), Records{});

    ASSERT_TRUE(save({"old"}));
    ASSERT_TRUE(canvas->setRecordStoreDataMult(jnewArray<JavaPtr<JArray<signed char>>>(0), 0));
    EXPECT_EQ(readAfterRestart(), Records{});

    ASSERT_TRUE(save({"kept"}));
    canvas->record_store_cache->data[1] = nullptr;
    EXPECT_FALSE(canvas->accessRecordStoreWrite(1));
    EXPECT_EQ(readAfterRestart(), Records{"kept"});
}

TEST_F(RecordSlots, TheStoreNameIsThePrefixAndTheSlotNumber) {
    ASSERT_TRUE(save({"early"}));
    EXPECT_EQ(storeNames(), std::vector<std::string>{"TSRS1"});
    canvas->record_store_prefix = jstr("QUILL");
    EXPECT_EQ(textOf(canvas->getRecordStoreData(0)), "<null>") << "another prefix reads another store";
    canvas->record_store_prefix = jstr("TSRS");
    EXPECT_EQ(textOf(canvas->getRecordStoreData(0)), "early");

    // Slot 0 is written only by writing all slots, which also empties both.
    JavaPtr<HookCanvas::RecordList> zero = jnewArray<JavaPtr<JArray<signed char>>>(1);
    zero->data[0] = bytesOf("zero");
    canvas->record_store_cache->data[0] = zero;
    canvas->accessAllRecordStoresWrite();
    EXPECT_EQ(storeNames(), (std::vector<std::string>{"TSRS0", "TSRS1"}));
    EXPECT_FALSE(canvas->record_store_cache->data[0]);
    EXPECT_FALSE(canvas->record_store_cache->data[1]);
}

TEST_F(RecordSlots, IndexesOutsideTheTwoSlotsAreRefused) {
    for (int index : {-2, 1, 7}) {
        EXPECT_FALSE(canvas->setRecordStoreData(bytesOf("x"), index)) << index;
        EXPECT_EQ(textOf(canvas->getRecordStoreData(index)), "<null>") << index;
    }
    EXPECT_FALSE(canvas->accessRecordStoreWrite(2));
    EXPECT_FALSE(canvas->accessRecordStoreWrite(-1));
    EXPECT_TRUE(storeNames().empty());
}

// Every file operation of a save fails in turn, once or from then on: the store then holds the old
// list or the new one, whole, and a save that reported success holds the new one.
TEST_F(RecordSlots, AFailureAtAnyFileOperationOfASaveLeavesTheOldOrTheNewList) {
    testsupport::NoHangGuard guard(120);
    const std::vector<std::pair<Records, Records>> cases = {
        {{"old"}, {"new"}},
        {{"old-1", "old-2"}, {"new-1", "new-2"}},
        {{}, {"first"}},
    };
    for (const auto& [oldList, newList] : cases) {
        canvas->record_store_prefix = jstr("QUILL");
        ASSERT_TRUE(save(oldList));
        int calls = 0;
        {
            FileOperationFaults counting;
            ASSERT_TRUE(save(newList));
            calls = counting.calls();
        }
        ASSERT_GT(calls, 2);
        for (int k = 0; k < calls; ++k) {
            for (bool persistent : {false, true}) {
                const std::string where = "old " + std::to_string(oldList.size()) + " failing at call " +
                                          std::to_string(k) + (persistent ? " from then on" : " once");
                canvas->record_store_prefix = jstr("QUILL");
                ASSERT_TRUE(save(oldList)) << where;
                bool returned = false;
                {
                    FileOperationFaults faults;
                    faults.failAt(k, EIO, persistent);
                    returned = save(newList);
                }
                const Records found = readAfterRestart();
                if (returned) {
                    EXPECT_EQ(found, newList) << where;
                } else {
                    EXPECT_TRUE(oneListIsWhole(found, oldList, newList)) << where;
                }
                // The store was closed on the failure path: it can be removed.
                EXPECT_NO_THROW(RecordStore::deleteRecordStore(jstr("QUILL1"))) << where;
            }
        }
    }
}

TEST_F(RecordSlots, TheFailureMessageNamesThePositionReachedAndItsLength) {
    canvas->record_store_prefix = jstr("QUILL");
    ASSERT_TRUE(save({"old"}));
    // The file operations of a save of two records, to find the rewrite that deletes the old record:
    // the last rename.
    std::vector<FileOperationFaults::Kind> kinds;
    {
        FileOperationFaults counting;
        ASSERT_TRUE(save({"new-record", "second"}));
        kinds = counting.kinds();
    }
    const int lastRename =
        static_cast<int>(std::find(kinds.rbegin(), kinds.rend(), FileOperationFaults::Kind::Rename).base() -
                         kinds.begin()) -
        1;
    ASSERT_GE(lastRename, 0);

    struct Case {
        const char* what;
        int failFrom;  // -1: every rename
        const char* message;
    };
    const Case cases[] = {
        {"the add fails", -1, "ERROR: Problem saving out data 1 (index 0, length 10) to recordstore"},
        // Past the last element there is no length to give.
        {"the old record's deletion fails", lastRename,
         "ERROR: Problem saving out data 1 (index 2, length 0) to recordstore"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(save({"old"})) << c.what;
        canvas->messages.clear();
        canvas->flagsSeen.clear();
        {
            FileOperationFaults faults;
            if (c.failFrom < 0) {
                faults.failEvery(FileOperationFaults::Kind::Rename, EIO);
            } else {
                faults.failAt(c.failFrom, EIO, true);
            }
            EXPECT_FALSE(save({"new-record", "second"})) << c.what;
        }
        ASSERT_EQ(canvas->messages.size(), 1u) << c.what;
        EXPECT_EQ(canvas->messages[0], c.message) << c.what;
        EXPECT_EQ(canvas->flagsSeen[0], 8) << c.what;
    }
}

// A one-record slot is saved by replacing the record in place: one rewrite of the file, the record
// keeping its id. The one-record failure message names that record.
TEST_F(RecordSlots, AOneRecordSaveIsOneRewriteInPlace) {
    canvas->record_store_prefix = jstr("QUILL");
    ASSERT_TRUE(save({"first"}));
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("QUILL1"), false);
    const int next = store->getNextRecordID();
    store->closeRecordStore();
    std::vector<FileOperationFaults::Kind> kinds;
    {
        FileOperationFaults counting;
        ASSERT_TRUE(save({"second"}));
        kinds = counting.kinds();
    }
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), FileOperationFaults::Kind::Rename), 1);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), FileOperationFaults::Kind::Fsync), 2)
        << "the new file's bytes and the directory";
    store = RecordStore::openRecordStore(jstr("QUILL1"), false);
    EXPECT_EQ(store->getNextRecordID(), next);
    store->closeRecordStore();
    EXPECT_EQ(readAfterRestart(), Records{"second"});

    canvas->messages.clear();
    {
        FileOperationFaults faults;
        faults.failEvery(FileOperationFaults::Kind::Rename, EIO);
        EXPECT_FALSE(save({"third!"}));
    }
    EXPECT_EQ(canvas->messages, std::vector<std::string>{
                                    "ERROR: Problem saving out data 1 (index 0, length 6) to recordstore"});
    EXPECT_EQ(readAfterRestart(), Records{"second"});
}

// Earlier versions saved by adding the new record and then deleting the old: killed between the two,
// the store holds both, the newer last. A one-record save replaces the newer and removes the older.
TEST_F(RecordSlots, AOneRecordSaveOverAnInterruptedOldSaveReplacesTheNewer) {
    canvas->record_store_prefix = jstr("QUILL");
    ASSERT_TRUE(save({"older"}));
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("QUILL1"), false);
    store->addRecord(bytesOf("newer"), 0, 5);
    store->closeRecordStore();
    ASSERT_EQ(readAfterRestart(), (Records{"older", "newer"}));

    ASSERT_TRUE(save({"newest"}));
    EXPECT_EQ(readAfterRestart(), Records{"newest"});

    // When the older record cannot go, the new one is in place all the same, and read.
    auto interrupted = [&] {
        RecordStore::deleteRecordStore(jstr("QUILL1"));
        ASSERT_TRUE(save({"older"}));
        JavaPtr<RecordStore> again = RecordStore::openRecordStore(jstr("QUILL1"), false);
        again->addRecord(bytesOf("newer"), 0, 5);
        again->closeRecordStore();
    };
    interrupted();
    std::vector<FileOperationFaults::Kind> kinds;
    {
        FileOperationFaults counting;
        ASSERT_TRUE(save({"latest"}));
        kinds = counting.kinds();
    }
    // The in-place change is the first rename, the deletion the second.
    const auto firstRename = std::find(kinds.begin(), kinds.end(), FileOperationFaults::Kind::Rename);
    const auto secondRename = std::find(firstRename + 1, kinds.end(), FileOperationFaults::Kind::Rename);
    ASSERT_NE(secondRename, kinds.end());
    interrupted();
    {
        FileOperationFaults faults;
        faults.failAt(static_cast<int>(secondRename - kinds.begin()), EIO, true);
        EXPECT_TRUE(save({"latest"}));
    }
    EXPECT_EQ(readAfterRestart(), (Records{"older", "latest"}));
}

TEST_F(RecordSlots, AFailedReadClosesTheStoreAndAnswersNull) {
    canvas->record_store_prefix = jstr("QUILL");
    ASSERT_TRUE(save({"kept"}));
    {
        FileOperationFaults faults;
        faults.failEvery(FileOperationFaults::Kind::Open, EIO);
        EXPECT_EQ(textOf(canvas->getRecordStoreData(0)), "<null>");
    }
    EXPECT_NO_THROW(RecordStore::deleteRecordStore(jstr("QUILL1")));
}

}  // namespace
