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
    m_batch.bufferSize = bufferSize;
    m_batch.samplingPeriod = samplingPeriod;
    m_batch.timestampIncluded = isTimestampIncluded;
    m_batch.uncertaintyIncluded = isUncertaintyIncluded;
    m_batch.validityIncluded = isValidityIncluded;
    m_batch.sampleCount = 0;
    m_batch.dataLost = 0;
    m_batch.dataBuffer = nullptr;
    m_batch.nextDeliveryTime = SensorClock::currentTimeMillis() + samplingPeriod;
    m_batch.collecting = true;
}

JavaPtr<JArray<JavaPtr<Data>>> SensorConnection::getData(int bufferSize, long long samplingPeriod,
                                                         bool isTimestampIncluded, bool isUncertaintyIncluded,
                                                         bool isValidityIncluded) {
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        if (m_batch.state == STATE_LISTENING) throw java::lang::IllegalStateException();
        if (m_batch.state == STATE_CLOSED) throw java::io::IOException();
    }
    if (bufferSize < 1 && samplingPeriod <= 0) throw java::lang::IllegalArgumentException();
    checkBufferSize(bufferSize);

    JavaPtr<JArray<JavaPtr<Data>>> batch;
    {
        std::unique_lock<std::mutex> lock(m_stateMutex);
        // Checked again: another thread may have changed the state while the sensor was asked.
        if (m_batch.state == STATE_LISTENING) throw java::lang::IllegalStateException();
        if (m_batch.state == STATE_CLOSED) throw java::io::IOException();
        armLocked(bufferSize, clampPeriod(samplingPeriod), isTimestampIncluded, isUncertaintyIncluded,
                  isValidityIncluded);
        for (;;) {
            if (m_batch.state == STATE_CLOSED) {
                // Closed under the wait: no sample would ever come.
                m_batch.collecting = false;
                throw java::io::IOException();
            }
            // The poll may have replaced a size below 1 by the sensor's maximum.
            if (m_batch.bufferSize > 0 && m_batch.sampleCount >= m_batch.bufferSize) break;
            long long slice = kLongestWaitSlice;
            if (m_batch.samplingPeriod > 0) {
                const long long remaining = m_batch.nextDeliveryTime - SensorClock::currentTimeMillis();
                if (remaining <= 0) break;
                slice = std::min(slice, remaining);
            }
            m_batchChanged.wait_for(lock, std::chrono::milliseconds(slice));
        }
        m_batch.collecting = false;
        if (!m_batch.dataBuffer) return jnew<JArray<JavaPtr<Data>>>();
        pruneDataReceived();
        batch = m_batch.dataBuffer;
        m_batch.dataBuffer = nullptr;
    }
    return batch;
}

int32_t SensorConnection::getState() {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return m_batch.state;
}

void SensorConnection::removeDataListener() {
    JavaPtr<DataListener> old;
    std::lock_guard<std::mutex> lock(m_stateMutex);
    old = m_batch.dataListener;
    m_batch.dataListener = nullptr;
    // A closed connection stays closed: it is no longer polled, and reopening it here would leave a
    // getData waiting for samples that never come.
    if (m_batch.state != STATE_CLOSED) m_batch.state = STATE_OPENED;
    m_batch.collecting = false;
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
        if (m_batch.state == STATE_CLOSED) throw java::io::IOException();
    }
    checkBufferSize(bufferSize);
    // The listener replaced is released once the lock is let go, in case its end calls back in here.
    JavaPtr<DataListener> old;
    std::lock_guard<std::mutex> lock(m_stateMutex);
    if (m_batch.state == STATE_CLOSED) throw java::io::IOException();
    m_batch.state = STATE_LISTENING;
    armLocked(bufferSize, clampPeriod(samplingPeriod), isTimestampIncluded, isUncertaintyIncluded,
              isValidityIncluded);
    old = m_batch.dataListener;
    m_batch.dataListener = listener;
}

void SensorConnection::pruneDataReceived() {
    if (!m_batch.dataBuffer || m_batch.sampleCount == m_batch.bufferSize) return;
    JavaPtr<JArray<JavaPtr<Data>>> pruned = jnewArray<JavaPtr<Data>>(m_batch.dataBuffer->length);
    for (int32_t i = 0; i < m_batch.dataBuffer->length; ++i) {
        JavaPtr<DataImpl> data = jcast<DataImpl>(m_batch.dataBuffer->data[i]);
        if (!data) {
            pruned->data[i] = m_batch.dataBuffer->data[i];
            continue;
        }
        pruned->data[i] =
            jnew<DataImpl>(data->channelInfo, firstElements(data->doubleValues, m_batch.sampleCount),
                           firstElements(data->intValues, m_batch.sampleCount),
                           firstElements(data->objectValues, m_batch.sampleCount),
                           firstElements(data->timestamps, m_batch.sampleCount),
                           firstElements(data->uncertainties, m_batch.sampleCount),
                           firstElements(data->validities, m_batch.sampleCount));
    }
    m_batch.dataBuffer = pruned;
}

void SensorConnection::storeSample(const JavaPtr<JArray<JavaPtr<ChannelInfo>>>& channelInfos,
                                   int32_t maxBufferSize, double pitch, double roll, long long timestamp) {
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        if (!m_batch.collecting) return;
        if (!m_batch.dataBuffer) {
            if (m_batch.bufferSize < 1) m_batch.bufferSize = maxBufferSize;
            const int32_t size = m_batch.bufferSize;
            JavaPtr<JArray<JavaPtr<Data>>> batch = jnew<JArray<JavaPtr<Data>>>(channelInfos->length);
            for (int32_t k = 0; k < batch->length; ++k) {
                batch->data[k] =
                    jnew<DataImpl>(channelInfos->data[k], jnew<JArray<double>>(size), nullptr, nullptr,
                                   m_batch.timestampIncluded ? jnew<JArray<long long>>(size) : nullptr,
                                   m_batch.uncertaintyIncluded ? jnew<JArray<float>>(size) : nullptr,
                                   m_batch.validityIncluded ? jnew<JArray<bool>>(size) : nullptr);
            }
            m_batch.dataBuffer = batch;
        }
        const int32_t index = m_batch.sampleCount;
        if (index < m_batch.bufferSize) {
            JArray<JavaPtr<Data>>& batch = *m_batch.dataBuffer;
            for (int32_t k = 0; k < batch.length; ++k) {
                DataImpl* data =
                    static_cast<DataImpl*>(recastObj(batch.data[k].counted(), DataImpl::TESLclassTypeID));
                if (data == nullptr) continue;
                // Every store is bounded by its array: an allocation that failed left a shorter one.
                if (data->doubleValues && index < data->doubleValues->length)
                    data->doubleValues->data[index] = k == 0 ? pitch : roll;
                if (m_batch.timestampIncluded && data->timestamps && index < data->timestamps->length)
                    data->timestamps->data[index] = timestamp;
                if (m_batch.uncertaintyIncluded && data->uncertainties && index < data->uncertainties->length)
                    data->uncertainties->data[index] = 0.0f;
                if (m_batch.validityIncluded && data->validities && index < data->validities->length)
                    data->validities->data[index] = true;
            }
            m_batch.sampleCount = index + 1;
        } else {
            m_batch.dataLost = 1;
        }
    }
    m_batchChanged.notify_all();
}

SensorConnection::Delivery SensorConnection::takeDueBatch() {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    if (!m_batch.dataListener) return {};
    const bool full = m_batch.bufferSize >= 1 && m_batch.sampleCount >= m_batch.bufferSize;
    const bool periodOver =
        !full && m_batch.samplingPeriod > 0 && SensorClock::currentTimeMillis() >= m_batch.nextDeliveryTime;
    if (!full && !periodOver) return {};
    if (!m_batch.dataBuffer) {
        m_batch.nextDeliveryTime = SensorClock::currentTimeMillis() + m_batch.samplingPeriod;
        return {};
    }
    pruneDataReceived();
    return {m_batch.dataListener, m_batch.dataBuffer, m_batch.dataLost != 0};
}

void SensorConnection::finishDelivery(const JavaPtr<JArray<JavaPtr<Data>>>& delivered) {
    // The batch replaced here is released after the lock, with the rest of the caller's references.
    JavaPtr<JArray<JavaPtr<Data>>> finished;
    std::lock_guard<std::mutex> lock(m_stateMutex);
    // A listener that armed the connection again has already started a new batch.
    if (m_batch.dataBuffer.counted() == delivered.counted()) {
        finished = std::move(m_batch.dataBuffer);
        m_batch.sampleCount = 0;
        m_batch.dataLost = 0;
    }
    m_batch.nextDeliveryTime = SensorClock::currentTimeMillis() + m_batch.samplingPeriod;
}

SensorConnection::BatchState SensorConnection::batchState() {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return m_batch;
}

void SensorConnection::markClosed() {
    {
        std::lock_guard<std::mutex> lock(m_stateMutex);
        m_batch.state = STATE_CLOSED;
    }
    m_batchChanged.notify_all();
}

}  // namespace javax::microedition::sensor
