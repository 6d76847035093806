// Runs a record store and a plain model of it (a map of ids to bytes, the next id and the version)
// side by side through a sequence of operations read from bytes: adds, replacements, deletions and
// reads of known and unknown ids, enumerations with and without a filter, closing and reopening,
// restarts, and I/O errors injected into the next operation. After an injected error the store must
// be as it was or as the change left it. Shared by the model test and the fuzz target; the caller
// points the data directory at an empty directory of its own first.
#pragma once

#include <cerrno>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "rms/InvalidRecordIDException.h"
#include "rms/RecordEnumeration.h"
#include "rms/RecordFilter.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "tests/rms/StoreBytes.h"
#include "tests/rms/StoreStates.h"
#include "tests/support/FileOperationFaults.h"

namespace testsupport {

// Records whose first byte is even.
class EvenFirstByte : public java::lang::Object, public virtual javax::microedition::rms::RecordFilter {
    TESL_CLASS(EvenFirstByte, "tests.rms.EvenFirstByte", java::lang::Object,
               javax::microedition::rms::RecordFilter)
public:
    bool matches(const JavaPtr<JArray<signed char>>& candidate) override {
        return candidate->length > 0 && candidate->data[0] % 2 == 0;
    }
};

class StoreModelRun {
public:
    using RecordStore = javax::microedition::rms::RecordStore;
    using RecordStoreException = javax::microedition::rms::RecordStoreException;
    using InvalidRecordIDException = javax::microedition::rms::InvalidRecordIDException;

    // Runs the operations; "" when store and model agreed throughout, else the first disagreement.
    std::string run(const uint8_t* bytes, size_t size) {
        m_bytes = bytes;
        m_size = size;
        m_at = 0;
        RecordStore::tidyUp();
        m_store = RecordStore::openRecordStore(jstr("model"), true);
        m_model = stateOf(m_store);
        if (!m_model.error.empty() || !m_model.records.empty())
            return "a new store is not empty: " + m_model.describe();
        std::string problem;
        for (int step = 0; problem.empty() && m_at < m_size; ++step) problem = stepOnce();
        m_faults.reset();
        if (problem.empty()) {
            const StoreState found = restartAndRead("model");
            if (found != m_model)
                problem =
                    "at the end a restart found " + found.describe() + ", the model is " + m_model.describe();
        }
        m_store = nullptr;
        m_faults.reset();
        RecordStore::tidyUp();
        return problem;
    }

private:
    int next() { return m_at < m_size ? m_bytes[m_at++] : 0; }

    // An id the model holds, or (for a byte with its top bit set) one it does not.
    int pickId() {
        const int choice = next();
        if ((choice & 0x80) != 0 || m_model.records.empty()) return (choice & 0x7f) - 2;
        auto it = m_model.records.begin();
        std::advance(it, choice % static_cast<int>(m_model.records.size()));
        return it->first;
    }

    std::string content() {
        const int kind = next();
        const size_t length =
            kind % 4 == 0 ? static_cast<size_t>(next()) * 9 : static_cast<size_t>(kind % 23);
        std::string bytes(length, '\0');
        const int seed = next();
        for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(seed + i * 7);
        return bytes;
    }

    bool faultArmed() const { return m_faults && m_faults->failures() > 0; }

    // After a change that threw under an injected error: the store on disk is the old state or the
    // new one, and the program goes on with it after a restart.
    std::string resync(const StoreState& changed) {
        m_faults.reset();
        // The object the program holds must agree with its file, or its next change builds on a lie.
        const bool open = m_store->isOpen;
        const StoreState held = open ? stateOf(m_store) : StoreState{};
        const StoreState found = restartAndRead("model");
        if (found != m_model && found != changed)
            return "after a failed change the store is " + found.describe() + ", neither " +
                   m_model.describe() + " nor " + changed.describe();
        if (open && held != found)
            return "after a failed change the store object holds " + held.describe() + ", its file " +
                   found.describe();
        m_model = found;
        m_store = RecordStore::openRecordStore(jstr("model"), false);
        return "";
    }

    // A change: apply runs it on the store, changed is the model after it (nullopt when the id is
    // unknown and InvalidRecordIDException is due).
    template <class Apply>
    std::string change(const char* what, Apply apply, const std::optional<StoreState>& changed) {
        try {
            apply();
        } catch (InvalidRecordIDException&) {
            if (!changed && !faultArmed()) return "";
            if (faultArmed()) return resync(changed ? *changed : m_model);
            return std::string(what) + " of a held record said it was not there";
        } catch (RecordStoreException& e) {
            if (faultArmed()) return resync(changed ? *changed : m_model);
            return std::string(what) + " threw " + e.getClassTypeName();
        }
        if (!changed) return std::string(what) + " of an unknown id went through";
        m_model = *changed;
        return "";
    }

    std::string stepOnce() {
        const int operation = next() % 11;
        if (operation == 9) {
            // The next operation meets an I/O error somewhere among its first few file operations.
            m_faults.reset();
            m_faults.emplace();
            const int error = next() % 2 == 0 ? EIO : ENOSPC;
            m_faults->failAt(next() % 24, error, next() % 4 == 0);
            return "";
        }
        std::string problem;
        try {
            problem = operate(operation);
        } catch (RecordStoreException& e) {
            problem =
                faultArmed() ? resync(m_model) : std::string("an operation threw ") + e.getClassTypeName();
        }
        m_faults.reset();
        return problem;
    }

    // Compares the store as its object reads it with the model.
    std::string compare(const char* when) {
        const StoreState seen = stateOf(m_store);
        if (seen == m_model) return "";
        if (faultArmed()) return resync(m_model);
        return std::string(when) + " the store reads " + seen.describe() + ", the model is " +
               m_model.describe();
    }

    std::string operate(int operation) {
        switch (operation) {
            case 0:
            case 1: {
                const std::string bytes = content();
                StoreState changed = m_model;
                changed.records[m_model.nextRecordID] = bytes;
                ++changed.nextRecordID;
                ++changed.version;
                int id = -1;
                std::string problem = change(
                    "add",
                    [&] { id = m_store->addRecord(byteArray(bytes), 0, static_cast<int>(bytes.size())); },
                    changed);
                if (problem.empty() && id != -1 && id != changed.nextRecordID - 1)
                    problem = "add answered id " + std::to_string(id);
                return problem;
            }
            case 2: {
                const int id = pickId();
                const std::string bytes = content();
                std::optional<StoreState> changed;
                if (m_model.records.count(id) != 0) {
                    changed = m_model;
                    changed->records[id] = bytes;
                    ++changed->version;
                }
                return change(
                    "set",
                    [&] { m_store->setRecord(id, byteArray(bytes), 0, static_cast<int>(bytes.size())); },
                    changed);
            }
            case 3: {
                const int id = pickId();
                std::optional<StoreState> changed;
                if (m_model.records.count(id) != 0) {
                    changed = m_model;
                    changed->records.erase(id);
                    ++changed->version;
                }
                return change(
                    "delete", [&] { m_store->deleteRecord(id); }, changed);
            }
            case 4: {
                const int id = pickId();
                const auto held = m_model.records.find(id);
                try {
                    const std::string bytes = bytesIn(m_store->getRecord(id));
                    if (held == m_model.records.end()) return "an unknown id read as a record";
                    if (bytes != held->second) return "record " + std::to_string(id) + " read back wrong";
                    if (m_store->getRecordSize(id) != static_cast<int>(bytes.size()))
                        return "a wrong record size";
                } catch (InvalidRecordIDException&) {
                    if (held != m_model.records.end()) return "a held record was not found";
                }
                return "";
            }
            case 5:
            case 6: {
                const bool filtered = operation == 6;
                JavaPtr<javax::microedition::rms::RecordEnumeration> e = m_store->enumerateRecords(
                    filtered ? JavaPtr<javax::microedition::rms::RecordFilter>(jnew<EvenFirstByte>())
                             : nullptr,
                    nullptr, false);
                std::vector<int> expected;
                for (const auto& [id, bytes] : m_model.records) {
                    if (!filtered || (!bytes.empty() && static_cast<signed char>(bytes[0]) % 2 == 0))
                        expected.push_back(id);
                }
                std::vector<int> seen;
                while (e->hasNextElement()) seen.push_back(e->nextRecordId());
                e->destroy();
                if (seen != expected)
                    return faultArmed() ? resync(m_model) : "an enumeration walked the wrong ids";
                if (m_store->getNumRecords() != static_cast<int>(m_model.records.size()))
                    return "a wrong record count";
                if (m_store->getNextRecordID() != m_model.nextRecordID) return "a wrong next id";
                if (m_store->getVersion() != m_model.version) return "a wrong version";
                return "";
            }
            case 7: {
                m_store->closeRecordStore();
                JavaPtr<RecordStore> again = RecordStore::openRecordStore(jstr("model"), false);
                if (again != m_store) return "reopening made a second object";
                return "";
            }
            case 8:
                RecordStore::tidyUp();
                m_store = RecordStore::openRecordStore(jstr("model"), false);
                return compare("after a restart");
            default:
                return compare("now");
        }
    }

    const uint8_t* m_bytes = nullptr;
    size_t m_size = 0;
    size_t m_at = 0;
    JavaPtr<RecordStore> m_store;
    StoreState m_model;
    std::optional<FileOperationFaults> m_faults;
};

}  // namespace testsupport
