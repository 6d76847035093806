// javax.microedition.sensor.DataImpl: a batch's samples of one channel. It shares its arrays with whoever
// built it and whoever reads them: nothing is copied.
#pragma once

#include "sensor/Data.h"

namespace javax::microedition::sensor {

class DataImpl : public java::lang::Object, public Data {
    TESL_CLASS(DataImpl, "javax.microedition.sensor.DataImpl", java::lang::Object, Data)
public:
    DataImpl() noexcept {}
    ~DataImpl() override = default;

    DataImpl* TESLinvokeconstructor(const JavaPtr<ChannelInfo>& channelInfo,
                                    const JavaPtr<JArray<double>>& doubleValues,
                                    const JavaPtr<JArray<int>>& intValues,
                                    const JavaPtr<JArray<JavaPtr<java::lang::Object>>>& objectValues,
                                    const JavaPtr<JArray<long long>>& timestamps,
                                    const JavaPtr<JArray<float>>& uncertainties,
                                    const JavaPtr<JArray<bool>>& validities);

    JavaPtr<ChannelInfo> getChannelInfo() override { return channelInfo; }
    // Each answers its array only for a channel of its type, and IllegalStateException otherwise.
    JavaPtr<JArray<double>> getDoubleValues() override;
    JavaPtr<JArray<int>> getIntValues() override;
    JavaPtr<JArray<JavaPtr<java::lang::Object>>> getObjectValues() override;
    long long getTimestamp(int index) override;
    float getUncertainty(int index) override;
    bool isValid(int index) override;

    JavaPtr<ChannelInfo> channelInfo;
    JavaPtr<JArray<double>> doubleValues;
    JavaPtr<JArray<int>> intValues;
    JavaPtr<JArray<JavaPtr<java::lang::Object>>> objectValues;
    JavaPtr<JArray<long long>> timestamps;
    JavaPtr<JArray<float>> uncertainties;
    JavaPtr<JArray<bool>> validities;

private:
    void requireDataType(int32_t type);
};

}  // namespace javax::microedition::sensor
