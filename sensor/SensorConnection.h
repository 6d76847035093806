// javax.microedition.sensor.SensorConnection: an open sensor. It never reads the sensor itself: it holds
// the current batch and its settings, which the sensor poll fills and hands over on the ticker thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "library/Connection.h"
#include "runtime/JArray.h"
#include "sensor/Channel.h"
#include "sensor/Data.h"
#include "sensor/DataListener.h"
#include "sensor/SensorInfo.h"

namespace javax::microedition::sensor {

class SensorManager;

class SensorConnection : public virtual javax::microedition::io::Connection {
    TESL_INTERFACE(SensorConnection, "javax.microedition.sensor.SensorConnection",
                   javax::microedition::io::Connection)
public:
    static constexpr int32_t STATE_OPENED = 1;
    static constexpr int32_t STATE_LISTENING = 2;
    static constexpr int32_t STATE_CLOSED = 4;

    ~SensorConnection() override = default;

    virtual JavaPtr<Channel> getChannel(const JavaPtr<ChannelInfo>& channelInfo) = 0;
    // Waits on the calling thread until the batch is full or the period has run out, and answers it,
    // one Data per channel (none when no sample came). Never call it on the ticker thread.
    virtual JavaPtr<JArray<JavaPtr<Data>>> getData(int bufferSize);
    virtual JavaPtr<JArray<JavaPtr<Data>>> getData(int bufferSize, long long samplingPeriod,
                                                   bool isTimestampIncluded, bool isUncertaintyIncluded,
                                                   bool isValidityIncluded);
    virtual JavaPtr<JArray<int>> getErrorCodes() = 0;
    virtual JavaPtr<java::lang::String> getErrorText(int errorCode) = 0;
    virtual JavaPtr<SensorInfo> getSensorInfo() = 0;
    virtual int32_t getState();
    virtual void removeDataListener();
    virtual void setDataListener(const JavaPtr<DataListener>& listener, int bufferSize);
    virtual void setDataListener(const JavaPtr<DataListener>& listener, int bufferSize,
                                 long long samplingPeriod, bool isTimestampIncluded,
                                 bool isUncertaintyIncluded, bool isValidityIncluded);

    // The fields below are shared between the caller's thread and the ticker thread's poll, and are read
    // and written under m_stateMutex only.
    int32_t state = STATE_OPENED;
    JavaPtr<DataListener> dataListener;
    bool collecting = false;
    int32_t sampleCount = 0;
    int32_t bufferSize = 0;
    int32_t samplingPeriod = 0;
    long long nextDeliveryTime = 0;
    int32_t dataLost = 0;
    bool timestampIncluded = false;
    bool uncertaintyIncluded = false;
    bool validityIncluded = false;
    JavaPtr<JArray<JavaPtr<Data>>> dataBuffer;

protected:
    friend class SensorManager;

    // Cuts the batch to the samples stored in it. Called with m_stateMutex held.
    virtual void pruneDataReceived();

    // Marks the connection closed and wakes a getData that waits on it.
    void markClosed();

    // Guards the fields above; never held while calling a listener.
    std::mutex m_stateMutex;
    // Told when the poll has stored a sample or the connection has closed.
    std::condition_variable m_batchChanged;

private:
    // The settings of a new batch; a batch left from an earlier one is dropped, since its arrays were
    // sized and chosen for other settings.
    void armLocked(int bufferSize, int32_t samplingPeriod, bool isTimestampIncluded,
                   bool isUncertaintyIncluded, bool isValidityIncluded);
    void checkBufferSize(int bufferSize);
};

}  // namespace javax::microedition::sensor
