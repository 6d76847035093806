// One idle thread for a whole benchmark executable. The standard library skips atomic reference counts,
// and the C library the locked instructions of a mutex, while a process has a single thread, which
// would flatter the shared_ptr and std::mutex baselines: the application always runs several threads,
// so the baselines run with two.
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

class IdleThread {
public:
    IdleThread()
        : m_thread([this] {
              std::unique_lock<std::mutex> lock(m_mutex);
              m_changed.wait(lock, [this] { return m_stop; });
          }) {}
    ~IdleThread() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_one();
        m_thread.join();
    }

private:
    // Guards m_stop.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stop = false;
    std::thread m_thread;
};

const IdleThread idleThread;

}  // namespace
