// TSHttpConnectionThread: the application's HTTP worker. One worker makes one GET or POST with fixed
// request headers on a runtime thread of its own and keeps the response body; killThread stops it at
// any moment from another thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "library/InputStream.h"
#include "library/Thread.h"
#include "net/HttpConnection.h"
#include "runtime/JArray.h"
#include "runtime/Runnable.h"

// The application canvas that starts workers; only referred to here, so the HTTP library does not
// depend on the application's.
class HookCanvas;

class TSHttpConnectionThread : public java::lang::Object, public virtual java::lang::Runnable {
    TESL_CLASS(TSHttpConnectionThread, "TSHttpConnectionThread", java::lang::Object, java::lang::Runnable)
public:
    static constexpr int32_t Encoding_Default = 0;
    static constexpr int32_t Encoding_OctetStream = 1;
    static constexpr int32_t Encoding_Form = 2;
    static constexpr int32_t PARAM_TS_HTTPCONNECTION_MAX_CONNECT_RETRIES = 1;

    // The canvas that started the last worker; read by nothing. Written under s_parentLock.
    static constinit JavaPtr<HookCanvas> parent;
    static std::mutex s_parentLock;

    TSHttpConnectionThread() noexcept {}
    ~TSHttpConnectionThread() override = default;

    TSHttpConnectionThread* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    // Stores the request (postData null for a GET) and starts the worker thread at priority 5.
    virtual void initConnection(const JavaPtr<HookCanvas>& canvas, const JavaPtr<java::lang::String>& url,
                                int encoding, const JavaPtr<JArray<signed char>>& postData);
    // Sets closing, and closes and drops the connection; that also ends an exchange the worker waits on.
    virtual void closeConnection();
    virtual void killThread();
    virtual void setPostHeaders();
    virtual void openConnection();
    void run() override;

    // The results, for whoever holds the worker.
    int32_t getResponseCode() const { return responseCode.load(); }
    bool isDownloading() const { return downloading.load(); }
    bool isClosing() const { return closing.load(); }
    // Whether run has returned: the results no longer change.
    bool hasFinished() const { return finished.load(); }
    bool hasThread();
    bool hasConnection();
    JavaPtr<java::lang::String> getURL();
    int32_t getContentLength() const { return contentLength.load(); }
    // The body bytes received so far and the array holding them (it may be longer), read together.
    int32_t getBytesReceived(JavaPtr<JArray<signed char>>* data);

protected:
    // The body of run, before the worker lets go of its thread.
    void download();
    // Connects with the URL, headers and body set up, and reads the status; the connection is left open
    // for the download. A failure closes it.
    JavaPtr<javax::microedition::io::HttpConnection> requestOnce();
    // Reads the body into data in chunks, checking closing before each read.
    void readBody(bool known);
    // Puts data's received bytes into a new array of capacity bytes. Called with m_dataLock held.
    void replaceData(int capacity);

    // Guards the hand-over of thread and connection between the worker and a killer.
    std::mutex m_handOverLock;
    JavaPtr<java::lang::Thread> thread;
    JavaPtr<javax::microedition::io::HttpConnection> connection;

    std::atomic<bool> closing{false};
    std::atomic<bool> finished{false};
    // Set before the thread starts; the worker's redirect rule may replace url, under m_handOverLock.
    JavaPtr<java::lang::String> url;
    int32_t encoding = 0;
    JavaPtr<JArray<signed char>> postData;

    std::atomic<int32_t> responseCode{0};
    // The worker's own.
    JavaPtr<java::io::InputStream> inputStream;
    std::atomic<bool> downloading{false};
    std::atomic<int32_t> contentLength{0};

    // Guards data and bytesReceived. A mutex of its own rather than data's monitor: data is replaced
    // when it grows, and a reader locking the old array would not keep the writer out.
    std::mutex m_dataLock;
    int32_t bytesReceived = 0;
    // Holds what arrived, never what the server claimed: with a known length exactly bytesReceived
    // bytes, with an unknown one up to 1,023 more.
    JavaPtr<JArray<signed char>> data;
};

// Releases the class statics; called by the shell's static tear-down.
void TSHttpConnectionThread_globalStaticDestroy();
