// The message objects: segment counts, the port and URL taken from a binary message's address, and
// timestamps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/System.h"
#include "messaging/BinaryMessageImpl.h"
#include "messaging/MessageImpl.h"
#include "messaging/TextMessageImpl.h"
#include "tests/messaging/MessagingTestSupport.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

namespace {

using namespace javax::wireless::messaging;
using messagingtest::MessagingTest;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(Message, TextMessage, BinaryMessage, MessageListener, MessageImpl, TextMessageImpl,
                       BinaryMessageImpl, MessageConnection);

// count units of 'a', with the given units put at the given places.
JavaPtr<java::lang::String> textOf(int count, std::vector<std::pair<int, unsigned short>> special = {}) {
    std::u16string units(static_cast<size_t>(count), u'a');
    for (const auto& [at, unit] : special) units[static_cast<size_t>(at)] = unit;
    return jnew<java::lang::String>(reinterpret_cast<const unsigned short*>(units.data()), count);
}

using MessageTest = MessagingTest;

TEST_F(MessageTest, TextSegmentsFollowTheWidestUnit) {
    struct Case {
        const char* name;
        JavaPtr<java::lang::String> text;
        int segments;
    };
    const Case cases[] = {
        {"empty", textOf(0), 1},
        {"160 ASCII", textOf(160), 1},
        {"161 ASCII", textOf(161), 2},
        {"306 ASCII", textOf(306), 2},
        {"307 ASCII", textOf(307), 3},
        {"140 with 0xE9", textOf(140, {{5, 0xE9}}), 1},
        {"141 with 0xE9", textOf(141, {{5, 0xE9}}), 2},
        {"266 with 0x80", textOf(266, {{265, 0x80}}), 2},
        {"267 with 0xFF", textOf(267, {{0, 0xFF}}), 3},
        {"70 with 0x100", textOf(70, {{3, 0x100}}), 1},
        {"71 with 0x3A9", textOf(71, {{70, 0x3A9}}), 2},
        {"134 with 0x3A9", textOf(134, {{0, 0x3A9}}), 2},
        {"135 with 0x3A9", textOf(135, {{0, 0x3A9}}), 3},
        {"wide then Latin-1", textOf(71, {{1, 0x3A9}, {2, 0xE9}}), 2},
        {"Latin-1 then wide", textOf(71, {{1, 0xE9}, {2, 0x3A9}}), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<TextMessageImpl> message = jnew<TextMessageImpl>(jstr("sms://1"));
        message->setPayloadText(c.text);
        EXPECT_EQ(message->_getNumSegments(), c.segments);
    }
    EXPECT_EQ(jnew<TextMessageImpl>()->_getNumSegments(), 0) << "no text";
}

TEST_F(MessageTest, BinarySegmentsOf140ThenOf133) {
    for (const auto& [length, segments] :
         std::vector<std::pair<int, int>>{{0, 1}, {140, 1}, {141, 2}, {266, 2}, {267, 3}}) {
        SCOPED_TRACE(length);
        JavaPtr<BinaryMessageImpl> message = jnew<BinaryMessageImpl>();
        message->setPayloadData(jnew<JArray<signed char>>(length));
        EXPECT_EQ(message->_getNumSegments(), segments);
    }
    EXPECT_EQ(jnew<BinaryMessageImpl>()->_getNumSegments(), 0) << "no data";
    // Lengths near 2^31: only the count is read, so the array claims the length without the bytes.
    for (const auto& [length, segments] :
         std::vector<std::pair<int, int>>{{INT32_MAX - 100, 16146493}, {INT32_MAX, 16146494}}) {
        SCOPED_TRACE(length);
        JavaPtr<JArray<signed char>> claimed = jnew<JArray<signed char>>();
        claimed->length = length;
        JavaPtr<BinaryMessageImpl> message = jnew<BinaryMessageImpl>();
        message->setPayloadData(claimed);
        EXPECT_EQ(message->_getNumSegments(), segments);
    }
}

TEST_F(MessageTest, MessagesKnowTheirType) {
    EXPECT_FALSE(jnew<MessageImpl>(jstr("sms://1"))->_messageType());
    EXPECT_EQ(jnew<MessageImpl>()->_getNumSegments(), 0);
    EXPECT_EQ(narrow(jnew<TextMessageImpl>()->_messageType()), "text");
    EXPECT_EQ(narrow(jnew<BinaryMessageImpl>()->_messageType()), "binary");
    JavaPtr<Message> asMessage = jnew<TextMessageImpl>(jstr("sms://5"));
    EXPECT_TRUE(jinstanceof<TextMessage>(asMessage));
    EXPECT_FALSE(jinstanceof<BinaryMessage>(asMessage));
    EXPECT_EQ(narrow(asMessage->getAddress()), "sms://5");
}

TEST_F(MessageTest, BinaryAddressesGivePortAndUrl) {
    struct Case {
        const char* address;
        int port;
        const char* url;
    };
    const Case cases[] = {
        {"sms://123:5000", 5000, "sms://123"},
        {"sms://123:5000/app", 5000, "sms://123/app"},
        {"sms://123", -1, nullptr},
        {"sms://123:", -1, "sms://123"},
        {"sms://:5000", 5000, nullptr},
        {"sms://123:80x", 80, "sms://123x"},
        {"sms://123:2147483647", 2147483647, "sms://123"},
        {"tel:123:5000", -1, nullptr},
        {"sms://", -1, nullptr},
        {"sms://:", -1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        JavaPtr<BinaryMessageImpl> message = jnew<BinaryMessageImpl>(jstr(c.address));
        EXPECT_EQ(message->_getPortNumber(), c.port);
        EXPECT_EQ(narrow(message->_getAndroidUrl()), c.url ? c.url : "<null>");
    }
    JavaPtr<BinaryMessageImpl> message = jnew<BinaryMessageImpl>(jstr("sms://123:5000"));
    message->setAddress(nullptr);
    EXPECT_EQ(message->_getPortNumber(), -1);
    EXPECT_FALSE(message->_getAndroidUrl());
    EXPECT_FALSE(message->getAddress());
    message->setAddress(jstr("sms://9:7"));
    EXPECT_EQ(message->_getPortNumber(), 7);
}

TEST_F(MessageTest, AnOverflowingPortIsPrintedAndLeftUnset) {
    // 2^64 + 1 would wrap to 1 in the runtime's parser: a long run must not come out as a small port.
    for (const char* address :
         {"sms://123:2147483648", "sms://123:99999999999", "sms://123:18446744073709551617"}) {
        SCOPED_TRACE(address);
        testing::internal::CaptureStdout();
        JavaPtr<BinaryMessageImpl> message = jnew<BinaryMessageImpl>(jstr(address));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n") << "the exception's text, which is empty";
        EXPECT_EQ(message->_getPortNumber(), -1);
        EXPECT_EQ(narrow(message->_getAndroidUrl()), "sms://123");
    }
}

TEST_F(MessageTest, TimestampsAreCopies) {
    JavaPtr<java::util::Date> when = jnew<java::util::Date>(1234LL);
    JavaPtr<MessageImpl> message = jnew<TextMessageImpl>(jstr("sms://1"), when);
    JavaPtr<java::util::Date> first = message->getTimestamp();
    EXPECT_NE(first.counted(), when.counted());
    EXPECT_EQ(first->getTime(), 1234);
    first->setTime(99);
    EXPECT_EQ(message->getTimestamp()->getTime(), 1234);
    EXPECT_NE(message->getTimestamp().counted(), message->getTimestamp().counted());
    EXPECT_FALSE(jnew<MessageImpl>(JavaPtr<java::util::Date>())->getTimestamp());
    // Made now when none is given.
    const long long before = java::lang::System::currentTimeMillis();
    const long long made = jnew<BinaryMessageImpl>(jstr("sms://1"))->getTimestamp()->getTime();
    EXPECT_GE(made, before);
    EXPECT_LE(made, java::lang::System::currentTimeMillis());
}

}  // namespace
