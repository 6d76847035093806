// javax.microedition.location.Criteria: what an application asks of a provider. The provider keeps it and
// never consults it: there is one provider of one feed.
#pragma once

#include <cstdint>

#include "runtime/Object.h"

namespace javax::microedition::location {

class Criteria : public java::lang::Object {
    TESL_CLASS(Criteria, "javax.microedition.location.Criteria", java::lang::Object)
public:
    static constexpr int32_t NO_REQUIREMENT = 0;
    static constexpr int32_t POWER_USAGE_LOW = 1;
    static constexpr int32_t POWER_USAGE_MEDIUM = 2;
    static constexpr int32_t POWER_USAGE_HIGH = 3;

    Criteria() noexcept {}
    ~Criteria() override = default;

    Criteria* TESLinvokeconstructor();

    virtual int32_t getPreferredPowerConsumption() { return m_preferredPowerConsumption; }
    virtual int32_t getHorizontalAccuracy() { return m_horizontalAccuracy; }
    virtual int32_t getPreferredResponseTime() { return m_preferredResponseTime; }
    virtual int32_t getVerticalAccuracy() { return m_verticalAccuracy; }
    virtual bool isAddressInfoRequired() { return m_addressInfoRequired; }
    virtual bool isAllowedToCost() { return m_costAllowed; }
    virtual bool isAltitudeRequired() { return m_altitudeRequired; }
    virtual bool isSpeedAndCourseRequired() { return m_speedAndCourseRequired; }
    virtual void setAddressInfoRequired(bool value) { m_addressInfoRequired = value; }
    virtual void setAltitudeRequired(bool value) { m_altitudeRequired = value; }
    virtual void setCostAllowed(bool value) { m_costAllowed = value; }
    virtual void setHorizontalAccuracy(int value) { m_horizontalAccuracy = value; }
    virtual void setPreferredPowerConsumption(int value) { m_preferredPowerConsumption = value; }
    virtual void setPreferredResponseTime(int value) { m_preferredResponseTime = value; }
    virtual void setSpeedAndCourseRequired(bool value) { m_speedAndCourseRequired = value; }
    virtual void setVerticalAccuracy(int value) { m_verticalAccuracy = value; }

private:
    int32_t m_horizontalAccuracy = 0;
    int32_t m_preferredPowerConsumption = 0;
    int32_t m_preferredResponseTime = 0;
    int32_t m_verticalAccuracy = 0;
    bool m_addressInfoRequired = false;
    bool m_costAllowed = false;
    bool m_altitudeRequired = false;
    bool m_speedAndCourseRequired = false;
};

}  // namespace javax::microedition::location
