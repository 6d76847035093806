// Opening, creating, closing, deleting and listing stores, the registry of store objects, the
// exceptions, and the refusal of a second process on the same data directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "library/FileSystem.h"
#include "rms/InvalidRecordIDException.h"
#include "rms/RecordComparator.h"
#include "rms/RecordEnumeration.h"
#include "rms/RecordFilter.h"
#include "rms/RecordListener.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreFullException.h"
#include "rms/RecordStoreNotFoundException.h"
#include "rms/RecordStoreNotOpenException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "tests/rms/StoreFiles.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/FileOperationFaults.h"

using namespace javax::microedition::rms;
using java::lang::String;
using testsupport::FileOperationFaults;
using testsupport::jstr;
using testsupport::narrow;
using testsupport::narrowAll;
using testsupport::StoreFileBytes;
using testsupport::unitString;

QUILL_REGISTER_CLASSES(RecordStore, RecordStoreException, RecordStoreFullException,
                       RecordStoreNotFoundException, RecordStoreNotOpenException, InvalidRecordIDException,
                       RecordListener, RecordEnumeration, RecordFilter, RecordComparator);

namespace {

class Stores : public testsupport::StoreFixture {};

template <class Thrown>
void expectCaughtAsRecordStoreException() {
    try {
        throw Thrown();
    } catch (RecordStoreException& caught) {
        EXPECT_EQ(caught.getMessage(), nullptr);
        EXPECT_STREQ(caught.getClassTypeName(), Thrown::TESLclassName);
        return;
    }
}

TEST(RecordStoreClasses, IdsNamesAndCasts) {
    EXPECT_EQ(RecordStore::TESLclassTypeID, 1921408126);
    EXPECT_EQ(RecordStoreException::TESLclassTypeID, 1959313777);
    EXPECT_EQ(RecordStoreFullException::TESLclassTypeID, -1575629150);
    EXPECT_EQ(RecordStoreNotFoundException::TESLclassTypeID, 1494475714);
    EXPECT_EQ(RecordStoreNotOpenException::TESLclassTypeID, -324004432);
    EXPECT_EQ(InvalidRecordIDException::TESLclassTypeID, 1326843038);
    EXPECT_EQ(RecordEnumeration::TESLclassTypeID, 414352420);
    EXPECT_EQ(RecordListener::TESLclassTypeID, 1269424119);
    EXPECT_EQ(RecordStore::RSMAGIC, ('t' << 24) | ('s' << 16) | ('s' << 8) | 'f');

    expectCaughtAsRecordStoreException<RecordStoreException>();
    expectCaughtAsRecordStoreException<RecordStoreFullException>();
    expectCaughtAsRecordStoreException<RecordStoreNotFoundException>();
    expectCaughtAsRecordStoreException<RecordStoreNotOpenException>();
    expectCaughtAsRecordStoreException<InvalidRecordIDException>();

    RecordStoreNotOpenException notOpen;
    EXPECT_EQ(notOpen.castAsTypeID(RecordStoreFullException::TESLclassTypeID), nullptr);
    EXPECT_EQ(notOpen.castAsTypeID(java::lang::Object::TESLclassTypeID), &notOpen);
    EXPECT_EQ(notOpen.castAsTypeID(RecordStoreException::TESLclassTypeID), &notOpen);
    EXPECT_EQ(notOpen.castAsTypeID(java::lang::Exception::TESLclassTypeID), &notOpen);
    EXPECT_EQ(notOpen.castAsTypeID(java::lang::Smart::TESLclassTypeID),
              static_cast<java::lang::Smart*>(&notOpen));
    JavaPtr<RecordStoreFullException> full = jnew<RecordStoreFullException>(jstr("kept"));
    EXPECT_EQ(narrow(full->getMessage()), "kept");
}

TEST_F(Stores, OpeningWithoutCreationNeedsAStore) {
    EXPECT_THROW(RecordStore::openRecordStore(jstr("missing"), false), RecordStoreNotFoundException);
    EXPECT_THROW(RecordStore::openRecordStore(jstr("missing"), jstr("vendor"), jstr("suite")),
                 RecordStoreNotFoundException);
    EXPECT_TRUE(files().empty());
    JavaPtr<RecordStore> first = RecordStore::openRecordStore(jstr("one"), true);
    JavaPtr<RecordStore> second =
        RecordStore::openRecordStore(jstr("two"), true, RecordStore::AUTHMODE_ANY, true);
    EXPECT_EQ(files(), (std::vector<std::string>{"rs_1", "rs_2"}));
    EXPECT_EQ(narrow(first->getName()), "one");
    EXPECT_EQ(first->getVersion(), 0);
    EXPECT_EQ(first->getNextRecordID(), 1);
    EXPECT_EQ(first->getSize(), 28 + 6);
    EXPECT_EQ(second->getSizeAvailable(), 0);
    second->setMode(RecordStore::AUTHMODE_PRIVATE, false);
    EXPECT_EQ(storeFile("rs_2").size(), 34u);
}

TEST_F(Stores, TheRegistryAnswersOneObjectPerNameAndOneCloseClosesIt) {
    JavaPtr<RecordStore> a = RecordStore::openRecordStore(jstr("s"), true);
    JavaPtr<RecordStore> b = RecordStore::openRecordStore(jstr("s"), false);
    EXPECT_EQ(a, b);
    EXPECT_EQ(RecordStore::recordStoreIsReferenced(jstr("s")), 0);
    EXPECT_EQ(RecordStore::recordStoreIsReferenced(jstr("S")), -1) << "names are case-sensitive";
    a->closeRecordStore();
    EXPECT_THROW(b->closeRecordStore(), RecordStoreNotOpenException);
    EXPECT_THROW(b->getNextRecordID(), RecordStoreNotOpenException);
    EXPECT_EQ(narrow(b->getName()), "s") << "the plain accessors answer when closed";
    EXPECT_EQ(b->getSize(), 30);

    // Reopening answers the same object as it stood: the file is not read again.
    const long long made = a->getLastModified();
    writeStoreFile("rs_1", StoreFileBytes(u"s", 1, 41, 5, 99).bytes());
    JavaPtr<RecordStore> c = RecordStore::openRecordStore(jstr("s"), false);
    EXPECT_EQ(c, a);
    EXPECT_EQ(c->getVersion(), 0);
    EXPECT_EQ(c->getLastModified(), made);
    EXPECT_EQ(c->getNextRecordID(), 1);

    RecordStore::tidyUp();
    JavaPtr<RecordStore> fresh = RecordStore::openRecordStore(jstr("s"), false);
    EXPECT_NE(fresh, a) << "after the tear-down the store is loaded anew";
    EXPECT_EQ(fresh->getVersion(), 41);
    EXPECT_EQ(fresh->getNextRecordID(), 99);
}

TEST_F(Stores, NamesAreOneToThirtyTwoUnitsWithoutNul) {
    const std::u16string longest(32, u'x');
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(unitString(longest), true);
    store->closeRecordStore();
    RecordStore::tidyUp();
    EXPECT_EQ(RecordStore::openRecordStore(unitString(longest), false)->getSize(), 26 + 66);
    for (const std::u16string& bad : {std::u16string(33, u'x'), std::u16string(), std::u16string(u"a\0b", 3)})
        EXPECT_THROW(RecordStore::openRecordStore(unitString(bad), true),
                     java::lang::IllegalArgumentException)
            << bad.size();
    EXPECT_THROW(RecordStore::openRecordStore(JavaPtr<String>(), true), java::lang::NullPointerException);
    EXPECT_EQ(files(), std::vector<std::string>{"rs_1"});
}

TEST_F(Stores, ADamagedHeaderIsRefusedAndLeftAsItWas) {
    std::string damaged = StoreFileBytes(u"s", 1, 3, 1000, 4).bytes();
    damaged[9] ^= 1;  // the version
    writeStoreFile("rs_1", damaged);
    EXPECT_THROW(RecordStore::openRecordStore(jstr("s"), false), RecordStoreFullException);
    EXPECT_THROW(RecordStore::openRecordStore(jstr("s"), true), RecordStoreFullException);
    EXPECT_EQ(RecordStore::recordStoreIsReferenced(jstr("s")), -1);
    EXPECT_EQ(storeFile("rs_1"), damaged);
    EXPECT_EQ(files(), std::vector<std::string>{"rs_1"});
    RecordStore::deleteRecordStore(jstr("s"));
    EXPECT_TRUE(files().empty());
}

TEST_F(Stores, DeletingNeedsAClosedStoreAndFreesItsName) {
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), true);
    EXPECT_THROW(RecordStore::deleteRecordStore(jstr("s")), RecordStoreException);
    EXPECT_EQ(files(), std::vector<std::string>{"rs_1"});
    store->closeRecordStore();
    RecordStore::deleteRecordStore(jstr("s"));
    EXPECT_TRUE(files().empty());
    EXPECT_TRUE(store->isDeleted);
    EXPECT_THROW(store->getNextRecordID(), RecordStoreNotOpenException);
    EXPECT_THROW(store->closeRecordStore(), RecordStoreNotOpenException);
    EXPECT_THROW(RecordStore::deleteRecordStore(jstr("s")), RecordStoreNotFoundException);
    EXPECT_THROW(RecordStore::openRecordStore(jstr("s"), false), RecordStoreNotFoundException);
    JavaPtr<RecordStore> again = RecordStore::openRecordStore(jstr("s"), true);
    EXPECT_NE(again, store);
    EXPECT_EQ(narrow(again->fileName), "rs_1") << "the number of a deleted store is free again";
    EXPECT_THROW(RecordStore::deleteRecordStore(JavaPtr<String>()), RecordStoreNotFoundException);
}

TEST_F(Stores, DeletingAStoreWhoseFileWentDropsTheObjectAndReportsNotFound) {
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), true);
    store->closeRecordStore();
    std::filesystem::remove(data() / "rs_1");
    EXPECT_THROW(RecordStore::deleteRecordStore(jstr("s")), RecordStoreNotFoundException);
    EXPECT_EQ(RecordStore::recordStoreIsReferenced(jstr("s")), -1);
}

TEST_F(Stores, DeletingRemovesEveryFileCarryingTheName) {
    writeStoreFile("rs_1", StoreFileBytes(u"s").record(1, "first").bytes());
    writeStoreFile("rs_2", StoreFileBytes(u"other").bytes());
    writeStoreFile("rs_3", StoreFileBytes(u"s").record(1, "duplicate").bytes());
    writeStoreFile("rs_tmp0", StoreFileBytes(u"s").record(1, "leftover").bytes());
    writeStoreFile("rs_tmp1", StoreFileBytes(u"s").bytes());
    EXPECT_EQ(narrowAll(RecordStore::listRecordStores()), (std::vector<std::string>{"s", "other", "s"}));
    RecordStore::deleteRecordStore(jstr("s"));
    EXPECT_EQ(files(), std::vector<std::string>{"rs_2"});
    EXPECT_THROW(RecordStore::openRecordStore(jstr("s"), false), RecordStoreNotFoundException)
        << "no leftover file brings the store back";
}

TEST_F(Stores, AFailedRemovalLeavesTheStoreAsItWas) {
    writeStoreFile("rs_1", StoreFileBytes(u"s").record(1, "kept").bytes());
    writeStoreFile("rs_tmp0", StoreFileBytes(u"s").record(1, "older").bytes());
    for (bool failTheSync : {false, true}) {
        FileOperationFaults faults;
        if (failTheSync)
            faults.failEvery(FileOperationFaults::Kind::Fsync, EIO);
        else
            faults.failEvery(FileOperationFaults::Kind::Unlink, EIO);
        EXPECT_THROW(RecordStore::deleteRecordStore(jstr("s")), RecordStoreException);
    }
    // The temporary copy goes first; the file the store lives in is still there.
    EXPECT_EQ(files(), std::vector<std::string>{"rs_1"});
    EXPECT_EQ(narrow(RecordStore::openRecordStore(jstr("s"), false)->fileName), "rs_1");
}

TEST_F(Stores, WhatCannotBeReadIsNotTakenForMissing) {
    writeStoreFile("rs_1", StoreFileBytes(u"s").bytes());
    writeStoreFile("rs_2", StoreFileBytes(u"t").bytes());
    using Kind = FileOperationFaults::Kind;
    for (Kind kind : {Kind::List, Kind::Open}) {
        FileOperationFaults faults;
        faults.failEvery(kind, EIO);
        EXPECT_THROW(RecordStore::openRecordStore(jstr("s"), true), RecordStoreException);
        EXPECT_THROW(RecordStore::deleteRecordStore(jstr("t")), RecordStoreException);
        EXPECT_EQ(RecordStore::listRecordStores()->length, 0);
    }
    {
        // One store file that cannot be read: the other may be the store wanted.
        FileOperationFaults faults;
        faults.failAt(1, EIO);
        EXPECT_THROW(RecordStore::deleteRecordStore(jstr("t")), RecordStoreException);
    }
    EXPECT_EQ(files(), (std::vector<std::string>{"rs_1", "rs_2"})) << "nothing made, nothing removed";
    EXPECT_EQ(narrowAll(RecordStore::listRecordStores()), (std::vector<std::string>{"s", "t"}));
}

TEST_F(Stores, ACreationThatCannotBeWrittenLeavesNoFile) {
    using Kind = FileOperationFaults::Kind;
    for (Kind kind : {Kind::Open, Kind::Write, Kind::Fsync, Kind::Close}) {
        {
            FileOperationFaults faults;
            faults.failEvery(kind, ENOSPC);
            EXPECT_THROW(RecordStore::openRecordStore(jstr("s"), true), RecordStoreFullException)
                << static_cast<int>(kind);
        }
        EXPECT_TRUE(files().empty()) << static_cast<int>(kind);
        EXPECT_EQ(RecordStore::recordStoreIsReferenced(jstr("s")), -1);
    }
    // Numbers taken by something else are passed over, never emptied.
    std::filesystem::create_directories(data() / "rs_1");
    ASSERT_EQ(mkfifo((data() / "rs_2").c_str(), 0600), 0);
    testsupport::writeTextFile(data() / "rs_3", "not a store");
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("s"), true);
    EXPECT_EQ(narrow(store->fileName), "rs_4");
    EXPECT_EQ(storeFile("rs_3"), "not a store");
}

TEST_F(Stores, ATemporaryFileStandsInForAMissingStoreFile) {
    writeStoreFile("rs_5", StoreFileBytes(u"s").record(1, "in the store file").bytes());
    writeStoreFile("rs_tmp0", StoreFileBytes(u"s").record(1, "in the temporary file").bytes());
    EXPECT_EQ(narrow(RecordStore::openRecordStore(jstr("s"), false)->fileName), "rs_5");
    RecordStore::tidyUp();
    std::filesystem::remove(data() / "rs_5");
    EXPECT_EQ(narrow(RecordStore::openRecordStore(jstr("s"), false)->fileName), "rs_tmp0");
}

// A child process opens a store and holds the directory while this one tries; the child's lock goes
// with it.
TEST_F(Stores, ASecondProcessOnTheSameDirectoryIsRefused) {
    testsupport::NoHangGuard guard(60);
    RecordStore::tidyUp();
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int status = 0;
        try {
            RecordStore::openRecordStore(jstr("shared"), true);
        } catch (...) {
            status = 1;
        }
        char byte = static_cast<char>('0' + status);
        if (write(ready[1], &byte, 1) != 1) _exit(2);
        if (read(release[0], &byte, 1) != 1) _exit(3);
        _exit(status);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, '0');
    EXPECT_THROW(RecordStore::openRecordStore(jstr("shared"), false), RecordStoreException);
    EXPECT_THROW(RecordStore::openRecordStore(jstr("mine"), true), RecordStoreException);
    EXPECT_THROW(RecordStore::deleteRecordStore(jstr("shared")), RecordStoreException);
    ASSERT_EQ(write(release[1], &byte, 1), 1);
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
    EXPECT_EQ(narrow(RecordStore::openRecordStore(jstr("shared"), false)->fileName), "rs_1");
    EXPECT_EQ(files(), std::vector<std::string>{"rs_1"});
}

}  // namespace
