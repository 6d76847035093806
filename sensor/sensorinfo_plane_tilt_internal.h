// The one sensor of the package: the tilt of the device as two angles, pitch and roll, in radians,
// computed from the accelerometer by the tilt feed.
#pragma once

#include <mutex>

#include "sensor/SensorInfo.h"

namespace javax::microedition::sensor {

class sensorinfo_plane_tilt_internal : public java::lang::Object, public SensorInfo {
    // The id is the hash of the dotted name; the class name is the bare one.
    TESL_CLASS_WITH_ID(sensorinfo_plane_tilt_internal, "sensorinfo_plane_tilt_internal",
                       ::tesl::classTypeIdOf("javax.microedition.sensor.sensorinfo_plane_tilt_internal"),
                       java::lang::Object, SensorInfo)
public:
    sensorinfo_plane_tilt_internal() noexcept {}
    ~sensorinfo_plane_tilt_internal() override = default;

    sensorinfo_plane_tilt_internal* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    // The same array, holding the same pitch (0) and roll (1) descriptions, on every call.
    JavaPtr<JArray<JavaPtr<ChannelInfo>>> getChannelInfos() override;
    int32_t getConnectionType() override { return CONN_EMBEDDED; }
    JavaPtr<java::lang::String> getContextType() override;
    JavaPtr<java::lang::String> getDescription() override;
    int32_t getMaxBufferSize() override { return 256; }
    JavaPtr<java::lang::String> getModel() override;
    JavaPtr<java::lang::Object> getProperty(const JavaPtr<java::lang::String>&) override { return nullptr; }
    JavaPtr<JArray<JavaPtr<java::lang::String>>> getPropertyNames() override { return nullptr; }
    JavaPtr<java::lang::String> getQuantity() override;
    JavaPtr<java::lang::String> getUrl() override;
    bool isAvailable() override { return true; }
    bool isAvailabilityPushSupported() override { return false; }
    bool isConditionPushSupported() override { return false; }

    JavaPtr<JArray<JavaPtr<ChannelInfo>>> channelInfos;

private:
    // Guards the first filling of channelInfos, which any thread may make.
    std::mutex m_channelInfosMutex;
};

}  // namespace javax::microedition::sensor
