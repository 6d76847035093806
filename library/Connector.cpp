#include "library/Connector.h"

#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "library/InputStream.h"
#include "library/OutputStream.h"
#include "runtime/ConnectionNotFoundException.h"
#include "runtime/IOException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/String.h"

namespace javax::microedition::io {

namespace {

// What the data-stream shortcuts stand over: there is no connection to read or write.
class UnconnectedInputStream : public ::java::io::InputStream {
    TESL_CLASS(UnconnectedInputStream, "javax.microedition.io.UnconnectedInputStream",
               ::java::io::InputStream)
public:
    int read() override { throw ::java::io::IOException(); }
};

class UnconnectedOutputStream : public ::java::io::OutputStream {
    TESL_CLASS(UnconnectedOutputStream, "javax.microedition.io.UnconnectedOutputStream",
               ::java::io::OutputStream)
public:
    void write(int) override { throw ::java::io::IOException(); }
};

}  // namespace

constinit std::atomic<Connector::ConnectionFactory> Connector::s_factories[FACTORY_COUNT] = {};

void Connector::registerConnectionFactory(int place, ConnectionFactory factory) {
    if (place < 0 || place >= FACTORY_COUNT) throw ::java::lang::IllegalArgumentException();
    s_factories[place].store(factory, std::memory_order_release);
}

JavaPtr<Connection> Connector::open(const JavaPtr<::java::lang::String>& name) {
    return open(name, READ_WRITE);
}

JavaPtr<Connection> Connector::open(const JavaPtr<::java::lang::String>& name, int mode) {
    return open(name, mode, false);
}

JavaPtr<Connection> Connector::open(const JavaPtr<::java::lang::String>& name, int mode, bool timeouts) {
    for (auto& place : s_factories) {
        ConnectionFactory factory = place.load(std::memory_order_acquire);
        if (factory == nullptr) continue;
        JavaPtr<Connection> connection = factory(name, mode, timeouts);
        if (connection) return connection;
    }
    throw ConnectionNotFoundException();
}

JavaPtr<::java::io::InputStream> Connector::openInputStream(const JavaPtr<::java::lang::String>&) {
    return nullptr;
}

JavaPtr<::java::io::OutputStream> Connector::openOutputStream(const JavaPtr<::java::lang::String>&) {
    return nullptr;
}

JavaPtr<::java::io::DataInputStream> Connector::openDataInputStream(
    const JavaPtr<::java::lang::String>& name) {
    JavaPtr<::java::io::InputStream> source = openInputStream(name);
    if (!source) source = jnew<UnconnectedInputStream>();
    return jnew<::java::io::DataInputStream>(source);
}

JavaPtr<::java::io::DataOutputStream> Connector::openDataOutputStream(
    const JavaPtr<::java::lang::String>& name) {
    JavaPtr<::java::io::OutputStream> target = openOutputStream(name);
    if (!target) target = jnew<UnconnectedOutputStream>();
    return jnew<::java::io::DataOutputStream>(target);
}

}  // namespace javax::microedition::io
