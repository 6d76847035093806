// Connections opened on several threads while a package registers and withdraws its factory.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "library/Connector.h"
#include "runtime/ConnectionNotFoundException.h"
#include "runtime/String.h"
#include "tests/support/StringText.h"
#include "tests/support/Watchdog.h"

using java::lang::String;
using javax::microedition::io::Connection;
using javax::microedition::io::ConnectionNotFoundException;
using javax::microedition::io::Connector;
using testsupport::jstr;

namespace {

class SchemeConnection : public java::lang::Object, public virtual Connection {
    TESL_CLASS(SchemeConnection, "tests.SchemeConnection", java::lang::Object, Connection)
public:
    explicit SchemeConnection(int place) : place(place) {}
    void close() override {}
    const int place;
};

JavaPtr<Connection> acceptHttp(JavaPtr<String> name, int, bool) {
    return name->startsWith(jstr("http://")) ? jnew<SchemeConnection>(Connector::FACTORY_HTTP) : nullptr;
}

JavaPtr<Connection> acceptSensor(JavaPtr<String> name, int, bool) {
    return name->startsWith(jstr("sensor:")) ? jnew<SchemeConnection>(Connector::FACTORY_SENSOR) : nullptr;
}

TEST(ConnectorConcurrency, OpenSeesEachFactoryRegisteredOrNotWhileItChanges) {
    testsupport::Watchdog watchdog;
    Connector::registerConnectionFactory(Connector::FACTORY_HTTP, acceptHttp);
    std::atomic<bool> stop{false};
    std::atomic<int> wrongAnswers{0};
    std::atomic<int> sensorOpened{0};
    std::atomic<int> sensorRefused{0};
    std::vector<std::thread> openers;
    for (int t = 0; t < 4; ++t) {
        openers.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                JavaPtr<Connection> http = Connector::open(jstr("http://q"));
                JavaPtr<SchemeConnection> opened = jcast<SchemeConnection>(http);
                if (!opened || opened->place != Connector::FACTORY_HTTP) ++wrongAnswers;
                try {
                    JavaPtr<SchemeConnection> sensor =
                        jcast<SchemeConnection>(Connector::open(jstr("sensor:tilt")));
                    if (!sensor || sensor->place != Connector::FACTORY_SENSOR) ++wrongAnswers;
                    ++sensorOpened;
                } catch (ConnectionNotFoundException&) {
                    ++sensorRefused;
                }
            }
        });
    }
    std::thread registrar([&] {
        for (int i = 0; !stop; ++i)
            Connector::registerConnectionFactory(Connector::FACTORY_SENSOR, i % 2 ? acceptSensor : nullptr);
    });
    for (auto& opener : openers) opener.join();
    stop = true;
    registrar.join();
    for (int place = 0; place < Connector::FACTORY_COUNT; ++place)
        Connector::registerConnectionFactory(place, nullptr);

    EXPECT_EQ(wrongAnswers, 0);
    EXPECT_EQ(sensorOpened + sensorRefused, 8000);
}

}  // namespace
