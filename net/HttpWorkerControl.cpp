#include "net/HttpWorkerControl.h"

#include "runtime/NullPointerException.h"

namespace net {

void startHttpWorker(JavaPtr<TSHttpConnectionThread>& slot, const JavaPtr<HookCanvas>& canvas,
                     const JavaPtr<java::lang::String>& url, int encoding,
                     const JavaPtr<JArray<signed char>>& data) {
    stopHttpWorker(slot);
    slot = jnew<TSHttpConnectionThread>();
    slot->initConnection(canvas, url, encoding, data);
}

void stopHttpWorker(JavaPtr<TSHttpConnectionThread>& slot) {
    if (!slot) return;
    slot->killThread();
    slot = nullptr;
}

JavaPtr<JArray<signed char>> httpBodyOfText(const JavaPtr<java::lang::String>& text) {
    if (!text) throw java::lang::NullPointerException();
    auto bytes = jnew<JArray<signed char>>(text->length());
    for (int32_t i = 0; i < bytes->length; ++i)
        bytes->data[i] = static_cast<signed char>(text->charAt(i) & 0xFF);
    return bytes;
}

}  // namespace net
