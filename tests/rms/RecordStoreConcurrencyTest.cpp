// Threads opening, closing, listing and deleting stores at once: the registry keeps one object per
// name, and every store a thread made is there afterwards.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreNotFoundException.h"
#include "tests/rms/StoreFiles.h"

using namespace javax::microedition::rms;
using testsupport::jstr;
using testsupport::narrow;

namespace {

class StoreThreads : public testsupport::StoreFixture {};

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

}  // namespace
