// The record store beside SQLite on the same disk, with the same records at the same durability (every
// change on the device before it returns): the quiz's save (enumerate, replace its 1 KB record in
// place) against one SQLite transaction that finds the old record, adds the new one and deletes the
// old, in rollback-journal mode (DELETE) and in WAL mode, both with synchronous=FULL; then add, set, get and
// delete of 1 KB records on stores of 1, 10, 100 and 1000 records. The argument is the number of records
// already in the store.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files/FileSystemPaths.h"
#include "rms/RecordEnumeration.h"
#include "rms/RecordStore.h"
#include "runtime/JArray.h"
#include "runtime/String.h"

using javax::microedition::rms::RecordEnumeration;
using javax::microedition::rms::RecordStore;

namespace {

constexpr int kRecordSize = 1024;

JavaPtr<JArray<signed char>> record(int seed) {
    JavaPtr<JArray<signed char>> bytes = jnew<JArray<signed char>>(kRecordSize);
    for (int i = 0; i < kRecordSize; ++i) bytes->data[i] = static_cast<signed char>(seed * 31 + i);
    return bytes;
}

// A directory of its own next to the system's temporary files (the same disk for both stores).
class BenchDirectory {
public:
    BenchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quill-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        m_path = pattern;
    }
    ~BenchDirectory() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

void putInt(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(v >> shift));
}

// Writes store "bench" with records 1..count directly in the file format (adding them one by one would
// rewrite the file count times), and opens it.
JavaPtr<RecordStore> storeWith(const BenchDirectory& directory, int count) {
    RecordStore::tidyUp();
    platform::setFileSystemPaths(directory.path().c_str(), directory.path().c_str());
    std::filesystem::remove(directory.path() / "rs_1");
    JavaPtr<java::lang::String> name = jnew<java::lang::String>("bench");
    std::string file;
    putInt(file, RecordStore::RSMAGIC);
    file += std::string("\0\1", 2);
    putInt(file, 0);
    putInt(file, 0);
    putInt(file, 1000);
    putInt(file, static_cast<uint32_t>(count + 1));
    putInt(file,
           static_cast<uint32_t>(javax::microedition::rms::getHeaderChunkCRC(0, 1000, count + 1, name)));
    file += std::string("\0b\0e\0n\0c\0h\0\0", 12);
    for (int id = 1; id <= count; ++id) {
        JavaPtr<JArray<signed char>> bytes = record(id);
        putInt(file, static_cast<uint32_t>(id));
        putInt(file, kRecordSize);
        file.append(reinterpret_cast<const char*>(bytes->data), kRecordSize);
        putInt(file, static_cast<uint32_t>(javax::microedition::rms::getRecordChunkCRC(id, bytes)));
    }
    std::ofstream(directory.path() / "rs_1", std::ios::binary) << file;
    return RecordStore::openRecordStore(name, false);
}

// ---- The record store ------------------------------------------------------------------------------

// The quiz's save: it finds its record through an enumeration and replaces it in place. progress is
// the id of the record the save replaces.
void saveRecordStore(const JavaPtr<RecordStore>& store, int& progress, int seed) {
    JavaPtr<RecordEnumeration> records = store->enumerateRecords(nullptr, nullptr, false);
    int newest = 0;
    while (records->hasNextElement()) newest = std::max(newest, records->nextRecordId());
    records->destroy();
    if (newest != progress) std::abort();
    store->setRecord(progress, record(seed), 0, kRecordSize);
}

// The store holds count other records and the progress record, which each save replaces.
void RecordStoreSave(benchmark::State& state) {
    BenchDirectory directory;
    JavaPtr<RecordStore> store = storeWith(directory, static_cast<int>(state.range(0)));
    int progress = store->addRecord(record(0), 0, kRecordSize);
    int seed = 1;
    for (auto _ : state) saveRecordStore(store, progress, seed++);
    state.counters["store KB"] = store->getSize() / 1024.0;
    RecordStore::tidyUp();
}

void RecordStoreAdd(benchmark::State& state) {
    BenchDirectory directory;
    JavaPtr<RecordStore> store = storeWith(directory, static_cast<int>(state.range(0)));
    JavaPtr<JArray<signed char>> bytes = record(7);
    for (auto _ : state) {
        const int id = store->addRecord(bytes, 0, kRecordSize);
        state.PauseTiming();
        store->deleteRecord(id);
        state.ResumeTiming();
    }
    RecordStore::tidyUp();
}

void RecordStoreSet(benchmark::State& state) {
    BenchDirectory directory;
    const int count = static_cast<int>(state.range(0));
    JavaPtr<RecordStore> store = storeWith(directory, count);
    int seed = 1;
    for (auto _ : state) store->setRecord((count + 1) / 2, record(seed++), 0, kRecordSize);
    RecordStore::tidyUp();
}

void RecordStoreGet(benchmark::State& state) {
    BenchDirectory directory;
    const int count = static_cast<int>(state.range(0));
    JavaPtr<RecordStore> store = storeWith(directory, count);
    for (auto _ : state) benchmark::DoNotOptimize(store->getRecord(count));
    RecordStore::tidyUp();
}

void RecordStoreDelete(benchmark::State& state) {
    BenchDirectory directory;
    JavaPtr<RecordStore> store = storeWith(directory, static_cast<int>(state.range(0)));
    JavaPtr<JArray<signed char>> bytes = record(7);
    for (auto _ : state) {
        state.PauseTiming();
        const int id = store->addRecord(bytes, 0, kRecordSize);
        state.ResumeTiming();
        store->deleteRecord(id);
    }
    RecordStore::tidyUp();
}

// ---- SQLite ----------------------------------------------------------------------------------------

class Database {
public:
    Database(const BenchDirectory& directory, bool wal, int count) {
        if (sqlite3_open((directory.path() / "bench.db").c_str(), &m_db) != SQLITE_OK) std::abort();
        run(wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE");
        run("PRAGMA synchronous=FULL");
        run("CREATE TABLE records(id INTEGER PRIMARY KEY AUTOINCREMENT, data BLOB NOT NULL)");
        run("BEGIN");
        for (int id = 1; id <= count; ++id) insert(record(id));
        run("COMMIT");
        m_insert = prepare("INSERT INTO records(data) VALUES(?)");
        m_update = prepare("UPDATE records SET data = ? WHERE id = ?");
        m_select = prepare("SELECT data FROM records WHERE id = ?");
        m_delete = prepare("DELETE FROM records WHERE id = ?");
        m_enumerate = prepare("SELECT id FROM records WHERE id > ? ORDER BY id");
    }
    ~Database() {
        for (sqlite3_stmt* statement : {m_insert, m_update, m_select, m_delete, m_enumerate})
            sqlite3_finalize(statement);
        sqlite3_close(m_db);
    }

    void run(const char* sql) {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
    }
    int insert(const JavaPtr<JArray<signed char>>& bytes) {
        sqlite3_stmt* statement =
            m_insert != nullptr ? m_insert : prepare("INSERT INTO records(data) VALUES(?)");
        sqlite3_bind_blob(statement, 1, bytes->data, bytes->length, SQLITE_STATIC);
        step(statement);
        if (statement != m_insert) sqlite3_finalize(statement);
        return static_cast<int>(sqlite3_last_insert_rowid(m_db));
    }
    void update(int id, const JavaPtr<JArray<signed char>>& bytes) {
        sqlite3_bind_blob(m_update, 1, bytes->data, bytes->length, SQLITE_STATIC);
        sqlite3_bind_int(m_update, 2, id);
        step(m_update);
    }
    int select(int id) {
        sqlite3_bind_int(m_select, 1, id);
        int size = 0;
        if (sqlite3_step(m_select) == SQLITE_ROW) size = sqlite3_column_bytes(m_select, 0);
        sqlite3_reset(m_select);
        return size;
    }
    void remove(int id) {
        sqlite3_bind_int(m_delete, 1, id);
        step(m_delete);
    }
    // The ids above from, as the quiz's enumeration of its save records.
    std::vector<int> idsAbove(int from) {
        std::vector<int> ids;
        sqlite3_bind_int(m_enumerate, 1, from);
        while (sqlite3_step(m_enumerate) == SQLITE_ROW) ids.push_back(sqlite3_column_int(m_enumerate, 0));
        sqlite3_reset(m_enumerate);
        return ids;
    }

private:
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK) std::abort();
        return statement;
    }
    static void step(sqlite3_stmt* statement) {
        if (sqlite3_step(statement) != SQLITE_DONE) std::abort();
        sqlite3_reset(statement);
    }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    sqlite3_stmt* m_update = nullptr;
    sqlite3_stmt* m_select = nullptr;
    sqlite3_stmt* m_delete = nullptr;
    sqlite3_stmt* m_enumerate = nullptr;
};

// The same save as one transaction; the save records are those after the count others.
void saveSqlite(Database& db, int count, int seed) {
    db.run("BEGIN");
    const std::vector<int> old = db.idsAbove(count);
    db.insert(record(seed));
    for (int id : old) db.remove(id);
    db.run("COMMIT");
}

void SqliteSave(benchmark::State& state, bool wal) {
    BenchDirectory directory;
    const int count = static_cast<int>(state.range(0));
    Database db(directory, wal, count);
    int seed = 1;
    db.insert(record(0));
    for (auto _ : state) saveSqlite(db, count, seed++);
}

// The three saves in turn within every iteration, so that a disk whose speed drifts with the
// machine's other work weighs on all three alike; the counters are each one's mean in milliseconds.
void SavesSideBySide(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    BenchDirectory storeDirectory, journalDirectory, walDirectory;
    JavaPtr<RecordStore> store = storeWith(storeDirectory, count);
    int progress = store->addRecord(record(0), 0, kRecordSize);
    Database journal(journalDirectory, false, count), wal(walDirectory, true, count);
    journal.insert(record(0));
    wal.insert(record(0));
    using Clock = std::chrono::steady_clock;
    Clock::duration spent[3] = {};
    int seed = 1;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        saveRecordStore(store, progress, seed);
        const Clock::time_point stored = Clock::now();
        saveSqlite(journal, count, seed);
        const Clock::time_point journaled = Clock::now();
        saveSqlite(wal, count, seed++);
        spent[0] += stored - start;
        spent[1] += journaled - stored;
        spent[2] += Clock::now() - journaled;
    }
    const double iterations = static_cast<double>(state.iterations());
    auto ms = [&](int i) { return std::chrono::duration<double, std::milli>(spent[i]).count() / iterations; };
    state.counters["record store ms"] = ms(0);
    state.counters["DELETE/FULL ms"] = ms(1);
    state.counters["WAL/FULL ms"] = ms(2);
    state.counters["store / DELETE"] = ms(0) / ms(1);
    RecordStore::tidyUp();
}

void SqliteAdd(benchmark::State& state, bool wal) {
    BenchDirectory directory;
    Database db(directory, wal, static_cast<int>(state.range(0)));
    JavaPtr<JArray<signed char>> bytes = record(7);
    for (auto _ : state) {
        const int id = db.insert(bytes);
        state.PauseTiming();
        db.remove(id);
        state.ResumeTiming();
    }
}

void SqliteSet(benchmark::State& state, bool wal) {
    BenchDirectory directory;
    const int count = static_cast<int>(state.range(0));
    Database db(directory, wal, count);
    int seed = 1;
    for (auto _ : state) db.update((count + 1) / 2, record(seed++));
}

void SqliteGet(benchmark::State& state, bool wal) {
    BenchDirectory directory;
    const int count = static_cast<int>(state.range(0));
    Database db(directory, wal, count);
    for (auto _ : state) benchmark::DoNotOptimize(db.select(count));
}

void SqliteDelete(benchmark::State& state, bool wal) {
    BenchDirectory directory;
    Database db(directory, wal, static_cast<int>(state.range(0)));
    JavaPtr<JArray<signed char>> bytes = record(7);
    for (auto _ : state) {
        state.PauseTiming();
        const int id = db.insert(bytes);
        state.ResumeTiming();
        db.remove(id);
    }
}

void sizes(benchmark::internal::Benchmark* benchmark) {
    for (int count : {1, 10, 100, 1000}) benchmark->Arg(count);
    benchmark->Unit(benchmark::kMicrosecond)->UseRealTime();
}

}  // namespace

// The saves also run on larger stores, to find where rewriting the whole file stops paying.
BENCHMARK(SavesSideBySide)->Arg(0)->Apply(sizes)->Arg(3000)->Arg(10000);
BENCHMARK(RecordStoreSave)->Arg(0)->Apply(sizes)->Arg(3000)->Arg(10000);
BENCHMARK_CAPTURE(SqliteSave, delete_full, false)->Arg(0)->Apply(sizes)->Arg(3000)->Arg(10000);
BENCHMARK_CAPTURE(SqliteSave, wal_full, true)->Arg(0)->Apply(sizes)->Arg(3000)->Arg(10000);
BENCHMARK(RecordStoreAdd)->Apply(sizes);
BENCHMARK_CAPTURE(SqliteAdd, delete_full, false)->Apply(sizes);
BENCHMARK_CAPTURE(SqliteAdd, wal_full, true)->Apply(sizes);
BENCHMARK(RecordStoreSet)->Apply(sizes);
BENCHMARK_CAPTURE(SqliteSet, delete_full, false)->Apply(sizes);
BENCHMARK_CAPTURE(SqliteSet, wal_full, true)->Apply(sizes);
BENCHMARK(RecordStoreGet)->Apply(sizes);
BENCHMARK_CAPTURE(SqliteGet, delete_full, false)->Apply(sizes);
BENCHMARK_CAPTURE(SqliteGet, wal_full, true)->Apply(sizes);
BENCHMARK(RecordStoreDelete)->Apply(sizes);
BENCHMARK_CAPTURE(SqliteDelete, delete_full, false)->Apply(sizes);
BENCHMARK_CAPTURE(SqliteDelete, wal_full, true)->Apply(sizes);
