#include "sensor/SensorConnection.h"

#include <algorithm>
#include <chrono>
#include <climits>

#include "runtime/IOException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/NullPointerException.h"
#include "sensor/DataImpl.h"
#include "sensor/SensorClock.h"

namespace javax::microedition::sensor {

using java::lang::Object;

namespace {

// Periods beyond 32 bits are held as the longest 32-bit period, not cut to their low bits.
int32_t clampPeriod(long long samplingPeriod) {
    return static_cast<int32_t>(std::clamp<long long>(samplingPeriod, INT32_MIN, INT32_MAX));
}

// The longest a getData wait sleeps before it looks at the clock again: the clock may be a test's,
// which no notification follows.
constexpr long long kLongestWaitSlice = 10;

template <class E>
JavaPtr<JArray<E>> firstElements(const JavaPtr<JArray<E>>& array, int32_t count) {
    if (!array) return nullptr;
    count = std::clamp(count, 0, array->length);
    JavaPtr<JArray<E>> cut = jnewArray<E>(count);
    for (int32_t i = 0; i < count; ++i) cut->data[i] = array->data[i];
    return cut;
}

}  // namespace

JavaPtr<JArray<JavaPtr<Data>>> SensorConnection::getData(int bufferSize) {
    return getData(bufferSize, 0, false, false, false);
}

void SensorConnection::checkBufferSize(int bufferSize) {
    // The poll allocates the batch at this size: more than the sensor holds is refused.
    JavaPtr<SensorInfo> sensor = getSensorInfo();
    if (sensor && bufferSize > sensor->getMaxBufferSize()) throw java::lang::IllegalArgumentException();
}

void SensorConnection::armLocked(int bufferSize, int32_t samplingPeriod, bool isTimestampIncluded,
                                 bool isUncertaintyIncluded, bool isValidityIncluded) {
    this->bufferSize = bufferSize;
    this->samplingPeriod = samplingPeriod;
    timestampIncluded = isTimestampIncluded;
    uncertaintyIncluded = isUncertaintyIncluded;
    validityIncluded = isValidityIncluded;
    sampleCount = 0;
    dataLost = 0;
    dataBuffer = nullptr;
    nextDeliveryTime = SensorClock::currentTimeMillis() + samplingPeriod;
    collecting = true;
}

JavaPtr<JArray<JavaPtr<Data>>> SensorConnection::getData(int bufferSize, long long samplingPeriod,
                                                         bool isTimestampIncluded, bool isUncertaintyIncluded,
                                                         bool isValidityIncluded) {
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        if (state == STATE_LISTENING) throw java::lang::IllegalStateException();
        if (state == STATE_CLOSED) throw java::io::IOException();
    }
    if (bufferSize < 1 && samplingPeriod <= 0) throw java::lang::IllegalArgumentException();
    checkBufferSize(bufferSize);

    JavaPtr<JArray<JavaPtr<Data>>> batch;
    {
        std::unique_lock<std::mutex> lock(m_stateMutex);
        // Checked again: another thread may have changed the state while the sensor was asked.
        if (state == STATE_LISTENING) throw java::lang::IllegalStateException();
        if (state == STATE_CLOSED) throw java::io::IOException();
        armLocked(bufferSize, clampPeriod(samplingPeriod), isTimestampIncluded, isUncertaintyIncluded,
                  isValidityIncluded);
        for (;;) {
            if (state == STATE_CLOSED) {
                // Closed under the wait: no sample would ever come.
                collecting = false;
                throw java::io::IOException();
            }
            // The poll may have replaced a size below 1 by the sensor's maximum.
            if (this->bufferSize > 0 && sampleCount >= this->bufferSize) break;
            long long slice = kLongestWaitSlice;
            if (this->samplingPeriod > 0) {
                const long long remaining = nextDeliveryTime - SensorClock::currentTimeMillis();
                if (remaining <= 0) break;
                slice = std::min(slice, remaining);
            }
            m_batchChanged.wait_for(lock, std::chrono::milliseconds(slice));
        }
        collecting = false;
        if (!dataBuffer) return jnew<JArray<JavaPtr<Data>>>();
        pruneDataReceived();
        batch = dataBuffer;
        dataBuffer = nullptr;
    }
    return batch;
}

int32_t SensorConnection::getState() {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return state;
}

void SensorConnection::removeDataListener() {
    JavaPtr<DataListener> old;
    std::lock_guard<std::mutex> lock(m_stateMutex);
    old = dataListener;
    dataListener = nullptr;
    // A closed connection stays closed: it is no longer polled, and reopening it here would leave a
    // getData waiting for samples that never come.
    if (state != STATE_CLOSED) state = STATE_OPENED;
    collecting = false;
}

void SensorConnection::setDataListener(const JavaPtr<DataListener>& listener, int bufferSize) {
    setDataListener(listener, bufferSize, 0, false, false, false);
}

void SensorConnection::setDataListener(const JavaPtr<DataListener>& listener, int bufferSize,
                                       long long samplingPeriod, bool isTimestampIncluded,
                                       bool isUncertaintyIncluded, bool isValidityIncluded) {
    if (!listener) throw java::lang::NullPointerException();
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        if (state == STATE_CLOSED) throw java::io::IOException();
    }
    checkBufferSize(bufferSize);
    // The listener replaced is released once the lock is let go, in case its end calls back in here.
    JavaPtr<DataListener> old;
    std::lock_guard<std::mutex> lock(m_stateMutex);
    if (state == STATE_CLOSED) throw java::io::IOException();
    state = STATE_LISTENING;
    armLocked(bufferSize, clampPeriod(samplingPeriod), isTimestampIncluded, isUncertaintyIncluded,
              isValidityIncluded);
    old = dataListener;
    dataListener = listener;
}

void SensorConnection::pruneDataReceived() {
    if (!dataBuffer || sampleCount == bufferSize) return;
    JavaPtr<JArray<JavaPtr<Data>>> pruned = jnewArray<JavaPtr<Data>>(dataBuffer->length);
    for (int32_t i = 0; i < dataBuffer->length; ++i) {
        JavaPtr<DataImpl> data = jcast<DataImpl>(dataBuffer->data[i]);
        if (!data) {
            pruned->data[i] = dataBuffer->data[i];
            continue;
        }
        pruned->data[i] = jnew<DataImpl>(
            data->channelInfo, firstElements(data->doubleValues, sampleCount),
            firstElements(data->intValues, sampleCount), firstElements(data->objectValues, sampleCount),
            firstElements(data->timestamps, sampleCount), firstElements(data->uncertainties, sampleCount),
            firstElements(data->validities, sampleCount));
    }
    dataBuffer = pruned;
}

void SensorConnection::markClosed() {
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        state = STATE_CLOSED;
    }
    m_batchChanged.notify_all();
}

}  // namespace javax::microedition::sensor
