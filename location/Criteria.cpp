#include "location/Criteria.h"

namespace javax::microedition::location {

Criteria* Criteria::TESLinvokeconstructor() {
    Object::TESLinvokeconstructor();
    m_horizontalAccuracy = NO_REQUIREMENT;
    m_preferredPowerConsumption = NO_REQUIREMENT;
    m_preferredResponseTime = NO_REQUIREMENT;
    m_verticalAccuracy = NO_REQUIREMENT;
    m_addressInfoRequired = false;
    m_costAllowed = true;
    m_altitudeRequired = false;
    m_speedAndCourseRequired = false;
    return this;
}

}  // namespace javax::microedition::location
