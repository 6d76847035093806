#include "sensor/SensorInfo.h"

namespace javax::microedition::sensor {

using java::lang::String;

constinit JavaPtr<String> SensorInfo::CONTEXT_TYPE_AMBIENT;
constinit JavaPtr<String> SensorInfo::CONTEXT_TYPE_DEVICE;
constinit JavaPtr<String> SensorInfo::CONTEXT_TYPE_USER;
constinit JavaPtr<String> SensorInfo::CONTEXT_TYPE_VEHICLE;
constinit JavaPtr<String> SensorInfo::PROP_IS_CONTROLLABLE;
constinit JavaPtr<String> SensorInfo::PROP_IS_REPORTING_ERRORS;
constinit JavaPtr<String> SensorInfo::PROP_LATITUDE;
constinit JavaPtr<String> SensorInfo::PROP_LOCATION;
constinit JavaPtr<String> SensorInfo::PROP_LONGITUDE;
constinit JavaPtr<String> SensorInfo::PROP_MAX_RATE;
constinit JavaPtr<String> SensorInfo::PROP_VENDOR;
constinit JavaPtr<String> SensorInfo::PROP_VERSION;

void SensorInfo::SensorInfo_staticInit() {
    CONTEXT_TYPE_AMBIENT = jnew<String>("ambient");
    CONTEXT_TYPE_DEVICE = jnew<String>("device");
    CONTEXT_TYPE_USER = jnew<String>("user");
    CONTEXT_TYPE_VEHICLE = jnew<String>("vehicle");
    PROP_IS_CONTROLLABLE = jnew<String>("controllable");
    PROP_IS_REPORTING_ERRORS = jnew<String>("errorsReported");
    PROP_LATITUDE = jnew<String>("latitude");
    PROP_LOCATION = jnew<String>("location");
    PROP_LONGITUDE = jnew<String>("longitude");
    PROP_MAX_RATE = jnew<String>("maxSamplingRate");
    PROP_VENDOR = jnew<String>("vendor");
    PROP_VERSION = jnew<String>("version");
}

void SensorInfo::SensorInfo_staticDestroy() {
    CONTEXT_TYPE_AMBIENT = nullptr;
    CONTEXT_TYPE_DEVICE = nullptr;
    CONTEXT_TYPE_USER = nullptr;
    CONTEXT_TYPE_VEHICLE = nullptr;
    PROP_IS_CONTROLLABLE = nullptr;
    PROP_IS_REPORTING_ERRORS = nullptr;
    PROP_LATITUDE = nullptr;
    PROP_LOCATION = nullptr;
    PROP_LONGITUDE = nullptr;
    PROP_MAX_RATE = nullptr;
    PROP_VENDOR = nullptr;
    PROP_VERSION = nullptr;
}

}  // namespace javax::microedition::sensor
