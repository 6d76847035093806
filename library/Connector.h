// javax.microedition.io.Connector: the static connection factory. It parses no names: open offers the
// name to the connection factories of the network, messaging and sensor packages in that order, and the
// first that accepts it makes the connection. Those packages sit above this library, so each registers
// its factory here when it starts.
#pragma once

#include <atomic>
#include <cstdint>

#include "library/Connection.h"
#include "runtime/Object.h"

namespace java::io {
class DataInputStream;
class DataOutputStream;
class InputStream;
class OutputStream;
}  // namespace java::io

namespace java::lang {
class String;
}

namespace javax::microedition::io {

class Connector : public ::java::lang::Object {
    TESL_CLASS(Connector, "javax.microedition.io.Connector", ::java::lang::Object)
public:
    static constexpr int32_t READ = 1;
    static constexpr int32_t WRITE = 2;
    static constexpr int32_t READ_WRITE = 3;

    // A factory answers a new connection for a name it accepts and null for any other.
    using ConnectionFactory = JavaPtr<Connection> (*)(JavaPtr<::java::lang::String> name, int mode,
                                                      bool timeouts);
    // The factories' places in the order open asks them.
    static constexpr int FACTORY_HTTP = 0;
    static constexpr int FACTORY_MESSAGING = 1;
    static constexpr int FACTORY_SENSOR = 2;
    static constexpr int FACTORY_COUNT = 3;

    Connector() noexcept {}
    ~Connector() override = default;

    // Fills a place, or empties it with null; an empty place declines every name. Throws
    // IllegalArgumentException for a place outside 0 to FACTORY_COUNT - 1.
    static void registerConnectionFactory(int place, ConnectionFactory factory);

    static JavaPtr<Connection> open(const JavaPtr<::java::lang::String>& name);
    static JavaPtr<Connection> open(const JavaPtr<::java::lang::String>& name, int mode);
    // The first acceptance, never null: when every factory declines, ConnectionNotFoundException. What a
    // factory throws reaches the caller unchanged.
    static JavaPtr<Connection> open(const JavaPtr<::java::lang::String>& name, int mode, bool timeouts);

    // The stream shortcuts are not supported: the plain ones give null, and the data streams stand over
    // a source that fails every read and write with IOException.
    static JavaPtr<::java::io::InputStream> openInputStream(const JavaPtr<::java::lang::String>& name);
    static JavaPtr<::java::io::OutputStream> openOutputStream(const JavaPtr<::java::lang::String>& name);
    static JavaPtr<::java::io::DataInputStream> openDataInputStream(
        const JavaPtr<::java::lang::String>& name);
    static JavaPtr<::java::io::DataOutputStream> openDataOutputStream(
        const JavaPtr<::java::lang::String>& name);

private:
    // Written when a package starts or stops, read by open on any thread.
    static constinit std::atomic<ConnectionFactory> s_factories[FACTORY_COUNT];
};

}  // namespace javax::microedition::io
