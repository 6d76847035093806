#include "library/Connector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "runtime/ConnectionNotFoundException.h"
#include "runtime/IOException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/String.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using java::lang::String;
using javax::microedition::io::Connection;
using javax::microedition::io::ConnectionNotFoundException;
using javax::microedition::io::Connector;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(javax::microedition::io::Connector, javax::microedition::io::Connection);

namespace {

class FakeConnection : public java::lang::Object, public virtual Connection {
    TESL_CLASS(FakeConnection, "tests.FakeConnection", java::lang::Object, Connection)
public:
    FakeConnection(std::string factory, int mode, bool timeouts)
        : factory(factory), mode(mode), timeouts(timeouts) {}
    void close() override {}
    std::string factory;
    int mode;
    bool timeouts;
};

// What the factories were offered, in order.
std::vector<std::string> offers;

bool startsWith(const JavaPtr<String>& name, const char* prefix) {
    return name && name->startsWith(jstr(prefix));
}

// Fakes that accept what the real factories accept.
JavaPtr<Connection> fakeHttp(JavaPtr<String> name, int mode, bool timeouts) {
    offers.push_back("http");
    if (startsWith(name, "http://") || startsWith(name, "https://"))
        return jnew<FakeConnection>("http", mode, timeouts);
    if (startsWith(name, "throw:")) throw java::lang::IllegalStateException();
    return nullptr;
}

JavaPtr<Connection> fakeMessaging(JavaPtr<String> name, int mode, bool timeouts) {
    offers.push_back("messaging");
    if (startsWith(name, "sms://") && !startsWith(name, "sms://:"))
        return jnew<FakeConnection>("messaging", mode, timeouts);
    return nullptr;
}

JavaPtr<Connection> fakeSensor(JavaPtr<String> name, int mode, bool timeouts) {
    offers.push_back("sensor");
    if (mode != Connector::WRITE && name && name->equals(jstr("sensor:acceleration;contextType=device")))
        return jnew<FakeConnection>("sensor", mode, timeouts);
    return nullptr;
}

class ConnectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        offers.clear();
        Connector::registerConnectionFactory(Connector::FACTORY_HTTP, fakeHttp);
        Connector::registerConnectionFactory(Connector::FACTORY_MESSAGING, fakeMessaging);
        Connector::registerConnectionFactory(Connector::FACTORY_SENSOR, fakeSensor);
    }
    void TearDown() override {
        for (int place = 0; place < Connector::FACTORY_COUNT; ++place)
            Connector::registerConnectionFactory(place, nullptr);
    }

    static FakeConnection& opened(const JavaPtr<Connection>& connection) {
        JavaPtr<FakeConnection> fake = jcast<FakeConnection>(connection);
        EXPECT_TRUE(fake);
        return *fake;
    }
};

TEST_F(ConnectorTest, TheFirstFactoryToAcceptMakesTheConnection) {
    const struct {
        const char* name;
        const char* factory;
        std::vector<std::string> asked;
    } cases[] = {
        {"http://example.invalid/q", "http", {"http"}},
        {"https://example.invalid/q", "http", {"http"}},
        {"sms://+441234", "messaging", {"http", "messaging"}},
        {"sensor:acceleration;contextType=device", "sensor", {"http", "messaging", "sensor"}},
    };
    for (const auto& c : cases) {
        offers.clear();
        EXPECT_EQ(opened(Connector::open(jstr(c.name))).factory, c.factory) << c.name;
        EXPECT_EQ(offers, c.asked) << c.name;
    }
}

TEST_F(ConnectorTest, ModeAndFlagReachTheFactoryUnchanged) {
    JavaPtr<Connection> readWrite = Connector::open(jstr("http://a"));
    EXPECT_EQ(opened(readWrite).mode, Connector::READ_WRITE);
    EXPECT_FALSE(opened(readWrite).timeouts);
    JavaPtr<Connection> read = Connector::open(jstr("http://a"), Connector::READ);
    EXPECT_EQ(opened(read).mode, Connector::READ);
    JavaPtr<Connection> custom = Connector::open(jstr("http://a"), 77, true);
    EXPECT_EQ(opened(custom).mode, 77);
    EXPECT_TRUE(opened(custom).timeouts);
    JavaPtr<Connection> sensor =
        Connector::open(jstr("sensor:acceleration;contextType=device"), Connector::READ);
    EXPECT_EQ(opened(sensor).factory, "sensor");
}

TEST_F(ConnectorTest, NamesNobodyAcceptsThrowConnectionNotFoundWithoutMessage) {
    const struct {
        const char* name;
        int mode;
    } cases[] = {
        {"HTTP://example.invalid", Connector::READ_WRITE},
        {"ftp://example.invalid", Connector::READ_WRITE},
        {"", Connector::READ_WRITE},
        {"sms://:5000", Connector::READ_WRITE},
        {"sensor:acceleration;contextType=device", Connector::WRITE},
    };
    for (const auto& c : cases) {
        offers.clear();
        try {
            Connector::open(jstr(c.name), c.mode);
            ADD_FAILURE() << c.name << " opened";
        } catch (ConnectionNotFoundException& e) {
            EXPECT_FALSE(e.getMessage()) << c.name;
            // As an IOException too, through its virtual base.
            EXPECT_TRUE(jinstanceof<java::io::IOException>(JavaPtr<ConnectionNotFoundException>(&e)));
        }
        EXPECT_EQ(offers, (std::vector<std::string>{"http", "messaging", "sensor"})) << c.name;
    }
}

TEST_F(ConnectorTest, UnregisteredPlacesDeclineAndFactoryExceptionsPassThrough) {
    Connector::registerConnectionFactory(Connector::FACTORY_HTTP, nullptr);
    EXPECT_THROW(Connector::open(jstr("http://a")), ConnectionNotFoundException);
    EXPECT_EQ(opened(Connector::open(jstr("sms://1"))).factory, "messaging");
    EXPECT_EQ(offers, (std::vector<std::string>{"messaging", "sensor", "messaging"}));

    Connector::registerConnectionFactory(Connector::FACTORY_HTTP, fakeHttp);
    offers.clear();
    EXPECT_THROW(Connector::open(jstr("throw:x")), java::lang::IllegalStateException);
    EXPECT_EQ(offers, (std::vector<std::string>{"http"}));

    EXPECT_THROW(Connector::registerConnectionFactory(-1, fakeHttp), java::lang::IllegalArgumentException);
    EXPECT_THROW(Connector::registerConnectionFactory(Connector::FACTORY_COUNT, fakeHttp),
                 java::lang::IllegalArgumentException);
}

TEST_F(ConnectorTest, StreamShortcutsGiveNoStreamOrOnesThatFailWithIOException) {
    EXPECT_FALSE(Connector::openInputStream(jstr("http://a")));
    EXPECT_FALSE(Connector::openOutputStream(jstr("http://a")));
    JavaPtr<java::io::DataInputStream> in = Connector::openDataInputStream(jstr("http://a"));
    JavaPtr<java::io::DataOutputStream> out = Connector::openDataOutputStream(jstr("http://a"));
    ASSERT_TRUE(in);
    ASSERT_TRUE(out);
    EXPECT_TRUE(offers.empty());
    EXPECT_EQ(in->available(), 0);
    EXPECT_THROW(in->read(), java::io::IOException);
    EXPECT_THROW(in->readInt(), java::io::IOException);
    EXPECT_THROW(in->readUTF(), java::io::IOException);
    EXPECT_THROW(in->readFully(jnew<JArray<signed char>>(4)), java::io::IOException);
    EXPECT_THROW(in->skip(3), java::io::IOException);
    EXPECT_THROW(out->writeInt(1), java::io::IOException);
    EXPECT_THROW(out->writeUTF(jstr("x")), java::io::IOException);
    in->close();
    out->close();
}

}  // namespace
