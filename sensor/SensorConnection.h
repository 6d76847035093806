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

    // The sensor poll's side, on the ticker thread. Each takes the connection's lock for itself, and
    // none calls out while holding it.

    // Stores one sample (pitch in the batch's first channel, roll in the others) when the connection
    // collects: builds the batch at its first sample, with a size below 1 replaced by the sensor's
    // maximum; a full batch drops the sample and marks the loss. Wakes a getData that waits.
    void storeSample(const JavaPtr<JArray<JavaPtr<ChannelInfo>>>& channelInfos, int32_t maxBufferSize,
                     double pitch, double roll, long long timestamp);
    // A batch handed over to a listener.
    struct Delivery {
        JavaPtr<DataListener> listener;
        JavaPtr<JArray<JavaPtr<Data>>> batch;
        bool dataLost = false;
    };
    // When a listener is installed and the batch is due (full, or its period over): the batch cut to its
    // samples, to be handed over without the lock. A due time that finds no batch only renews the period,
    // and answers no delivery, as does a batch that is not due.
    Delivery takeDueBatch();
    // After the listener has had the batch: a new batch begins (unless the listener armed the connection
    // again, which began one already) and the period starts over. A listener that threw skips this, so
    // the batch is handed over again at the next due point.
    void finishDelivery(const JavaPtr<JArray<JavaPtr<Data>>>& delivered);

    // The batch and its settings: the connection's state, its listener, whether it collects, the
    // samples stored, the size and period of a batch and when the period next falls due, the loss mark,
    // which per-sample values are kept, and the current batch (null between batches).
    struct BatchState {
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
    };
    // A copy, as one consistent reading.
    BatchState batchState();

protected:
    // Cuts the batch to the samples stored in it. Called with the connection's lock held.
    virtual void pruneDataReceived();

    // Marks the connection closed and wakes a getData that waits on it.
    void markClosed();

private:
    // The settings of a new batch; a batch left from an earlier one is dropped, since its arrays were
    // sized and chosen for other settings.
    void armLocked(int bufferSize, int32_t samplingPeriod, bool isTimestampIncluded,
                   bool isUncertaintyIncluded, bool isValidityIncluded);
    void checkBufferSize(int bufferSize);

    // Guards m_batch: the caller's thread arms, waits and closes while the ticker thread's poll stores
    // and delivers. Never held while calling a listener.
    std::mutex m_stateMutex;
    // Told when the poll has stored a sample or the connection has closed.
    std::condition_variable m_batchChanged;

    BatchState m_batch;
};

}  // namespace javax::microedition::sensor
