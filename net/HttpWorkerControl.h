// What the application canvas's HTTP operations do with its current worker (the canvas keeps it in
// its class static conn_class): start one request, stop it, and turn a text body into bytes. Slots are
// only changed through these, under one lock, from whichever threads call them.
#pragma once

#include "net/TSHttpConnectionThread.h"

namespace net {

// Stops the worker in slot, then starts a new one for url (a GET when data is null, else a POST of
// data) and keeps it in slot.
void startHttpWorker(JavaPtr<TSHttpConnectionThread>& slot, const JavaPtr<HookCanvas>& canvas,
                     const JavaPtr<java::lang::String>& url, int encoding,
                     const JavaPtr<JArray<signed char>>& data);
// Kills the worker in slot, if any, and empties the slot.
void stopHttpWorker(JavaPtr<TSHttpConnectionThread>& slot);
// The worker in slot, read under the lock that start and stop take.
JavaPtr<TSHttpConnectionThread> currentHttpWorker(const JavaPtr<TSHttpConnectionThread>& slot);
// The low 8 bits of each unit of text, in order (an empty text gives an empty body). Throws
// NullPointerException for null.
JavaPtr<JArray<signed char>> httpBodyOfText(const JavaPtr<java::lang::String>& text);

}  // namespace net
