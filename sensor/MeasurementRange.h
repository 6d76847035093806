// javax.microedition.sensor.MeasurementRange: the value range and resolution a channel reports in.
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::sensor {

class MeasurementRange : public java::lang::Object {
    TESL_CLASS(MeasurementRange, "javax.microedition.sensor.MeasurementRange", java::lang::Object)
public:
    MeasurementRange() noexcept {}
    ~MeasurementRange() override = default;

    // The values are stored as given: a reversed range or a negative resolution is the caller's.
    MeasurementRange* TESLinvokeconstructor(double smallestValue, double largestValue, double resolution) {
        Object::TESLinvokeconstructor();
        this->smallestValue = smallestValue;
        this->largestValue = largestValue;
        this->resolution = resolution;
        return this;
    }

    virtual double getLargestValue() { return largestValue; }
    virtual double getResolution() { return resolution; }
    virtual double getSmallestValue() { return smallestValue; }

    double smallestValue = 0;
    double largestValue = 0;
    double resolution = 0;
};

}  // namespace javax::microedition::sensor
