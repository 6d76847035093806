// The HTTP tests' fixture: the HTTP statics and factory are set up around each test, and the
// transport's test settings are put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "library/Connector.h"
#include "library/InputStream.h"
#include "library/Thread.h"
#include "net/HttpConnection.h"
#include "net/HttpConnectionImpl.h"
#include "platform/net/HttpTransport.h"
#include "runtime/IOException.h"
#include "runtime/JArray.h"
#include "tests/support/Eventually.h"
#include "tests/support/StringText.h"

namespace nettest {

using javax::microedition::io::Connector;
using javax::microedition::io::HttpConnection;
using javax::microedition::io::HttpConnectionImpl;

class HttpTest : public ::testing::Test {
protected:
    void SetUp() override { HttpConnection_staticInit(); }
    void TearDown() override {
        reclaimFinishedThreads();
        HttpConnection_staticDestroy();
        HttpConnectionImpl::setInactivityLimitForTesting(0);
        HttpConnectionImpl::setBodyLimitForTesting(0);
        platform::HttpTransport::setCertificateAuthorityFileForTesting("");
    }

    // Workers' runtime threads are reclaimed once they have ended, so none outlives its test.
    static void reclaimFinishedThreads() {
        EXPECT_TRUE(testsupport::eventually([] {
            java::lang::Thread::iterateThreads();
            return java::lang::Thread::activeCount() == 0;
        }));
    }

    static JavaPtr<HttpConnection> openHttp(const std::string& url) {
        return jcast<HttpConnection>(Connector::open(testsupport::jstr(url.c_str())));
    }

    // Everything left in the connection's body stream.
    static std::string readBody(const JavaPtr<HttpConnection>& connection) {
        JavaPtr<java::io::InputStream> in = connection->openInputStream();
        std::string body;
        auto buffer = jnew<JArray<signed char>>(4096);
        for (int n; (n = in->read(buffer, 0, buffer->length)) > 0;)
            body.append(reinterpret_cast<const char*>(buffer->data), static_cast<size_t>(n));
        return body;
    }

    // The message of the IOException that f throws, or "<no IOException>".
    template <class F>
    static std::string ioFailure(F&& f) {
        try {
            f();
        } catch (java::io::IOException& error) {
            return testsupport::narrow(error.getMessage());
        }
        return "<no IOException>";
    }
};

}  // namespace nettest
