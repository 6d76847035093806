// The platform's message composer as the messaging package reaches it. The sender fills the hand-over
// globals, marks the verdict pending and calls _sendSMS (or _sendBinarySMS); the composer answers exactly
// once through reportMessageVerdict, at once or later from any thread. On a desktop the composer is the
// outbox (SmsOutbox.h).
#pragma once

#include <atomic>

namespace platform {

class MessageComposer {
public:
    virtual ~MessageComposer() = default;
    // The texts stay valid until the verdict is in.
    virtual void composeText(const char* recipient, const char* body) = 0;
    virtual void composeBinary(const char* recipient, int port, const unsigned char* payload, int length) = 0;
};

// The composer in use: the outbox unless a test has installed its own (null puts the outbox back).
MessageComposer& messageComposer();
void setMessageComposer(MessageComposer* composer);

constexpr int kMessagePending = -1;
constexpr int kMessageSent = 1;
constexpr int kMessageNotSent = 2;

// Marks the verdict pending, before a send.
void resetMessageVerdict();
// The composer's answer: kMessageSent or kMessageNotSent.
void reportMessageVerdict(int verdict);
// Blocks until the verdict is no longer pending, and answers it.
int waitForMessageVerdict();

}  // namespace platform

// The hand-over of the message being sent: recipient and body as UTF-8 C strings, and the verdict
// (-1 pending, 1 sent, 2 anything else).
extern std::atomic<const char*> _smsAddressValue;
extern std::atomic<const char*> _smsMessageValue;
extern std::atomic<int> _smsDelegateValue;

// Hands the message in the globals to the composer; returns once the composer has it (not when it is sent).
extern "C" void _sendSMS();
// The binary form, which the globals do not carry.
extern "C" void _sendBinarySMS(const char* recipient, int port, const unsigned char* payload, int length);
