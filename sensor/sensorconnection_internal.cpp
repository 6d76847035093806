#include "sensor/sensorconnection_internal.h"

#include "runtime/IllegalArgumentException.h"
#include "sensor/ChannelImpl.h"
#include "sensor/SensorManager.h"

namespace javax::microedition::sensor {

sensorconnection_internal* sensorconnection_internal::TESLinvokeconstructor(int sensorIndex) {
    Object::TESLinvokeconstructor();
    this->sensorIndex = sensorIndex;
    JavaPtr<SensorInfo> sensor = getSensorInfo();
    JavaPtr<JArray<JavaPtr<ChannelInfo>>> infos = sensor ? sensor->getChannelInfos() : nullptr;
    channels = jnewArray<JavaPtr<Channel>>(infos ? infos->length : 0);
    return this;
}

sensorconnection_internal::~sensorconnection_internal() {
    // Only the manager's list could still hold a connection being destroyed, and it does not: there is
    // nothing to remove, only the state to mark.
    markClosed();
}

void sensorconnection_internal::close() {
    markClosed();
    SensorManager::removeConnection(JavaPtr<javax::microedition::io::Connection>(this));
}

JavaPtr<Channel> sensorconnection_internal::getChannel(const JavaPtr<ChannelInfo>& channelInfo) {
    JavaPtr<SensorInfo> sensor = getSensorInfo();
    JavaPtr<JArray<JavaPtr<ChannelInfo>>> infos = sensor ? sensor->getChannelInfos() : nullptr;
    int32_t slot = -1;
    if (infos && channelInfo) {
        for (int32_t k = 0; k < infos->length; ++k) {
            if (infos->data[k].counted() == channelInfo.counted()) {
                slot = k;
                break;
            }
        }
    }
    if (slot >= 0) {
        std::lock_guard<std::mutex> lock(m_channelsMutex);
        if (channels && slot < channels->length) {
            if (!channels->data[slot]) {
                JavaPtr<ChannelImpl> channel = jnew<ChannelImpl>();
                channel->channelInfo = channelInfo;
                channels->data[slot] = channel;
            }
            return channels->data[slot];
        }
    }
    JavaPtr<ChannelImpl> channel = jnew<ChannelImpl>();
    channel->channelInfo = channelInfo;
    return channel;
}

JavaPtr<JArray<int>> sensorconnection_internal::getErrorCodes() {
    return jnew<JArray<int>>();
}

JavaPtr<java::lang::String> sensorconnection_internal::getErrorText(int) {
    throw java::lang::IllegalArgumentException();
}

JavaPtr<SensorInfo> sensorconnection_internal::getSensorInfo() {
    JavaPtr<JArray<JavaPtr<SensorInfo>>> sensors = SensorManager::findAllSensors();
    return SensorManager::sensorAt(sensors, sensorIndex);
}

}  // namespace javax::microedition::sensor
