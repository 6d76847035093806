#include "location/Location.h"

namespace javax::microedition::location {

Location* Location::TESLinvokeconstructor() {
    Object::TESLinvokeconstructor();
    m_addressInfo = nullptr;
    m_course = 0.0f;
    m_speed = 0.0f;
    m_extraInfo = nullptr;
    m_locationMethod = 0;
    m_qualifiedCoordinates = nullptr;
    m_timestamp = -1;
    m_valid = false;
    return this;
}

JavaPtr<java::lang::Object> Location::getAddressInfo() {
    return m_addressInfo;
}

float Location::getCourse() {
    return m_course;
}

JavaPtr<java::lang::String> Location::getExtraInfo(const JavaPtr<java::lang::String>&) {
    return m_extraInfo;
}

int32_t Location::getLocationMethod() {
    return m_locationMethod;
}

JavaPtr<QualifiedCoordinates> Location::getQualifiedCoordinates() {
    return m_qualifiedCoordinates;
}

float Location::getSpeed() {
    return m_speed;
}

long long Location::getTimestamp() {
    return m_timestamp;
}

bool Location::isValid() {
    return m_valid;
}

}  // namespace javax::microedition::location
