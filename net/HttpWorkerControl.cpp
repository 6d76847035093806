#include "net/HttpWorkerControl.h"

#include <mutex>

#include "runtime/NullPointerException.h"

namespace net {

namespace {

// Guards every worker slot: the canvas's operations, and the release of its statics at tear-down, may
// come from different threads. Held across the stop and start, so a slot never loses a running worker
// to a concurrent replacement; nothing it guards calls back into the application.
std::mutex& slotMutex() {
    static std::mutex mutex;
    return mutex;
}

void stopLocked(JavaPtr<TSHttpConnectionThread>& slot) {
    if (!slot) return;
    slot->killThread();
    slot = nullptr;
}

}  // namespace

void startHttpWorker(JavaPtr<TSHttpConnectionThread>& slot, const JavaPtr<HookCanvas>& canvas,
                     const JavaPtr<java::lang::String>& url, int encoding,
                     const JavaPtr<JArray<signed char>>& data) {
    std::lock_guard<std::mutex> lock(slotMutex());
    stopLocked(slot);
    slot = jnew<TSHttpConnectionThread>();
    slot->initConnection(canvas, url, encoding, data);
}

void stopHttpWorker(JavaPtr<TSHttpConnectionThread>& slot) {
    std::lock_guard<std::mutex> lock(slotMutex());
    stopLocked(slot);
}

JavaPtr<TSHttpConnectionThread> currentHttpWorker(const JavaPtr<TSHttpConnectionThread>& slot) {
    std::lock_guard<std::mutex> lock(slotMutex());
    return slot;
}

JavaPtr<JArray<signed char>> httpBodyOfText(const JavaPtr<java::lang::String>& text) {
    if (!text) throw java::lang::NullPointerException();
    auto bytes = jnew<JArray<signed char>>(text->length());
    for (int32_t i = 0; i < bytes->length; ++i)
        bytes->data[i] = static_cast<signed char>(text->charAt(i) & 0xFF);
    return bytes;
}

}  // namespace net
