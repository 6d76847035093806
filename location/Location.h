// javax.microedition.location.Location: one fix as the provider hands it out. It has no setters: the
// provider fills the fields when it makes one, before anyone else can see it.
#pragma once

#include <cstdint>

#include "location/QualifiedCoordinates.h"
#include "runtime/String.h"

namespace javax::microedition::location {

class LocationProvider;

class Location : public java::lang::Object {
    TESL_CLASS(Location, "javax.microedition.location.Location", java::lang::Object)
public:
    static constexpr int32_t MTE_SATELLITE = 1;
    static constexpr int32_t MTE_TIMEDIFFERENCE = 2;
    static constexpr int32_t MTE_TIMEOFARRIVAL = 4;
    static constexpr int32_t MTE_CELLID = 8;
    static constexpr int32_t MTE_SHORTRANGE = 16;
    static constexpr int32_t MTE_ANGLEOFARRIVAL = 32;
    static constexpr int32_t MTY_TERMINALBASED = 65536;
    static constexpr int32_t MTY_NETWORKBASED = 131072;
    static constexpr int32_t MTA_ASSISTED = 262144;
    static constexpr int32_t MTA_UNASSISTED = 524288;

    Location() noexcept {}
    ~Location() override = default;

    Location* TESLinvokeconstructor();

    // Always null: no address type exists in this system.
    virtual JavaPtr<java::lang::Object> getAddressInfo();
    virtual float getCourse();
    // The stored text whatever the type asked for: the only extra information ever stored is plain text.
    virtual JavaPtr<java::lang::String> getExtraInfo(const JavaPtr<java::lang::String>& mimeType);
    virtual int32_t getLocationMethod();
    // The stored object itself, not a copy.
    virtual JavaPtr<QualifiedCoordinates> getQualifiedCoordinates();
    virtual float getSpeed();
    virtual long long getTimestamp();
    virtual bool isValid();

private:
    friend class LocationProvider;

    JavaPtr<java::lang::Object> m_addressInfo;
    float m_course = 0.0f;
    float m_speed = 0.0f;
    JavaPtr<java::lang::String> m_extraInfo;
    int32_t m_locationMethod = 0;
    JavaPtr<QualifiedCoordinates> m_qualifiedCoordinates;
    long long m_timestamp = 0;
    bool m_valid = false;
};

}  // namespace javax::microedition::location
