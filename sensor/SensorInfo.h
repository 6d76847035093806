// javax.microedition.sensor.SensorInfo: the description of a sensor, with the package's connection
// types, context types and property names.
#pragma once

#include "runtime/JArray.h"
#include "runtime/String.h"
#include "sensor/ChannelInfo.h"

namespace javax::microedition::sensor {

class SensorInfo : public virtual java::lang::Smart {
    TESL_INTERFACE(SensorInfo, "javax.microedition.sensor.SensorInfo", java::lang::Smart)
public:
    static constexpr int32_t CONN_EMBEDDED = 1;
    static constexpr int32_t CONN_REMOTE = 2;
    static constexpr int32_t CONN_SHORT_RANGE_WIRELESS = 4;
    static constexpr int32_t CONN_WIRED = 8;

    virtual JavaPtr<JArray<JavaPtr<ChannelInfo>>> getChannelInfos() = 0;
    virtual int32_t getConnectionType() = 0;
    virtual JavaPtr<java::lang::String> getContextType() = 0;
    virtual JavaPtr<java::lang::String> getDescription() = 0;
    virtual int32_t getMaxBufferSize() = 0;
    virtual JavaPtr<java::lang::String> getModel() = 0;
    virtual JavaPtr<java::lang::Object> getProperty(const JavaPtr<java::lang::String>& name) = 0;
    virtual JavaPtr<JArray<JavaPtr<java::lang::String>>> getPropertyNames() = 0;
    virtual JavaPtr<java::lang::String> getQuantity() = 0;
    virtual JavaPtr<java::lang::String> getUrl() = 0;
    virtual bool isAvailable() = 0;
    virtual bool isAvailabilityPushSupported() = 0;
    virtual bool isConditionPushSupported() = 0;
    ~SensorInfo() override = default;

    static void SensorInfo_staticInit();
    static void SensorInfo_staticDestroy();

    static JavaPtr<java::lang::String> CONTEXT_TYPE_AMBIENT;
    static JavaPtr<java::lang::String> CONTEXT_TYPE_DEVICE;
    static JavaPtr<java::lang::String> CONTEXT_TYPE_USER;
    static JavaPtr<java::lang::String> CONTEXT_TYPE_VEHICLE;
    static JavaPtr<java::lang::String> PROP_IS_CONTROLLABLE;
    static JavaPtr<java::lang::String> PROP_IS_REPORTING_ERRORS;
    static JavaPtr<java::lang::String> PROP_LATITUDE;
    static JavaPtr<java::lang::String> PROP_LOCATION;
    static JavaPtr<java::lang::String> PROP_LONGITUDE;
    static JavaPtr<java::lang::String> PROP_MAX_RATE;
    static JavaPtr<java::lang::String> PROP_VENDOR;
    static JavaPtr<java::lang::String> PROP_VERSION;
};

}  // namespace javax::microedition::sensor
