// Crash safety of every change, by failing or stopping each of its file operations in turn.
//  - An I/O error at call k (EIO or ENOSPC, once or from then on): the change throws a record-store
//    exception and the store on disk is as it was, byte for byte, unless the new file was already in
//    place; the store object agrees with the disk; a later change succeeds.
//  - The machine stopping at call k, then a power loss that drops, keeps, cuts or zeroes unsynced
//    data and keeps or undoes unsynced renames: a restart finds the store exactly as it was or as the
//    change left it, never a mixture, never nothing; a change that returned is there in every case.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreFullException.h"
#include "tests/rms/PowerLossDisk.h"
#include "tests/rms/StoreFiles.h"
#include "tests/rms/StoreStates.h"
#include "tests/support/FileOperationFaults.h"

using namespace javax::microedition::rms;
using testsupport::byteArray;
using testsupport::FileOperationFaults;
using testsupport::jstr;
using testsupport::PowerLossDisk;
using testsupport::restartAndRead;
using testsupport::StoreFileBytes;
using testsupport::StoreState;

namespace {

struct Change {
    const char* what;
    // The store the change is about.
    const char* store;
    std::function<void(const JavaPtr<RecordStore>&)> run;
    // Whether the store is closed before the change (deleting a store needs that).
    bool closedFirst = false;
};

class CrashSafety : public testsupport::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        // The starting point: store "s" in rs_1 with three records, a leftover temporary file of an
        // older "s" (which no change may bring back), and a bystander store "other".
        JavaPtr<RecordStore> s = RecordStore::openRecordStore(jstr("s"), true);
        s->addRecord(byteArray("first"), 0, 5);
        s->addRecord(byteArray(std::string(1500, 'b')), 0, 1500);
        s->addRecord(byteArray("third"), 0, 5);
        RecordStore::openRecordStore(jstr("other"), true)->addRecord(byteArray("bystander"), 0, 9);
        writeStoreFile("rs_tmp0", StoreFileBytes(u"s", 1, 0, 1000, 2).record(1, "stale").bytes());
        RecordStore::tidyUp();
        m_start = PowerLossDisk::contents(data() / "rs_1");
        m_startFiles = snapshot();
        m_old = restartAndRead("s");
        m_other = restartAndRead("other");
        ASSERT_TRUE(m_old.present && m_old.error.empty()) << m_old;
    }

    static std::vector<Change> changes() {
        return {
            {"add", "s", [](const JavaPtr<RecordStore>& s) { s->addRecord(byteArray("added"), 0, 5); }},
            {"set longer", "s",
             [](const JavaPtr<RecordStore>& s) {
                 s->setRecord(1, byteArray(std::string(2100, 'L')), 0, 2100);
             }},
            {"set shorter", "s",
             [](const JavaPtr<RecordStore>& s) { s->setRecord(2, byteArray("s"), 0, 1); }},
            {"delete", "s", [](const JavaPtr<RecordStore>& s) { s->deleteRecord(2); }},
            {"create a store", "t",
             [](const JavaPtr<RecordStore>&) { RecordStore::openRecordStore(jstr("t"), true); }},
            {"delete the store", "s",
             [](const JavaPtr<RecordStore>&) { RecordStore::deleteRecordStore(jstr("s")); }, true},
        };
    }

    std::map<std::string, std::string> snapshot() {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(data()))
            files[entry.path().filename().string()] = PowerLossDisk::contents(entry.path());
        return files;
    }
    void install(const std::map<std::string, std::string>& files) {
        RecordStore::tidyUp();
        std::filesystem::remove_all(data());
        std::filesystem::create_directories(data());
        for (const auto& [name, bytes] : files) writeStoreFile(name, bytes);
    }
    // The starting point, loaded as the program has it before the change.
    JavaPtr<RecordStore> start(const Change& change) {
        install(m_startFiles);
        JavaPtr<RecordStore> s = RecordStore::openRecordStore(jstr("s"), false);
        if (change.closedFirst) s->closeRecordStore();
        return s;
    }
    // Runs the change; true when it returned, false when it threw a record-store exception.
    static bool attempt(const Change& change, const JavaPtr<RecordStore>& s) {
        try {
            change.run(s);
            return true;
        } catch (RecordStoreException&) {
            return false;
        }
    }
    StoreState before(const Change& change) const {
        return std::string(change.store) == "s" ? m_old : StoreState{};
    }
    // The store after the change without faults, and the number of file operations it makes.
    StoreState after(const Change& change, int& calls) {
        JavaPtr<RecordStore> s = start(change);
        {
            PowerLossDisk disk(data());
            EXPECT_TRUE(attempt(change, s)) << change.what;
            calls = disk.calls();
            // Everything a change that returned wrote is on the device already.
            install(disk.afterPowerLoss(PowerLossDisk::Data::Dropped, PowerLossDisk::Names::Reverted));
        }
        StoreState durable = restartAndRead(change.store);
        change.run(start(change));
        StoreState changed = restartAndRead(change.store);
        EXPECT_EQ(durable, changed) << change.what << ": a returned change must survive a power loss";
        return changed;
    }

    std::string m_start;
    std::map<std::string, std::string> m_startFiles;
    StoreState m_old, m_other;
};

TEST_F(CrashSafety, AnIoErrorAtAnyCallLeavesTheOldStoreOrTheWholeNewOne) {
    testsupport::NoHangGuard guard(600);
    for (const Change& change : changes()) {
        int calls = 0;
        const StoreState changed = after(change, calls);
        const StoreState old = before(change);
        ASSERT_NE(changed, old) << change.what;
        ASSERT_GT(calls, 3) << change.what;
        for (int k = 0; k < calls; ++k) {
            for (int error : {EIO, ENOSPC}) {
                for (bool persistent : {false, true}) {
                    const std::string where = std::string(change.what) + " failing at call " +
                                              std::to_string(k) + (error == EIO ? " EIO" : " ENOSPC") +
                                              (persistent ? " from then on" : "");
                    JavaPtr<RecordStore> s = start(change);
                    bool returned;
                    StoreState seen;
                    {
                        FileOperationFaults faults;
                        faults.failAt(k, error, persistent);
                        returned = attempt(change, s);
                    }
                    if (std::string(change.store) == "s" && !change.closedFirst)
                        seen = testsupport::stateOf(s);
                    const std::string file = PowerLossDisk::contents(data() / "rs_1");
                    const StoreState found = restartAndRead(change.store);
                    if (returned) {
                        EXPECT_EQ(found, changed) << where;
                    } else {
                        EXPECT_TRUE(found == old || found == changed) << where << ": " << found;
                        if (found == old && std::string(change.store) == "s") {
                            EXPECT_EQ(file, m_start) << where;
                        }
                    }
                    if (seen.present) {
                        EXPECT_EQ(seen, found) << where << ": the store object must agree with the disk";
                    }
                    EXPECT_EQ(restartAndRead("other"), m_other) << where;

                    // A later change goes through, on top of whichever state the store is in.
                    JavaPtr<RecordStore> again = RecordStore::openRecordStore(jstr("s"), true);
                    const StoreState base = testsupport::stateOf(again);
                    const int id = again->addRecord(byteArray("later"), 0, 5);
                    StoreState expected = base;
                    expected.records[id] = "later";
                    expected.nextRecordID = id + 1;
                    expected.version = base.version + 1;
                    EXPECT_EQ(id, base.nextRecordID) << where;
                    EXPECT_EQ(restartAndRead("s"), expected) << where;
                }
            }
        }
    }
}

TEST_F(CrashSafety, APowerLossAtAnyCallLeavesTheOldStoreOrTheWholeNewOne) {
    testsupport::NoHangGuard guard(600);
    using Data = PowerLossDisk::Data;
    using Names = PowerLossDisk::Names;
    for (const Change& change : changes()) {
        int calls = 0;
        const StoreState changed = after(change, calls);
        const StoreState old = before(change);
        for (int k = 0; k <= calls; ++k) {
            std::map<std::string, std::map<std::string, std::string>> images;
            bool returned;
            {
                JavaPtr<RecordStore> s = start(change);
                PowerLossDisk disk(data());
                disk.crashAt(k);
                returned = attempt(change, s);
                for (Data loss : {Data::Dropped, Data::Kept, Data::Cut, Data::Zeroed}) {
                    for (Names names : {Names::Kept, Names::Reverted}) {
                        const std::string variant = "data " + std::to_string(static_cast<int>(loss)) +
                                                    ", names " + std::to_string(static_cast<int>(names));
                        images[variant] = disk.afterPowerLoss(loss, names);
                    }
                }
            }
            const std::string where = std::string(change.what) + " stopped at call " + std::to_string(k);
            EXPECT_EQ(returned, k == calls) << where;
            for (const auto& [variant, image] : images) {
                install(image);
                const StoreState found = restartAndRead(change.store);
                if (returned) {
                    EXPECT_EQ(found, changed) << where << ", " << variant;
                } else {
                    EXPECT_TRUE(found == old || found == changed)
                        << where << ", " << variant << ": " << found;
                }
                EXPECT_EQ(restartAndRead("other"), m_other) << where << ", " << variant;
            }
        }
    }
}

}  // namespace
