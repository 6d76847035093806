// Reading and changing records: ids, the bytes on disk after each change, the header the rewrite
// patches, listeners, closed and deleted stores, and damaged files that changes must get past.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "rms/InvalidRecordIDException.h"
#include "rms/RecordEnumeration.h"
#include "rms/RecordListener.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreFullException.h"
#include "rms/RecordStoreNotOpenException.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "tests/rms/StoreFiles.h"

using namespace javax::microedition::rms;
using java::lang::ArrayIndexOutOfBoundsException;
using testsupport::byteArray;
using testsupport::bytesIn;
using testsupport::jstr;
using testsupport::narrow;
using testsupport::StoreFileBytes;

namespace {

class Listener : public java::lang::Object, public virtual RecordListener {
    TESL_CLASS(Listener, "tests.rms.Listener", java::lang::Object, RecordListener)
public:
    Listener() noexcept {}
    Listener(std::vector<std::string>* log, std::string tag) : m_log(log), m_tag(std::move(tag)) {}
    void recordAdded(const JavaPtr<RecordStore>& store, int id) override { note(store, "added", id); }
    void recordChanged(const JavaPtr<RecordStore>& store, int id) override { note(store, "changed", id); }
    void recordDeleted(const JavaPtr<RecordStore>& store, int id) override { note(store, "deleted", id); }

private:
    void note(const JavaPtr<RecordStore>& store, const char* what, int id) {
        if (m_log != nullptr)
            m_log->push_back(m_tag + " " + what + " " + std::to_string(id) + " v" +
                             std::to_string(store->getVersion()));
    }
    std::vector<std::string>* m_log = nullptr;
    std::string m_tag;
};

class Records : public testsupport::StoreFixture {
protected:
    JavaPtr<RecordStore> open(const char* name = "s") {
        return RecordStore::openRecordStore(jstr(name), true);
    }
    std::vector<int> ids(const JavaPtr<RecordStore>& store) {
        JavaPtr<JArray<int>> all = store->getRecordIDs();
        return std::vector<int>(all->begin(), all->end());
    }
    // The store file as the builder would write it.
    std::string expectedFile(const JavaPtr<RecordStore>& store,
                             const std::vector<std::pair<int, std::string>>& records) {
        StoreFileBytes file(u"s", 1, store->getVersion(), store->getLastModified(), store->getNextRecordID());
        for (const auto& [id, bytes] : records) file.record(id, bytes);
        return file.bytes();
    }
    int add(const JavaPtr<RecordStore>& store, const std::string& bytes) {
        return store->addRecord(byteArray(bytes), 0, static_cast<int>(bytes.size()));
    }
};

TEST_F(Records, IdsOnlyGrowAndTheFileHoldsExactlyTheRecords) {
    JavaPtr<RecordStore> store = open();
    EXPECT_EQ(store->getNumRecords(), 0);
    EXPECT_TRUE(ids(store).empty());
    EXPECT_EQ(add(store, "one"), 1);
    EXPECT_EQ(add(store, "two"), 2);
    store->deleteRecord(2);
    EXPECT_EQ(add(store, "three"), 3);
    store->deleteRecord(1);
    EXPECT_EQ(ids(store), std::vector<int>{3});
    EXPECT_EQ(store->getNextRecordID(), 4);
    EXPECT_EQ(store->getVersion(), 5);
    EXPECT_EQ(storeFile("rs_1"), expectedFile(store, {{3, "three"}}));
    EXPECT_EQ(files(), std::vector<std::string>{"rs_1"}) << "no temporary file stays behind";
}

TEST_F(Records, SlicesAndEmptyRecords) {
    JavaPtr<RecordStore> store = open();
    EXPECT_EQ(store->addRecord(byteArray("0123456789"), 2, 3), 1);
    EXPECT_EQ(store->addRecord(byteArray("xyz"), 3, 0), 2);
    EXPECT_EQ(store->addRecord(nullptr, 0, 0), 3);
    EXPECT_EQ(bytesIn(store->getRecord(1)), "234");
    EXPECT_EQ(store->getRecordSize(2), 0);
    ASSERT_TRUE(store->getRecord(3));
    EXPECT_EQ(store->getRecord(3)->length, 0);
    EXPECT_NE(store->getRecord(1), store->getRecord(1)) << "a new array each time";
    EXPECT_EQ(storeFile("rs_1"), expectedFile(store, {{1, "234"}, {2, ""}, {3, ""}}));

    struct Bad {
        JavaPtr<JArray<signed char>> data;
        int offset, count;
    };
    for (const Bad& bad : {Bad{byteArray("abc"), 2, 2}, Bad{byteArray("abc"), -1, 1},
                           Bad{byteArray("abc"), 0, -1}, Bad{byteArray("abc"), 0x7fffffff, 2}})
        EXPECT_THROW(store->addRecord(bad.data, bad.offset, bad.count), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(store->addRecord(nullptr, 0, 1), java::lang::NullPointerException);
    EXPECT_THROW(store->setRecord(1, byteArray("ab"), 1, 2), ArrayIndexOutOfBoundsException);
    EXPECT_EQ(store->getNextRecordID(), 4) << "refused slices change nothing";
    EXPECT_EQ(store->getVersion(), 3);
}

TEST_F(Records, ReplacingKeepsThePlaceAndMovesWhatFollows) {
    JavaPtr<RecordStore> store = open();
    add(store, "aa");
    add(store, "bb");
    add(store, "cc");
    const int before = store->getSize();
    store->setRecord(2, byteArray("a much longer record"), 0, 20);
    EXPECT_EQ(store->getSize(), before + 18);
    EXPECT_EQ(storeFile("rs_1"), expectedFile(store, {{1, "aa"}, {2, "a much longer record"}, {3, "cc"}}));
    store->setRecord(1, byteArray(""), 0, 0);
    EXPECT_EQ(bytesIn(store->getRecord(3)), "cc");
    EXPECT_EQ(storeFile("rs_1"), expectedFile(store, {{1, ""}, {2, "a much longer record"}, {3, "cc"}}));
    EXPECT_EQ(store->getNextRecordID(), 4);
}

TEST_F(Records, CopyingIntoABuffer) {
    JavaPtr<RecordStore> store = open();
    add(store, "abcd");
    JavaPtr<JArray<signed char>> buffer = byteArray("........");
    EXPECT_EQ(store->getRecord(1, buffer, 4), 4);
    EXPECT_EQ(bytesIn(buffer), "....abcd");
    JavaPtr<JArray<signed char>> small = byteArray("........");
    EXPECT_THROW(store->getRecord(1, small, 5), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(store->getRecord(1, small, -1), ArrayIndexOutOfBoundsException);
    EXPECT_EQ(bytesIn(small), "........");
    EXPECT_THROW(store->getRecord(1, nullptr, 0), java::lang::NullPointerException);
    EXPECT_THROW(store->getRecord(9, small, 0), InvalidRecordIDException);
}

TEST_F(Records, UnknownIdsChangeNothing) {
    JavaPtr<RecordStore> store = open();
    add(store, "x");
    const std::string file = storeFile("rs_1");
    EXPECT_THROW(store->getRecord(2), InvalidRecordIDException);
    EXPECT_THROW(store->getRecordSize(0), InvalidRecordIDException);
    EXPECT_THROW(store->setRecord(2, byteArray("y"), 0, 1), InvalidRecordIDException);
    EXPECT_THROW(store->deleteRecord(-1), InvalidRecordIDException);
    EXPECT_EQ(storeFile("rs_1"), file);
    EXPECT_EQ(store->getVersion(), 1);
}

TEST_F(Records, TheHeaderFollowsEveryChangeAcrossARestart) {
    JavaPtr<RecordStore> store = open();
    long long last = store->getLastModified();
    for (int change = 1; change <= 3; ++change) {
        if (change == 1) add(store, "r");
        if (change == 2) store->setRecord(1, byteArray("rr"), 0, 2);
        if (change == 3) store->deleteRecord(1);
        EXPECT_EQ(store->getVersion(), change);
        EXPECT_GE(store->getLastModified(), last);
        last = store->getLastModified();
    }
    store->closeRecordStore();
    RecordStore::tidyUp();
    JavaPtr<RecordStore> again = RecordStore::openRecordStore(jstr("s"), false);
    EXPECT_EQ(again->getVersion(), 3);
    EXPECT_EQ(again->getLastModified(), last);
    EXPECT_EQ(again->getNextRecordID(), 2);
}

TEST_F(Records, ClosedAndDeletedStores) {
    JavaPtr<RecordStore> store = open();
    add(store, "x");
    store->closeRecordStore();
    EXPECT_THROW(add(store, "y"), RecordStoreNotOpenException);
    EXPECT_THROW(store->setRecord(1, byteArray("y"), 0, 1), RecordStoreNotOpenException);
    EXPECT_THROW(store->deleteRecord(1), RecordStoreNotOpenException);
    EXPECT_THROW(store->getRecord(1), RecordStoreNotOpenException);
    EXPECT_THROW(store->getRecord(1, byteArray("."), 0), RecordStoreNotOpenException);
    EXPECT_THROW(store->getRecordSize(1), RecordStoreNotOpenException);
    EXPECT_THROW(store->getNumRecords(), RecordStoreNotOpenException);
    EXPECT_EQ(ids(store), std::vector<int>{1}) << "the id list needs no open store";
    EXPECT_EQ(store->enumerateRecords(nullptr, nullptr, false)->numRecords(), 1);
    RecordStore::deleteRecordStore(jstr("s"));
    EXPECT_THROW(store->getRecord(1), RecordStoreNotOpenException);
    store->isOpen = true;  // the order of the checks: open first, then deleted
    EXPECT_THROW(store->getRecord(1), RecordStoreException);
    EXPECT_THROW(add(store, "z"), RecordStoreException);
    store->isOpen = false;
}

TEST_F(Records, ListenersAreToldInOrderOnceEach) {
    std::vector<std::string> log;
    JavaPtr<RecordStore> store = open();
    JavaPtr<RecordListener> first = jnew<Listener>(&log, "first");
    JavaPtr<RecordListener> second = jnew<Listener>(&log, "second");
    store->addRecordListener(first);
    store->addRecordListener(second);
    store->addRecordListener(first);
    add(store, "a");
    store->setRecord(1, byteArray("b"), 0, 1);
    store->removeRecordListener(first);
    store->removeRecordListener(jnew<Listener>(&log, "never added"));
    store->deleteRecord(1);
    EXPECT_EQ(log, (std::vector<std::string>{"first added 1 v1", "second added 1 v1", "first changed 1 v2",
                                             "second changed 1 v2", "second deleted 1 v3"}));
    store->closeRecordStore();
    RecordStore::openRecordStore(jstr("s"), false);
    add(store, "c");
    EXPECT_EQ(log.back(), "second added 2 v4") << "closing keeps the listeners";
}

TEST_F(Records, ADamagedRecordCanStillBeReplacedOrDeleted) {
    writeStoreFile(
        "rs_1",
        StoreFileBytes(u"s", 1, 0, 1000, 4).record(1, "one").record(2, "bad", 5).record(3, "three").bytes());
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), false);
    EXPECT_EQ(ids(store), (std::vector<int>{1, 2, 3}));
    EXPECT_THROW(store->getRecord(2), InvalidRecordIDException);
    EXPECT_THROW(store->getRecordSize(2), InvalidRecordIDException);
    EXPECT_EQ(bytesIn(store->getRecord(3)), "three");
    // The quiz's save: add the new record, delete the old ones, the damaged one among them.
    EXPECT_EQ(add(store, "four"), 4);
    store->deleteRecord(2);
    store->deleteRecord(1);
    EXPECT_EQ(storeFile("rs_1"), expectedFile(store, {{3, "three"}, {4, "four"}}));
    writeStoreFile("rs_1", StoreFileBytes(u"s", 1, 0, 1000, 3).record(1, "one").record(2, "bad", 5).bytes());
    RecordStore::tidyUp();
    store = RecordStore::openRecordStore(jstr("s"), false);
    store->setRecord(2, byteArray("good"), 0, 4);
    EXPECT_EQ(bytesIn(store->getRecord(2)), "good");
    EXPECT_EQ(storeFile("rs_1"), expectedFile(store, {{1, "one"}, {2, "good"}}));
}

TEST_F(Records, AnUnreadableTailIsDroppedByTheNextChange) {
    const std::string whole = StoreFileBytes(u"s", 1, 0, 1000, 3).record(1, "one").record(2, "two").bytes();
    for (size_t cut = 1; cut <= 15; ++cut) {
        writeStoreFile("rs_1", whole.substr(0, whole.size() - cut));
        RecordStore::tidyUp();
        JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), false);
        EXPECT_EQ(ids(store), std::vector<int>{1}) << cut;
        EXPECT_EQ(add(store, "three"), 3) << cut;
        EXPECT_EQ(bytesIn(store->getRecord(3)), "three") << cut;
        EXPECT_EQ(storeFile("rs_1"), expectedFile(store, {{1, "one"}, {3, "three"}})) << cut;
    }
}

TEST_F(Records, AStoreLeftInATemporaryFileMovesToARegularName) {
    // What an interrupted delete-then-rename rewrite leaves: only the temporary file.
    writeStoreFile("rs_tmp3", StoreFileBytes(u"s", 1, 2, 1000, 2).record(1, "kept").bytes());
    writeStoreFile("rs_1", StoreFileBytes(u"other").bytes());
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), false);
    EXPECT_EQ(narrow(store->fileName), "rs_tmp3");
    EXPECT_EQ(bytesIn(store->getRecord(1)), "kept");
    EXPECT_EQ(add(store, "new"), 2);
    EXPECT_EQ(narrow(store->fileName), "rs_2");
    EXPECT_EQ(files(), (std::vector<std::string>{"rs_1", "rs_2"}));
    EXPECT_EQ(storeFile("rs_2"), expectedFile(store, {{1, "kept"}, {2, "new"}}));
}

TEST_F(Records, AMissingOrCutStoreFileIsNeverRewritten) {
    JavaPtr<RecordStore> store = open();
    add(store, "x");
    std::filesystem::remove(data() / "rs_1");
    // A file that cannot be read is not a store without records.
    for (const auto& attempt :
         std::vector<std::function<void()>>{[&] { store->deleteRecord(1); }, [&] { store->getRecord(1); },
                                            [&] { store->getNumRecords(); }}) {
        try {
            attempt();
            ADD_FAILURE() << "no exception";
        } catch (RecordStoreException& e) {
            EXPECT_STREQ(e.getClassTypeName(), RecordStoreException::TESLclassName);
        }
    }
    EXPECT_THROW(add(store, "y"), RecordStoreFullException);
    EXPECT_EQ(store->getNextRecordID(), 2);
    EXPECT_TRUE(files().empty()) << "nothing was made from nothing";
    writeStoreFile("rs_1", std::string("tssf\0\1", 6));
    EXPECT_THROW(add(store, "y"), RecordStoreFullException);
    EXPECT_EQ(files(), std::vector<std::string>{"rs_1"});
}

TEST_F(Records, VersionZeroStoresStayVersionZero) {
    writeStoreFile("rs_1", StoreFileBytes(u"old", 0, 0, 1000, 2).record(1, "a").bytes());
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("old"), false);
    EXPECT_EQ(add(store, "bc"), 2);
    store->setRecord(1, byteArray("A!"), 0, 2);
    EXPECT_EQ(
        storeFile("rs_1"),
        StoreFileBytes(u"old", 0, 2, store->getLastModified(), 3).record(1, "A!").record(2, "bc").bytes());
}

TEST_F(Records, IdsThatRanOutMakeTheStoreFull) {
    writeStoreFile("rs_1", StoreFileBytes(u"s", 1, 0, 1000, 0x7fffffff).bytes());
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), false);
    EXPECT_THROW(add(store, "x"), RecordStoreFullException);
    EXPECT_EQ(store->getNumRecords(), 0);
}

}  // namespace
