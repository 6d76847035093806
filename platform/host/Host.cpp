// The installed host, read by every thread.
#include "platform/host/Host.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<Host*> installedHost{nullptr};
}

Host* currentHost() {
    return installedHost.load(std::memory_order_acquire);
}

void setCurrentHost(Host* host) {
    installedHost.store(host, std::memory_order_release);
}

}  // namespace platform
