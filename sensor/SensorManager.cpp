#include "sensor/SensorManager.h"

#include <optional>
#include <utility>
#include <vector>

#include "library/Connector.h"
#include "library/SlotWalk.h"
#include "runtime/NullPointerException.h"
#include "sensor/ChannelImpl.h"
#include "sensor/DataImpl.h"
#include "sensor/SensorClock.h"
#include "sensor/TiltFeed.h"
#include "sensor/sensorconnection_internal.h"
#include "sensor/sensorinfo_plane_tilt_internal.h"

namespace javax::microedition::sensor {

using java::lang::Smart;
using java::lang::String;
using javax::microedition::io::Connection;

constinit JavaPtr<JArray<JavaPtr<SensorInfo>>> SensorManager::allSensors;
constinit JavaPtr<JArray<JavaPtr<SensorListener>>> SensorManager::allSensorListeners;
constinit JavaPtr<JArray<JavaPtr<SensorInfo>>> SensorManager::allSensorListenerInfos;
constinit JavaPtr<JArray<JavaPtr<String>>> SensorManager::allSensorListenerQuantities;
constinit JavaPtr<JArray<bool>> SensorManager::allSensorListenerAvailabilities;
constinit JavaPtr<JArray<JavaPtr<Connection>>> SensorManager::allConnections;

namespace {

constexpr int kWriteOnly = 2;

// Calls visit(sensor) for each sensor of the list, skipping null elements, without the lists' lock.
template <class Visit>
void forEachSensor(std::mutex& listsMutex, const JavaPtr<JArray<JavaPtr<SensorInfo>>>& sensors, Visit visit) {
    tesl::forEachSlotUnlocked(
        listsMutex,
        [&sensors](int32_t i) -> std::optional<JavaPtr<SensorInfo>> {
            if (i >= sensors->length) return std::nullopt;
            return sensors->data[i];
        },
        [&visit](int32_t, const JavaPtr<SensorInfo>& sensor) {
            if (sensor) visit(sensor);
        });
}

// Calls visit(connection) for each sensor connection of the list without the lists' lock; the
// reference visit gets holds the connection for the call, so a callback that closes it cannot free it.
template <class Visit>
void forEachConnection(std::mutex& listsMutex, Visit visit) {
    tesl::forEachSlotUnlocked(
        listsMutex,
        [](int32_t j) -> std::optional<JavaPtr<Connection>> {
            const auto& connections = SensorManager::allConnections;
            if (!connections || j >= connections->length) return std::nullopt;
            return connections->data[j];
        },
        [&visit](int32_t, const JavaPtr<Connection>& element) {
            JavaPtr<sensorconnection_internal> connection = jcast<sensorconnection_internal>(element);
            if (connection) visit(connection);
        });
}

bool sameQuantity(const JavaPtr<String>& a, const JavaPtr<String>& b) {
    if (!a || !b) return !a && !b;
    return *a == b;
}

}  // namespace

std::mutex& SensorManager::listsMutex() {
    static std::mutex mutex;
    return mutex;
}

// Connector sits below this package and asks the factory registered in its sensor place.
void SensorManager::SensorManager_staticInit() {
    javax::microedition::io::Connector::registerConnectionFactory(
        javax::microedition::io::Connector::FACTORY_SENSOR, &openConnection);
}

void SensorManager::SensorManager_staticDestroy() {
    javax::microedition::io::Connector::registerConnectionFactory(
        javax::microedition::io::Connector::FACTORY_SENSOR, nullptr);
    // Taken out under the lock and released after it: a released connection or listener may call back in.
    JavaPtr<JArray<JavaPtr<SensorInfo>>> sensors;
    JavaPtr<JArray<JavaPtr<SensorListener>>> listeners;
    JavaPtr<JArray<JavaPtr<SensorInfo>>> infos;
    JavaPtr<JArray<JavaPtr<String>>> quantities;
    JavaPtr<JArray<bool>> availabilities;
    JavaPtr<JArray<JavaPtr<Connection>>> connections;
    {
        std::lock_guard<std::mutex> lock(listsMutex());
        sensors = std::move(allSensors);
        listeners = std::move(allSensorListeners);
        infos = std::move(allSensorListenerInfos);
        quantities = std::move(allSensorListenerQuantities);
        availabilities = std::move(allSensorListenerAvailabilities);
        connections = std::move(allConnections);
    }
    sensors = nullptr;
    listeners = nullptr;
    infos = nullptr;
    quantities = nullptr;
    availabilities = nullptr;
    connections = nullptr;
}

JavaPtr<JArray<JavaPtr<SensorInfo>>> SensorManager::findAllSensors() {
    std::lock_guard<std::mutex> lock(listsMutex());
    if (!allSensors) {
        JavaPtr<JArray<JavaPtr<SensorInfo>>> sensors = jnewArray<JavaPtr<SensorInfo>>(1);
        sensors->data[0] = jnew<sensorinfo_plane_tilt_internal>();
        allSensors = sensors;
    }
    return allSensors;
}

JavaPtr<SensorInfo> SensorManager::sensorAt(const JavaPtr<JArray<JavaPtr<SensorInfo>>>& sensors, int index) {
    if (!sensors) return nullptr;
    std::lock_guard<std::mutex> lock(listsMutex());
    if (index < 0 || index >= sensors->length) return nullptr;
    return sensors->data[index];
}

JavaPtr<JArray<JavaPtr<SensorInfo>>> SensorManager::findSensors(const JavaPtr<String>& quantity,
                                                                const JavaPtr<String>& contextType) {
    JavaPtr<JArray<JavaPtr<SensorInfo>>> sensors = findAllSensors();
    if (!quantity && !contextType) return sensors;
    JavaPtr<JArray<JavaPtr<SensorInfo>>> found = jnew<JArray<JavaPtr<SensorInfo>>>();
    forEachSensor(listsMutex(), sensors, [&](const JavaPtr<SensorInfo>& sensor) {
        // Either criterion is enough.
        const bool quantityMatches = quantity && quantity->equals(sensor->getQuantity());
        const bool contextMatches =
            !quantityMatches && contextType && contextType->equals(sensor->getContextType());
        if (quantityMatches || contextMatches) found->append(sensor);
    });
    return found;
}

JavaPtr<JArray<JavaPtr<SensorInfo>>> SensorManager::findSensors(const JavaPtr<String>& url) {
    JavaPtr<JArray<JavaPtr<SensorInfo>>> sensors = findAllSensors();
    JavaPtr<JArray<JavaPtr<SensorInfo>>> found = jnew<JArray<JavaPtr<SensorInfo>>>();
    if (!url) return found;
    forEachSensor(listsMutex(), sensors, [&](const JavaPtr<SensorInfo>& sensor) {
        if (url->equals(sensor->getUrl())) found->append(sensor);
    });
    return found;
}

template <class SameTarget>
void SensorManager::addRegistrationLocked(const JavaPtr<SensorListener>& listener,
                                          const JavaPtr<SensorInfo>& info, const JavaPtr<String>& quantity,
                                          SameTarget sameTarget) {
    if (!allSensorListeners) {
        allSensorListeners = jnew<JArray<JavaPtr<SensorListener>>>();
        allSensorListenerInfos = jnew<JArray<JavaPtr<SensorInfo>>>();
        allSensorListenerQuantities = jnew<JArray<JavaPtr<String>>>();
        allSensorListenerAvailabilities = jnew<JArray<bool>>();
    } else {
        for (int32_t i = 0; i < allSensorListeners->length; ++i) {
            if (allSensorListeners->data[i].counted() == listener.counted() && sameTarget(i)) return;
        }
    }
    allSensorListenerInfos->append(info);
    allSensorListenerQuantities->append(quantity);
    allSensorListenerAvailabilities->append(false);
    allSensorListeners->append(listener);
}

void SensorManager::addSensorListener(const JavaPtr<SensorListener>& listener,
                                      const JavaPtr<SensorInfo>& info) {
    // The poll would call it.
    if (!listener) throw java::lang::NullPointerException();
    std::lock_guard<std::mutex> lock(listsMutex());
    addRegistrationLocked(listener, info, nullptr, [&info](int32_t i) {
        return allSensorListenerInfos->data[i].counted() == info.counted();
    });
}

void SensorManager::addSensorListener(const JavaPtr<SensorListener>& listener,
                                      const JavaPtr<String>& quantity) {
    if (!listener) throw java::lang::NullPointerException();
    std::lock_guard<std::mutex> lock(listsMutex());
    // Quantities compare with the literal-only ==: a quantity built at run time is never a duplicate.
    addRegistrationLocked(listener, nullptr, quantity, [&quantity](int32_t i) {
        return sameQuantity(allSensorListenerQuantities->data[i], quantity);
    });
}

void SensorManager::removeSensorListener(const JavaPtr<SensorListener>& listener) {
    // The replaced arrays, and the registrations only they held, go after the lock is let go.
    JavaPtr<JArray<JavaPtr<SensorListener>>> oldListeners;
    JavaPtr<JArray<JavaPtr<SensorInfo>>> oldInfos;
    JavaPtr<JArray<JavaPtr<String>>> oldQuantities;
    JavaPtr<JArray<bool>> oldAvailabilities;
    std::lock_guard<std::mutex> lock(listsMutex());
    if (!allSensorListeners) return;
    const int32_t count = allSensorListeners->length;
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (allSensorListeners->data[i].counted() != listener.counted()) ++kept;
    }
    // Made before the lists are touched: a failed allocation leaves every registration in place.
    JavaPtr<JArray<JavaPtr<SensorListener>>> listeners = jnewArray<JavaPtr<SensorListener>>(kept);
    JavaPtr<JArray<JavaPtr<SensorInfo>>> infos = jnewArray<JavaPtr<SensorInfo>>(kept);
    JavaPtr<JArray<JavaPtr<String>>> quantities = jnewArray<JavaPtr<String>>(kept);
    JavaPtr<JArray<bool>> availabilities = jnewArray<bool>(kept);
    oldListeners = std::exchange(allSensorListeners, std::move(listeners));
    oldInfos = std::exchange(allSensorListenerInfos, std::move(infos));
    oldQuantities = std::exchange(allSensorListenerQuantities, std::move(quantities));
    oldAvailabilities = std::exchange(allSensorListenerAvailabilities, std::move(availabilities));
    for (int32_t i = 0, k = 0; i < count && k < kept; ++i) {
        if (oldListeners->data[i].counted() == listener.counted()) continue;
        allSensorListeners->data[k] = oldListeners->data[i];
        allSensorListenerInfos->data[k] = oldInfos->data[i];
        allSensorListenerQuantities->data[k] = oldQuantities->data[i];
        allSensorListenerAvailabilities->data[k] = oldAvailabilities->data[i];
        ++k;
    }
}

JavaPtr<Connection> SensorManager::openConnection(JavaPtr<String> url, int mode, bool) {
    JavaPtr<SensorInfo> sensor = sensorAt(findAllSensors(), 0);
    if (mode == kWriteOnly) return nullptr;
    if (!url || !sensor || !url->equals(sensor->getUrl())) return nullptr;
    JavaPtr<sensorconnection_internal> connection = jnew<sensorconnection_internal>(0);
    JavaPtr<Connection> asConnection = connection;
    std::lock_guard<std::mutex> lock(listsMutex());
    if (!allConnections) allConnections = jnew<JArray<JavaPtr<Connection>>>();
    allConnections->append(asConnection);
    return asConnection;
}

void SensorManager::removeConnection(const JavaPtr<Connection>& connection) {
    JavaPtr<JArray<JavaPtr<Connection>>> old;
    std::lock_guard<std::mutex> lock(listsMutex());
    if (!allConnections) return;
    const int32_t count = allConnections->length;
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (allConnections->data[i].counted() != connection.counted()) ++kept;
    }
    old = std::exchange(allConnections, jnewArray<JavaPtr<Connection>>(kept));
    for (int32_t i = 0, k = 0; i < count && k < kept; ++i) {
        if (old->data[i].counted() == connection.counted()) continue;
        allConnections->data[k++] = old->data[i];
    }
}

void SensorManager::checkListeners() {
    tellSensorListeners();
    pollConnections();
}

long long SensorManager::millisUntilDue() {
    if (TiltFeed::samplePending()) return 0;
    long long soonest = -1;
    const long long now = SensorClock::currentTimeMillis();
    forEachConnection(listsMutex(), [&](const JavaPtr<sensorconnection_internal>& connection) {
        const SensorConnection::BatchState batch = connection->batchState();
        if (!batch.dataListener || !batch.dataBuffer || batch.samplingPeriod <= 0) return;
        const long long wait = batch.nextDeliveryTime > now ? batch.nextDeliveryTime - now : 0;
        if (soonest < 0 || wait < soonest) soonest = wait;
    });
    return soonest;
}

void SensorManager::tellSensorListeners() {
    {
        std::lock_guard<std::mutex> lock(listsMutex());
        if (!allSensorListeners || allSensorListeners->length == 0) return;
    }
    JavaPtr<SensorInfo> sensor = sensorAt(findAllSensors(), 0);
    if (!sensor) return;
    struct Registration {
        JavaPtr<SensorListener> listener;
        JavaPtr<SensorInfo> info;
        JavaPtr<String> quantity;
    };
    // The arrays are read afresh at every step: a callback may add or remove registrations.
    tesl::forEachSlotUnlocked(
        listsMutex(),
        [](int32_t i) -> std::optional<Registration> {
            if (!allSensorListeners || i >= allSensorListeners->length) return std::nullopt;
            // A registration already told is passed over.
            if (allSensorListenerAvailabilities->data[i]) return Registration{};
            return Registration{allSensorListeners->data[i], allSensorListenerInfos->data[i],
                                allSensorListenerQuantities->data[i]};
        },
        [&sensor](int32_t i, const Registration& registration) {
            if (!registration.listener) return;
            bool matches = registration.info.counted() == sensor.counted();
            if (!matches) matches = sameQuantity(registration.quantity, sensor->getQuantity());
            if (!matches) return;
            registration.listener->sensorAvailable(sensor);
            std::lock_guard<std::mutex> lock(listsMutex());
            // Marked only if the callback left this registration where it was.
            if (allSensorListeners && i < allSensorListeners->length &&
                allSensorListeners->data[i].counted() == registration.listener.counted() &&
                allSensorListenerInfos->data[i].counted() == registration.info.counted() &&
                allSensorListenerQuantities->data[i].counted() == registration.quantity.counted())
                allSensorListenerAvailabilities->data[i] = true;
        });
}

void SensorManager::pollConnections() {
    {
        std::lock_guard<std::mutex> lock(listsMutex());
        if (!allConnections || allConnections->length == 0) return;
    }
    // The note holds for the whole pass: every tilt connection of the list takes the same sample.
    const bool samplePending = TiltFeed::samplePending();
    const TiltSample sample = samplePending ? TiltFeed::read() : TiltSample{};
    bool consumed = false;
    forEachConnection(listsMutex(), [&](const JavaPtr<sensorconnection_internal>& connection) {
        JavaPtr<SensorInfo> sensor = connection->getSensorInfo();
        if (!sensor) return;
        JavaPtr<JArray<JavaPtr<ChannelInfo>>> channelInfos = sensor->getChannelInfos();
        if (connection->sensorIndex != 0 || !channelInfos) return;
        if (samplePending) {
            connection->storeSample(channelInfos, sensor->getMaxBufferSize(), sample.pitch, sample.roll,
                                    sample.timestamp);
            testConditions(connection, channelInfos, sample);
            if (!consumed) {
                TiltFeed::consume(sample);
                consumed = true;
            }
        }
        deliverBatch(connection);
    });
}

void SensorManager::testConditions(const JavaPtr<sensorconnection_internal>& connection,
                                   const JavaPtr<JArray<JavaPtr<ChannelInfo>>>& channelInfos,
                                   const TiltSample& sample) {
    for (int32_t k = 0; k < channelInfos->length; ++k) {
        const JavaPtr<ChannelInfo>& info = channelInfos->data[k];
        JavaPtr<ChannelImpl> channel = jcast<ChannelImpl>(connection->getChannel(info));
        if (!channel || !channel->hasConditions()) continue;
        const double value = k == 0 ? sample.pitch : sample.roll;
        // Each pair is tested once per sample, even when a condition stays met or a listener adds its pair
        // again: the walk is over the pairs as they were when the sample came.
        for (const ChannelImpl::Pair& pair : channel->pairSnapshot()) {
            const auto& [listener, condition] = pair;
            if (!condition || !channel->hasPair(listener, condition)) continue;
            if (!condition->isMet(value)) continue;
            if (listener) {
                JavaPtr<JArray<double>> values = jnew<JArray<double>>(1);
                JavaPtr<JArray<long long>> timestamps = jnew<JArray<long long>>(1);
                JavaPtr<JArray<float>> uncertainties = jnew<JArray<float>>(1);
                JavaPtr<JArray<bool>> validities = jnew<JArray<bool>>(1);
                if (values->length == 1) values->data[0] = value;
                if (timestamps->length == 1) timestamps->data[0] = sample.timestamp;
                if (validities->length == 1) validities->data[0] = true;
                JavaPtr<Data> data =
                    jnew<DataImpl>(info, values, nullptr, nullptr, timestamps, uncertainties, validities);
                listener->conditionMet(connection, data, condition);
            }
            channel->removeCondition(listener, condition);
        }
    }
}

void SensorManager::deliverBatch(const JavaPtr<sensorconnection_internal>& connection) {
    SensorConnection::Delivery delivery = connection->takeDueBatch();
    if (!delivery.listener) return;
    // When the listener throws, the batch stays and is handed over again at the next due point.
    delivery.listener->dataReceived(connection, delivery.batch, delivery.dataLost);
    connection->finishDelivery(delivery.batch);
}

}  // namespace javax::microedition::sensor
