// A log of test events that several threads may write, read back in the order they were added.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class EventLog {
public:
    void add(const std::string& entry) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.push_back(entry);
    }
    // Everything logged so far; the log is empty afterwards.
    std::vector<std::string> take() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::exchange(m_entries, {});
    }
    size_t size() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_entries.size();
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

}  // namespace testsupport
