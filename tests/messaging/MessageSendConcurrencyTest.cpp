// Sends from two threads at once: the composer sees one message at a time and each sender gets its own
// verdict, also when the composer answers from a thread of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "library/Connector.h"
#include "messaging/TextMessageImpl.h"
#include "runtime/IOException.h"
#include "tests/messaging/MessagingTestSupport.h"
#include "tests/support/StringText.h"
#include "tests/support/Watchdog.h"

namespace {

using namespace javax::wireless::messaging;
using messagingtest::MessagingTest;
using testsupport::jstr;

using MessageSendConcurrencyTest = MessagingTest;

TEST_F(MessageSendConcurrencyTest, ConcurrentSendsEachGetTheirOwnVerdict) {
    testsupport::Watchdog watchdog;
    composer.answerLate = true;
    // Only the first sender's messages are sent.
    composer.rule = [](const messagingtest::Composed& shown) {
        return shown.recipient == "+1" ? platform::kMessageSent : platform::kMessageNotSent;
    };
    constexpr int kSends = 40;
    std::atomic<int> wrongVerdicts{0};
    auto sender = [&](const char* url, bool expectSent) {
        JavaPtr<MessageConnection> connection =
            jcast<MessageConnection>(javax::microedition::io::Connector::open(jstr(url)));
        for (int i = 0; i < kSends; ++i) {
            JavaPtr<Message> message = connection->newMessage(MessageConnection::TEXT_MESSAGE);
            jcast<TextMessage>(message)->setPayloadText(jstr(url));
            bool sent = true;
            try {
                connection->send(message);
            } catch (java::io::IOException&) {
                sent = false;
            }
            if (sent != expectSent) ++wrongVerdicts;
        }
    };
    std::thread first(sender, "sms://+1", true);
    std::thread second(sender, "sms://+2", false);
    first.join();
    second.join();
    EXPECT_EQ(wrongVerdicts.load(), 0);
    EXPECT_FALSE(composer.overlapped);
    const std::vector<messagingtest::Composed> shown = composer.shown();
    ASSERT_EQ(shown.size(), 2u * kSends);
    for (const messagingtest::Composed& message : shown)
        EXPECT_EQ("sms://" + message.recipient, message.body);
}

}  // namespace
