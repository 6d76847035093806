// Record enumerations: file order, the cursor in both directions, filters, rebuilding after changes
// with the cursor kept on its id, and leaving the store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rms/InvalidRecordIDException.h"
#include "rms/RecordComparator.h"
#include "rms/RecordEnumeration.h"
#include "rms/RecordEnumerationImpl.h"
#include "rms/RecordEnumerationListenerImpl.h"
#include "rms/RecordFilter.h"
#include "rms/RecordStore.h"
#include "runtime/IllegalStateException.h"
#include "tests/rms/StoreFiles.h"
#include "tests/support/ClassRegistry.h"

using namespace javax::microedition::rms;
using testsupport::byteArray;
using testsupport::bytesIn;
using testsupport::jstr;
using testsupport::StoreFileBytes;

QUILL_REGISTER_CLASSES(RecordEnumerationImpl, RecordEnumerationListenerImpl);

namespace {

// Matches records whose first byte is the one given; counts its calls.
class FirstByteFilter : public java::lang::Object, public virtual RecordFilter {
    TESL_CLASS(FirstByteFilter, "tests.rms.FirstByteFilter", java::lang::Object, RecordFilter)
public:
    explicit FirstByteFilter(char wanted) : m_wanted(wanted) {}
    bool matches(const JavaPtr<JArray<signed char>>& candidate) override {
        ++calls;
        return candidate->length > 0 && candidate->data[0] == m_wanted;
    }
    int calls = 0;

private:
    char m_wanted;
};

// Orders records backwards; an enumeration must never ask it.
class ReverseComparator : public java::lang::Object, public virtual RecordComparator {
    TESL_CLASS(ReverseComparator, "tests.rms.ReverseComparator", java::lang::Object, RecordComparator)
public:
    int compare(const JavaPtr<JArray<signed char>>&, const JavaPtr<JArray<signed char>>&) override {
        ++calls;
        return PRECEDES;
    }
    int calls = 0;
};

class Enumerations : public testsupport::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        store = RecordStore::openRecordStore(jstr("s"), true);
    }
    int add(const std::string& bytes) {
        return store->addRecord(byteArray(bytes), 0, static_cast<int>(bytes.size()));
    }
    // The ids left going forward.
    static std::vector<int> rest(const JavaPtr<RecordEnumeration>& e) {
        std::vector<int> ids;
        while (e->hasNextElement()) ids.push_back(e->nextRecordId());
        return ids;
    }

    JavaPtr<RecordStore> store;
};

TEST(RecordEnumerationClasses, FixedIdsAndCasts) {
    EXPECT_EQ(RecordEnumerationImpl::TESLclassTypeID, 237009160);
    EXPECT_EQ(RecordEnumerationListenerImpl::TESLclassTypeID, 1020402140);
    JavaPtr<RecordEnumerationListenerImpl> listener = jnew<RecordEnumerationListenerImpl>();
    EXPECT_EQ(listener->castAsTypeID(RecordListener::TESLclassTypeID),
              static_cast<RecordListener*>(listener.get()));
    EXPECT_EQ(listener->castAsTypeID(java::lang::Object::TESLclassTypeID), listener.get());
    EXPECT_EQ(listener->castAsTypeID(RecordEnumeration::TESLclassTypeID), nullptr);
}

TEST_F(Enumerations, AnEmptyStoreHasNothingEitherWay) {
    JavaPtr<RecordEnumeration> e = store->enumerateRecords(nullptr, nullptr, true);
    EXPECT_EQ(e->numRecords(), 0);
    EXPECT_FALSE(e->hasNextElement());
    EXPECT_FALSE(e->hasPreviousElement());
    EXPECT_THROW(e->nextRecordId(), InvalidRecordIDException);
    EXPECT_THROW(e->previousRecord(), InvalidRecordIDException);
    EXPECT_TRUE(e->isKeptUpdated());
    EXPECT_EQ(jcast<RecordEnumerationImpl>(e)->castAsTypeID(RecordEnumeration::TESLclassTypeID), e.get());
}

TEST_F(Enumerations, TheCursorWalksFileOrderBothWays) {
    add("a");
    add("b");
    add("c");
    JavaPtr<ReverseComparator> comparator = jnew<ReverseComparator>();
    JavaPtr<RecordEnumeration> e = store->enumerateRecords(nullptr, comparator, false);
    EXPECT_EQ(e->nextRecordId(), 1);
    EXPECT_EQ(e->previousRecordId(), 2) << "the id under the cursor";
    EXPECT_EQ(bytesIn(e->previousRecord()), "a");
    EXPECT_FALSE(e->hasNextElement());
    EXPECT_FALSE(e->hasPreviousElement());
    EXPECT_THROW(e->previousRecordId(), InvalidRecordIDException);
    e->reset();
    EXPECT_EQ(bytesIn(e->nextRecord()), "a");
    EXPECT_EQ(rest(e), (std::vector<int>{2, 3}));
    EXPECT_THROW(e->nextRecordId(), InvalidRecordIDException);
    EXPECT_TRUE(e->hasPreviousElement());
    EXPECT_THROW(e->previousRecordId(), InvalidRecordIDException)
        << "past the end nothing is under the cursor";
    EXPECT_THROW(e->previousRecord(), InvalidRecordIDException);
    EXPECT_EQ(comparator->calls, 0);
    EXPECT_FALSE(e->isKeptUpdated());
}

TEST_F(Enumerations, ChangesRebuildItAndTheCursorStaysOnItsId) {
    add("a");
    add("b");
    add("c");
    JavaPtr<RecordEnumeration> e = store->enumerateRecords(nullptr, nullptr, false);
    EXPECT_EQ(e->nextRecordId(), 1);
    add("d");
    EXPECT_EQ(e->numRecords(), 4) << "rebuilt although not kept updated";
    EXPECT_EQ(e->nextRecordId(), 2);
    store->deleteRecord(1);
    EXPECT_EQ(e->nextRecordId(), 3) << "the cursor stayed on id 3";
    EXPECT_EQ(e->previousRecordId(), 4);
    store->deleteRecord(3);
    EXPECT_EQ(rest(e), (std::vector<int>{2, 4})) << "its record gone, the cursor goes to the front";
    store->setRecord(2, byteArray("B"), 0, 1);
    EXPECT_EQ(rest(e), (std::vector<int>{2, 4})) << "after the last id any change goes to the front";
}

TEST_F(Enumerations, FiltersChooseAndNeverHideAChange) {
    add("apple");
    add("banana");
    add("avocado");
    add("");
    JavaPtr<FirstByteFilter> filter = jnew<FirstByteFilter>('a');
    JavaPtr<RecordEnumeration> e = store->enumerateRecords(filter, nullptr, true);
    EXPECT_EQ(rest(e), (std::vector<int>{1, 3}));
    EXPECT_EQ(filter->calls, 4);
    add("apricot");
    e->reset();
    EXPECT_EQ(rest(e), (std::vector<int>{1, 3, 5}));
    JavaPtr<RecordEnumeration> none = store->enumerateRecords(jnew<FirstByteFilter>('z'), nullptr, false);
    EXPECT_EQ(none->numRecords(), 0);
    EXPECT_FALSE(none->hasNextElement());
}

TEST_F(Enumerations, ADamagedRecordIsListedButMatchesNoFilter) {
    RecordStore::tidyUp();
    writeStoreFile(
        "rs_1",
        StoreFileBytes(u"s", 1, 0, 1000, 4).record(1, "a1").record(2, "a2", 9).record(3, "a3").bytes());
    store = RecordStore::openRecordStore(jstr("s"), false);
    EXPECT_EQ(rest(store->enumerateRecords(nullptr, nullptr, false)), (std::vector<int>{1, 2, 3}));
    JavaPtr<RecordEnumeration> filtered = store->enumerateRecords(jnew<FirstByteFilter>('a'), nullptr, false);
    EXPECT_EQ(rest(filtered), (std::vector<int>{1, 3}));
    store->deleteRecord(1);
    filtered->reset();
    EXPECT_EQ(rest(filtered), (std::vector<int>{3}));
}

TEST_F(Enumerations, DestroyLeavesTheStoreAndKeepsTheList) {
    add("a");
    add("b");
    JavaPtr<RecordEnumeration> e = store->enumerateRecords(nullptr, nullptr, true);
    EXPECT_EQ(store->listeners->length, 1);
    e->destroy();
    EXPECT_EQ(store->listeners->length, 0);
    add("c");
    EXPECT_EQ(e->numRecords(), 2) << "no longer follows the store";
    EXPECT_EQ(e->nextRecordId(), 1);
    EXPECT_THROW(e->nextRecord(), java::lang::IllegalStateException);
    EXPECT_THROW(e->rebuild(), java::lang::IllegalStateException);
    {
        JavaPtr<RecordEnumeration> dropped = store->enumerateRecords(nullptr, nullptr, true);
        EXPECT_EQ(store->listeners->length, 1);
    }
    EXPECT_EQ(store->listeners->length, 0) << "the last release leaves the store too";
    add("d");
}

}  // namespace
