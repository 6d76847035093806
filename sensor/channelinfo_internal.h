// The description of the tilt sensor's two channels: index 1 is "roll", any other index "pitch".
#pragma once

#include "sensor/ChannelInfo.h"

namespace javax::microedition::sensor {

class channelinfo_internal : public java::lang::Object, public ChannelInfo {
    // The id is the hash of the dotted name; the class name is the bare one.
    TESL_CLASS_WITH_ID(channelinfo_internal, "channelinfo_internal",
                       ::tesl::classTypeIdOf("javax.microedition.sensor.channelinfo_internal"),
                       java::lang::Object, ChannelInfo)
public:
    channelinfo_internal() noexcept {}
    ~channelinfo_internal() override = default;

    channelinfo_internal* TESLinvokeconstructor(int index);

    float getAccuracy() override { return -1.0f; }
    int32_t getDataType() override { return TYPE_DOUBLE; }
    JavaPtr<JArray<JavaPtr<MeasurementRange>>> getMeasurementRanges() override;
    JavaPtr<java::lang::String> getName() override { return name; }
    int32_t getScale() override { return 0; }
    JavaPtr<Unit> getUnit() override;

    int32_t index = 0;
    JavaPtr<java::lang::String> name;
};

}  // namespace javax::microedition::sensor
