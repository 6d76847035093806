// What a restart finds of a store: whether it opens, its records and its header fields, for tests
// that compare a store after a crash or a failure with the states it may be in.
#pragma once

#include <map>
#include <sstream>
#include <string>

#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreNotFoundException.h"
#include "tests/rms/StoreBytes.h"

namespace testsupport {

struct StoreState {
    bool present = false;
    std::map<int, std::string> records;
    int nextRecordID = 0;
    int version = 0;
    // Why the store could not be read back whole; a store that is there must always read.
    std::string error;

    bool operator==(const StoreState&) const = default;

    std::string describe() const {
        if (!error.empty()) return "unreadable (" + error + ")";
        if (!present) return "absent";
        std::ostringstream out;
        out << "v" << version << " next " << nextRecordID << " {";
        for (const auto& [id, bytes] : records) out << " " << id << ":" << bytes.size() << "b";
        out << " }";
        return out.str();
    }
};

inline std::ostream& operator<<(std::ostream& out, const StoreState& state) {
    return out << state.describe();
}

// The store as an object already open in this run sees it.
inline StoreState stateOf(const JavaPtr<javax::microedition::rms::RecordStore>& store) {
    StoreState state;
    try {
        state.present = true;
        state.nextRecordID = store->getNextRecordID();
        state.version = store->getVersion();
        JavaPtr<JArray<int>> ids = store->getRecordIDs();
        for (int id : *ids) state.records[id] = bytesIn(store->getRecord(id));
    } catch (javax::microedition::rms::RecordStoreException& e) {
        state.error = e.getClassTypeName();
    }
    return state;
}

// The store as a restart finds it: every store object is dropped first and afterwards.
inline StoreState restartAndRead(const char* name) {
    using javax::microedition::rms::RecordStore;
    RecordStore::tidyUp();
    StoreState state;
    try {
        JavaPtr<RecordStore> store = RecordStore::openRecordStore(jstr(name), false);
        state = stateOf(store);
    } catch (javax::microedition::rms::RecordStoreNotFoundException&) {
        state.present = false;
    } catch (javax::microedition::rms::RecordStoreException& e) {
        state.error = e.getClassTypeName();
    }
    RecordStore::tidyUp();
    return state;
}

}  // namespace testsupport
