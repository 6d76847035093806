// The connection to the tilt sensor that SensorManager::openConnection makes. It keeps one lasting channel
// per channel of its sensor, so that conditions added to a channel reach the poll.
#pragma once

#include "sensor/SensorConnection.h"

namespace javax::microedition::sensor {

class sensorconnection_internal : public java::lang::Object, public SensorConnection {
    // The id is the hash of the dotted name; the class name is the bare one.
    TESL_CLASS_WITH_ID(sensorconnection_internal, "sensorconnection_internal",
                       ::tesl::classTypeIdOf("javax.microedition.sensor.sensorconnection_internal"),
                       java::lang::Object, SensorConnection)
public:
    sensorconnection_internal() noexcept {}
    ~sensorconnection_internal() override;

    sensorconnection_internal* TESLinvokeconstructor(int sensorIndex);

    void close() override;
    // The lasting channel for a description of this connection's sensor; a new one for any other.
    JavaPtr<Channel> getChannel(const JavaPtr<ChannelInfo>& channelInfo) override;
    JavaPtr<JArray<int>> getErrorCodes() override;
    JavaPtr<java::lang::String> getErrorText(int errorCode) override;
    JavaPtr<SensorInfo> getSensorInfo() override;

    int32_t sensorIndex = 0;
    // One slot per channel of the sensor, filled on the first getChannel for that channel; guarded by
    // m_channelsMutex.
    JavaPtr<JArray<JavaPtr<Channel>>> channels;

private:
    std::mutex m_channelsMutex;
};

}  // namespace javax::microedition::sensor
