#include "platform/messaging/MessageComposer.h"

#include <condition_variable>
#include <mutex>

#include "platform/messaging/SmsOutbox.h"

std::atomic<const char*> _smsAddressValue{nullptr};
std::atomic<const char*> _smsMessageValue{nullptr};
std::atomic<int> _smsDelegateValue{2};

namespace platform {

namespace {

std::atomic<MessageComposer*> installedComposer{nullptr};

// Guards the verdict's changes, so that a waiter cannot miss the one that releases it.
std::mutex verdictMutex;
std::condition_variable verdictChanged;

}  // namespace

MessageComposer& messageComposer() {
    MessageComposer* composer = installedComposer.load(std::memory_order_acquire);
    return composer ? *composer : SmsOutbox::instance();
}

void setMessageComposer(MessageComposer* composer) {
    installedComposer.store(composer, std::memory_order_release);
}

void resetMessageVerdict() {
    std::lock_guard<std::mutex> lock(verdictMutex);
    _smsDelegateValue.store(kMessagePending);
}

void reportMessageVerdict(int verdict) {
    {
        std::lock_guard<std::mutex> lock(verdictMutex);
        _smsDelegateValue.store(verdict == kMessageSent ? kMessageSent : kMessageNotSent);
    }
    verdictChanged.notify_all();
}

int waitForMessageVerdict() {
    std::unique_lock<std::mutex> lock(verdictMutex);
    verdictChanged.wait(lock, [] { return _smsDelegateValue.load() != kMessagePending; });
    return _smsDelegateValue.load();
}

}  // namespace platform

extern "C" void _sendSMS() {
    platform::messageComposer().composeText(_smsAddressValue.load(), _smsMessageValue.load());
}

extern "C" void _sendBinarySMS(const char* recipient, int port, const unsigned char* payload, int length) {
    platform::messageComposer().composeBinary(recipient, port, payload, length);
}
