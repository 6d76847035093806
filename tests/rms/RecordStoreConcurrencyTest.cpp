// Threads opening, closing, listing and deleting stores at once: the registry keeps one object per
// name, and every store a thread made is there afterwards. A filter that works on stores from
// another thread while an enumeration is rebuilt.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "rms/RecordEnumeration.h"
#include "rms/RecordFilter.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreNotFoundException.h"
#include "tests/rms/StoreFiles.h"

using namespace javax::microedition::rms;
using testsupport::byteArray;
using testsupport::jstr;
using testsupport::narrow;

namespace {

class StoreThreads : public testsupport::StoreFixture {};

// Matches records starting with 'k'. Its first call, once armed, has another thread open a second
// store and add a record to the enumerated one, and waits for that thread: the filter must run
// without the store lock, and the rebuild must not keep what it read before that record came.
class StoreWorkingFilter : public java::lang::Object, public virtual RecordFilter {
    TESL_CLASS(StoreWorkingFilter, "tests.rms.StoreWorkingFilter", java::lang::Object, RecordFilter)
public:
    explicit StoreWorkingFilter(const JavaPtr<RecordStore>& store) : m_store(store) {}
    bool matches(const JavaPtr<JArray<signed char>>& candidate) override {
        if (armed.exchange(false)) {
            std::thread worker([this] {
                try {
                    RecordStore::openRecordStore(jstr("other"), true)->addRecord(byteArray("x"), 0, 1);
                    m_store->addRecord(byteArray("k added meanwhile"), 0, 17);
                    workerDone.store(true);
                } catch (...) {
                }
            });
            worker.join();
        }
        return candidate->length > 0 && candidate->data[0] == 'k';
    }
    std::atomic<bool> armed{false};
    std::atomic<bool> workerDone{false};

private:
    JavaPtr<RecordStore> m_store;
};

TEST_F(StoreThreads, ThreadsOpeningTheSameNamesShareOneObjectEach) {
    testsupport::NoHangGuard guard(120);
    constexpr int kThreads = 4;
    constexpr int kRounds = 30;
    const std::vector<std::string> names = {"shared-a", "shared-b", "shared-c"};
    std::vector<std::vector<RecordStore*>> seen(kThreads, std::vector<RecordStore*>(names.size(), nullptr));
    std::atomic<int> unexpected{0}, mismatched{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                try {
                    for (size_t n = 0; n < names.size(); ++n) {
                        JavaPtr<RecordStore> store =
                            RecordStore::openRecordStore(jstr(names[n].c_str()), true);
                        if (seen[t][n] == nullptr) seen[t][n] = store.get();
                        if (seen[t][n] != store.get()) mismatched.fetch_add(1);
                        try {
                            store->closeRecordStore();
                        } catch (RecordStoreException&) {
                            // Another thread closed it first: one close closes it for all.
                        }
                    }
                    // Each thread also makes and deletes a store of its own.
                    const std::string own = "own-" + std::to_string(t);
                    RecordStore::openRecordStore(jstr(own.c_str()), true)->closeRecordStore();
                    RecordStore::listRecordStores();
                    RecordStore::deleteRecordStore(jstr(own.c_str()));
                } catch (...) {
                    unexpected.fetch_add(1);
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(unexpected.load(), 0);
    EXPECT_EQ(mismatched.load(), 0);
    for (size_t n = 0; n < names.size(); ++n) {
        for (int t = 1; t < kThreads; ++t) EXPECT_EQ(seen[t][n], seen[0][n]) << names[n];
    }
    std::multiset<std::string> listed;
    JavaPtr<RecordStore::StringArray> stores = RecordStore::listRecordStores();
    for (const auto& name : *stores) listed.insert(narrow(name));
    EXPECT_EQ(listed, (std::multiset<std::string>{"shared-a", "shared-b", "shared-c"}))
        << "one file per name, and every own store deleted";
}

TEST_F(StoreThreads, AFilterWorksOnStoresFromAnotherThreadWhileAnEnumerationIsRebuilt) {
    // Were the filter called under the store lock, the worker would wait for it for ever.
    testsupport::NoHangGuard guard(60);
    JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("main"), true);
    store->addRecord(byteArray("k1"), 0, 2);
    store->addRecord(byteArray("drop"), 0, 4);
    JavaPtr<StoreWorkingFilter> filter = jnew<StoreWorkingFilter>(store);
    JavaPtr<RecordEnumeration> e = store->enumerateRecords(filter, nullptr, true);
    ASSERT_EQ(e->numRecords(), 1);

    filter->armed.store(true);
    e->rebuild();
    ASSERT_TRUE(filter->workerDone.load());
    EXPECT_EQ(e->numRecords(), 2) << "the record added while the filter ran is in";
    EXPECT_EQ(e->nextRecordId(), 1);
    EXPECT_EQ(e->nextRecordId(), 3);

    // The same through the enumeration's own listener, on the thread that changes the store.
    filter->workerDone.store(false);
    filter->armed.store(true);
    store->addRecord(byteArray("k4"), 0, 2);
    ASSERT_TRUE(filter->workerDone.load());
    e->reset();
    std::vector<int> ids;
    while (e->hasNextElement()) ids.push_back(e->nextRecordId());
    EXPECT_EQ(ids, (std::vector<int>{1, 3, 4, 5}));
    EXPECT_EQ(RecordStore::openRecordStore(jstr("other"), false)->getNumRecords(), 2);
    e->destroy();
}

}  // namespace
