// javax.microedition.location.ProximityListener: told once when a fix comes within the radius of a
// registered point, on the ticker thread.
#pragma once

#include "location/Coordinates.h"
#include "location/Location.h"

namespace javax::microedition::location {

class ProximityListener : public virtual java::lang::Smart {
    TESL_INTERFACE(ProximityListener, "javax.microedition.location.ProximityListener", java::lang::Smart)
public:
    virtual void proximityEvent(const JavaPtr<Coordinates>& coordinates,
                                const JavaPtr<Location>& location) = 0;
    virtual void monitoringStateChanged(bool isMonitoringActive) = 0;
    ~ProximityListener() override = default;
};

}  // namespace javax::microedition::location
