#include "platform/host/UrlOpener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

extern char** environ;

namespace platform {

struct UrlOpener::Children {
    // Guards running.
    std::mutex lock;
    std::condition_variable exited;
    int running = 0;
};

UrlOpener::UrlOpener(std::string command)
    : m_command(std::move(command)), m_children(std::make_shared<Children>()) {}

UrlOpener::~UrlOpener() = default;

bool UrlOpener::isOpenableUrl(const std::string& url) {
    const auto isLetter = [](unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto isDigit = [](unsigned char c) { return c >= '0' && c <= '9'; };
    if (url.empty() || !isLetter(static_cast<unsigned char>(url[0]))) return false;
    size_t colon = 1;
    while (colon < url.size()) {
        const auto c = static_cast<unsigned char>(url[colon]);
        if (c == ':') break;
        if (!isLetter(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return false;
        ++colon;
    }
    if (colon == url.size()) return false;
    for (const char ch : url) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= ' ' || c == 0x7F) return false;
    }
    return true;
}

bool UrlOpener::open(const std::string& url) {
    if (!isOpenableUrl(url) || m_command.empty()) return false;
    std::string program = m_command;
    std::string argument = url;
    char* arguments[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    const int failure = posix_spawnp(&child, program.c_str(), nullptr, nullptr, arguments, environ);
    if (failure != 0) {
        std::fprintf(stderr, "quill: cannot start %s to open an address: %s\n", program.c_str(),
                     std::strerror(failure));
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(m_children->lock);
        ++m_children->running;
    }
    // A browser started by the opener may run for hours; its exit is waited for on a thread of its own
    // so that no caller waits and no zombie is left.
    std::thread([children = m_children, child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        {
            std::lock_guard<std::mutex> guard(children->lock);
            --children->running;
        }
        children->exited.notify_all();
    }).detach();
    return true;
}

bool UrlOpener::waitForOpeners(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(m_children->lock);
    return m_children->exited.wait_for(guard, limit, [&] { return m_children->running == 0; });
}

}  // namespace platform
