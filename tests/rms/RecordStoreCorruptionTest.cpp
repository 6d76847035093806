// Damaged store files: every byte of a small store flipped with a few masks, and the file cut at every
// length. Nothing crashes or hangs, every failure is a record-store exception, nothing allocates more
// than the file could hold, and no record ever reads back as anything but what was written.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <map>
#include <string>

#include "library/File.h"
#include "library/FileInputStream.h"
#include "rms/InvalidRecordIDException.h"
#include "rms/RecordEnumeration.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "tests/rms/StoreFiles.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// From the sanitizers' allocator interface, whose header not every compiler ships.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));
#define QUILL_WATCHES_ALLOCATIONS 1
#endif

using namespace javax::microedition::rms;
using testsupport::byteArray;
using testsupport::bytesIn;
using testsupport::jstr;
using testsupport::StoreFileBytes;

namespace {

// The largest single allocation made while one is alive (under the sanitizers, which can report every
// allocation; elsewhere it stays 0). The hook is installed once, since the sanitizers keep a few only.
class LargestAllocation {
public:
    LargestAllocation() {
#ifdef QUILL_WATCHES_ALLOCATIONS
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(&onMalloc, &onFree) != 0;
        (void)installed;
#endif
        s_largest.store(0);
        s_watching.store(true);
    }
    ~LargestAllocation() {
        s_watching.store(false);
    }
    static size_t largest() {
        return s_largest.load();
    }
    static bool watching() {
#ifdef QUILL_WATCHES_ALLOCATIONS
        return true;
#else
        return false;
#endif
    }

private:
    static void onMalloc(const volatile void*, size_t size) {
        if (!s_watching.load(std::memory_order_relaxed)) return;
        size_t seen = s_largest.load(std::memory_order_relaxed);
        while (size > seen && !s_largest.compare_exchange_weak(seen, size)) {
        }
    }
    static void onFree(const volatile void*) {}

    static inline std::atomic<size_t> s_largest{0};
    static inline std::atomic<bool> s_watching{false};
};

class StoreCorruption : public testsupport::StoreFixture {
protected:
    StoreCorruption() : StoreFixture(true) {}

    void SetUp() override {
        StoreFixture::SetUp();
        m_records = {
            {1, "first record"}, {2, ""}, {3, std::string("\x00\x7f\x80\xff", 4)}, {5, std::string(40, 'z')}};
        StoreFileBytes file(u"saved", 1, 6, 1234567890123LL, 6);
        for (const auto& [id, bytes] : m_records) file.record(id, bytes);
        m_whole = file.bytes();
    }

    // Loads the damaged file as a fresh run would and works it over: the scan, the readers, an
    // enumeration, and a change, after which every record that read before still reads the same.
    // Answers a description of anything that went wrong.
    std::string exercise(const std::string& bytes) {
        writeStoreFile("rs_1", bytes);
        RecordStore::tidyUp();
        std::string problems;
        try {
            RecordStore::listRecordStores();
            JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr("saved"), false);
            store->getNextRecordID();
            store->getSize();
            for (int id = 0; id <= 6; ++id) {
                JavaPtr<java::io::FileInputStream> file =
                    jnew<java::io::FileInputStream>(jnew<java::io::File>(store->fileName));
                JavaPtr<JArray<signed char>> data;
                if (getRecordInternal(file, id, data, *store) < 0) continue;
                if (!isWritten(id, bytesIn(data)))
                    problems += " record " + std::to_string(id) + " reads wrong;";
            }
            std::map<int, std::string> readable;
            JavaPtr<JArray<int>> ids = store->getRecordIDs();
            for (int id : *ids) {
                try {
                    readable[id] = bytesIn(store->getRecord(id));
                    if (!isWritten(id, readable[id]))
                        problems += " record " + std::to_string(id) + " reads wrong;";
                } catch (InvalidRecordIDException&) {
                }
            }
            if (store->enumerateRecords(nullptr, nullptr, false)->numRecords() != ids->length)
                problems += " the enumeration and the id list differ;";
            if (store->getNumRecords() != ids->length)
                problems += " the record count and the id list differ;";

            const int added = store->addRecord(byteArray("after the damage"), 0, 16);
            if (bytesIn(store->getRecord(added)) != "after the damage")
                problems += " the new record reads wrong;";
            for (const auto& [id, written] : readable) {
                if (bytesIn(store->getRecord(id)) != written)
                    problems += " record " + std::to_string(id) + " changed with the new one;";
            }
            store->deleteRecord(added);
            store->closeRecordStore();
        } catch (RecordStoreException&) {
        } catch (...) {
            problems += " an exception outside the record-store family;";
        }
        return problems;
    }

    bool isWritten(int id, const std::string& bytes) const {
        auto written = m_records.find(id);
        return written != m_records.end() && written->second == bytes;
    }

    std::map<int, std::string> m_records;
    std::string m_whole;
};

TEST_F(StoreCorruption, EveryFlippedByteIsSurvived) {
    testsupport::NoHangGuard guard(240);
    ASSERT_EQ(exercise(m_whole), "");
    LargestAllocation allocations;
    for (size_t at = 0; at < m_whole.size(); ++at) {
        for (unsigned char mask : {0x01, 0x10, 0x80, 0xff}) {
            std::string damaged = m_whole;
            damaged[at] = static_cast<char>(damaged[at] ^ mask);
            EXPECT_EQ(exercise(damaged), "") << "byte " << at << " mask " << int(mask);
        }
    }
    if (LargestAllocation::watching()) {
        EXPECT_LT(LargestAllocation::largest(), 64u * 1024u);
    }
}

TEST_F(StoreCorruption, EveryTruncationIsSurvived) {
    testsupport::NoHangGuard guard(120);
    LargestAllocation allocations;
    for (size_t length = 0; length < m_whole.size(); ++length)
        EXPECT_EQ(exercise(m_whole.substr(0, length)), "") << "cut at " << length;
    if (LargestAllocation::watching()) {
        EXPECT_LT(LargestAllocation::largest(), 64u * 1024u);
    }
}

TEST_F(StoreCorruption, AHugeLengthFieldAllocatesNothing) {
    // The length of record 3 claims nearly 2 GB.
    std::string damaged = StoreFileBytes(u"saved", 1, 0, 1000, 6).record(1, "first record").bytes() +
                          std::string("\0\0\0\3\x7f\xff\xff\xf0", 8) + std::string(64, 'x');
    LargestAllocation allocations;
    EXPECT_EQ(exercise(damaged), "");
    if (LargestAllocation::watching()) {
        EXPECT_GT(LargestAllocation::largest(), 0u) << "the watch sees allocations";
        EXPECT_LT(LargestAllocation::largest(), 64u * 1024u);
    }
}

}  // namespace
