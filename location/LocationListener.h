// javax.microedition.location.LocationListener: receives a provider's periodic locations, on the ticker
// thread.
#pragma once

#include <cstdint>

#include "location/Location.h"

namespace javax::microedition::location {

class LocationProvider;

class LocationListener : public virtual java::lang::Smart {
    TESL_INTERFACE(LocationListener, "javax.microedition.location.LocationListener", java::lang::Smart)
public:
    virtual void locationUpdated(const JavaPtr<LocationProvider>& provider,
                                 const JavaPtr<Location>& location) = 0;
    virtual void providerStateChanged(const JavaPtr<LocationProvider>& provider, int32_t newState) = 0;
    ~LocationListener() override = default;
};

}  // namespace javax::microedition::location
