#include "sensor/channelinfo_internal.h"

#include "runtime/Math.h"

namespace javax::microedition::sensor {

using java::lang::Math;
using java::lang::String;

namespace {

// The platform reports 0.005 in single precision; channels hand out that value widened, not 0.005.
constexpr double kResolution = static_cast<double>(0.005f);

}  // namespace

channelinfo_internal* channelinfo_internal::TESLinvokeconstructor(int index) {
    Object::TESLinvokeconstructor();
    this->index = index;
    name = jnew<String>(index == 1 ? "roll" : "pitch");
    return this;
}

JavaPtr<JArray<JavaPtr<MeasurementRange>>> channelinfo_internal::getMeasurementRanges() {
    JavaPtr<JArray<JavaPtr<MeasurementRange>>> ranges = jnewArray<JavaPtr<MeasurementRange>>(1);
    if (index == 1)
        ranges->data[0] = jnew<MeasurementRange>(-Math::PI, Math::PI, kResolution);
    else
        ranges->data[0] = jnew<MeasurementRange>(-Math::PI * 0.5, Math::PI * 0.5, kResolution);
    return ranges;
}

JavaPtr<Unit> channelinfo_internal::getUnit() {
    return Unit::getUnit(jnew<String>("rad"));
}

}  // namespace javax::microedition::sensor
