// The "sms://" connection: what the connector hands it, the messages it makes, the checks of send before
// anything reaches the composer, the composer's verdicts, and the desktop's outbox.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

#include "library/Connector.h"
#include "messaging/BinaryMessageImpl.h"
#include "messaging/MessageConnectionImpl.h"
#include "messaging/TextMessageImpl.h"
#include "platform/messaging/SmsOutbox.h"
#include "runtime/ConnectionNotFoundException.h"
#include "runtime/IOException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "tests/messaging/MessagingTestSupport.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/FileOperationFaults.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/StringText.h"
#include "tests/support/TemporaryDirectory.h"
#include "tests/support/Throws.h"

namespace {

using namespace javax::wireless::messaging;
using javax::microedition::io::Connection;
using javax::microedition::io::ConnectionNotFoundException;
using javax::microedition::io::Connector;
using javax::microedition::io::MessageConnectionImpl;
using messagingtest::MessagingTest;
using testsupport::jstr;
using testsupport::narrow;
using testsupport::throws;

QUILL_REGISTER_CLASSES(MessageConnectionImpl);

using MessageConnectionTest = MessagingTest;

JavaPtr<MessageConnection> openSms(const char* url) {
    return jcast<MessageConnection>(Connector::open(jstr(url)));
}

JavaPtr<TextMessageImpl> textTo(const char* address, const char* text) {
    JavaPtr<TextMessageImpl> message = jnew<TextMessageImpl>(jstr(address));
    if (text) message->setPayloadText(jstr(text));
    return message;
}

JavaPtr<BinaryMessageImpl> bytesTo(const char* address, std::string bytes) {
    JavaPtr<BinaryMessageImpl> message = jnew<BinaryMessageImpl>(jstr(address));
    JavaPtr<JArray<signed char>> data = jnew<JArray<signed char>>(static_cast<int>(bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i) data->data[i] = static_cast<signed char>(bytes[i]);
    message->setPayloadData(data);
    return message;
}

// Text with a U+0000 in it, which a C string would end at.
JavaPtr<java::lang::String> withNul(const char* before, const char* after) {
    std::vector<unsigned short> units(before, before + std::strlen(before));
    units.push_back(0);
    units.insert(units.end(), after, after + std::strlen(after));
    return jnew<java::lang::String>(units.data(), static_cast<int>(units.size()));
}

JavaPtr<TextMessageImpl> textTo(const JavaPtr<java::lang::String>& address,
                                const JavaPtr<java::lang::String>& text) {
    JavaPtr<TextMessageImpl> message = jnew<TextMessageImpl>(address);
    message->setPayloadText(text);
    return message;
}

// A message the connection did not make.
class ForeignMessage : public java::lang::Object, public Message {
    TESL_CLASS(ForeignMessage, "messagingtest.ForeignMessage", java::lang::Object, Message)
public:
    JavaPtr<java::lang::String> getAddress() override { return jstr("sms://+123"); }
    JavaPtr<java::util::Date> getTimestamp() override { return nullptr; }
    void setAddress(const JavaPtr<java::lang::String>&) override {}
};

TEST_F(MessageConnectionTest, TheConnectorHandsOverSmsNamesWithANumber) {
    JavaPtr<Connection> connection = Connector::open(jstr("sms://+123"));
    JavaPtr<MessageConnectionImpl> impl = jcast<MessageConnectionImpl>(connection);
    ASSERT_TRUE(impl);
    EXPECT_TRUE(jinstanceof<MessageConnection>(connection));
    EXPECT_STREQ(impl->getClassTypeName(), "javax.microedition.io.MessageConnectionImpl");
    EXPECT_EQ(MessageConnectionImpl::TESLclassTypeID,
              ::tesl::classTypeIdOf("javax.microedition.io.MessageConnectionImpl"));
    for (const char* refused : {"sms://:5000", "http://x", "SMS://+123", "mms://+123", ""}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(MessageConnectionImpl::openConnection(jstr(refused), Connector::READ_WRITE, false));
        EXPECT_TRUE(throws<ConnectionNotFoundException>([&] { Connector::open(jstr(refused)); }));
    }
    // Gone with the package.
    MessageConnection::MessageConnection_staticDestroy();
    EXPECT_TRUE(throws<ConnectionNotFoundException>([] { Connector::open(jstr("sms://+123")); }));
    MessageConnection::MessageConnection_staticInit();
}

TEST_F(MessageConnectionTest, NewMessagesByTypeAndAPlainOneWhenClosed) {
    JavaPtr<MessageConnection> connection = openSms("sms://+123");
    JavaPtr<Message> text = connection->newMessage(MessageConnection::TEXT_MESSAGE);
    EXPECT_TRUE(jinstanceof<TextMessageImpl>(text));
    EXPECT_EQ(narrow(text->getAddress()), "sms://+123");
    // Types compare by text, not by identity.
    JavaPtr<Message> binary = connection->newMessage(jstr("binary"), jstr("sms://+9:5000"));
    ASSERT_TRUE(jinstanceof<BinaryMessageImpl>(binary));
    EXPECT_EQ(jcast<BinaryMessageImpl>(binary)->_getPortNumber(), 5000);
    EXPECT_TRUE(
        throws<java::lang::IllegalArgumentException>([&] { connection->newMessage(jstr("multipart")); }));
    EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([&] { connection->newMessage(nullptr); }));

    connection->close();
    connection->close();
    JavaPtr<Message> plain = connection->newMessage(jstr("binary"));
    EXPECT_FALSE(jinstanceof<BinaryMessageImpl>(plain));
    EXPECT_FALSE(jinstanceof<TextMessageImpl>(plain));
    EXPECT_EQ(connection->numberOfSegments(plain), 0);
    EXPECT_EQ(connection->numberOfSegments(textTo("sms://1", std::string(161, 'x').c_str())), 2);
    EXPECT_TRUE(throws<java::lang::NullPointerException>([&] { connection->numberOfSegments(nullptr); }));
    EXPECT_TRUE(throws<java::lang::IllegalArgumentException>(
        [&] { connection->numberOfSegments(jnew<ForeignMessage>()); }));
}

TEST_F(MessageConnectionTest, SendRefusesBadMessagesBeforeTheComposer) {
    JavaPtr<MessageConnection> open = openSms("sms://+123");
    JavaPtr<MessageConnection> closed = openSms("sms://+123");
    closed->close();
    enum Thrown { kIO, kNull, kArgument };
    struct Case {
        const char* name;
        JavaPtr<MessageConnection> connection;
        JavaPtr<Message> message;
        Thrown thrown;
    };
    const Case cases[] = {
        {"closed", closed, textTo("sms://+123", "hi"), kIO},
        {"null", open, nullptr, kNull},
        {"foreign", open, jnew<ForeignMessage>(), kArgument},
        {"no address", open, textTo(nullptr, "hi"), kArgument},
        {"server address", open, textTo("sms://:5000", "hi"), kArgument},
        {"other scheme", open, textTo("tel:+123", "hi"), kArgument},
        {"bare sms://", open, textTo("sms://", "hi"), kArgument},
        {"no text", open, textTo("sms://+123", nullptr), kArgument},
        {"text with U+0000", open, textTo(jstr("sms://+123"), withNul("ab", "cd")), kArgument},
        {"recipient with U+0000", open, textTo(withNul("sms://+12", "3"), jstr("hi")), kArgument},
        {"binary without port", open, bytesTo("sms://+123", "ab"), kArgument},
        {"binary port 70000", open, bytesTo("sms://+123:70000", "ab"), kArgument},
        {"binary without payload", open, jnew<BinaryMessageImpl>(jstr("sms://+123:5000")), kArgument},
        {"no type", open, jnew<MessageImpl>(jstr("sms://+123")), kArgument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        switch (c.thrown) {
            case kIO:
                EXPECT_TRUE(throws<java::io::IOException>([&] { c.connection->send(c.message); }));
                break;
            case kNull:
                EXPECT_TRUE(throws<java::lang::NullPointerException>([&] { c.connection->send(c.message); }));
                break;
            case kArgument:
                EXPECT_TRUE(
                    throws<java::lang::IllegalArgumentException>([&] { c.connection->send(c.message); }));
                break;
        }
    }
    EXPECT_TRUE(composer.shown().empty());
}

TEST_F(MessageConnectionTest, TheComposersVerdictIsTheResult) {
    JavaPtr<MessageConnection> connection = openSms("sms://+123");
    composer.script({platform::kMessageSent, platform::kMessageNotSent});
    EXPECT_NO_THROW(connection->send(textTo("sms://+123:5000", "h\xC3\xA9llo")));
    EXPECT_TRUE(throws<java::io::IOException>([&] { connection->send(textTo("sms://+44", "cancel me")); }));
    composer.answerLate = true;
    composer.script({platform::kMessageSent, platform::kMessageNotSent});
    EXPECT_NO_THROW(connection->send(textTo("sms://+45", "late yes")));
    EXPECT_TRUE(throws<java::io::IOException>([&] { connection->send(textTo("sms://+46", "late no")); }));
    const std::vector<messagingtest::Composed> shown = composer.shown();
    ASSERT_EQ(shown.size(), 4u);
    // The recipient stops at the port; the body is UTF-8 (the literal's \xC3\xA9 reads as two Latin-1 units).
    EXPECT_EQ(shown[0].recipient, "+123");
    EXPECT_EQ(shown[0].body, "h\xC3\x83\xC2\xA9llo");
    EXPECT_EQ(shown[1].recipient, "+44");
    EXPECT_EQ(shown[3].body, "late no");
    EXPECT_FALSE(composer.overlapped);
    EXPECT_EQ(_smsAddressValue.load(), nullptr) << "nothing points at the freed copies";
}

TEST_F(MessageConnectionTest, ABinaryMessageGoesToTheComposerAndItsVerdictCounts) {
    JavaPtr<MessageConnection> connection = openSms("sms://+123");
    composer.script({platform::kMessageSent, platform::kMessageNotSent});
    EXPECT_NO_THROW(connection->send(bytesTo("sms://+123:5000", std::string("\0\x01\xFF", 3))));
    EXPECT_TRUE(throws<java::io::IOException>([&] { connection->send(bytesTo("sms://+123:5001", "x")); }));
    const std::vector<messagingtest::Composed> shown = composer.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].binary);
    EXPECT_EQ(shown[0].recipient, "+123");
    EXPECT_EQ(shown[0].port, 5000);
    EXPECT_EQ(shown[0].body, std::string("\0\x01\xFF", 3));
}

// A composer that shows the message and leaves the answer to the user, on the main thread.
class SilentComposer : public platform::MessageComposer {
public:
    void composeText(const char*, const char*) override { ++shown; }
    void composeBinary(const char*, int, const unsigned char*, int) override { ++shown; }
    int shown = 0;
};

TEST_F(MessageConnectionTest, ASendOnTheMainThreadThatTheComposerLeavesOpenIsNotSent) {
    // Every thread counts as the main thread.
    testsupport::RecordingHost host;
    SilentComposer silent;
    platform::setMessageComposer(&silent);
    JavaPtr<MessageConnection> connection = openSms("sms://+123");
    // Waiting here would hang: the answer needs this very thread.
    EXPECT_TRUE(throws<java::io::IOException>([&] { connection->send(textTo("sms://+123", "hi")); }));
    EXPECT_EQ(silent.shown, 1);
    platform::setMessageComposer(&composer);
}

TEST_F(MessageConnectionTest, ReceivingIsNeverPossible) {
    JavaPtr<MessageConnection> connection = openSms("sms://+123");
    EXPECT_TRUE(throws<java::io::IOException>([&] { connection->receive(); }));
    EXPECT_TRUE(throws<java::io::IOException>([&] { connection->setMessageListener(nullptr); }));
    connection->close();
    EXPECT_TRUE(throws<java::io::IOException>([&] { connection->receive(); }));
}

// The desktop's composer.
struct OutboxTest : MessagingTest {
    OutboxTest() { platform::setMessageComposer(&outbox); }
    std::set<std::string> files() {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory.path()))
            names.insert(entry.path().filename().string());
        return names;
    }
    testsupport::TemporaryDirectory directory;
    platform::SmsOutbox outbox;
};

TEST_F(OutboxTest, WithoutAnOutboxASendIsNotSentAtOnce) {
    _smsDelegateValue = platform::kMessagePending;
    _smsAddressValue = "+1";
    _smsMessageValue = "hello";
    _sendSMS();
    EXPECT_EQ(_smsDelegateValue.load(), platform::kMessageNotSent) << "answered before _sendSMS returns";
    _smsAddressValue = nullptr;
    _smsMessageValue = nullptr;
    JavaPtr<MessageConnection> connection = openSms("sms://+123");
    EXPECT_TRUE(throws<java::io::IOException>([&] { connection->send(textTo("sms://+123", "hi")); }));
    EXPECT_TRUE(throws<java::io::IOException>([&] { connection->send(bytesTo("sms://+123:9", "hi")); }));
}

TEST_F(OutboxTest, EachMessageBecomesANewFile) {
    outbox.setDirectory(directory.path().string());
    testsupport::writeTextFile(directory.path() / "sms-000001.txt", "an older message");
    JavaPtr<MessageConnection> connection = openSms("sms://+123");
    JavaPtr<TextMessageImpl> text = textTo("sms://+123:5000", nullptr);
    const unsigned short units[] = {'h', 0xE9, ' ', 0x3A9};
    text->setPayloadText(jnew<java::lang::String>(units, 4));
    connection->send(text);
    connection->send(bytesTo("sms://+44:5000", std::string("\0\x01\xFFzz", 5)));
    EXPECT_EQ(files(), (std::set<std::string>{"sms-000001.txt", "sms-000002.txt", "sms-000003.bin"}));
    EXPECT_EQ(testsupport::readTextFile(directory.path() / "sms-000001.txt"), "an older message");
    EXPECT_EQ(testsupport::readTextFile(directory.path() / "sms-000002.txt"),
              "to: +123\n\nh\xC3\xA9 \xCE\xA9");
    EXPECT_EQ(testsupport::readTextFile(directory.path() / "sms-000003.bin"),
              std::string("to: +44\nport: 5000\n\n\0\x01\xFFzz", 25));
}

TEST_F(OutboxTest, ATextTheComposerCannotCarryWholeIsRefusedAndWritesNothing) {
    outbox.setDirectory(directory.path().string());
    JavaPtr<MessageConnection> connection = openSms("sms://+123");
    EXPECT_TRUE(throws<java::lang::IllegalArgumentException>(
        [&] { connection->send(textTo(jstr("sms://+123"), withNul("ab", "cd"))); }));
    auto impl = jcast<MessageConnectionImpl>(connection);
    EXPECT_FALSE(impl->sendText(jstr("+123"), withNul("ab", "cd")));
    EXPECT_FALSE(impl->sendText(withNul("+1", "23"), jstr("abcd")));
    EXPECT_TRUE(files().empty());
    connection->send(textTo("sms://+123", "abcd"));
    EXPECT_EQ(testsupport::readTextFile(directory.path() / "sms-000001.txt"), "to: +123\n\nabcd");
}

TEST_F(OutboxTest, AnUnwritableOutboxIsNotSent) {
    outbox.setDirectory((directory.path() / "missing").string());
    JavaPtr<MessageConnection> connection = openSms("sms://+123");
    EXPECT_TRUE(throws<java::io::IOException>([&] { connection->send(textTo("sms://+123", "hi")); }));
}

TEST_F(OutboxTest, AMessageThatCannotBeWrittenWholeIsNotSentAndLeavesNoFile) {
    using Kind = testsupport::FileOperationFaults::Kind;
    outbox.setDirectory(directory.path().string());
    JavaPtr<MessageConnection> connection = openSms("sms://+123");
    for (Kind kind : {Kind::Open, Kind::Write, Kind::Fsync, Kind::Close}) {
        SCOPED_TRACE(static_cast<int>(kind));
        testsupport::FileOperationFaults faults;
        faults.failEvery(kind, EIO);
        EXPECT_TRUE(throws<java::io::IOException>([&] { connection->send(textTo("sms://+123", "hi")); }));
        EXPECT_GT(faults.failures(), 0);
    }
    EXPECT_TRUE(files().empty());
    connection->send(textTo("sms://+123", "hi"));
    EXPECT_EQ(_smsDelegateValue.load(), platform::kMessageSent);
    EXPECT_EQ(files(), std::set<std::string>{"sms-000001.txt"});
}

}  // namespace
