// The canvas tests of the HTTP operations: a canvas stage with the HTTP statics set up around each
// test, and the canvas's worker stopped, its thread reclaimed and the worker statics released after.
#pragma once

#include <chrono>

#include "library/Connector.h"
#include "net/HttpConnection.h"
#include "net/HttpConnectionImpl.h"
#include "net/TSHttpConnectionThread.h"
#include "tests/engine/CanvasFixtures.h"
#include "tests/support/Eventually.h"
#include "tests/support/StringText.h"

namespace enginetest {

class CanvasHttpFixture : public CanvasFixture {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        HttpConnection_staticInit();
    }
    void TearDown() override {
        canvas->closeHttpConnection();
        // The worker statics hold the canvas, which goes with the stage.
        TSHttpConnectionThread_globalStaticDestroy();
        // Waits for the workers' threads as well as the canvas's.
        CanvasFixture::TearDown();
        HttpConnection_staticDestroy();
        javax::microedition::io::HttpConnectionImpl::setInactivityLimitForTesting(0);
    }

    static bool finishes(const JavaPtr<TSHttpConnectionThread>& worker) {
        return testsupport::eventually([&] { return worker->hasFinished(); }, std::chrono::seconds(20));
    }
};

}  // namespace enginetest
