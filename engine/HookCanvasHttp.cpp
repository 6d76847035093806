// The canvas's HTTP operations: one worker at a time in conn_class, and percent-encoding for URLs and
// form bodies.
#include "engine/HookCanvas.h"
#include "net/HttpWorkerControl.h"
#include "net/TSHttpConnectionThread.h"
#include "net/UrlEncoding.h"

void HookCanvas::openHttpConnectionByteArrayData(const JavaPtr<String>& url, int32_t encoding,
                                                 const JavaPtr<JArray<signed char>>& data) {
    closeHttpConnection();
    // Under the slot's lock, which also stops a worker another thread started meanwhile.
    net::startHttpWorker(conn_class, JavaPtr<HookCanvas>(this), url, encoding, data);
}

void HookCanvas::openHttpConnectionStringData(const JavaPtr<String>& url, int32_t encoding,
                                              const JavaPtr<String>& text) {
    // The body is made first: a null text throws before the running worker is stopped.
    JavaPtr<JArray<signed char>> body = net::httpBodyOfText(text);
    openHttpConnectionByteArrayData(url, encoding, body);
}

void HookCanvas::closeHttpConnection() {
    net::stopHttpWorker(conn_class);
}

JavaPtr<java::lang::String> HookCanvas::urlEncode(const JavaPtr<String>& text) {
    return net::urlEncode(text);
}
